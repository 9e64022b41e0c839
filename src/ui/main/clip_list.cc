#include "ui/main/clip_list.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <optional>

#include "app/app_log.h"
#include "app/settings_values.h"
#include "clipboard/format_names.h"
#include "store/clip_coll.h"
#include "store/clip_lock.h"
#include "store/clip_obj.h"
#include "store/store_services.h"
#include "ui/main/current_operation.h"
#include "ui/main/list_sort.h"

namespace om {

namespace {

constexpr int kFlagColumnWidth = 18;
constexpr int kVkUp = 0x26;
constexpr int kVkDown = 0x28;
constexpr int kVkT = 'T';
constexpr int kVkF10 = 0x79;
constexpr int kVkDelete = 0x2E;
constexpr int kVkReturn = 0x0D;
constexpr int kVkEscape = 0x1B;

// The list's layout in the registry, below the settings key, in the list's
// own section ("lvClips"; the settings' "Reset Size/Position" deletes it
// with its subkeys):
//   lvClips\Columns  Sizes      the widths in pixels by column index, decimals
//                               separated by commas: "200,60,100,...,400"
//                    Order      the column indices from the left, the same
//                               way: "0,1,2,...,11"
//   lvClips\Sort     SortCol    the column showing the sort arrow (default 0)
//                    Ascending  its direction: "1" up (default), "0" down
// Damaged values are ignored: a width that is no number, not positive or
// wider than kMaxColumnWidth leaves its column as it is (the others still
// apply, also when there are too few or too many); an order counts only
// when it names every column once; a sort column out of range shows no
// arrow.
constexpr char kColumnsSubkey[] = "\\Columns";
constexpr char kSortSubkey[] = "\\Sort";
constexpr char kSizesValue[] = "Sizes";
constexpr char kOrderValue[] = "Order";
constexpr char kSortColValue[] = "SortCol";
constexpr char kAscendingValue[] = "Ascending";
// Wider than any screen: a stored width beyond it is damage, not a choice.
constexpr int kMaxColumnWidth = 10000;

// The comma-separated items of `text` as decimals (blanks around them
// allowed); nullopt for an item that is none.
std::vector<std::optional<std::int32_t>> ParseNumberList(std::string_view text) {
  std::vector<std::optional<std::int32_t>> items;
  for (;;) {
    const std::size_t comma = text.find(',');
    std::string_view item = text.substr(0, comma);
    while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) item.remove_prefix(1);
    while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.remove_suffix(1);
    items.push_back(ParseDecimalInteger(item));
    if (comma == std::string_view::npos) return items;
    text.remove_prefix(comma + 1);
  }
}

std::string JoinNumbers(const std::vector<int>& numbers) {
  std::string text;
  for (const int number : numbers) {
    if (!text.empty()) text += ',';
    text += std::to_string(number);
  }
  return text;
}

// The six format flags in column order ("Has Text" .. "Has Files").
std::uint32_t FlagFormat(int column) {
  switch (column) {
    case listcolumn::kFirstFlag: return cf::kText;
    case listcolumn::kFirstFlag + 1: return RTFFormat;
    case listcolumn::kFirstFlag + 2: return cf::kBitmap;
    case listcolumn::kFirstFlag + 3: return cf::kMetafilePict;
    case listcolumn::kFirstFlag + 4: return HTMLFormat;
    default: return cf::kHDrop;
  }
}

// The flags come from the clip's icon flags, so drawing the list never
// loads a clip's data.
bool HasFlag(const TClipObj& clip, int column) {
  const std::uint32_t format = FlagFormat(column);
  return format != 0 && clip.HasIcon(format);
}

int FlagCount(const TClipObj& clip) {
  int count = 0;
  for (int column = listcolumn::kFirstFlag; column <= listcolumn::kLastFlag; ++column) {
    count += HasFlag(clip, column) ? 1 : 0;
  }
  return count;
}

}  // namespace

TClipList::TClipList(IClipListHost& host, IClipListWidget& widget, IMenus& menus, TAppSettings& settings,
                     ILocale& locale, IKeyValueStore& store, IClock& clock, std::string layout_section)
    : host_(host),
      widget_(widget),
      menus_(menus),
      settings_(settings),
      locale_(locale),
      store_(store),
      clock_(clock),
      layout_section_(std::move(layout_section)) {
  widget_.SetRowSource(this);
}

TClipList::~TClipList() {
  // The control outlives the list: it must ask nobody for rows any more.
  widget_.SetRowCount(0);
  widget_.SetRowSource(nullptr);
}

TClipObj* TClipList::ClipAt(int row) const {
  return row >= 0 && row < Count() ? rows_[static_cast<std::size_t>(row)] : nullptr;
}

int TClipList::RowOf(const TClipObj* clip) const {
  if (clip == nullptr) return -1;
  const auto found = std::find(rows_.begin(), rows_.end(), clip);
  return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

std::string TClipList::CellText(int row, int column) const {
  const TClipObj* const clip = ClipAt(row);
  if (clip == nullptr) return {};
  switch (column) {
    case listcolumn::kTitle: return clip->Title;
    case listcolumn::kMySort: return std::to_string(clip->SortKey);
    case listcolumn::kDateTime: return clip->STimeStamp();
    case listcolumn::kSource: return clip->Creator;
    case listcolumn::kSerial: return std::to_string(clip->SerialNbr);
    case listcolumn::kSourceUrl: return clip->SourceURL;
    default:
      if (column >= listcolumn::kFirstFlag && column <= listcolumn::kLastFlag) {
        return HasFlag(*clip, column) ? "Y" : "N";
      }
      return {};
  }
}

int TClipList::RowImage(int row) const {
  const TClipObj* const clip = ClipAt(row);
  if (clip == nullptr) return -1;
  // The icon view shows the row's thumbnail, once the paint pass gave it one.
  if (widget_.ViewStyle() == ListViewStyle::kIcons) return thumbnails_.ImageOf(*clip);
  return clip->GetIconIndex();
}

void TClipList::RowDrawn(int row) {
  // A drawn row's clip need not keep its data; the top row's stays, it is
  // the one most often wanted again.
  if (row > 0) {
    if (TClipObj* const clip = ClipAt(row)) clip->UnLoad();
  }
}

void TClipList::Clear() {
  rows_.clear();
  widget_.SetRowCount(0);
  latest_row_ = previous_row_ = -1;
}

void TClipList::RemoveRows(const std::vector<TClipObj*>& clips) {
  if (clips.empty()) return;
  std::erase_if(rows_, [&](const TClipObj* row) { return std::find(clips.begin(), clips.end(), row) != clips.end(); });
  widget_.SetRowCount(Count());
  widget_.RowsChanged(-1, -1);
  latest_row_ = previous_row_ = -1;
}

void TClipList::SortRows(int column, bool ascending) {
  if (rows_.size() < 2) return;
  std::vector<std::size_t> order(rows_.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  if (column == listcolumn::kMySort || column == listcolumn::kSerial) {
    // These columns show integers in decimal: every pair compares as
    // numbers, which the integers themselves do without writing and
    // reading 100,000 texts.
    std::vector<std::int64_t> numbers;
    numbers.reserve(rows_.size());
    for (const TClipObj* clip : rows_) numbers.push_back(column == listcolumn::kMySort ? clip->SortKey : clip->SerialNbr);
    std::stable_sort(order.begin(), order.end(), [&numbers, ascending](std::size_t a, std::size_t b) {
      return ascending ? numbers[a] < numbers[b] : numbers[b] < numbers[a];
    });
  } else {
    // The texts the clips hold are read where they are; the others are
    // written out first.
    std::vector<std::string> written;
    std::vector<std::string_view> texts;
    texts.reserve(rows_.size());
    if (column == listcolumn::kTitle || column == listcolumn::kSource || column == listcolumn::kSourceUrl) {
      for (const TClipObj* clip : rows_) {
        texts.push_back(column == listcolumn::kTitle    ? clip->Title
                        : column == listcolumn::kSource ? clip->Creator
                                                        : clip->SourceURL);
      }
    } else {
      written.reserve(rows_.size());
      for (int row = 0; row < Count(); ++row) written.push_back(CellText(row, column));
      texts.assign(written.begin(), written.end());
    }
    const ListSortKeys keys(texts, locale_);
    std::stable_sort(order.begin(), order.end(), [&keys, ascending](std::size_t a, std::size_t b) {
      const int result = keys.Compare(a, b);
      return ascending ? result < 0 : result > 0;
    });
  }
  // The selection and the focus are the control's, by row: they follow
  // their clips to the clips' new rows.
  std::vector<TClipObj*> selected;
  for (const int row : widget_.SelectedRows()) selected.push_back(ClipAt(row));
  TClipObj* const focused = ClipAt(widget_.Focused());
  std::vector<TClipObj*> sorted;
  sorted.reserve(rows_.size());
  for (const std::size_t from : order) sorted.push_back(rows_[from]);
  rows_ = std::move(sorted);
  widget_.ClearSelection();
  for (TClipObj* clip : selected) widget_.SetSelected(RowOf(clip), true);
  widget_.SetFocused(RowOf(focused));
  widget_.RowsChanged(-1, -1);
}

int TClipList::MoveRowsBefore(const std::vector<TClipObj*>& clips, const TClipObj* target) {
  std::vector<TClipObj*> rows;
  rows.reserve(rows_.size());
  int last = -1;
  for (TClipObj* clip : rows_) {
    if (std::find(clips.begin(), clips.end(), clip) != clips.end()) continue;
    if (clip == target) {
      rows.insert(rows.end(), clips.begin(), clips.end());
      last = static_cast<int>(rows.size()) - 1;
    }
    rows.push_back(clip);
  }
  // A target among the clips, or clips the list does not show: no move.
  if (last < 0 || rows.size() != rows_.size()) return -1;
  rows_ = std::move(rows);
  widget_.RowsChanged(-1, -1);
  return last;
}

void TClipList::RestoreLayout() {
  TSettingsValues values(store_, settings_.RegistryKey);
  const std::string columns_section = layout_section_ + kColumnsSubkey;
  const std::string sort_section = layout_section_ + kSortSubkey;
  const auto widths = ParseNumberList(values.ReadString(columns_section, kSizesValue, ""));
  for (std::size_t column = 0; column < widths.size() && column < listcolumn::kCount; ++column) {
    const std::optional<std::int32_t> width = widths[column];
    if (width && *width > 0 && *width <= kMaxColumnWidth) widget_.SetColumnWidth(static_cast<int>(column), *width);
  }
  std::vector<int> order;
  for (const auto& column : ParseNumberList(values.ReadString(columns_section, kOrderValue, ""))) {
    order.push_back(column.value_or(-1));
  }
  if (IsColumnOrder(order, listcolumn::kCount)) widget_.SetColumnOrder(order);
  const std::int32_t sort_column = values.ReadInteger(sort_section, kSortColValue, 0);
  if (sort_column >= 0 && sort_column < listcolumn::kCount) {
    widget_.ShowSortArrow(sort_column, values.ReadBool(sort_section, kAscendingValue, true));
  }
}

void TClipList::SaveLayout() {
  TSettingsValues values(store_, settings_.RegistryKey);
  const std::string columns_section = layout_section_ + kColumnsSubkey;
  const std::string sort_section = layout_section_ + kSortSubkey;
  std::vector<int> widths;
  for (int column = 0; column < listcolumn::kCount; ++column) widths.push_back(widget_.ColumnWidth(column));
  values.WriteString(columns_section, kSizesValue, JoinNumbers(widths));
  const std::vector<int> order = widget_.ColumnOrder();
  if (IsColumnOrder(order, listcolumn::kCount)) values.WriteString(columns_section, kOrderValue, JoinNumbers(order));
  if (const std::optional<SortArrow> arrow = widget_.ShownSortArrow()) {
    values.WriteInteger(sort_section, kSortColValue, arrow->column);
    values.WriteBool(sort_section, kAscendingValue, arrow->ascending);
  }
  if (values.FailedWrites() > 0) {
    Log(loglevel::kError, "ShutDown", "The clip list's column layout could not be saved.");
  }
}

void TClipList::UpdateIconDrawing() {
  widget_.SetIconDrawing(settings_.ShowTypeIcons && !host_.EventsSuspended(), widest_icon_strip_);
}

void TClipList::AddToLists(TClipObj* clip, bool select, int position) {
  if (clip == nullptr) return;
  const int row = position == 1 ? 0 : Count();
  rows_.insert(rows_.begin() + row, clip);
  widget_.RowInserted(row);
  // The widest strip of format icons of the rows added since the last
  // refill: titles line up behind it.
  widest_icon_strip_ = std::max(widest_icon_strip_, FlagCount(*clip));
  UpdateIconDrawing();
  // Sequential paste keeps its own position: no selection while it runs.
  if (select && StoreServices().SequentialPaste == seqpaste::kOff) {
    widget_.ClearSelection();
    widget_.SetSelected(row, true);
    widget_.SetFocused(row);
    widget_.MakeVisible(row);
  }
}

void TClipList::UpdateLVClips() {
  widget_.BeginUpdate();
  rows_.clear();
  widget_.SetRowCount(0);
  latest_row_ = previous_row_ = -1;
  host_.SetHeaderText("");
  TClipColl* const shown = host_.ShownCollection();
  if (host_.EventsSuspended() || shown == nullptr) {
    // Nothing of the program's own drawing while its events are suspended.
    UpdateIconDrawing();
    widget_.EndUpdate();
    if (shown != nullptr) widget_.ShowSortArrow(shown->ListSortColumn, shown->ListSortAscending);
    return;
  }
  // The rows in collection order (the new clips' end first when they go to
  // the top), then sorted as the collection says.
  widest_icon_strip_ = 0;
  const auto& items = shown->Items();
  rows_.reserve(items.size());
  if (shown->NewClipPosition == 1) {
    for (auto entry = items.rbegin(); entry != items.rend(); ++entry) {
      if (entry->Clip != nullptr) rows_.push_back(entry->Clip);
    }
  } else {
    for (const TCollEntry& entry : items) {
      if (entry.Clip != nullptr) rows_.push_back(entry.Clip);
    }
  }
  for (const TClipObj* clip : rows_) widest_icon_strip_ = std::max(widest_icon_strip_, FlagCount(*clip));
  widget_.SetRowCount(Count());
  // Also for a collection without clips: the strip is empty then.
  widget_.SetIconDrawing(settings_.ShowTypeIcons, widest_icon_strip_);
  const int column = shown->ListSortColumn;
  const bool ascending = shown->ListSortAscending;
  SortRows(column, ascending);
  const bool has_rows = Count() > 0;
  if (has_rows) {
    widget_.ClearSelection();
    widget_.SetSelected(0, true);
    widget_.SetFocused(0);
  }
  for (int c = listcolumn::kFirstFlag; c <= listcolumn::kLastFlag; ++c) widget_.SetColumnWidth(c, kFlagColumnWidth);
  shown->ListStale = false;
  widget_.EndUpdate();
  widget_.ShowSortArrow(column, ascending);
  // Like any single selection, the first row's runs the selection handler,
  // which puts its clip on the clipboard unless it is there already.
  if (has_rows) lvClipsChange(0, ListChange::kState);
}

void TClipList::lvClipsChange(int row, ListChange change) {
  // Autosave waits for the user to leave the lists alone.
  last_activity_ = clock_.Now();
  // Nothing changes hands while rows are being dragged.
  if (host_.EventsSuspended() || reorder_.Dragging()) return;
  if (ClipAt(row) == nullptr) return;
  EnterOperation("TfrmQL.lvClipsChange");
  UpdateMenusForSelection();
  // The order hint (glue reads it): the two rows that changed last, also
  // while several are selected. A row reported again (a click changes its
  // focus and its selection one after the other) stays the last, so that
  // the hint tells which way the selection went.
  if (row != latest_row_) {
    previous_row_ = latest_row_;
    latest_row_ = row;
  }
  const int selected = widget_.SelectedCount();
  // Nothing selected: a moment later, if it stays so, the status says so.
  if (selected == 0) {
    host_.ArmNoSelectionTimer();
    return;
  }
  // Several rows while sequential paste visits them: the run keeps its clip
  // on the clipboard.
  if (selected > 1 && host_.StepfeedRunning()) return;
  // Several rows: their count, and no clip on the clipboard of ours.
  if (selected > 1) {
    if (!host_.PickdropMode()) host_.ShowStatus(2, false, std::to_string(selected) + " Items Selected.");
    host_.SetClipboardClip(nullptr);
    if (!host_.PreviewPinned()) host_.ForgetPreviewedClip();
    host_.UpdateMagView();
    return;
  }
  // Keyboard scrolling copies only the row reached when the key is up.
  if (widget_.ArrowKeyHeld()) return;
  // Sequential paste continues from the row the user selected.
  if (host_.StepfeedRunning()) {
    if (change == ListChange::kState && widget_.IsSelected(row)) host_.StepfeedContinueFrom(row);
    return;
  }
  // One row, the focused one, newly selected: its clip goes on the
  // clipboard.
  TClipObj* const clip = ClipAt(row);
  if (change != ListChange::kState || row != widget_.Focused() || !widget_.IsSelected(row) ||
      clip == host_.ClipboardClip()) {
    return;
  }
  if (TClipObj* const previous = host_.ClipboardClip()) previous->UnLoad();
  host_.SetClipboardClip(clip);
  // The pinned pane stays on its clip; otherwise it shows this one, after
  // writing back what was typed into the one before.
  if (!host_.PreviewPinned()) host_.PreviewClip(clip);
  if (!suppress_change_) host_.CopyItem(clip);
  host_.UpdateMagView();
  clip->UnLoad();
}

void TClipList::NoSelectionTimer() {
  if (widget_.SelectedCount() != 0) return;
  host_.ShowStatus(2, false, "No Items Selected.");
  host_.SetClipboardClip(nullptr);
  host_.UpdateMagView();
}

void TClipList::lvClipsKeyUp(int virtual_key) {
  if (virtual_key != kVkUp && virtual_key != kVkDown) return;
  const int focused = widget_.Focused();
  if (focused >= 0) lvClipsChange(focused, ListChange::kState);
}

void TClipList::lvClipsColumnClick(int column) {
  TClipColl* const shown = host_.ShownCollection();
  if (shown == nullptr || column < 0 || column >= listcolumn::kCount) return;
  // The same column again reverses the order; the choice is the
  // collection's, stored with it.
  if (column == shown->ListSortColumn) shown->ListSortAscending = !shown->ListSortAscending;
  shown->ListSortColumn = column;
  SortRows(column, shown->ListSortAscending);
  shown->SetModified(true);
  widget_.ShowSortArrow(column, shown->ListSortAscending);
}

void TClipList::UpdateMenusForSelection() {
  const int selected = widget_.SelectedCount();
  const bool one = selected == 1;
  const bool some = selected >= 1;
  struct Enabling {
    MenuItem item;
    MenuItem tray;  // the tray menu's counterpart; the item itself when none
    bool enabled;
  };
  const Enabling items[] = {
      {MenuItem::kRenameTitle, MenuItem::kTrayRenameTitle, one},
      {MenuItem::kShiftLeft, MenuItem::kTrayShiftLeft, one},
      {MenuItem::kShiftRight, MenuItem::kTrayShiftRight, one},
      {MenuItem::kRemoveLineBreaks, MenuItem::kTrayRemoveLineBreaks, some},
      {MenuItem::kLowerCase, MenuItem::kTrayLowerCase, some},
      {MenuItem::kUpperCase, MenuItem::kTrayUpperCase, some},
      {MenuItem::kMixedCase, MenuItem::kTrayMixedCase, some},
      {MenuItem::kSentenceCase, MenuItem::kTraySentenceCase, some},
      {MenuItem::kCopyToCollection, MenuItem::kCopyToCollection, some},
      {MenuItem::kDeleteSelected, MenuItem::kDeleteSelected, some},
  };
  for (const Enabling& e : items) {
    menus_.SetEnabled(e.item, e.enabled);
    if (settings_.UseSysTray && e.tray != e.item) menus_.SetEnabled(e.tray, e.enabled);
  }
}

void TClipList::lvClipsClick() {
  // Pick-and-paste takes one clip at a time.
  if (host_.PickdropMode() && widget_.SelectedCount() > 1) widget_.SetMultiSelect(false);
  // The traditional view's drop-down list closes here when that view comes.
}

void TClipList::lvClipsDblClick() {
  // In pick-and-paste a double click pastes the selection; in the
  // traditional view it closes the drop-down list (which comes with that
  // view); in the explorer view a double click is a click.
  if (host_.PickdropMode()) host_.PickdropPaste();
}

void TClipList::lvClipsEnter() {
  host_.ClipListEntered();
  // Entering the list in Pickdrop: with rows but none selected, the first
  // is picked (and so put on the clipboard).
  if (!host_.PickdropMode() || !host_.PickdropFocusCounts() || Count() == 0 || widget_.SelectedCount() != 0) return;
  widget_.SetSelected(0, true);
  widget_.SetFocused(0);
  lvClipsChange(0, ListChange::kState);
}

bool TClipList::lvClipsKeyDown(int virtual_key, KeyModifiers keys) {
  // In pick-and-paste Enter pastes and Esc ends it; the other keys move
  // through the list as always.
  if (host_.PickdropMode()) {
    const bool plain = !keys.ctrl && !keys.shift && !keys.alt;
    if (plain && virtual_key == kVkReturn) {
      host_.PickdropPaste();
      return true;
    }
    if (plain && virtual_key == kVkEscape) {
      host_.PickdropEscape();
      return true;
    }
    return false;
  }
  const bool ctrl_alone = keys.ctrl && !keys.shift && !keys.alt;
  const bool shift_alone = keys.shift && !keys.ctrl && !keys.alt;
  if (virtual_key == kVkT && ctrl_alone) {
    mnuTitleClick();
    return true;
  }
  if (virtual_key == kVkF10 && shift_alone) {
    PopupMenuClipsPopup(/*from_keyboard=*/true);
    return true;
  }
  // The Delete key moves the selected clips to the trash (captions are
  // renamed in a box of their own, never edited in the list).
  if (virtual_key == kVkDelete && !keys.ctrl && !keys.shift && !keys.alt) {
    host_.DeleteSelectedClips();
    return true;
  }
  return false;
}

void TClipList::lvClipsMouseDown(MouseButton button, KeyModifiers keys, int row, int column) {
  mouse_button_ = button;
  TClipObj* const clip = ClipAt(row);
  // Not in Pickdrop, nor for a moment after it ended (the click that ended
  // it must not start a drag).
  if (clip == nullptr || host_.PickdropMode() || host_.PickdropClicksIgnored()) return;
  if (button == MouseButton::kLeft && column == listcolumn::kSourceUrl) {
    // The Source URL cell is a link.
    if (!clip->SourceURL.empty()) host_.OpenWithShell(clip->SourceURL);
    return;
  }
  if (keys.alt) {
    if (button == MouseButton::kLeft) DragText(*clip);
    return;
  }
  // Dragging rows onto the tree comes with moving clips between
  // collections.
}

std::string DragTextStatus(const DragEnd& end) {
  switch (end.outcome) {
    case DragOutcome::kDropped:
      return "Drop OK";
    case DragOutcome::kCancelled:
      return "Drop cancel";
    case DragOutcome::kOutOfMemory:
      return "Drop out of memory";
    case DragOutcome::kNoAccess:
      return "Drop unexpected";
    case DragOutcome::kOther:
      break;
  }
  char code[9];
  std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(end.code));
  return std::string("Drop unknown:") + code;
}

void TClipList::DragText(TClipObj& clip) {
  host_.ShowStatus(1, false, "Drag n Drop Into Rich Text Container in ANY Application");
  std::string text;
  {
    // The text is copied before the drag: a capture or an autosave while
    // the drag runs may unload the clip's data.
    TClipLock lock(clip, cf::kText);
    if (!lock.Locked()) {
      host_.ShowStatus(1, false, "Only TEXT items can be dragged out.");
      return;
    }
    text.assign(lock.Text());
  }
  host_.ShowStatus(1, false, DragTextStatus(widget_.DragText(text)));
}

void TClipList::lvClipsMouseMove(int row, int column) {
  const TClipObj* const clip = ClipAt(row);
  widget_.SetHandCursor(clip != nullptr && column == listcolumn::kSourceUrl && !clip->SourceURL.empty());
}

void TClipList::PopupMenuClipsPopup(bool from_keyboard) {
  const int selected = widget_.SelectedCount();
  const TClipObj* const only = selected == 1 ? ClipAt(widget_.SelectedRows().front()) : nullptr;
  const std::vector<ClipMenuEntry> entries = {
      {ClipMenuCommand::kNewClip, "&New Clip", host_.ShownCollection() != nullptr},
      {ClipMenuCommand::kDeleteClips, "&Delete Clip(s)", selected >= 1},
      {ClipMenuCommand::kCancel, "&Cancel", true},
      {ClipMenuCommand::kRename, "&Rename", selected == 1},
      {ClipMenuCommand::kMoveToTop, "Move To &Top Of Sort Order", selected >= 1},
      {ClipMenuCommand::kMoveToBottom, "Move To &Bottom Of Sort Order", selected >= 1},
      {ClipMenuCommand::kThumbnailSettings, "Change Thumbnail &Size and Font",
       widget_.ViewStyle() == ListViewStyle::kIcons},
      {ClipMenuCommand::kExportClips, "&Export Clip(s)", Count() > 1},
      {ClipMenuCommand::kOpenSourceUrl, "Open Source URL In Browser", only != nullptr && !only->SourceURL.empty()},
      {ClipMenuCommand::kLaunchAsUrl, "Launch as URL", true},
  };
  const std::optional<ClipMenuCommand> chosen = widget_.PopupMenu(entries, from_keyboard);
  if (!chosen) return;
  switch (*chosen) {
    case ClipMenuCommand::kRename:
      mnuTitleClick();
      break;
    case ClipMenuCommand::kOpenSourceUrl:
      mnu_OpenSourceURL1Click();
      break;
    case ClipMenuCommand::kLaunchAsUrl:
      host_.LaunchAsUrl();
      break;
    case ClipMenuCommand::kMoveToTop:
    case ClipMenuCommand::kMoveToBottom:
      reorder_.mnuPopupClips_MoveTo_X_Click(*chosen == ClipMenuCommand::kMoveToTop);
      break;
    case ClipMenuCommand::kCancel:
      break;
    case ClipMenuCommand::kNewClip:
      host_.NewClip();
      break;
    case ClipMenuCommand::kDeleteClips:
      host_.DeleteSelectedClips();
      break;
    case ClipMenuCommand::kThumbnailSettings:
    case ClipMenuCommand::kExportClips:
      // The settings dialog and export come with their own commands.
      Log(loglevel::kData, "PopupMenuClipsPopup", "Command not available yet.");
      break;
  }
}

void TClipList::cmdScrollClick(bool up) {
  host_.EndAutoGlue();
  if (Count() < 2) return;
  const int focused = std::max(widget_.Focused(), 0);
  const int row = std::clamp(focused + (up ? -1 : 1), 0, Count() - 1);
  widget_.ClearSelection();
  widget_.SetSelected(row, true);
  widget_.SetFocused(row);
  widget_.MakeVisible(row);
  lvClipsChange(row, ListChange::kState);
}

void TClipList::SelectAllItems1Click() {
  if (Count() == 0) return;
  // Every row selected at once, then one report: the outcome of reporting
  // row after row (the count of the selection, no clip of ours on the
  // clipboard), without 100,000 status repaints.
  for (int row = 0; row < Count(); ++row) widget_.SetSelected(row, true);
  const int focused = widget_.Focused();
  lvClipsChange(focused >= 0 ? focused : 0, ListChange::kState);
}

void TClipList::mnuTitleClick() {
  TClipColl* const shown = host_.ShownCollection();
  if (shown == nullptr || shown->ReadOnly) {
    host_.ShowMessageBox("Sorry, The current collection is Read Only.", "Program Error", MsgButtons::kOk,
                         MsgIcon::kError);
    return;
  }
  if (widget_.SelectedCount() != 1) return;
  const int row = widget_.SelectedRows().front();
  TClipObj* const clip = ClipAt(row);
  if (clip == nullptr) return;
  const std::optional<std::string> title =
      host_.AskText("Rename Clip Item", "Enter The New Name For The Item:", clip->Title);
  if (!title) return;
  clip->SetTitle(*title);
  widget_.RowsChanged(row, row);
  host_.SetHeaderText(clip->Title);
}

void TClipList::mnu_OpenSourceURL1Click() {
  const TClipObj* const clip = host_.ClipboardClip();
  if (clip == nullptr || clip->SourceURL.empty()) {
    host_.ShowMessageBox("Please pick ONE clip, with a valid Source URL.", "Error", MsgButtons::kOk, MsgIcon::kError);
    return;
  }
  host_.OpenWithShell(clip->SourceURL);
}

}  // namespace om

namespace om {

void TClipList::InitializeThumbnailRegistry() {
  thumbnails_.Initialize(settings_.ThumbNailCacheSize);
  widget_.SetThumbnailImages(settings_.ThumbNailSize + 2, thumbnails_.Size());
  widget_.RowsChanged(-1, -1);
}

void TClipList::ClearThumbnailRegistry() {
  thumbnails_.Clear();
  widget_.RowsChanged(-1, -1);
}

void TClipList::cmdLVLargeIconsClick() {
  if (!thumbnails_.Ready()) InitializeThumbnailRegistry();
  widget_.SetViewStyle(ListViewStyle::kIcons);
}

void TClipList::cmdLVReportClick() { widget_.SetViewStyle(ListViewStyle::kDetails); }

void TClipList::lvClipsPaint() {
  if (widget_.ViewStyle() != ListViewStyle::kIcons || host_.EventsSuspended() || !thumbnails_.Ready()) return;
  const int size = settings_.ThumbNailSize + 2;
  const auto clip_at = [this](int row) { return ClipAt(row); };
  const auto render = [this, size](int row, TClipObj& clip, int image) {
    widget_.DrawThumbnail(image, MakeThumbnailPicture(clip, size, settings_.ThumbNailFont));
    // Its data may go again, as after any row is drawn.
    RowDrawn(row);
  };
  // Each round that finds the cache too small grows it by half; the rows
  // then are those of the refilled list. The visible rows are few, so this
  // ends.
  while (!thumbnails_.Paint(widget_.VisibleRows(), clip_at, clock_.TickCount(), render)) {
    host_.ShowStatus(1, true, "Increasing ThumbNail Cache Size");
    // Also from a size of 0, the cache grows.
    settings_.ThumbNailCacheSize =
        std::max(GrownCacheSize(settings_.ThumbNailCacheSize), settings_.ThumbNailCacheSize + 1);
    InitializeThumbnailRegistry();
    UpdateLVClips();
    host_.ShowStatus(1, false, "ThumbNail Cache Size Increased To: " + std::to_string(settings_.ThumbNailCacheSize));
  }
}

}  // namespace om
