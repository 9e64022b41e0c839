// The main window "TfrmQL": the collections tree on the left, the clip list
// on the right, the status bar, the menus and the tray icon. It implements
// the widget interfaces over the real controls and forwards every user
// event to the behaviour (IMainFormEvents), deciding nothing itself.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/main/main_form_events.h"
#include "ui/main/widgets.h"
#include "ui/main/win32/clip_list_widget.h"
#include "ui/main/win32/main_menus.h"
#include "ui/main/win32/pickdrop_bar.h"
#include "ui/main/win32/preview_pane_widget.h"
#include "ui/dialogs/win32/web_browser_window.h"
#include "ui/components/win32/tool_bar.h"
#include "ui/components/win32/tray_icon.h"
#include "ui/dialogs/win32/ds_prop_window.h"
#include "ui/dialogs/win32/find_window.h"
#include "ui/dialogs/win32/select_bitmap_window.h"
#include "ui/main/win32/tree_widget.h"
#include "ui/components/win32/ui_handles.h"

namespace om::win32 {

// The window's caption while no collection is shown (its class is
// kMainWindowClass, program_entry.h).
inline constexpr char kMainWindowTitle[] = "Ottermoor";

// The status bar: from the left a 27-pixel panel (the tack button's, in the
// traditional view), a 100-pixel one (the preview's content size) and the
// status text in the rest. The widget's panel 0 is the status text, 1 the
// content size and 2 the tack's: StatusBar::Part says where each is shown.
class StatusBar final : public IStatusBar {
 public:
  StatusBar(HWND parent, int control_id);
  HWND hwnd() const { return hwnd_; }
  // The position (from the left) of a widget panel; -1 for none.
  static int Part(int panel);
  // Lays the panels out for the bar's width: the status text takes what the
  // others leave.
  void Layout();
  void SetPanelText(int panel, std::string_view text) override;
  std::string PanelText(int panel) const;

 private:
  HWND hwnd_ = nullptr;
};

// Where a drag of list rows is over: the preview's text pane takes the
// rows' texts; the list itself takes them in front of the row under the
// mouse (reordering the collection); the tree (filing the clips in a
// collection) does not take them yet.
enum class DropTarget { kNone, kTextPane, kTree, kList };

class MainWindow final : public IFormShell, private PreviewPaneHost {
 public:
  // Creates the window, hidden, with its controls, image lists, menus and
  // icons. `program_folder` (trailing backslash) holds the icon files and
  // the "buttons" folder; the module's resources serve where they are
  // missing. Check Created().
  MainWindow(HINSTANCE module, std::string program_folder);
  // Destroys the window if it is still there, without asking anybody.
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  bool Created() const { return hwnd_ != nullptr; }
  HWND hwnd() const { return hwnd_; }
  MainFormWidgets& Widgets() { return *widgets_; }

  // Where the user's events go from now on; nullptr: nowhere.
  void SetEvents(IMainFormEvents* events) { events_ = events; }
  // Called once the window is destroyed (the process entry ends its
  // message loop there).
  std::function<void()> OnDestroyed;

  // The keyboard shortcuts: true when `message` was one (and is handled).
  bool TranslateAccelerators(MSG& message);

  // The controls, for the Win32 tests.
  TreeWidget& tree() { return *tree_; }
  ClipListWidget& clips() { return *clips_; }
  StatusBar& status() { return *status_; }
  MainMenus& menus() { return menus_; }
  TrayIcon& tray() { return *tray_; }
  ToolBar& tool_bar() { return *tool_bar_; }
  PreviewPaneWidget& preview() { return *pane_; }
  bool preview_visible() const { return preview_visible_; }
  bool preview_expanded() const { return preview_expanded_; }
  bool dragging_rows() const { return dragging_rows_; }
  // The button that started the last drag of list rows.
  bool row_drag_right_button() const { return row_drag_right_button_; }

  // The tree's width and the clip list's height above the preview pane
  // (split1 and split2 of the settings); 0 leaves the window's own choice.
  void SetSplitters(int tree_width, int list_height);
  // Where a screen point is for a drag of list rows.
  DropTarget RowDropTargetAt(POINT screen) const;
  HIMAGELIST collection_images() const { return collection_images_.get(); }
  HIMAGELIST clip_images() const { return clip_images_.get(); }
  const std::string& header_text() const { return header_text_; }
  bool busy() const { return busy_; }

  // IFormShell
  std::uintptr_t Handle() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
  void SetBusy(bool busy) override;
  void SetHeaderText(std::string_view text) override;
  void SetPreviewVisible(bool visible) override;
  void SetClipPanelVisible(bool visible) override;
  void LeaveTopmost() override;
  void RestoreVisibility() override;
  void Minimize() override;
  void Close() override;
  void SetCollectionButtonImage(int image) override;
  void SetGlueButtonDown(bool down) override;
  void ShowToolButtons(bool search, bool line_breaks) override;
  void SetStepfeedButtons(bool up, bool down) override;
  void ShowPickdropLayout(bool shown) override;
  void SetPickdropButtons(bool lock, bool tab, bool enter, bool sticky) override;
  void ShowMe() override;
  bool Visible() const override;
  void Hide() override;
  void FocusClipList() override;
  void ShowAlternates(bool shown) override;
  void SetAlternateCaption(std::string_view caption) override;
  void FocusAlternateList() override;
  std::optional<int> PopupAlternateMenu(const std::vector<CollectionMenuEntry>& entries) override;
  ClipListWidget& alternate_clips() { return *alternate_clips_; }
  PickdropBar& pickdrop_bar() { return *pickdrop_bar_; }
  int CollectionImageCount() const override;
  ISelectBitmapView& SelectBitmapView() override;
  IDSPropView& DSPropView() override;
  IFindView& FindView() override;
  std::optional<std::string> PickDirectory(std::string_view proposed) override;
  int MenuEntriesPerColumn() const override;
  std::optional<int> PopupFileClipMenu(const std::vector<CollectionMenuEntry>& entries) override;
  void SetMoveClipsHint(std::string_view hint) override;
  bool CtrlKeyDown() const override { return ::GetKeyState(VK_CONTROL) < 0; }
  // The key as it is now, not as the message being handled saw it: a
  // long search asks between messages.
  bool EscapeKeyDown() const override { return (::GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0; }
  IWebBrowserView* CreateHtmlView(std::string& error) override;
  void DestroyHtmlView() override;

 private:
  static LRESULT CALLBACK TreeProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  // The tree's context menu at a screen point, and the collection menu.
  void ShowTreeMenu(POINT at, bool from_tool_button);
  void ShowCollectionMenu(POINT at);
  // A collection menu's entries at `at`, their node images beside them: the
  // chosen entry's position.
  std::optional<int> TrackCollectionMenu(const std::vector<CollectionMenuEntry>& entries, POINT at);
  IClipListEvents* ListEventsOf(bool alternate);
  LRESULT ListNotify(ClipListWidget& list, bool alternate, const NMHDR& header);
  // A drag of tree nodes: the mouse moved (screen point) or was released.
  void DragMove(POINT at);
  void DragEnd(bool drop, POINT at);
  // A drag of list rows (LVN_BEGINDRAG, LVN_BEGINRDRAG with the right
  // button): started (unless the list cancels it), the mouse moved (screen
  // point), released over `at` (drop) or ended without a drop (Esc, or the
  // capture lost). The mouse is captured for the drag's length only.
  void RowDragStart(bool right_button);
  // The tree's node under a point of the screen during a drag of rows (0:
  // none, or no tree events to ask).
  TreeNode RowDragTreeNode(POINT screen) const;
  void RowDragMove(POINT at);
  void RowDragEnd(bool drop, POINT at);
  // The clip list's row under a screen point; -1 for none.
  int ListRowAt(POINT screen) const;
  // PreviewPaneHost
  IPreviewEvents* PaneEvents() override;
  void ExpandPane(bool expanded) override;
  void EnableMainLineBreakButton(bool enabled) override;
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void CreateControls();
  void OnClose();
  LRESULT OnNotify(const NMHDR& header);
  void OnCommand(UINT id);
  void OnTray(UINT mouse_message);
  void Layout();

  HINSTANCE module_;
  std::string program_folder_;
  HWND hwnd_ = nullptr;
  IMainFormEvents* events_ = nullptr;

  ImageList collection_images_;
  ImageList clip_images_;
  ImageList flag_images_;
  Icon big_icon_;
  Icon small_icon_;
  Icon tray_normal_;
  Icon tray_disabled_;
  MainMenus menus_;
  std::unique_ptr<TreeWidget> tree_;
  std::unique_ptr<ClipListWidget> clips_;
  std::unique_ptr<StatusBar> status_;
  std::unique_ptr<TrayIcon> tray_;
  std::unique_ptr<MainFormWidgets> widgets_;
  WNDPROC list_proc_ = nullptr;
  WNDPROC tree_proc_ = nullptr;
  std::unique_ptr<ToolBar> tool_bar_;
  std::unique_ptr<PickdropBar> pickdrop_bar_;
  std::unique_ptr<ClipListWidget> alternate_clips_;
  HWND alternate_caption_ = nullptr;
  bool alternates_shown_ = false;
  std::unique_ptr<PreviewPaneWidget> pane_;
  std::unique_ptr<WebBrowserWindow> html_view_;
  std::unique_ptr<SelectBitmapWindow> select_bitmap_;
  std::unique_ptr<DSPropWindow> ds_prop_;
  std::unique_ptr<FindDialogWindow> find_;
  bool dragging_nodes_ = false;
  bool dragging_rows_ = false;
  bool row_drag_right_button_ = false;
  bool preview_visible_ = false;
  bool preview_expanded_ = false;
  int split_tree_width_ = 0;
  int split_list_height_ = 0;

  std::string header_text_;
  bool clip_panel_visible_ = true;
  bool busy_ = false;
  HWND focus_before_busy_ = nullptr;
  HWND last_focus_ = nullptr;
  int topmost_left_ = 0;
  bool topmost_before_ = false;
  UINT taskbar_created_ = 0;
};

}  // namespace om::win32
