// The clip list: one row per clip of the shown collection. Selecting a single
// row puts its clip on the clipboard.
#include <optional>

#include "app/settings_values.h"
#include "clipboard/format_names.h"
#include "mainform/current_operation.h"
#include "mainform/list_sort.h"
#include "mainform/main_form.h"

namespace om {

namespace {

constexpr int kFlagColumnWidth = 18;
constexpr int kVkUp = 0x26;
constexpr int kVkDown = 0x28;

// The clip list's layout in the registry, below the settings key (the
// settings' "Reset Size/Position" deletes "lvClips" with its subkeys):
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
constexpr char kColumnsSection[] = "lvClips\\Columns";
constexpr char kSortSection[] = "lvClips\\Sort";
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

// The row of a clip: title, then the columns from "MySort" to "Source URL".
// The format flags come from the clip's icon flags, so filling the list never
// loads a clip's data.
ListRow MakeRow(TClipObj& clip, int& flags_set) {
  ListRow row;
  row.caption = clip.Title;
  row.image = clip.GetIconIndex();
  row.data = &clip;
  row.sub_items = {std::to_string(clip.SortKey), clip.STimeStamp(), clip.Creator, std::to_string(clip.SerialNbr)};
  flags_set = 0;
  for (const std::uint32_t format : {cf::kText, RTFFormat, cf::kBitmap, cf::kMetafilePict, HTMLFormat, cf::kHDrop}) {
    const bool has = format != 0 && clip.HasIcon(format);
    flags_set += has ? 1 : 0;
    row.sub_items.emplace_back(has ? "Y" : "N");
  }
  row.sub_items.push_back(clip.SourceURL);
  return row;
}

}  // namespace

void TfrmQL::SortClipList(int column, bool ascending) {
  IClipListWidget& list = widgets_.clips;
  list.Sort([&list, column, ascending, this](int a, int b) {
    const int order = CompareListTexts(list.Text(a, column), list.Text(b, column), ports_.locale);
    return ascending ? order < 0 : order > 0;
  });
}

void TfrmQL::RestoreClipListLayout() {
  TSettingsValues values(ports_.store, settings_.RegistryKey);
  IClipListWidget& list = widgets_.clips;
  const auto widths = ParseNumberList(values.ReadString(kColumnsSection, kSizesValue, ""));
  for (std::size_t column = 0; column < widths.size() && column < listcolumn::kCount; ++column) {
    const std::optional<std::int32_t> width = widths[column];
    if (width && *width > 0 && *width <= kMaxColumnWidth) list.SetColumnWidth(static_cast<int>(column), *width);
  }
  std::vector<int> order;
  for (const auto& column : ParseNumberList(values.ReadString(kColumnsSection, kOrderValue, ""))) {
    order.push_back(column.value_or(-1));
  }
  if (IsColumnOrder(order, listcolumn::kCount)) list.SetColumnOrder(order);
  const std::int32_t sort_column = values.ReadInteger(kSortSection, kSortColValue, 0);
  if (sort_column >= 0 && sort_column < listcolumn::kCount) {
    list.ShowSortArrow(sort_column, values.ReadBool(kSortSection, kAscendingValue, true));
  }
}

void TfrmQL::SaveClipListLayout() {
  TSettingsValues values(ports_.store, settings_.RegistryKey);
  const IClipListWidget& list = widgets_.clips;
  std::vector<int> widths;
  for (int column = 0; column < listcolumn::kCount; ++column) widths.push_back(list.ColumnWidth(column));
  values.WriteString(kColumnsSection, kSizesValue, JoinNumbers(widths));
  const std::vector<int> order = list.ColumnOrder();
  if (IsColumnOrder(order, listcolumn::kCount)) values.WriteString(kColumnsSection, kOrderValue, JoinNumbers(order));
  if (const std::optional<SortArrow> arrow = list.ShownSortArrow()) {
    values.WriteInteger(kSortSection, kSortColValue, arrow->column);
    values.WriteBool(kSortSection, kAscendingValue, arrow->ascending);
  }
  if (values.FailedWrites() > 0) {
    Log(loglevel::kError, "ShutDown", "The clip list's column layout could not be saved.");
  }
}

void TfrmQL::AddToLists(TClipObj* clip, bool select, int position) {
  if (clip == nullptr) return;
  int flags_set = 0;
  const ListRow row = MakeRow(*clip, flags_set);
  IClipListWidget& list = widgets_.clips;
  const int index = list.Insert(position == 1 ? 0 : list.Count(), row);
  // The widest strip of format icons of the rows added since the last
  // refill: titles line up behind it.
  widest_icon_strip_ = std::max(widest_icon_strip_, flags_set);
  list.SetIconDrawing(settings_.ShowTypeIcons && !events_suspended_, widest_icon_strip_);
  // Sequential paste, when it comes, keeps its own position: no selection
  // while it runs.
  if (select && StoreServices().SequentialPaste == seqpaste::kOff) {
    list.ClearSelection();
    list.SetSelected(index, true);
    list.SetFocused(index);
    list.MakeVisible(index);
  }
}

void TfrmQL::UpdateLVClips() {
  IClipListWidget& list = widgets_.clips;
  list.BeginUpdate();
  list.Clear();
  latest_row_ = previous_row_ = -1;
  widgets_.shell.SetHeaderText("");
  if (events_suspended_ || shown_ == nullptr) {
    // Nothing of the program's own drawing while its events are suspended.
    list.SetIconDrawing(settings_.ShowTypeIcons && !events_suspended_, widest_icon_strip_);
    list.EndUpdate();
    if (shown_ != nullptr) list.ShowSortArrow(shown_->ListSortColumn, shown_->ListSortAscending);
    return;
  }
  widest_icon_strip_ = 0;
  for (const TCollEntry& entry : shown_->Items()) AddToLists(entry.Clip, /*select=*/false, shown_->NewClipPosition);
  // Also for a collection without clips: the strip is empty then.
  list.SetIconDrawing(settings_.ShowTypeIcons, widest_icon_strip_);
  const int column = shown_->ListSortColumn;
  const bool ascending = shown_->ListSortAscending;
  SortClipList(column, ascending);
  const bool has_rows = list.Count() > 0;
  if (has_rows) {
    list.ClearSelection();
    list.SetSelected(0, true);
    list.SetFocused(0);
  }
  for (int c = listcolumn::kFirstFlag; c <= listcolumn::kLastFlag; ++c) list.SetColumnWidth(c, kFlagColumnWidth);
  shown_->ListStale = false;
  list.EndUpdate();
  list.ShowSortArrow(column, ascending);
  // Like any single selection, the first row's runs the selection handler,
  // which puts its clip on the clipboard unless it is there already.
  if (has_rows) lvClipsChange(0, ListChange::kState);
}

void TfrmQL::lvClipsChange(int index, ListChange change) {
  // Autosave waits for the user to leave the lists alone.
  last_list_activity_ = ports_.clock.Now();
  if (events_suspended_) return;
  IClipListWidget& list = widgets_.clips;
  if (index < 0 || index >= list.Count() || list.Data(index) == nullptr) return;
  EnterOperation("TfrmQL.lvClipsChange");
  // 1. The clip commands' menus come with those commands.
  const int selected = list.SelectedCount();
  // 2.
  if (selected == 0) {
    ArmTimer1(kTagNoSelection, kNoSelectionMs);
    return;
  }
  // 3.
  if (selected > 1) {
    if (!pickdrop_mode_) ShowStatus(2, false, std::to_string(selected) + " Items Selected.");
    clipboard_clip_ = nullptr;
    return;
  }
  // 4.
  previous_row_ = latest_row_;
  latest_row_ = index;
  // 5. Keyboard scrolling copies only the row reached when the key is up.
  if (list.ArrowKeyHeld()) return;
  // 6. Sequential paste, when it comes, continues from the selected row here.
  // 7.
  TClipObj* const clip = list.Data(index);
  if (change != ListChange::kState || index != list.Focused() || !list.IsSelected(index) || clip == clipboard_clip_) {
    return;
  }
  if (clipboard_clip_ != nullptr) clipboard_clip_->UnLoad();
  clipboard_clip_ = clip;
  // The preview takes the clip here when it comes.
  if (!suppress_list_change_) CopyItem(clip);
  clip->UnLoad();
}

void TfrmQL::NoSelectionTimer() {
  if (widgets_.clips.SelectedCount() != 0) return;
  ShowStatus(2, false, "No Items Selected.");
  clipboard_clip_ = nullptr;
}

void TfrmQL::lvClipsKeyUp(int virtual_key) {
  if (virtual_key != kVkUp && virtual_key != kVkDown) return;
  const int focused = widgets_.clips.Focused();
  if (focused >= 0) lvClipsChange(focused, ListChange::kState);
}

void TfrmQL::lvClipsColumnClick(int column) {
  if (shown_ == nullptr || column < 0) return;
  // The same column again reverses the order; the choice is the
  // collection's, stored with it.
  if (column == shown_->ListSortColumn) shown_->ListSortAscending = !shown_->ListSortAscending;
  shown_->ListSortColumn = column;
  SortClipList(column, shown_->ListSortAscending);
  shown_->SetModified(true);
  widgets_.clips.ShowSortArrow(column, shown_->ListSortAscending);
}

}  // namespace om
