// The real main window is wired to its behaviour: the user's actions on the
// controls reach IMainFormEvents, the behaviour's own changes through the
// widgets do not come back as the user's, and what the widgets are told
// shows up in the controls.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "child_process.h"
#include "ui/main/win32/image_lists.h"
#include "ui/main/win32/main_window.h"
#include "platform/handler_errors.h"

namespace om::test {
namespace {

using win32::MainWindow;

// Records every call, in order, as text; the answers are set by the test.
class Recorder final : public IMainFormEvents, public ITreeEvents, public IClipListEvents {
 public:
  std::vector<std::string> calls;
  bool allow_close = true;
  // Thrown from MenuClick and WMQueryEndSession when set.
  std::string fail_with;

  void FormShow() override { calls.push_back("FormShow"); }
  bool FormCloseQuery() override {
    calls.push_back("FormCloseQuery");
    return allow_close;
  }
  void FormClose() override { calls.push_back("FormClose"); }
  bool WMQueryEndSession() override {
    calls.push_back("WMQueryEndSession");
    if (!fail_with.empty()) throw std::runtime_error(fail_with);
    return true;
  }
  void AppDeactivate() override { calls.push_back("AppDeactivate"); }
  void MenuClick(MenuCommand command) override {
    calls.push_back("MenuClick " + std::to_string(static_cast<int>(command)));
    if (!fail_with.empty()) throw std::runtime_error(fail_with);
  }
  ITreeEvents* TreeEvents() override { return this; }
  IClipListEvents* ClipListEvents() override { return this; }
  // The preview pane's events have tests of their own (preview_pane_test.cc).
  IPreviewEvents* PreviewEvents() override { return nullptr; }
  void tvCollectionsChange(TreeNode node) override { calls.push_back("tvCollectionsChange " + std::to_string(node)); }
  void tvCollectionsMouseMove(TreeNode node) override {
    calls.push_back("tvCollectionsMouseMove " + std::to_string(node));
  }
  void tvCollectionsKeyDown(int key, bool shift, bool ctrl) override {
    calls.push_back("tvCollectionsKeyDown " + std::to_string(key) + (shift ? " shift" : "") + (ctrl ? " ctrl" : ""));
  }
  void cmdCollectionsClick(bool ctrl) override { calls.push_back(std::string("cmdCollectionsClick") + (ctrl ? " ctrl" : "")); }
  void lvClipsChange(int index, ListChange change) override {
    calls.push_back("lvClipsChange " + std::to_string(index) + " " + std::to_string(static_cast<int>(change)));
  }
  void lvClipsKeyUp(int virtual_key) override { calls.push_back("lvClipsKeyUp " + std::to_string(virtual_key)); }
  void lvClipsColumnClick(int column) override { calls.push_back("lvClipsColumnClick " + std::to_string(column)); }
  void lvClipsClick() override { calls.push_back("lvClipsClick"); }
  void lvClipsDblClick() override { calls.push_back("lvClipsDblClick"); }
  bool lvClipsKeyDown(int virtual_key, KeyModifiers keys) override {
    calls.push_back("lvClipsKeyDown " + std::to_string(virtual_key) + (keys.ctrl ? " ctrl" : "") +
                    (keys.shift ? " shift" : ""));
    return handle_keys;
  }
  void lvClipsMouseDown(MouseButton button, KeyModifiers, int row, int column) override {
    calls.push_back("lvClipsMouseDown " + std::to_string(static_cast<int>(button)) + " " + std::to_string(row) +
                    " " + std::to_string(column));
  }
  void lvClipsMouseMove(int row, int column) override {
    calls.push_back("lvClipsMouseMove " + std::to_string(row) + " " + std::to_string(column));
  }
  void PopupMenuClipsPopup(bool from_keyboard) override {
    calls.push_back(std::string("PopupMenuClipsPopup") + (from_keyboard ? " keyboard" : " mouse"));
  }
  bool handle_keys = false;
  bool lvClipsStartDrag() override {
    calls.push_back("lvClipsStartDrag");
    return allow_drag;
  }
  bool lvClipsDragOver(DragSource source) override {
    calls.push_back("lvClipsDragOver " + std::to_string(static_cast<int>(source)));
    return accept_drop;
  }
  void lvClipsDragDrop(int row) override { calls.push_back("lvClipsDragDrop " + std::to_string(row)); }
  void lvClipsEndDrag() override { calls.push_back("lvClipsEndDrag"); }
  bool tvCollectionsDragOver(TreeNode node, DragSource source) override {
    calls.push_back("tvCollectionsDragOver " + std::to_string(node) + " " + std::to_string(static_cast<int>(source)));
    return accept_tree_drop;
  }
  void tvCollectionsDragDrop(TreeNode node, DragSource source, bool right_button) override {
    calls.push_back("tvCollectionsDragDrop " + std::to_string(node) + " " + std::to_string(static_cast<int>(source)) +
                    (right_button ? " right" : " left"));
  }
  bool allow_drag = true;
  bool accept_tree_drop = true;
  bool accept_drop = true;
  // The calls of the drag of rows only.
  std::vector<std::string> DragCalls() const {
    std::vector<std::string> drag;
    for (const std::string& call : calls) {
      if (call.find("Drag") != std::string::npos) drag.push_back(call);
    }
    return drag;
  }
  // Paints are counted, not recorded: they come whenever the system likes.
  void lvClipsPaint() override { ++paints; }
  int paints = 0;

  bool Has(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }
  int CountStarting(const std::string& prefix) const {
    return static_cast<int>(
        std::count_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
  }
};

// The rows a test shows: each row's texts by column and its image.
class TestRows final : public IClipRowSource {
 public:
  struct Row {
    std::vector<std::string> cells;
    int image = -1;
  };
  std::vector<Row> rows;
  std::vector<int> drawn;

  std::string CellText(int row, int column) const override {
    const auto& cells = rows.at(static_cast<std::size_t>(row)).cells;
    return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)] : "";
  }
  int RowImage(int row) const override { return rows.at(static_cast<std::size_t>(row)).image; }
  void RowDrawn(int row) override { drawn.push_back(row); }
  // Shows them in `list`.
  void ShowIn(IClipListWidget& list) {
    list.SetRowSource(this);
    list.SetRowCount(static_cast<int>(rows.size()));
  }
};

std::string Call(MenuCommand command) { return "MenuClick " + std::to_string(static_cast<int>(command)); }

// Runs this thread's message loop as the program does, shortcuts included,
// until `condition` holds (or 10 s pass).
bool RunLoopUntil(MainWindow& window, const std::function<bool()>& condition) {
  const DWORD start = ::GetTickCount();
  while (!condition()) {
    if (::GetTickCount() - start > 10000) return false;
    MSG m;
    while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (window.TranslateAccelerators(m)) continue;
      ::TranslateMessage(&m);
      ::DispatchMessageA(&m);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

bool sentinel_fired = false;
void CALLBACK SentinelFired(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  sentinel_fired = true;
}

// Runs the loop until a timer of `ms`, set now, has fired: every timer of
// the window that runs out earlier has been handled by then.
bool RunLoopPastTimers(MainWindow& window, UINT ms) {
  sentinel_fired = false;
  if (::SetTimer(nullptr, 0, ms, &SentinelFired) == 0) return false;
  return RunLoopUntil(window, [] { return sentinel_fired; });
}

// The menu entry captioned `caption` (ampersands and shortcut text
// included) anywhere below `menu`: its identifier, 0 when there is none.
UINT FindMenuId(HMENU menu, const std::string& caption) {
  for (int i = 0, n = ::GetMenuItemCount(menu); i < n; ++i) {
    if (HMENU sub = ::GetSubMenu(menu, i)) {
      if (UINT id = FindMenuId(sub, caption)) return id;
      continue;
    }
    char text[256] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    if (caption == text) return ::GetMenuItemID(menu, i);
  }
  return 0;
}

std::vector<std::string> MenuCaptions(HMENU menu) {
  std::vector<std::string> captions;
  for (int i = 0, n = ::GetMenuItemCount(menu); i < n; ++i) {
    char text[256] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    captions.push_back(text);
  }
  return captions;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.Created());
    window.SetEvents(&events);
    previous_sink = SetHandlerErrorSink([this](std::exception_ptr error) { errors.push_back(HandlerErrorText(error)); });
  }
  void TearDown() override {
    window.Widgets().clips.SetRowSource(nullptr);
    SetHandlerErrorSink(previous_sink);
  }

  MainWindow window{::GetModuleHandleA(nullptr), ExecutableDir()};
  Recorder events;
  std::vector<std::string> errors;
  HandlerErrorSink previous_sink;
};

TEST_F(MainWindowTest, TheUsersTreeSelectionIsReportedAndTheBehavioursIsNot) {
  ITreeWidget& tree = window.Widgets().tree;
  auto* first = reinterpret_cast<TClipColl*>(0x1000);
  auto* second = reinterpret_cast<TClipColl*>(0x2000);
  const TreeNode source = tree.Add(0, "My Clips", 7, nullptr);
  const TreeNode a = tree.Add(source, "Short-Term", 10, first);
  const TreeNode b = tree.Add(source, "Long-Term", 11, second);
  const TreeNode trash = tree.Add(0, "Trash Can", 9, nullptr);
  ASSERT_NE(a, 0u);

  EXPECT_EQ(tree.Nodes(), (std::vector<TreeNode>{source, a, b, trash}));
  EXPECT_EQ(tree.Parent(b), source);
  EXPECT_EQ(tree.Parent(trash), 0u);
  EXPECT_EQ(tree.Data(b), second);
  EXPECT_EQ(tree.Caption(a), "Short-Term");
  tree.SetCaption(a, "Renamed");
  EXPECT_EQ(tree.Caption(a), "Renamed");
  tree.SetStateIndex(a, 5);
  EXPECT_EQ(tree.StateIndex(a), 5);
  EXPECT_EQ(tree.StateIndex(b), -1);
  tree.SetStateIndex(a, -1);
  EXPECT_EQ(tree.StateIndex(a), -1);
  tree.Expand(source);
  EXPECT_TRUE(tree.Expanded(source));

  // The behaviour's selection is not reported back to it...
  tree.Select(a);
  EXPECT_EQ(tree.Selected(), a);
  ASSERT_TRUE(RunLoopPastTimers(window, 300));
  // ...the user's is (the control is driven as the mouse would).
  TreeView_SelectItem(window.tree().hwnd(), reinterpret_cast<HTREEITEM>(b));
  ASSERT_TRUE(RunLoopUntil(window, [&] { return events.CountStarting("tvCollectionsChange") > 0; }));
  EXPECT_EQ(events.calls, (std::vector<std::string>{"tvCollectionsChange " + std::to_string(b)}));

  // A removal under a pending report drops it: no report of a dead node.
  TreeView_SelectItem(window.tree().hwnd(), reinterpret_cast<HTREEITEM>(a));
  tree.Remove(a);
  TreeView_SelectItem(window.tree().hwnd(), reinterpret_cast<HTREEITEM>(trash));
  ASSERT_TRUE(RunLoopUntil(window, [&] { return events.CountStarting("tvCollectionsChange") > 1; }));
  EXPECT_EQ(events.calls.back(), "tvCollectionsChange " + std::to_string(trash));
  EXPECT_FALSE(events.Has("tvCollectionsChange " + std::to_string(a)));
}

TEST_F(MainWindowTest, TheUsersListChangesAreReportedAndTheBehavioursAreNot) {
  IClipListWidget& list = window.Widgets().clips;
  TestRows rows;
  for (int i = 0; i < 3; ++i) rows.rows.push_back({{"row " + std::to_string(i), std::to_string(i * 100)}, 0});
  rows.ShowIn(list);
  list.SetSelected(1, true);
  list.SetFocused(1);
  list.MakeVisible(2);
  list.ClearSelection();
  list.SetSelected(2, true);
  EXPECT_TRUE(events.calls.empty()) << events.calls.front();
  EXPECT_EQ(list.SelectedCount(), 1);
  EXPECT_EQ(list.Focused(), 1);

  const HWND control = window.clips().hwnd();
  ListView_SetItemState(control, 0, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_TRUE(events.Has("lvClipsChange 0 " + std::to_string(static_cast<int>(ListChange::kState))));

  ::PostMessageA(control, WM_KEYUP, VK_DOWN, 0);
  ASSERT_TRUE(RunLoopUntil(window, [&] { return events.Has("lvClipsKeyUp " + std::to_string(VK_DOWN)); }));

  // A click on the "Serial" header reaches the behaviour as a column click.
  const HWND header = ListView_GetHeader(control);
  RECT serial{};
  ASSERT_TRUE(Header_GetItemRect(header, 4, &serial));
  const LPARAM at = MAKELPARAM((serial.left + serial.right) / 2, (serial.top + serial.bottom) / 2);
  ::SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(header, WM_LBUTTONUP, 0, at);
  ASSERT_TRUE(RunLoopUntil(window, [&] { return events.Has("lvClipsColumnClick 4"); }));
}

TEST_F(MainWindowTest, TheVirtualListShowsItsSourcesRowsAndKeepsTheSelectionOnInsert) {
  IClipListWidget& list = window.Widgets().clips;
  const HWND control = window.clips().hwnd();
  ASSERT_TRUE(::GetWindowLongPtrA(control, GWL_STYLE) & LVS_OWNERDATA);
  TestRows rows;
  for (const char* title : {"alpha", "bravo", "charlie"}) {
    rows.rows.push_back({{title, "100", "01/02/2024 10:00:00", "CLIPTOOL", "7", "Y", "N", "N", "N", "N", "N",
                          "http://x/"},
                         0});
  }
  rows.ShowIn(list);
  ASSERT_EQ(list.Count(), 3);
  // The control asks the source for what it shows.
  char text[64] = {};
  ListView_GetItemText(control, 1, 0, text, sizeof text);
  EXPECT_STREQ(text, "bravo");
  ListView_GetItemText(control, 2, 11, text, sizeof text);
  EXPECT_STREQ(text, "http://x/");
  // Painting a row tells the source it was drawn (the window is hidden:
  // the list paints into a bitmap).
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 400, 200);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  ::SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  EXPECT_NE(std::find(rows.drawn.begin(), rows.drawn.end(), 0), rows.drawn.end());

  list.SetSelected(1, true);
  list.SetSelected(2, true);
  list.SetFocused(2);
  EXPECT_EQ(list.SelectedRows(), (std::vector<int>{1, 2}));
  // A row inserted at the top: the selection and focus move with their rows.
  rows.rows.insert(rows.rows.begin(), TestRows::Row{{"new"}, 0});
  list.RowInserted(0);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.SelectedRows(), (std::vector<int>{2, 3}));
  EXPECT_EQ(list.Focused(), 3);
  ListView_GetItemText(control, 0, 0, text, sizeof text);
  EXPECT_STREQ(text, "new");
  // A new count is a new list.
  list.SetRowCount(2);
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_EQ(list.Focused(), -1);
  EXPECT_TRUE(events.calls.empty()) << events.calls.front();
  list.SetRowCount(0);
}

TEST_F(MainWindowTest, MouseKeysAndTheContextMenuOfTheListReachTheBehaviour) {
  IClipListWidget& list = window.Widgets().clips;
  const HWND control = window.clips().hwnd();
  TestRows rows;
  for (const char* title : {"alpha", "bravo"}) {
    rows.rows.push_back({{title, "1", "2", "3", "4", "N", "N", "N", "N", "N", "N", "http://x/"}, 0});
  }
  rows.ShowIn(list);
  for (int column = 1; column <= 10; ++column) list.SetColumnWidth(column, 20);
  RECT title{}, url{};
  ListView_GetSubItemRect(control, 1, 0, LVIR_BOUNDS, &title);
  ListView_GetSubItemRect(control, 1, 11, LVIR_BOUNDS, &url);
  const POINT in_url{(url.left + url.right) / 2, (url.top + url.bottom) / 2};
  // Moves and presses name the row and the column under the mouse.
  ::SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(in_url.x, in_url.y));
  EXPECT_TRUE(events.Has("lvClipsMouseMove 1 11"));
  ::SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(title.left + 5, title.top + 2));
  EXPECT_TRUE(events.Has("lvClipsMouseMove 1 0"));
  // The control follows a pressed button in a loop of its own until the
  // button is up: the release waits in the queue before the press.
  ::PostMessageA(control, WM_RBUTTONUP, 0, MAKELPARAM(in_url.x, in_url.y));
  ::SendMessageA(control, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(in_url.x, in_url.y));
  RunLoopPastTimers(window, 50);
  EXPECT_TRUE(events.Has("lvClipsMouseDown 1 1 11"));
  // The hand is the behaviour's to ask for.
  list.SetHandCursor(true);
  EXPECT_TRUE(window.clips().hand_cursor());
  list.SetHandCursor(false);

  // Keys: the behaviour sees Ctrl with them; the context menu from the
  // keyboard opens at the list.
  ::SendMessageA(control, WM_KEYDOWN, 'T', 0);
  EXPECT_TRUE(events.Has("lvClipsKeyDown 84"));
  ::SendMessageA(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), -1);
  EXPECT_TRUE(events.Has("PopupMenuClipsPopup keyboard"));

  // The menu shows its entries, greyed as told, and returns the choice.
  const std::vector<ClipMenuEntry> entries = {{ClipMenuCommand::kNewClip, "&New Clip", false},
                                              {ClipMenuCommand::kRename, "&Rename", true}};
  UINT_PTR timer = ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    // The menu is up: its second entry chosen with the keyboard, as the
    // menu's own loop reads keys from this thread's queue.
    HWND menu = ::FindWindowA("#32768", nullptr);
    for (WPARAM key : {WPARAM{VK_DOWN}, WPARAM{VK_DOWN}, WPARAM{VK_RETURN}}) {
      ::PostMessageA(menu, WM_KEYDOWN, key, 0);
      ::PostMessageA(menu, WM_KEYUP, key, 0);
    }
  });
  // Should the keys not arrive, the menu is closed after a while so that the
  // test fails instead of hanging.
  UINT_PTR guard = ::SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::EndMenu();
  });
  ASSERT_NE(timer, 0u);
  ::ShowWindow(window.hwnd(), SW_SHOW);
  ::SetForegroundWindow(window.hwnd());
  const std::optional<ClipMenuCommand> chosen = list.PopupMenu(entries, /*at_centre=*/true);
  ::ShowWindow(window.hwnd(), SW_HIDE);
  ::KillTimer(nullptr, guard);
  EXPECT_EQ(chosen, ClipMenuCommand::kRename);
  list.SetRowCount(0);
}

TEST_F(MainWindowTest, RowsDraggedOverTheListAreMarkedAndDroppedOnTheRowUnderTheMouse) {
  IClipListWidget& list = window.Widgets().clips;
  const HWND control = window.clips().hwnd();
  TestRows rows;
  for (const char* title : {"alpha", "bravo", "charlie"}) rows.rows.push_back({{title}, 0});
  rows.ShowIn(list);
  ::ShowWindow(window.hwnd(), SW_SHOW);
  ::UpdateWindow(window.hwnd());
  const std::string kOverList = "lvClipsDragOver " + std::to_string(static_cast<int>(DragSource::kClipList));
  // The middle of a row's title, in the list's and in the window's client
  // coordinates.
  const auto in_list = [&](int row) {
    RECT r{};
    ListView_GetItemRect(control, row, &r, LVIR_LABEL);
    return POINT{r.left + 10, (r.top + r.bottom) / 2};
  };
  const auto in_window = [&](int row) {
    POINT at = in_list(row);
    ::MapWindowPoints(control, window.hwnd(), &at, 1);
    return at;
  };
  const auto mouse = [&](UINT message, POINT at) {
    ::SendMessageA(window.hwnd(), message, 0, MAKELPARAM(at.x, at.y));
  };
  // Pressed on "charlie" and moved away with the button held: the list
  // follows the press in a loop of its own, reading the queue.
  const POINT from = in_list(2);
  ::PostMessageA(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 30, from.y - 4));
  ::PostMessageA(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 40, from.y - 8));
  ::SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
  ASSERT_TRUE(RunLoopUntil(window, [&] { return window.dragging_rows(); }));
  EXPECT_FALSE(window.row_drag_right_button());
  EXPECT_EQ(events.DragCalls().front(), "lvClipsStartDrag");
  // Over "alpha": asked, marked, the arrow; refused: no mark, no entry.
  events.calls.clear();
  mouse(WM_MOUSEMOVE, in_window(0));
  EXPECT_EQ(events.DragCalls(), std::vector<std::string>{kOverList});
  EXPECT_EQ(window.clips().drop_mark(), 0);
  EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_ARROW));
  events.accept_drop = false;
  mouse(WM_MOUSEMOVE, in_window(1));
  EXPECT_EQ(window.clips().drop_mark(), -1);
  EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_NO));
  events.accept_drop = true;
  // Released over "bravo": dropped there, then the drag ends.
  events.calls.clear();
  mouse(WM_LBUTTONUP, in_window(1));
  EXPECT_EQ(events.DragCalls(), (std::vector<std::string>{kOverList, "lvClipsDragDrop 1", "lvClipsEndDrag"}));
  EXPECT_FALSE(window.dragging_rows());
  EXPECT_EQ(window.clips().drop_mark(), -1);
  EXPECT_EQ(::GetCapture(), nullptr);

  // A drag begun with the right button ends with the right button only.
  NMLISTVIEW begin{};
  begin.hdr.hwndFrom = control;
  begin.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(control));
  begin.hdr.code = LVN_BEGINRDRAG;
  events.calls.clear();
  ::SendMessageA(window.hwnd(), WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
  EXPECT_TRUE(window.row_drag_right_button());
  mouse(WM_LBUTTONUP, in_window(0));
  EXPECT_TRUE(window.dragging_rows());
  mouse(WM_RBUTTONUP, in_window(0));
  EXPECT_EQ(events.DragCalls(),
            (std::vector<std::string>{"lvClipsStartDrag", kOverList, "lvClipsDragDrop 0", "lvClipsEndDrag"}));
  EXPECT_FALSE(window.dragging_rows());

  // Released below the last row: dropped on no row. Refused at the start
  // (pick-and-paste): no drag at all.
  begin.hdr.code = LVN_BEGINDRAG;
  ::SendMessageA(window.hwnd(), WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
  events.calls.clear();
  RECT client{};
  ::GetClientRect(control, &client);
  POINT below{10, client.bottom - 3};
  ::MapWindowPoints(control, window.hwnd(), &below, 1);
  mouse(WM_LBUTTONUP, below);
  EXPECT_EQ(events.DragCalls(), (std::vector<std::string>{kOverList, "lvClipsDragDrop -1", "lvClipsEndDrag"}));
  events.allow_drag = false;
  events.calls.clear();
  ::SendMessageA(window.hwnd(), WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
  EXPECT_FALSE(window.dragging_rows());
  EXPECT_EQ(::GetCapture(), nullptr);
  EXPECT_EQ(events.DragCalls(), std::vector<std::string>{"lvClipsStartDrag"});
  list.SetRowCount(0);
}

TEST_F(MainWindowTest, RowsDraggedOntoACollectionsNodeAreOfferedToTheTreeWithTheButtonThatDraggedThem) {
  IClipListWidget& list = window.Widgets().clips;
  ITreeWidget& tree = window.Widgets().tree;
  const HWND control = window.clips().hwnd();
  TestRows rows;
  for (const char* title : {"alpha", "bravo"}) rows.rows.push_back({{title}, 0});
  rows.ShowIn(list);
  const TreeNode source = tree.Add(0, "My Clips", 7, nullptr);
  const TreeNode a = tree.Add(source, "A", 10, reinterpret_cast<TClipColl*>(0x1000));
  const TreeNode b = tree.Add(source, "B", 12, reinterpret_cast<TClipColl*>(0x2000));
  tree.Expand(source);
  ::ShowWindow(window.hwnd(), SW_SHOW);
  ::UpdateWindow(window.hwnd());
  // The middle of a node, in the window's client coordinates.
  const auto node_in_window = [&](TreeNode node) {
    // TVM_GETITEMRECT takes the item in the rectangle it fills.
    RECT rect{};
    const auto item = reinterpret_cast<HTREEITEM>(node);
    std::memcpy(&rect, &item, sizeof item);
    ::SendMessageA(window.tree().hwnd(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ::MapWindowPoints(window.tree().hwnd(), window.hwnd(), &at, 1);
    return at;
  };
  const auto mouse = [&](UINT message, POINT at) {
    ::SendMessageA(window.hwnd(), message, 0, MAKELPARAM(at.x, at.y));
  };
  NMLISTVIEW begin{};
  begin.hdr.hwndFrom = control;
  begin.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(control));
  const std::string over_b = "tvCollectionsDragOver " + std::to_string(b) + " " +
                             std::to_string(static_cast<int>(DragSource::kClipList));
  const std::string over_a = "tvCollectionsDragOver " + std::to_string(a) + " " +
                             std::to_string(static_cast<int>(DragSource::kClipList));

  // Left button: over B the tree is asked and B shows as the drop target;
  // refused over A, no target; released over B, the tree files them there.
  begin.hdr.code = LVN_BEGINDRAG;
  ::SendMessageA(window.hwnd(), WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
  ASSERT_TRUE(window.dragging_rows());
  events.calls.clear();
  mouse(WM_MOUSEMOVE, node_in_window(b));
  EXPECT_EQ(events.DragCalls(), std::vector<std::string>{over_b});
  EXPECT_EQ(TreeView_GetDropHilight(window.tree().hwnd()), reinterpret_cast<HTREEITEM>(b));
  EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_ARROW));
  events.accept_tree_drop = false;
  mouse(WM_MOUSEMOVE, node_in_window(a));
  EXPECT_EQ(TreeView_GetDropHilight(window.tree().hwnd()), nullptr);
  EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_NO));
  events.accept_tree_drop = true;
  events.calls.clear();
  mouse(WM_LBUTTONUP, node_in_window(b));
  EXPECT_EQ(events.DragCalls(),
            (std::vector<std::string>{"tvCollectionsDragDrop " + std::to_string(b) + " " +
                                          std::to_string(static_cast<int>(DragSource::kClipList)) + " left",
                                      "lvClipsEndDrag"}));
  EXPECT_EQ(TreeView_GetDropHilight(window.tree().hwnd()), nullptr);
  EXPECT_FALSE(window.dragging_rows());

  // Right button: the tree hears which button it was (it asks copy or move).
  begin.hdr.code = LVN_BEGINRDRAG;
  ::SendMessageA(window.hwnd(), WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
  events.calls.clear();
  mouse(WM_MOUSEMOVE, node_in_window(a));
  mouse(WM_RBUTTONUP, node_in_window(a));
  EXPECT_EQ(events.DragCalls(),
            (std::vector<std::string>{over_a,
                                      "tvCollectionsDragDrop " + std::to_string(a) + " " +
                                          std::to_string(static_cast<int>(DragSource::kClipList)) + " right",
                                      "lvClipsEndDrag"}));
  tree.Clear();
  list.SetRowCount(0);
}

TEST_F(MainWindowTest, ColumnWidthsOrderAndSortArrowReachTheControl) {
  IClipListWidget& list = window.Widgets().clips;
  const HWND control = window.clips().hwnd();
  list.SetColumnWidth(3, 123);
  EXPECT_EQ(ListView_GetColumnWidth(control, 3), 123);
  EXPECT_EQ(list.ColumnWidth(3), 123);
  EXPECT_EQ(list.ColumnWidth(12), 0);

  // "Source URL" first, the others behind it in their order.
  const std::vector<int> order = {11, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  list.SetColumnOrder(order);
  std::vector<int> shown(12);
  ASSERT_TRUE(ListView_GetColumnOrderArray(control, 12, shown.data()));
  EXPECT_EQ(shown, order);
  EXPECT_EQ(list.ColumnOrder(), order);
  const HWND header = ListView_GetHeader(control);
  RECT url{}, title{};
  ASSERT_TRUE(Header_GetItemRect(header, 11, &url));
  ASSERT_TRUE(Header_GetItemRect(header, 0, &title));
  EXPECT_LT(url.left, title.left);
  // An order that misses a column changes nothing.
  list.SetColumnOrder({0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  EXPECT_EQ(list.ColumnOrder(), order);

  EXPECT_EQ(list.ShownSortArrow(), std::nullopt);
  list.ShowSortArrow(4, false);
  EXPECT_EQ(list.ShownSortArrow(), (SortArrow{4, false}));
  list.ShowSortArrow(0, true);
  EXPECT_EQ(list.ShownSortArrow(), (SortArrow{0, true}));
}

TEST_F(MainWindowTest, TheListHasTheTwelveColumns) {
  const HWND header = ListView_GetHeader(window.clips().hwnd());
  ASSERT_EQ(Header_GetItemCount(header), 12);
  std::vector<std::string> captions;
  for (int i = 0; i < 12; ++i) {
    char text[64] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_WIDTH;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    Header_GetItem(header, i, &item);
    captions.push_back(text);
    EXPECT_EQ(item.cxy, win32::kClipListColumns[i].width) << text;
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"Title", "MySort", "Date/Time", "Source", "Serial", "Has Text",
                                                "Has RTF", "Has BMP", "Has Picture", "Has HTML", "Has Files",
                                                "Source URL"}));
}

// Paints the list into a bitmap as the screen would show it and counts the
// pixels of `colour` in `area` (client coordinates).
int CountPixels(HWND control, const RECT& area, COLORREF colour) {
  RECT client{};
  ::GetClientRect(control, &client);
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  int count = 0;
  for (int y = std::max(area.top, 0L); y < std::min(area.bottom, client.bottom); ++y) {
    for (int x = std::max(area.left, 0L); x < std::min(area.right, client.right); ++x) {
      count += ::GetPixel(dc, x, y) == colour ? 1 : 0;
    }
  }
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  return count;
}

TEST_F(MainWindowTest, TypeIconsShowInTheFlagCellsTitlesAndHeader) {
  IClipListWidget& list = window.Widgets().clips;
  const HWND control = window.clips().hwnd();
  // Text and files: "Y" in "Has Text" and "Has Files", "N" in "Has RTF".
  TestRows rows;
  rows.rows.push_back(
      {{"flagged", "1", "01/02/2024 10:00:00", "CLIPTOOL", "7", "Y", "N", "N", "N", "N", "Y", "http://x/"}, -1});
  rows.ShowIn(list);
  // Narrow columns, so that every cell is in the client area.
  for (int column = 1; column <= 4; ++column) list.SetColumnWidth(column, 30);
  for (int column = 5; column <= 10; ++column) list.SetColumnWidth(column, 18);
  const HWND header = ListView_GetHeader(control);
  auto header_image = [&](int column) -> std::optional<int> {
    HDITEMA item{};
    item.mask = HDI_FORMAT | HDI_IMAGE;
    if (!Header_GetItem(header, column, &item) || !(item.fmt & HDF_IMAGE)) return std::nullopt;
    return item.iImage;
  };
  auto cell = [&](int column) {
    RECT rc{};
    ListView_GetSubItemRect(control, 0, column, LVIR_BOUNDS, &rc);
    return rc;
  };
  // The core colour of the flag ball, and the cells that have it.
  const COLORREF ball = RGB(40, 90, 220);
  EXPECT_EQ(header_image(5), std::nullopt);
  EXPECT_EQ(CountPixels(control, cell(5), ball), 0);

  list.SetIconDrawing(true, 2);
  const std::vector<std::optional<int>> icons = {clipimage::kText, clipimage::kRtf,
                                                 clipimage::kBitmap, clipimage::kWmf,
                                                 clipimage::kHtml, clipimage::kHDrop};
  for (int column = 5; column <= 10; ++column) EXPECT_EQ(header_image(column), icons[column - 5]) << column;
  EXPECT_EQ(header_image(11), std::nullopt);
  EXPECT_GT(CountPixels(control, cell(5), ball), 0);
  EXPECT_GT(CountPixels(control, cell(10), ball), 0);
  EXPECT_EQ(CountPixels(control, cell(6), ball), 0);
  // The title cell starts with a strip of two icons, text then files; the
  // title text (black) begins behind the widest strip of the list.
  const RECT row = cell(5);
  const COLORREF text_tile = RGB(40, 90, 200), folder = RGB(240, 200, 60), black = RGB(0, 0, 0);
  EXPECT_GT(CountPixels(control, RECT{0, row.top, 17, row.bottom}, text_tile), 0);
  EXPECT_GT(CountPixels(control, RECT{17, row.top, 34, row.bottom}, folder), 0);
  EXPECT_EQ(CountPixels(control, RECT{0, row.top, 2 * 16 + 4, row.bottom}, black), 0);
  EXPECT_GT(CountPixels(control, RECT{2 * 16 + 4, row.top, 150, row.bottom}, black), 0);
  // The Source URL reads like a link.
  EXPECT_GT(CountPixels(control, cell(11), RGB(0, 0, 255)), 0);

  // Without icons: the captions and the letters again.
  list.SetIconDrawing(false, 2);
  EXPECT_EQ(header_image(5), std::nullopt);
  char text[64] = {};
  HDITEMA item{};
  item.mask = HDI_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  Header_GetItem(header, 5, &item);
  EXPECT_STREQ(text, "Has Text");
  EXPECT_EQ(CountPixels(control, cell(5), ball), 0);
  EXPECT_EQ(CountPixels(control, cell(11), RGB(0, 0, 255)), 0);
  EXPECT_EQ(CountPixels(control, RECT{0, row.top, 150, row.bottom}, text_tile), 0);
  EXPECT_TRUE(events.calls.empty());
}

TEST_F(MainWindowTest, TreeMouseKeysAndTheCollectionsButtonReachTheBehaviour) {
  ITreeWidget& tree = window.Widgets().tree;
  auto* first = reinterpret_cast<TClipColl*>(0x1000);
  auto* second = reinterpret_cast<TClipColl*>(0x2000);
  const TreeNode source = tree.Add(0, "My Clips", 7, nullptr);
  const TreeNode a = tree.Add(source, "A", 10, first);
  const TreeNode b = tree.Add(source, "B", 12, second);
  tree.Expand(source);
  EXPECT_EQ(tree.Children(source), (std::vector<TreeNode>{a, b}));
  EXPECT_EQ(tree.Image(b), 12);
  ::ShowWindow(window.hwnd(), SW_SHOWNA);

  // The mouse over a node names it; over nothing, no node.
  RECT rect{};
  *reinterpret_cast<HTREEITEM*>(&rect) = reinterpret_cast<HTREEITEM>(b);
  ASSERT_TRUE(::SendMessageA(window.tree().hwnd(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)));
  events.calls.clear();
  ::SendMessageA(window.tree().hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
  ::SendMessageA(window.tree().hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(rect.right + 200, rect.bottom + 300));
  EXPECT_EQ(events.calls, (std::vector<std::string>{"tvCollectionsMouseMove " + std::to_string(b),
                                                    "tvCollectionsMouseMove 0"}));

  // Keys down in the tree.
  events.calls.clear();
  ::SendMessageA(window.tree().hwnd(), WM_KEYDOWN, 'A', 1);
  EXPECT_EQ(events.calls, (std::vector<std::string>{"tvCollectionsKeyDown 65"}));

  // The sort order is the behaviour's.
  tree.SortChildren(source, [](const TClipColl* x, const TClipColl* y) { return x > y ? -1 : (x < y ? 1 : 0); });
  EXPECT_EQ(tree.Children(source), (std::vector<TreeNode>{b, a}));

  // The collections button: a click, and the picture it is given.
  events.calls.clear();
  ::SendMessageA(window.hwnd(), WM_COMMAND, MAKEWPARAM(win32::ToolBar::kCollectionsButtonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(window.tool_bar().hwnd()));
  EXPECT_EQ(events.calls, (std::vector<std::string>{"cmdCollectionsClick"}));
  window.Widgets().shell.SetCollectionButtonImage(11);
  EXPECT_EQ(window.tool_bar().CollectionsImage(), 11);
  EXPECT_GT(window.Widgets().shell.CollectionImageCount(), 12);
  tree.Clear();
}

TEST_F(MainWindowTest, MenuCommandsAndTheirShortcutsReachTheBehaviour) {
  struct Case {
    const char* caption;
    MenuCommand command;
  };
  const Case cases[] = {
      {"&Save All Clips To Disk\tCtrl+S", MenuCommand::kFileSave},
      {"Reload All Clips From Disk", MenuCommand::kFileReload},
      {"E&xit", MenuCommand::kExit},
      {"&Auto Capture\tF12", MenuCommand::kAutoCapture},
      {"&Locate Last Captured Clip", MenuCommand::kLocateLastClip},
      {"Open Source URL In Browser\tCtrl+O", MenuCommand::kOpenSourceUrl},
      {"Rename &Title\tCtrl+T", MenuCommand::kRenameTitle},
      {"Select All Items\tCtrl+A", MenuCommand::kSelectAll},
      {"Select &Previous Item (Up)", MenuCommand::kSelectPrevious},
      {"Select &Next Item (Down)", MenuCommand::kSelectNext},
      {"Add New Collection", MenuCommand::kNewCollection},
      {"Collection Properties", MenuCommand::kCollectionProperties},
      {"Switch To &Last Collection\tF5", MenuCommand::kSwitchToLastCollection},
      {"Switch To Fa&vorite Collection \tF6", MenuCommand::kSwitchToFavoriteCollection},
      {"Large Icons", MenuCommand::kLargeIcons},
      {"View Details", MenuCommand::kViewDetails},
      {"Stepfeed &Up\tCtrl+U", MenuCommand::kStepfeedUp},
      {"Stepfeed &Down\tCtrl+D", MenuCommand::kStepfeedDown},
  };
  const HMENU bar = ::GetMenu(window.hwnd());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(MenuCaptions(bar), (std::vector<std::string>{"&File", "&Edit", "&Config", "&View"}));
  for (const Case& c : cases) {
    const UINT id = FindMenuId(bar, c.caption);
    ASSERT_NE(id, 0u) << c.caption;
    events.calls.clear();
    ::SendMessageA(window.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    EXPECT_EQ(events.calls, (std::vector<std::string>{Call(c.command)})) << c.caption;
  }
  const HMENU tray = window.menus().TrayMenu();
  EXPECT_EQ(MenuCaptions(tray), (std::vector<std::string>{"Aut&o Capture", "", "<< Shift &Left", ">> Shift &Right",
                                                          "Remove Line&breaks", "&Lower Case", "&Upper Case",
                                                          "&Mixed Case", "&Sentence Case", "", "Stepfeed &Up",
                                                          "Stepfeed &Down", "Select &Previous Item (Up)",
                                                          "Select &Next Item (Down)", "&Glue", "",
                                                          "E&xit Program (Shut Down)"}));
  events.calls.clear();
  for (const char* caption : {"Aut&o Capture", "Stepfeed &Up", "Stepfeed &Down", "Select &Previous Item (Up)",
                              "Select &Next Item (Down)", "E&xit Program (Shut Down)"}) {
    ::SendMessageA(window.hwnd(), WM_COMMAND, MAKEWPARAM(FindMenuId(tray, caption), 0), 0);
  }
  EXPECT_EQ(events.calls, (std::vector<std::string>{Call(MenuCommand::kTrayAutoCapture), Call(MenuCommand::kStepfeedUp),
                                                    Call(MenuCommand::kStepfeedDown),
                                                    Call(MenuCommand::kSelectPrevious), Call(MenuCommand::kSelectNext),
                                                    Call(MenuCommand::kExit)}));

  // F12 pressed in a control of the window.
  events.calls.clear();
  ::PostMessageA(window.tree().hwnd(), WM_KEYDOWN, VK_F12, 1);
  ASSERT_TRUE(RunLoopUntil(window, [&] { return !events.calls.empty(); }));
  EXPECT_EQ(events.calls, (std::vector<std::string>{Call(MenuCommand::kAutoCapture)}));
}

TEST_F(MainWindowTest, MenuEntriesShowWhatTheBehaviourSets) {
  IMenus& menus = window.Widgets().menus;
  const HMENU bar = ::GetMenu(window.hwnd());
  const HMENU file = ::GetSubMenu(bar, 0);
  const UINT capture = FindMenuId(bar, "&Auto Capture\tF12");
  const UINT save = FindMenuId(bar, "&Save All Clips To Disk\tCtrl+S");
  const UINT tray_capture = FindMenuId(window.menus().TrayMenu(), "Aut&o Capture");

  menus.SetChecked(MenuItem::kAutoCapture, true);
  menus.SetChecked(MenuItem::kTrayAutoCapture, true);
  EXPECT_TRUE(::GetMenuState(bar, capture, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_TRUE(::GetMenuState(window.menus().TrayMenu(), tray_capture, MF_BYCOMMAND) & MF_CHECKED);
  menus.SetChecked(MenuItem::kAutoCapture, false);
  EXPECT_FALSE(::GetMenuState(bar, capture, MF_BYCOMMAND) & MF_CHECKED);

  menus.SetEnabled(MenuItem::kFileSave, false);
  EXPECT_TRUE(::GetMenuState(bar, save, MF_BYCOMMAND) & MF_GRAYED);

  // Hidden: gone from the menu; shown again: back in its place, its state kept.
  menus.SetVisible(MenuItem::kFileReload, false);
  EXPECT_EQ(MenuCaptions(file),
            (std::vector<std::string>{"&Save All Clips To Disk\tCtrl+S", "", "Add New Collection", "Collection Properties",
                                      "", "Create &New, Empty Clip", "Empty &Trash", "", "E&xit"}));
  menus.SetVisible(MenuItem::kFileReload, true);
  EXPECT_EQ(MenuCaptions(file),
            (std::vector<std::string>{"&Save All Clips To Disk\tCtrl+S", "Reload All Clips From Disk", "",
                                      "Add New Collection", "Collection Properties", "", "Create &New, Empty Clip",
                                      "Empty &Trash", "", "E&xit"}));
  EXPECT_TRUE(::GetMenuState(bar, save, MF_BYCOMMAND) & MF_GRAYED);
  // Items without an entry in these menus are left alone.
  menus.SetVisible(MenuItem::kImportCollections, false);
  menus.SetChecked(MenuItem::kMagPaste, true);
}

TEST_F(MainWindowTest, CloseAsksTheBehaviourFirst) {
  bool destroyed = false;
  window.OnDestroyed = [&] { destroyed = true; };
  events.allow_close = false;
  ::SendMessageA(window.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(::IsWindow(window.hwnd()));
  EXPECT_EQ(events.calls, (std::vector<std::string>{"FormCloseQuery"}));

  events.allow_close = true;
  const HWND hwnd = window.hwnd();
  window.Widgets().shell.Close();
  ASSERT_TRUE(RunLoopUntil(window, [&] { return destroyed; }));
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_EQ(events.calls, (std::vector<std::string>{"FormCloseQuery", "FormCloseQuery", "FormClose"}));
}

TEST_F(MainWindowTest, HandlerErrorsStopAtTheWindowAndTheSessionMayAlwaysEnd) {
  events.fail_with = "the behaviour gave up";
  ::SendMessageA(window.hwnd(), WM_COMMAND, MAKEWPARAM(FindMenuId(::GetMenu(window.hwnd()), "E&xit"), 0), 0);
  EXPECT_EQ(::SendMessageA(window.hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_EQ(errors, (std::vector<std::string>{"the behaviour gave up", "the behaviour gave up"}));
  EXPECT_TRUE(events.Has("WMQueryEndSession"));
  EXPECT_TRUE(::IsWindow(window.hwnd()));
}

TEST_F(MainWindowTest, TheWindowShowsItsStatusImagesAndBusyState) {
  window.Widgets().status.SetPanelText(0, "Duplicate Item Rejected.");
  window.Widgets().status.SetPanelText(1, "12 bytes");
  const HWND bar = window.status().hwnd();
  char text[128] = {};
  // The status text is the last, widest part of the bar.
  ::SendMessageA(bar, SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Duplicate Item Rejected.");
  ::SendMessageA(bar, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "12 bytes");
  EXPECT_EQ(window.status().PanelText(0), "Duplicate Item Rejected.");

  EXPECT_EQ(::ImageList_GetImageCount(window.collection_images()),
            static_cast<int>(win32::CollectionImageNames().size()));
  EXPECT_EQ(::ImageList_GetImageCount(window.clip_images()), 11);
  // The artwork is there, not blanks standing in for missing resources.
  for (const std::string& name : win32::ClipImageNames()) {
    EXPECT_NE(::FindResourceA(::GetModuleHandleA(nullptr), name.c_str(), MAKEINTRESOURCEA(2)), nullptr) << name;
  }
  EXPECT_NE(::SendMessageA(window.hwnd(), WM_GETICON, ICON_SMALL, 0), 0);

  window.Widgets().shell.SetBusy(true);
  EXPECT_FALSE(::IsWindowEnabled(window.hwnd()));
  window.Widgets().shell.SetBusy(false);
  EXPECT_TRUE(::IsWindowEnabled(window.hwnd()));

  window.Widgets().shell.SetClipPanelVisible(false);
  EXPECT_FALSE(::GetWindowLongPtrA(window.clips().hwnd(), GWL_STYLE) & WS_VISIBLE);
  window.Widgets().shell.SetClipPanelVisible(true);
  EXPECT_TRUE(::GetWindowLongPtrA(window.clips().hwnd(), GWL_STYLE) & WS_VISIBLE);

  ::ShowWindow(window.hwnd(), SW_SHOWNA);
  EXPECT_TRUE(events.Has("FormShow"));
}

}  // namespace
}  // namespace om::test
