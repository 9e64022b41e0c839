// The main window's widgets as plain records: a tree of nodes, a list of
// rows with selection and focus, menus, the status bar, the tray icon and the
// window itself, each keeping what it was told so that a test can look.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/main/widgets.h"

namespace om::testing {

class FakeTree final : public ITreeWidget {
 public:
  struct Node {
    TreeNode id = 0;
    TreeNode parent = 0;
    std::string caption;
    int image = -1;
    TClipColl* data = nullptr;
    int state_index = -1;
    bool expanded = false;
  };

  void Clear() override {
    nodes_.clear();
    selected_ = 0;
  }
  TreeNode Add(TreeNode parent, std::string_view caption, int image, TClipColl* data) override {
    nodes_.push_back({++last_id_, parent, std::string(caption), image, data, -1, false});
    return last_id_;
  }
  void Remove(TreeNode node) override {
    for (TreeNode child : Children(node)) Remove(child);
    std::erase_if(nodes_, [node](const Node& n) { return n.id == node; });
    if (selected_ == node) selected_ = 0;
  }
  std::vector<TreeNode> Nodes() const override {
    std::vector<TreeNode> out;
    AppendSubtree(0, out);
    return out;
  }
  TreeNode Parent(TreeNode node) const override { return Get(node).parent; }
  TClipColl* Data(TreeNode node) const override { return Get(node).data; }
  std::string Caption(TreeNode node) const override { return Get(node).caption; }
  void SetCaption(TreeNode node, std::string_view caption) override { Get(node).caption = caption; }
  void SetImage(TreeNode node, int image) override { Get(node).image = image; }
  void SetStateIndex(TreeNode node, int state_index) override { Get(node).state_index = state_index; }
  int StateIndex(TreeNode node) const override { return Get(node).state_index; }
  void Expand(TreeNode node) override { Get(node).expanded = true; }
  bool Expanded(TreeNode node) const override { return Get(node).expanded; }
  void Select(TreeNode node) override { selected_ = node; }
  TreeNode Selected() const override { return selected_; }
  void MakeVisible(TreeNode node) override { made_visible.push_back(node); }
  void ScrollLeft() override { ++scrolled_left; }
  std::vector<TreeNode> Children(TreeNode parent) const override {
    std::vector<TreeNode> out;
    for (const Node& n : nodes_) {
      if (n.parent == parent) out.push_back(n.id);
    }
    return out;
  }
  int Image(TreeNode node) const override { return Get(node).image; }
  // Stable, as the control's sort is not guaranteed to be: a test that
  // passes here relies on no order among equal keys.
  void SortChildren(TreeNode parent, TreeCompare compare) override {
    std::vector<Node> children;
    for (const Node& n : nodes_) {
      if (n.parent == parent) children.push_back(n);
    }
    std::stable_sort(children.begin(), children.end(),
                     [compare](const Node& a, const Node& b) { return compare(a.data, b.data) < 0; });
    std::size_t next = 0;
    for (Node& n : nodes_) {
      if (n.parent == parent) n = children[next++];
    }
    ++sorts;
  }
  void Repaint() override { ++repaints; }
  void OpenContextMenuAtCentre() override { ++context_menus_at_centre; }
  std::optional<DropAction> AskDropAction() override {
    ++drop_menus;
    return drop_action;
  }

  // The node whose collection is `coll`; 0 for none.
  TreeNode NodeOf(const TClipColl* coll) const {
    for (const Node& n : nodes_) {
      if (n.data == coll) return n.id;
    }
    return 0;
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (TreeNode node : Nodes()) out.push_back(Caption(node));
    return out;
  }

  std::vector<TreeNode> made_visible;
  int scrolled_left = 0;
  int sorts = 0;
  int repaints = 0;
  int context_menus_at_centre = 0;
  int drop_menus = 0;
  // The answer of the right-button drop menu.
  std::optional<DropAction> drop_action;

 private:
  void AppendSubtree(TreeNode parent, std::vector<TreeNode>& out) const {
    for (TreeNode child : Children(parent)) {
      out.push_back(child);
      AppendSubtree(child, out);
    }
  }
  const Node& Get(TreeNode node) const {
    for (const Node& n : nodes_) {
      if (n.id == node) return n;
    }
    throw std::out_of_range("no tree node " + std::to_string(node));
  }
  Node& Get(TreeNode node) { return const_cast<Node&>(static_cast<const FakeTree*>(this)->Get(node)); }

  std::vector<Node> nodes_;
  TreeNode last_id_ = 0;
  TreeNode selected_ = 0;
};

// A virtual list as the real one is: it holds a row count, the selection
// and the focus, and asks its row source for every text it shows.
class FakeClipList final : public IClipListWidget {
 public:
  void SetRowSource(IClipRowSource* source) override { source_ = source; }
  void BeginUpdate() override { ++updating; }
  void EndUpdate() override { --updating; }
  void SetRowCount(int count) override {
    selected_.assign(static_cast<std::size_t>(count), false);
    focused_ = -1;
    ++row_count_changes;
  }
  int Count() const override { return static_cast<int>(selected_.size()); }
  void RowInserted(int row) override {
    selected_.insert(selected_.begin() + row, false);
    if (focused_ >= row) ++focused_;
  }
  void RowsChanged(int first, int last) override { ++rows_changed; }
  void ClearSelection() override { selected_.assign(selected_.size(), false); }
  void SetSelected(int index, bool selected) override {
    if (index >= 0 && index < Count()) selected_[static_cast<std::size_t>(index)] = selected;
  }
  bool IsSelected(int index) const override { return selected_.at(static_cast<std::size_t>(index)); }
  int SelectedCount() const override { return static_cast<int>(std::count(selected_.begin(), selected_.end(), true)); }
  std::vector<int> SelectedRows() const override {
    std::vector<int> rows;
    for (int i = 0; i < Count(); ++i) {
      if (selected_[static_cast<std::size_t>(i)]) rows.push_back(i);
    }
    return rows;
  }
  int Focused() const override { return focused_; }
  void SetFocused(int index) override { focused_ = index >= 0 && index < Count() ? index : -1; }
  void MakeVisible(int index) override { made_visible.push_back(index); }
  void SetViewStyle(ListViewStyle style) override { view_style = style; }
  ListViewStyle ViewStyle() const override { return view_style; }
  void SetMultiSelect(bool multi) override { multi_select = multi; }
  void SetHandCursor(bool hand) override { hand_cursor = hand; }
  // Records the menu as shown and answers with the queued choice (none:
  // closed without one).
  std::optional<ClipMenuCommand> PopupMenu(const std::vector<ClipMenuEntry>& entries, bool at_centre) override {
    shown_menus.push_back(entries);
    menu_at_centre = at_centre;
    std::optional<ClipMenuCommand> choice = menu_choice;
    menu_choice.reset();
    return choice;
  }
  // Whether the last menu shown had `command` enabled.
  bool MenuEnabled(ClipMenuCommand command) const {
    for (const ClipMenuEntry& entry : shown_menus.at(shown_menus.size() - 1)) {
      if (entry.command == command) return entry.enabled;
    }
    throw std::out_of_range("no such entry in the menu");
  }
  void SetThumbnailImages(int size, int count) override {
    thumbnail_size = size;
    thumbnails.assign(static_cast<std::size_t>(std::max(count, 0)), ThumbnailPicture{});
  }
  void DrawThumbnail(int image, const ThumbnailPicture& picture) override {
    thumbnails.at(static_cast<std::size_t>(image)) = picture;
    ++thumbnails_drawn;
  }
  // The icon view shows `visible_count` rows from `first_visible`.
  std::vector<int> VisibleRows() const override {
    std::vector<int> rows;
    if (view_style != ListViewStyle::kIcons) return rows;
    for (int row = std::max(first_visible, 0); row < Count() && row < first_visible + visible_count; ++row) {
      rows.push_back(row);
    }
    return rows;
  }
  // Records the text; the drag ends as `drag_end` says.
  DragEnd DragText(std::string_view text) override {
    dragged_texts.emplace_back(text);
    return drag_end;
  }
  std::vector<std::string> dragged_texts;
  DragEnd drag_end{DragOutcome::kDropped, 0};

  // What the control would show in a cell, asked of the row source.
  std::string Text(int index, int column) const {
    if (index < 0 || index >= Count()) throw std::out_of_range("no list row " + std::to_string(index));
    return source_ != nullptr ? source_->CellText(index, column) : std::string();
  }
  int Image(int index) const { return source_ != nullptr ? source_->RowImage(index) : -1; }
  // Draws a row as the control does: asks for its texts, then says so.
  void Draw(int index) {
    for (int column = 0; column < kColumns; ++column) Text(index, column);
    if (source_ != nullptr) source_->RowDrawn(index);
  }
  int ColumnWidth(int column) const override {
    const auto found = column_widths.find(column);
    return found == column_widths.end() ? 0 : found->second;
  }
  // Only the list's own columns, as the control does.
  void SetColumnWidth(int column, int width) override {
    if (column_widths.count(column) != 0) column_widths[column] = width;
  }
  std::vector<int> ColumnOrder() const override { return column_order; }
  void SetColumnOrder(const std::vector<int>& order) override {
    if (IsColumnOrder(order, kColumns)) column_order = order;
  }
  void ShowSortArrow(int column, bool ascending) override {
    arrow_column = column;
    arrow_ascending = ascending;
  }
  std::optional<SortArrow> ShownSortArrow() const override {
    if (arrow_column < 0) return std::nullopt;
    return SortArrow{arrow_column, arrow_ascending};
  }
  bool ArrowKeyHeld() const override { return arrow_key_held; }
  void SetIconDrawing(bool show_type_icons, int widest_icon_strip) override {
    type_icons = show_type_icons;
    icon_strip = widest_icon_strip;
  }

  std::vector<std::string> Column(int column) const {
    std::vector<std::string> out;
    for (int i = 0; i < Count(); ++i) out.push_back(Text(i, column));
    return out;
  }
  // What a click on a row does to the control: that row alone selected and
  // focused.
  void Click(int index) {
    ClearSelection();
    SetSelected(index, true);
    SetFocused(index);
  }

  int updating = 0;
  bool multi_select = true;
  bool hand_cursor = false;
  std::vector<std::vector<ClipMenuEntry>> shown_menus;
  bool menu_at_centre = false;
  std::optional<ClipMenuCommand> menu_choice;
  int row_count_changes = 0;
  int rows_changed = 0;
  ListViewStyle view_style = ListViewStyle::kDetails;
  bool arrow_key_held = false;
  // As last told by SetIconDrawing; -1 before.
  bool type_icons = false;
  int icon_strip = -1;
  int arrow_column = -1;
  bool arrow_ascending = false;
  // Twelve columns of 100 pixels in their own order to begin with.
  static constexpr int kColumns = 12;
  std::map<int, int> column_widths = [] {
    std::map<int, int> widths;
    for (int column = 0; column < kColumns; ++column) widths[column] = 100;
    return widths;
  }();
  std::vector<int> column_order = [] {
    std::vector<int> order(kColumns);
    std::iota(order.begin(), order.end(), 0);
    return order;
  }();
  std::vector<int> made_visible;
  // The icon view's window on the rows, and the thumbnails drawn in it.
  int first_visible = 0;
  int visible_count = 20;
  int thumbnail_size = 0;
  std::vector<ThumbnailPicture> thumbnails;
  int thumbnails_drawn = 0;

 private:
  IClipRowSource* source_ = nullptr;
  std::vector<bool> selected_;
  int focused_ = -1;
};

class FakeMenus final : public IMenus {
 public:
  struct State {
    bool checked = false;
    bool enabled = true;
    bool visible = true;
  };
  void SetChecked(MenuItem item, bool checked) override { items[item].checked = checked; }
  void SetEnabled(MenuItem item, bool enabled) override { items[item].enabled = enabled; }
  void SetVisible(MenuItem item, bool visible) override { items[item].visible = visible; }
  std::map<MenuItem, State> items;
};

class FakeStatusBar final : public IStatusBar {
 public:
  void SetPanelText(int panel, std::string_view text) override {
    panels[panel] = text;
    if (panel == 0) history.emplace_back(text);
  }
  bool Showed(const std::string& text) const {
    return std::find(history.begin(), history.end(), text) != history.end();
  }
  std::map<int, std::string> panels;
  std::vector<std::string> history;  // panel 0, oldest first
};

class FakeTray final : public ITrayIcon {
 public:
  void SetActive(bool value) override { active = value; }
  void SetImage(TrayImage value) override { image = value; }
  bool active = false;
  TrayImage image = TrayImage::kNormal;
};

// The icon picker's window: `act` plays the user (clicks cells, double
// clicks the label) while it is up; `ok` is how it closes.
class FakeSelectBitmapView final : public ISelectBitmapView {
 public:
  bool ShowModal(TfrmSelectBitmap& dialog) override {
    ++shown;
    if (act) act(dialog);
    return ok;
  }
  void SetCaption(const std::string& value) override { caption = value; }
  void ShowImages(const std::vector<int>& value) override { images = value; }
  std::function<void(TfrmSelectBitmap&)> act;
  bool ok = true;
  int shown = 0;
  std::string caption;
  std::vector<int> images;
};

// The data-source properties window: `edit` plays the user.
class FakeDSPropView final : public IDSPropView {
 public:
  bool ShowModal(const std::string& value, TDSPropFields& fields) override {
    ++shown;
    caption = value;
    if (edit) edit(fields);
    return ok;
  }
  std::function<void(TDSPropFields&)> edit;
  bool ok = true;
  int shown = 0;
  std::string caption;
};

// The find dialog's window: `edit` plays the user on the fields it shows
// (kept in `shown`); `ok` is how it closes.
class FakeFindView final : public IFindView {
 public:
  bool ShowModal(TfrmFind& dialog, TFindFields& fields) override {
    shown.push_back(fields);
    if (edit) edit(dialog, fields);
    return ok;
  }
  std::function<void(TfrmFind&, TFindFields&)> edit;
  bool ok = true;
  std::vector<TFindFields> shown;
};

class FakeShell final : public IFormShell {
 public:
  std::uintptr_t Handle() const override { return handle; }
  // A test may make it a window of the simulated desktop.
  std::uintptr_t handle = 0x5150;
  void SetBusy(bool value) override {
    busy = value;
    busy_history.push_back(value);
  }
  void SetHeaderText(std::string_view text) override {
    header = text;
    header_history.emplace_back(text);
  }
  void SetPreviewVisible(bool visible) override { preview_visible = visible; }
  void SetClipPanelVisible(bool visible) override { clip_panel_visible = visible; }
  void LeaveTopmost() override { ++left_topmost; }
  void RestoreVisibility() override { ++restored_visibility; }
  void Minimize() override { ++minimized; }
  void Close() override { ++close_requests; }
  bool CtrlKeyDown() const override { return ctrl_down; }
  // Asked now and then by a long search: `escape_down` answers (after
  // `on_escape_query`, which lets a test move time on).
  bool EscapeKeyDown() const override {
    ++escape_queries;
    if (on_escape_query) on_escape_query();
    return escape_down;
  }
  // No browser on the simulated desktop: the HTML preview is never there.
  IWebBrowserView* CreateHtmlView(std::string& error) override {
    error = "no browser here";
    return nullptr;
  }
  void DestroyHtmlView() override {}
  void SetCollectionButtonImage(int image) override { collection_button_image = image; }
  void SetGlueButtonDown(bool down) override { glue_button_down = down; }
  void ShowPickdropLayout(bool shown) override { pickdrop_layout = shown; }
  void SetPickdropButtons(bool lock, bool tab, bool enter, bool sticky) override {
    pd_lock = lock;
    pd_tab = tab;
    pd_enter = enter;
    pd_sticky = sticky;
  }
  void ShowMe() override {
    ++shown_me;
    visible = true;
  }
  bool Visible() const override { return visible; }
  void Hide() override { visible = false; }
  void FocusClipList() override { ++clip_list_focused; }
  void ShowAlternates(bool shown) override { alternates_shown = shown; }
  void SetAlternateCaption(std::string_view caption) override { alternate_caption = caption; }
  void FocusAlternateList() override { ++alternate_list_focused; }
  // The "Set" menu: what it showed; the entry `alternate_choice` names (by
  // its caption, trimmed) is chosen.
  std::optional<int> PopupAlternateMenu(const std::vector<CollectionMenuEntry>& entries) override {
    alternate_menus.push_back(entries);
    for (std::size_t i = 0; alternate_choice && i < entries.size(); ++i) {
      const std::string& caption = entries[i].caption;
      if (caption.substr(std::min(caption.find_first_not_of(' '), caption.size())) == *alternate_choice) {
        return static_cast<int>(i);
      }
    }
    return std::nullopt;
  }
  bool alternates_shown = false;
  std::string alternate_caption;
  int alternate_list_focused = 0;
  std::optional<std::string> alternate_choice;
  std::vector<std::vector<CollectionMenuEntry>> alternate_menus;
  bool pickdrop_layout = false;
  bool pd_lock = false;
  bool pd_tab = false;
  bool pd_enter = false;
  bool pd_sticky = false;
  int shown_me = 0;
  bool visible = true;
  int clip_list_focused = 0;
  void SetStepfeedButtons(bool up, bool down) override {
    stepfeed_up_down = up;
    stepfeed_down_down = down;
  }
  bool stepfeed_up_down = false;
  bool stepfeed_down_down = false;
  void ShowToolButtons(bool search, bool line_breaks) override {
    search_button_shown = search;
    line_breaks_button_shown = line_breaks;
  }
  bool search_button_shown = false;
  bool line_breaks_button_shown = true;
  int CollectionImageCount() const override { return collection_image_count; }
  ISelectBitmapView& SelectBitmapView() override { return select_bitmap; }
  IDSPropView& DSPropView() override { return ds_prop; }
  IFindView& FindView() override { return find; }
  std::optional<std::string> PickDirectory(std::string_view proposed) override {
    proposed_directories.emplace_back(proposed);
    return picked_directory;
  }
  int MenuEntriesPerColumn() const override { return 0; }
  void SetMoveClipsHint(std::string_view hint) override { move_clips_hint = hint; }
  std::string move_clips_hint;
  // The move/copy menu: what it showed, and the user's choice (`file_clip_
  // choice`: an entry's caption, trimmed; nullopt closes it).
  std::optional<int> PopupFileClipMenu(const std::vector<CollectionMenuEntry>& entries) override {
    file_clip_menus.push_back(entries);
    if (!file_clip_choice) return std::nullopt;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::string& caption = entries[i].caption;
      if (caption.substr(std::min(caption.find_first_not_of(' '), caption.size())) == *file_clip_choice) {
        return static_cast<int>(i);
      }
    }
    return std::nullopt;
  }
  std::vector<std::vector<CollectionMenuEntry>> file_clip_menus;
  std::optional<std::string> file_clip_choice;

  bool busy = false;
  std::vector<bool> busy_history;
  std::string header;
  std::vector<std::string> header_history;
  bool preview_visible = true;
  bool clip_panel_visible = false;
  int left_topmost = 0;
  int restored_visibility = 0;
  int minimized = 0;
  int close_requests = 0;
  bool ctrl_down = false;
  int collection_button_image = -1;
  bool glue_button_down = false;
  int collection_image_count = 16;
  FakeSelectBitmapView select_bitmap;
  FakeDSPropView ds_prop;
  FakeFindView find;
  bool escape_down = false;
  mutable int escape_queries = 0;
  std::function<void()> on_escape_query;
  // The folder picker's answer, and where it was asked to start.
  std::optional<std::string> picked_directory;
  std::vector<std::string> proposed_directories;
};

// The preview pane: tabs, the text pane as a string with a selection and a
// modified flag, the other tabs' content as what they were last given.
class FakePreview final : public IPreviewWidget {
 public:
  void SetTabVisible(PreviewTab tab, bool visible) override {
    visible_[Index(tab)] = visible;
    if (!visible && active_ == tab) {
      // Like a tab control, the next visible tab becomes active.
      active_.reset();
      for (int i = 0; i < kPreviewTabCount; ++i)
        if (visible_[i]) {
          active_ = static_cast<PreviewTab>(i);
          break;
        }
    }
    if (visible && !active_) active_ = tab;
  }
  bool TabVisible(PreviewTab tab) const override { return visible_[Index(tab)]; }
  std::optional<PreviewTab> ActiveTab() const override { return active_; }
  void SetActiveTab(PreviewTab tab) override {
    if (TabVisible(tab)) active_ = tab;
  }
  void SetHtmlCaption(std::string_view caption) override { html_caption = caption; }
  void FixPageControl() override { ++fixed; }

  void SetText(std::string_view value) override {
    text = value;
    modified = false;
    can_undo = false;
    selection = {};
  }
  std::string Text() const override { return text; }
  int LineCount() const override {
    if (text.empty()) return 0;
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }
  bool Modified() const override { return modified; }
  void SetModified(bool value) override { modified = value; }
  TextSelection Selection() const override { return selection; }
  void Select(TextSelection value) override { selection = value; }
  void FocusText() override { ++text_focused; }
  void SetWordWrap(bool wrap) override { word_wrap = wrap; }
  void SetTextFont(const TFontDesc& value) override { font = value; }
  bool CanUndo() const override { return can_undo; }
  void Undo() override { ++undos; }
  void EmptyUndoBuffer() override { can_undo = false; }
  void CutToClipboard() override { clipboard_ops.push_back("cut"); }
  void CopyToClipboard() override { clipboard_ops.push_back("copy"); }
  void PasteFromClipboard() override { clipboard_ops.push_back("paste"); }
  // What the user does in the pane: types a new text (modified, undoable).
  void Type(std::string_view value) {
    text = value;
    modified = true;
    can_undo = true;
  }

  bool LoadRichTextFile(std::string_view path) override {
    rtf_loaded_from = path;
    rtf_plain.clear();
    return rtf_load_ok;
  }
  void SetRichTextPlain(std::string_view value) override {
    rtf_plain = value;
    rtf_loaded_from.clear();
  }
  int RichTextLength() const override { return rich_text_length; }

  void ShowBitmap(const TBitmap* value) override { bitmap = value != nullptr ? std::optional<TBitmap>(*value) : std::nullopt; }
  void SetBitmapStretch(bool value) override { bitmap_stretch = value; }
  bool BitmapStretch() const override { return bitmap_stretch; }
  void SetBitmapSizeText(std::string_view value) override { bitmap_size_text = value; }
  void ShowPicture(const TMetafile* value) override { has_picture = value != nullptr; }
  void SetPictureStretch(bool value) override { picture_stretch = value; }
  bool PictureStretch() const override { return picture_stretch; }

  void SetBinaryFormats(const std::vector<BinaryFormatEntry>& entries, int selected) override {
    binary_formats = entries;
    binary_selected = selected;
  }
  std::optional<std::uint32_t> SelectedBinaryFormat() const override {
    if (binary_selected < 0 || binary_selected >= static_cast<int>(binary_formats.size())) return std::nullopt;
    return binary_formats[static_cast<std::size_t>(binary_selected)].format;
  }
  void ShowBinary(const std::uint8_t* data, std::size_t size) override {
    binary.assign(data, data + size);
    ++binary_shown;
  }

  void SetButtonEnabled(PreviewButton button, bool enabled) override { button_enabled[button] = enabled; }
  void SetButtonDown(PreviewButton button, bool down) override { button_down[button] = down; }
  void SetPinImage(int image) override {
    pin_image = image;
    pin_images.push_back(image);
  }
  void SetTextMenuEnabled(TextMenuItem item, bool enabled) override { menu_enabled[item] = enabled; }
  void SetMainLineBreakButtonEnabled(bool enabled) override { main_line_break_enabled = enabled; }
  std::optional<TFontDesc> ChooseFont(const TFontDesc& start) override {
    font_dialog_started_with = start;
    return chosen_font;
  }
  void SetPreviewExpanded(bool value) override { expanded = value; }

  bool Enabled(PreviewButton button) const {
    auto it = button_enabled.find(button);
    return it != button_enabled.end() && it->second;
  }
  // The visible tabs in order.
  std::vector<PreviewTab> VisibleTabs() const {
    std::vector<PreviewTab> out;
    for (int i = 0; i < kPreviewTabCount; ++i)
      if (visible_[i]) out.push_back(static_cast<PreviewTab>(i));
    return out;
  }

  std::string html_caption;
  int fixed = 0;
  std::string text;
  bool modified = false;
  TextSelection selection;
  int text_focused = 0;
  bool word_wrap = false;
  TFontDesc font;
  bool can_undo = false;
  int undos = 0;
  std::vector<std::string> clipboard_ops;
  bool rtf_load_ok = true;
  std::string rtf_loaded_from;
  std::string rtf_plain;
  int rich_text_length = 0;
  std::optional<TBitmap> bitmap;
  bool bitmap_stretch = false;
  std::string bitmap_size_text;
  bool has_picture = false;
  bool picture_stretch = true;
  std::vector<BinaryFormatEntry> binary_formats;
  int binary_selected = -1;
  std::vector<std::uint8_t> binary;
  int binary_shown = 0;
  std::map<PreviewButton, bool> button_enabled;
  std::map<PreviewButton, bool> button_down;
  int pin_image = 0;
  std::vector<int> pin_images;
  std::map<TextMenuItem, bool> menu_enabled;
  bool main_line_break_enabled = false;
  std::optional<TFontDesc> chosen_font;
  std::optional<TFontDesc> font_dialog_started_with;
  bool expanded = false;

 private:
  static int Index(PreviewTab tab) { return static_cast<int>(tab); }
  bool visible_[kPreviewTabCount] = {};
  std::optional<PreviewTab> active_;
};

struct FakeMainWidgets {
  FakeTree tree;
  FakeClipList clips;
  FakeClipList alternate_clips;
  FakeMenus menus;
  FakeStatusBar status;
  FakeTray tray;
  FakeShell shell;
  FakePreview preview;
  MainFormWidgets bundle{tree, clips, alternate_clips, menus, status, tray, shell, preview};
};

}  // namespace om::testing
