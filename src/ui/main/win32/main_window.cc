#include "ui/main/win32/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "ui/dialogs/win32/choose_data_folder.h"
#include "ui/main/pickdrop_alternates.h"
#include "ui/main/program_entry.h"
#include "ui/main/win32/image_lists.h"
#include "platform/handler_errors.h"
#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

constexpr int kTreeId = 1001;
constexpr int kListId = 1002;
constexpr int kStatusId = 1003;
constexpr int kToolBarId = 1004;
constexpr int kAlternateCaptionId = 1011;
constexpr int kAlternateListId = 1012;
constexpr int kPreviewId = 1005;
constexpr UINT_PTR kTreeChangeTimer = 1;
// The pause before the user's tree selection is reported.
constexpr UINT kTreeChangeDelayMs = 50;
constexpr UINT kTrayMessage = WM_APP + 1;
// Space between the tree and the list, and between the list and the
// preview pane.
constexpr int kGap = 4;
// The preview pane's least height while the list leaves it room.
constexpr int kMinPaneHeight = 60;

// An exception that reached a window procedure: it must not unwind through
// the system's frames, so it goes to the application's error sink.
// Called only inside a catch block.
void ReportEscaped() {
  const std::exception_ptr error = std::current_exception();
  ::OutputDebugStringA(("Ottermoor: main window handler failed: " + HandlerErrorText(error) + "\n").c_str());
  ReportHandlerError(error);
}

bool RegisterMainClass(HINSTANCE module, WNDPROC procedure) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (::GetClassInfoExA(module, kMainWindowClass, &existing)) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = procedure;
  wc.hInstance = module;
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainWindowClass;
  if (::RegisterClassExA(&wc)) return true;
  LogOsFailure("RegisterClassExA(TfrmQL)");
  return false;
}

}  // namespace

// --- status bar ---

StatusBar::StatusBar(HWND parent, int control_id) {
  hwnd_ = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)), ::GetModuleHandleA(nullptr),
                            nullptr);
  if (hwnd_ == nullptr) LogOsFailure("CreateWindowExA(status bar)");
  Layout();
}

void StatusBar::Layout() {
  if (hwnd_ == nullptr) return;
  ::SendMessageA(hwnd_, WM_SIZE, 0, 0);
  // 27 and 100 pixels, the status text the rest.
  int right_edges[3] = {27, 127, -1};
  ::SendMessageA(hwnd_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(right_edges));
}

int StatusBar::Part(int panel) { return panel >= 0 && panel <= 2 ? 2 - panel : -1; }

void StatusBar::SetPanelText(int panel, std::string_view text) {
  const int part = Part(panel);
  if (hwnd_ == nullptr || part < 0) return;
  const std::string copy(text);
  ::SendMessageA(hwnd_, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(copy.c_str()));
  // Shown at once: a busy operation may not let the bar paint for a while.
  ::UpdateWindow(hwnd_);
}

std::string StatusBar::PanelText(int panel) const {
  const int part = Part(panel);
  if (hwnd_ == nullptr || part < 0) return {};
  const auto length = LOWORD(::SendMessageA(hwnd_, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0));
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  ::SendMessageA(hwnd_, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
  return std::string(text.data());
}

// --- the window ---

MainWindow::MainWindow(HINSTANCE module, std::string program_folder)
    : module_(module), program_folder_(std::move(program_folder)) {
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  collection_images_ = LoadCollectionImages(module_, program_folder_);
  clip_images_ = LoadClipImages(module_);
  flag_images_ = LoadFlagImages(module_);
  big_icon_ = LoadProgramIcon(module_, program_folder_, "32n16.ico", "MAINICON", ::GetSystemMetrics(SM_CXICON));
  small_icon_ = LoadProgramIcon(module_, program_folder_, "16x16.ico", "TRAY_NORMAL", ::GetSystemMetrics(SM_CXSMICON));
  tray_normal_ = LoadProgramIcon(module_, program_folder_, "16x16.ico", "TRAY_NORMAL", ::GetSystemMetrics(SM_CXSMICON));
  tray_disabled_ =
      LoadProgramIcon(module_, program_folder_, "16x16_no.ico", "TRAY_DISABLED", ::GetSystemMetrics(SM_CXSMICON));
  taskbar_created_ = ::RegisterWindowMessageA("TaskbarCreated");

  if (RegisterMainClass(module_, &MainWindow::WindowProc)) {
    HMENU bar = menus_.ReleaseMenuBar();
    // hwnd_ is set by WM_NCCREATE, so that the messages of creation find it.
    ::CreateWindowExA(0, kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                      CW_USEDEFAULT, 860, 580, nullptr, bar, module_, this);
    if (hwnd_ == nullptr) {
      LogOsFailure("CreateWindowExA(TfrmQL)");
      ::DestroyMenu(bar);
    }
  }
  // The controls exist even without a window (their calls then do
  // nothing), so the widgets are always there to be handed out.
  CreateControls();
}

MainWindow::~MainWindow() {
  // The controls' notifications while they go are nobody's business.
  events_ = nullptr;
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

void MainWindow::CreateControls() {
  tree_ = std::make_unique<TreeWidget>(hwnd_, kTreeId, collection_images_.get());
  clips_ = std::make_unique<ClipListWidget>(hwnd_, kListId, clip_images_.get(), flag_images_.get());
  status_ = std::make_unique<StatusBar>(hwnd_, kStatusId);
  tray_ = std::make_unique<TrayIcon>(hwnd_, kTrayMessage, tray_normal_.get(), tray_disabled_.get());
  tool_bar_ = std::make_unique<ToolBar>(hwnd_, kToolBarId);
  pickdrop_bar_ = std::make_unique<PickdropBar>(hwnd_, PickdropBar::kControlId);
  // Pickdrop's alternate list and its caption, hidden until the mode shows
  // them.
  alternate_clips_ = std::make_unique<ClipListWidget>(hwnd_, kAlternateListId, clip_images_.get(), flag_images_.get());
  if (HWND list = alternate_clips_->hwnd()) ::ShowWindow(list, SW_HIDE);
  alternate_caption_ = ::CreateWindowExA(0, "STATIC", TPickdropAlternates::kCaptionPrefix, WS_CHILD | SS_LEFT | SS_CENTERIMAGE,
                                         0, 0, 0, 0, hwnd_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kAlternateCaptionId)),
                                         ::GetModuleHandleA(nullptr), nullptr);
  // Hidden until the behaviour shows it.
  pane_ = std::make_unique<PreviewPaneWidget>(hwnd_, kPreviewId, clip_images_.get(),
                                              static_cast<PreviewPaneHost&>(*this));
  menus_.SetPreviewPane(pane_.get());
  select_bitmap_ = std::make_unique<SelectBitmapWindow>(hwnd_, collection_images_.get());
  ds_prop_ = std::make_unique<DSPropWindow>(hwnd_);
  find_ = std::make_unique<FindDialogWindow>(hwnd_);
  widgets_ = std::make_unique<MainFormWidgets>(
      MainFormWidgets{*tree_, *clips_, *alternate_clips_, menus_, *status_, *tray_, *this, *pane_});
  if (hwnd_ == nullptr) return;

  HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  for (HWND control : {tree_->hwnd(), clips_->hwnd(), status_->hwnd(), alternate_clips_->hwnd(), alternate_caption_}) {
    if (control != nullptr) ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  // The list's key releases are wanted (the arrow keys copy only then); the
  // control reports none, so its window procedure is wrapped.
  // Both lists are of one class: one original procedure serves them.
  for (HWND list : {clips_->hwnd(), alternate_clips_->hwnd()}) {
    if (list == nullptr) continue;
    ::SetWindowLongPtrA(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    list_proc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::ListProc)));
  }
  // The tree's mouse moves and keys are wanted too.
  if (HWND tree = tree_->hwnd()) {
    ::SetWindowLongPtrA(tree, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    tree_proc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::TreeProc)));
  }
  if (big_icon_) ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_.get()));
  if (small_icon_) ::SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.get()));
  Layout();
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<const CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (message == WM_NCDESTROY) {
    // Nothing reaches the object after its window is gone.
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    if (self != nullptr) self->hwnd_ = nullptr;
    return ::DefWindowProcA(hwnd, message, wparam, lparam);
  }
  if (self == nullptr) return ::DefWindowProcA(hwnd, message, wparam, lparam);
  try {
    return self->OnMessage(message, wparam, lparam);
  } catch (...) {
    ReportEscaped();
    return 0;
  }
}

LRESULT CALLBACK MainWindow::ListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr || self->list_proc_ == nullptr) return ::DefWindowProcA(hwnd, message, wparam, lparam);
  // The main list or Pickdrop's alternate list.
  const bool alternate = self->alternate_clips_ && hwnd == self->alternate_clips_->hwnd();
  ClipListWidget& widget = alternate ? *self->alternate_clips_ : *self->clips_;
  IClipListEvents* const list_events = self->ListEventsOf(alternate);
  if (list_events == nullptr) return ::CallWindowProcA(self->list_proc_, hwnd, message, wparam, lparam);
  try {
    const auto modifiers = [] {
      return KeyModifiers{::GetKeyState(VK_SHIFT) < 0, ::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_MENU) < 0};
    };
    switch (message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        // Shift+F10 comes as a system key: F10 is the menu key.
        if (list_events->lvClipsKeyDown(static_cast<int>(wparam), modifiers())) return 0;
        break;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN: {
        int row = -1, column = -1;
        widget.HitTest(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, row, column);
        const MouseButton button = message == WM_LBUTTONDOWN   ? MouseButton::kLeft
                                   : message == WM_RBUTTONDOWN ? MouseButton::kRight
                                                               : MouseButton::kMiddle;
        list_events->lvClipsMouseDown(button, modifiers(), row, column);
        break;
      }
      case WM_MOUSEMOVE: {
        int row = -1, column = -1;
        widget.HitTest(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, row, column);
        list_events->lvClipsMouseMove(row, column);
        break;
      }
      case WM_SETCURSOR:
        if (LOWORD(lparam) == HTCLIENT && widget.hand_cursor() && !self->busy_) {
          ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
          return TRUE;
        }
        break;
      case WM_CONTEXTMENU:
        // (-1, -1): opened from the keyboard.
        list_events->PopupMenuClipsPopup(lparam == -1);
        return 0;
      default:
        break;
    }
  } catch (...) {
    ReportEscaped();
    return 0;
  }
  // Whatever the control paints, the behaviour gets ready first (the icon
  // view's thumbnails).
  if (message == WM_PAINT || message == WM_PRINTCLIENT) {
    try {
      list_events->lvClipsPaint();
    } catch (...) {
      ReportEscaped();
    }
  }
  const LRESULT result = ::CallWindowProcA(self->list_proc_, hwnd, message, wparam, lparam);
  if (message == WM_KEYUP && self->events_ != nullptr) {
    try {
      if (IClipListEvents* const events = self->ListEventsOf(alternate)) events->lvClipsKeyUp(static_cast<int>(wparam));
    } catch (...) {
      ReportEscaped();
    }
  }
  return result;
}

LRESULT CALLBACK MainWindow::TreeProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr || self->tree_proc_ == nullptr) return ::DefWindowProcA(hwnd, message, wparam, lparam);
  ITreeEvents* const tree_events = self->events_ != nullptr ? self->events_->TreeEvents() : nullptr;
  try {
    if (tree_events != nullptr && message == WM_MOUSEMOVE) {
      tree_events->tvCollectionsMouseMove(self->tree_->NodeAt(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}));
    } else if (tree_events != nullptr && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)) {
      const bool shift = ::GetKeyState(VK_SHIFT) < 0;
      tree_events->tvCollectionsKeyDown(static_cast<int>(wparam), shift, ::GetKeyState(VK_CONTROL) < 0);
      // Shift+F10 is the context menu, which the behaviour opened: not the
      // menu bar's F10.
      if (wparam == VK_F10 && shift) return 0;
    }
  } catch (...) {
    ReportEscaped();
  }
  return ::CallWindowProcA(self->tree_proc_, hwnd, message, wparam, lparam);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CONTEXTMENU:
      // From the keyboard (-1) the tree's key handler opens it itself.
      if (tree_ && reinterpret_cast<HWND>(wparam) == tree_->hwnd() && lparam != -1) {
        ShowTreeMenu(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, false);
        return 0;
      }
      break;
    case WM_MOUSEMOVE:
      if (dragging_rows_) {
        POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        ::ClientToScreen(hwnd_, &at);
        RowDragMove(at);
        return 0;
      }
      if (dragging_nodes_) {
        POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        ::ClientToScreen(hwnd_, &at);
        DragMove(at);
        return 0;
      }
      break;
    case WM_RBUTTONUP:
    case WM_LBUTTONUP:
      // The button that started a drag of rows ends it.
      if (dragging_rows_ && (message == WM_RBUTTONUP) == row_drag_right_button_) {
        POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        ::ClientToScreen(hwnd_, &at);
        RowDragEnd(true, at);
        return 0;
      }
      if (message == WM_RBUTTONUP) break;
      if (dragging_nodes_) {
        POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        ::ClientToScreen(hwnd_, &at);
        DragEnd(true, at);
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      if (dragging_rows_) RowDragEnd(false, POINT{});
      if (dragging_nodes_) DragEnd(false, POINT{});
      break;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_SHOWWINDOW:
      if (wparam && events_ != nullptr) events_->FormShow();
      break;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_QUERYENDSESSION:
      // The behaviour saves and shuts down; the session may always end,
      // even when that failed.
      try {
        if (events_ != nullptr) events_->WMQueryEndSession();
      } catch (...) {
        ReportEscaped();
      }
      return TRUE;
    case WM_DESTROY:
      ::KillTimer(hwnd_, kTreeChangeTimer);
      if (tray_) tray_->SetActive(false);
      if (OnDestroyed) OnDestroyed();
      return 0;
    case WM_COMMAND:
      if (tool_bar_ && reinterpret_cast<HWND>(lparam) == tool_bar_->hwnd() &&
          LOWORD(wparam) == ToolBar::kCollectionsButtonId) {
        ITreeEvents* const tree_events = events_ != nullptr ? events_->TreeEvents() : nullptr;
        if (tree_events != nullptr) tree_events->cmdCollectionsClick(::GetKeyState(VK_CONTROL) < 0);
        return 0;
      }
      if (tool_bar_ && reinterpret_cast<HWND>(lparam) == tool_bar_->hwnd() &&
          LOWORD(wparam) == ToolBar::kGlueButtonId) {
        // The button's state is the behaviour's to set (it may stay up).
        if (events_ != nullptr) events_->MenuClick(MenuCommand::kGlue);
        return 0;
      }
      if (tool_bar_ && reinterpret_cast<HWND>(lparam) == tool_bar_->hwnd() &&
          LOWORD(wparam) == ToolBar::kLineBreaksButtonId) {
        if (events_ != nullptr) events_->MenuClick(MenuCommand::kRemoveLineBreaks);
        return 0;
      }
      if (tool_bar_ && reinterpret_cast<HWND>(lparam) == tool_bar_->hwnd() &&
          LOWORD(wparam) == ToolBar::kSearchButtonId) {
        if (events_ != nullptr) events_->MenuClick(MenuCommand::kFind);
        return 0;
      }
      if (pickdrop_bar_ && reinterpret_cast<HWND>(lparam) == pickdrop_bar_->hwnd()) {
        static constexpr struct {
          int id;
          MenuCommand command;
        } kPickdropButtons[] = {{PickdropBar::kLockId, MenuCommand::kPickdropLock},
                                {PickdropBar::kTabId, MenuCommand::kPickdropTab},
                                {PickdropBar::kEnterId, MenuCommand::kPickdropEnter},
                                {PickdropBar::kStickyId, MenuCommand::kPickdropSticky},
                                {PickdropBar::kPasteId, MenuCommand::kPickdropPaste},
                                {PickdropBar::kSetId, MenuCommand::kPickdropSetAlternate}};
        for (const auto& button : kPickdropButtons) {
          if (LOWORD(wparam) == button.id && events_ != nullptr) events_->MenuClick(button.command);
        }
        return 0;
      }
      if (tool_bar_ && reinterpret_cast<HWND>(lparam) == tool_bar_->hwnd() &&
          (LOWORD(wparam) == ToolBar::kStepfeedUpButtonId || LOWORD(wparam) == ToolBar::kStepfeedDownButtonId)) {
        // The buttons' states are the behaviour's to set.
        if (events_ != nullptr) {
          events_->MenuClick(LOWORD(wparam) == ToolBar::kStepfeedUpButtonId ? MenuCommand::kStepfeedUp
                                                                            : MenuCommand::kStepfeedDown);
        }
        return 0;
      }
      if (tool_bar_ && reinterpret_cast<HWND>(lparam) == tool_bar_->hwnd() &&
          (LOWORD(wparam) == ToolBar::kMoveClipsButtonId || LOWORD(wparam) == ToolBar::kDeleteButtonId)) {
        if (events_ != nullptr) {
          events_->MenuClick(LOWORD(wparam) == ToolBar::kDeleteButtonId ? MenuCommand::kDeleteSelected
                                                                        : MenuCommand::kMoveClips);
        }
        return 0;
      }
      // Menus and accelerators come without a control.
      if (lparam == 0) {
        OnCommand(LOWORD(wparam));
        return 0;
      }
      break;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
    case WM_TIMER:
      if (wparam == kTreeChangeTimer) {
        ::KillTimer(hwnd_, kTreeChangeTimer);
        const TreeNode node = tree_ ? tree_->TakePendingSelection() : 0;
        ITreeEvents* const tree_events = events_ != nullptr ? events_->TreeEvents() : nullptr;
        if (node != 0 && tree_events != nullptr) tree_events->tvCollectionsChange(node);
        return 0;
      }
      break;
    case kTrayMessage:
      OnTray(LOWORD(lparam));
      return 0;
    case WM_SETCURSOR:
      if (busy_) {
        ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
        return TRUE;
      }
      break;
    case WM_ACTIVATEAPP:
      if (!wparam && events_ != nullptr) events_->AppDeactivate();
      break;
    case WM_ACTIVATE:
      // The control that had the focus gets it back when the window is
      // active again.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(hwnd_, focus)) last_focus_ = focus;
      }
      break;
    case WM_SETFOCUS: {
      HWND target = last_focus_ != nullptr && ::IsWindow(last_focus_) && ::IsChild(hwnd_, last_focus_)
                        ? last_focus_
                        : (tree_ ? tree_->hwnd() : nullptr);
      if (target != nullptr) ::SetFocus(target);
      return 0;
    }
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      limits->ptMinTrackSize = {320, 200};
      return 0;
    }
    default:
      if (message == taskbar_created_ && taskbar_created_ != 0 && tray_) {
        tray_->Restore();
        return 0;
      }
      break;
  }
  return ::DefWindowProcA(hwnd_, message, wparam, lparam);
}

void MainWindow::OnClose() {
  if (events_ != nullptr) {
    if (!events_->FormCloseQuery()) return;
    events_->FormClose();
  }
  // The behaviour is done with the window: what the controls report while
  // they are destroyed does not reach it.
  events_ = nullptr;
  ::DestroyWindow(hwnd_);
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
  if (tree_ && header.hwndFrom == tree_->hwnd()) {
    switch (header.code) {
      case TVN_SELCHANGEDA:
      case TVN_SELCHANGEDW:
        if (!tree_->quiet()) {
          const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
          tree_->NoteUserSelection(reinterpret_cast<TreeNode>(change.itemNew.hItem));
          ::SetTimer(hwnd_, kTreeChangeTimer, kTreeChangeDelayMs, nullptr);
        }
        return 0;
      case NM_CUSTOMDRAW:
        return tree_->CustomDraw(*reinterpret_cast<NMTVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
      case TVN_BEGINDRAGA:
      case TVN_BEGINDRAGW: {
        ITreeEvents* const tree_events = events_ != nullptr ? events_->TreeEvents() : nullptr;
        if (tree_events == nullptr) return 0;
        const auto& drag = reinterpret_cast<const NMTREEVIEWA&>(header);
        tree_events->tvCollectionsStartDrag(reinterpret_cast<TreeNode>(drag.itemNew.hItem));
        dragging_nodes_ = true;
        ::SetCapture(hwnd_);
        return 0;
      }
      default:
        return 0;
    }
  }
  if (tool_bar_ && header.hwndFrom == tool_bar_->hwnd() && header.code == TBN_DROPDOWN) {
    if (reinterpret_cast<const NMTOOLBARA&>(header).iItem == ToolBar::kMoveClipsButtonId) {
      if (events_ != nullptr) events_->MenuClick(MenuCommand::kMoveClipsMenu);
      return TBDDRET_DEFAULT;
    }
    const RECT button = tool_bar_->CollectionsButtonRect();
    ShowCollectionMenu(POINT{button.left, button.bottom});
    return TBDDRET_DEFAULT;
  }
  if (clips_ && header.hwndFrom == clips_->hwnd()) return ListNotify(*clips_, /*alternate=*/false, header);
  if (alternate_clips_ && header.hwndFrom == alternate_clips_->hwnd()) {
    return ListNotify(*alternate_clips_, /*alternate=*/true, header);
  }
  return 0;
}

IPreviewEvents* MainWindow::PaneEvents() { return events_ != nullptr ? events_->PreviewEvents() : nullptr; }

void MainWindow::ExpandPane(bool expanded) {
  if (preview_expanded_ == expanded) return;
  preview_expanded_ = expanded;
  Layout();
}

void MainWindow::EnableMainLineBreakButton(bool enabled) {
  if (tool_bar_) tool_bar_->SetLineBreaksEnabled(enabled);
}

void MainWindow::SetSplitters(int tree_width, int list_height) {
  split_tree_width_ = std::max(tree_width, 0);
  split_list_height_ = std::max(list_height, 0);
  Layout();
}

void MainWindow::SetCollectionButtonImage(int image) {
  if (tool_bar_) tool_bar_->SetCollectionsImage(collection_images_.get(), image);
}

void MainWindow::SetGlueButtonDown(bool down) {
  if (tool_bar_) tool_bar_->SetGlueDown(down);
}

void MainWindow::SetStepfeedButtons(bool up, bool down) {
  if (tool_bar_) tool_bar_->SetStepfeedDown(up, down);
}

void MainWindow::ShowMe() {
  if (hwnd_ == nullptr) return;
  ::ShowWindow(hwnd_, ::IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
  ::BringWindowToTop(hwnd_);
  ::SetForegroundWindow(hwnd_);
}

bool MainWindow::Visible() const { return hwnd_ != nullptr && ::IsWindowVisible(hwnd_) && !::IsIconic(hwnd_); }

void MainWindow::Hide() {
  if (hwnd_ != nullptr) ::ShowWindow(hwnd_, SW_HIDE);
}

void MainWindow::FocusClipList() {
  if (clips_ && clips_->hwnd() != nullptr) ::SetFocus(clips_->hwnd());
}

void MainWindow::ShowToolButtons(bool search, bool line_breaks) {
  if (tool_bar_) tool_bar_->ShowOptionalButtons(search, line_breaks);
}

int MainWindow::CollectionImageCount() const {
  return collection_images_ ? ImageList_GetImageCount(collection_images_.get()) : 0;
}

ISelectBitmapView& MainWindow::SelectBitmapView() {
  select_bitmap_->SetOwner(hwnd_);
  return *select_bitmap_;
}

IDSPropView& MainWindow::DSPropView() {
  ds_prop_->SetOwner(hwnd_);
  return *ds_prop_;
}

IFindView& MainWindow::FindView() {
  find_->SetOwner(hwnd_);
  return *find_;
}

std::optional<std::string> MainWindow::PickDirectory(std::string_view proposed) {
  return BrowseForFolder(Handle(), "Pick your new data directory", proposed);
}

void MainWindow::OnCommand(UINT id) {
  if (id == MainMenus::kIdSelectCollection) {
    // Below the collections button.
    if (tool_bar_) {
      const RECT button = tool_bar_->CollectionsButtonRect();
      ShowCollectionMenu(POINT{button.left, button.bottom});
    }
    return;
  }
  const auto command = MainMenus::CommandOf(id);
  if (command && events_ != nullptr) events_->MenuClick(*command);
}

void MainWindow::OnTray(UINT mouse_message) {
  switch (mouse_message) {
    case WM_RBUTTONUP: {
      POINT at{};
      ::GetCursorPos(&at);
      // The menu closes when the user clicks elsewhere only if the window is
      // in the foreground; the empty message after it lets a second click
      // on the icon open it again.
      ::SetForegroundWindow(hwnd_);
      ::TrackPopupMenu(menus_.TrayMenu(), TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
      ::PostMessageA(hwnd_, WM_NULL, 0, 0);
      break;
    }
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      // Brings the window back; the activation that follows reaches the
      // behaviour like any other.
      ::ShowWindow(hwnd_, ::IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
      ::SetForegroundWindow(hwnd_);
      break;
    default:
      break;
  }
}

void MainWindow::Layout() {
  if (hwnd_ == nullptr || !tree_ || !clips_ || !status_) return;
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  status_->Layout();
  RECT bar{};
  ::GetWindowRect(status_->hwnd(), &bar);
  const int width = client.right;
  int top = 0;
  if (tool_bar_ && tool_bar_->hwnd() != nullptr) {
    ::SendMessageA(tool_bar_->hwnd(), TB_AUTOSIZE, 0, 0);
    top = tool_bar_->Height();
  }
  if (pickdrop_bar_ && pickdrop_bar_->Shown()) {
    const int bar_height = pickdrop_bar_->Height();
    ::MoveWindow(pickdrop_bar_->hwnd(), 0, top, client.right, bar_height, TRUE);
    top += bar_height;
  }
  const int height = std::max(0, static_cast<int>(client.bottom - (bar.bottom - bar.top)) - top);
  // The tree as wide as split1 says, else about a third of the width; the
  // list and the preview pane below it the rest. An expanded preview
  // leaves the tree and the list one pixel each.
  int tree_width = split_tree_width_ > 0
                       ? std::clamp(split_tree_width_, 1, std::max(1, width - 40))
                       : std::clamp(width * 3 / 10, std::min(width, 140), std::max(140, width - 200));
  if (preview_expanded_) tree_width = 1;
  const int right = tree_width + kGap;
  const int right_width = std::max(0, width - right);
  ::MoveWindow(tree_->hwnd(), 0, top, tree_width, height, TRUE);
  // Below the list: the preview pane, or Pickdrop's alternate list in its
  // place.
  const bool below = alternates_shown_ || (preview_visible_ && pane_ && pane_->hwnd() != nullptr);
  if (!below) {
    ::MoveWindow(clips_->hwnd(), right, top, right_width, height, TRUE);
    return;
  }
  // The list as high as split2 says, else two fifths of the height; the
  // pane keeps a little room below it.
  int list_height = split_list_height_ > 0 ? split_list_height_ : height * 2 / 5;
  list_height = std::clamp(list_height, 1, std::max(1, height - kGap - kMinPaneHeight));
  if (preview_expanded_) list_height = 1;
  ::MoveWindow(clips_->hwnd(), right, top, right_width, list_height, TRUE);
  const int below_top = top + list_height + kGap;
  const int below_height = std::max(0, height - list_height - kGap);
  if (alternates_shown_) {
    constexpr int kCaptionHeight = 20;
    ::MoveWindow(alternate_caption_, right, below_top, right_width, kCaptionHeight, TRUE);
    ::MoveWindow(alternate_clips_->hwnd(), right, below_top + kCaptionHeight, right_width,
                 std::max(0, below_height - kCaptionHeight), TRUE);
    return;
  }
  ::MoveWindow(pane_->hwnd(), right, below_top, right_width, below_height, TRUE);
}

void MainWindow::SetBusy(bool busy) {
  if (busy == busy_ || hwnd_ == nullptr) return;
  busy_ = busy;
  if (busy) {
    HWND focus = ::GetFocus();
    focus_before_busy_ = (focus != nullptr && ::IsChild(hwnd_, focus)) ? focus : nullptr;
    ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    ::EnableWindow(hwnd_, FALSE);
  } else {
    ::EnableWindow(hwnd_, TRUE);
    // Disabling took the focus away; the control that had it gets it back.
    if (focus_before_busy_ != nullptr && ::IsWindow(focus_before_busy_) && ::GetActiveWindow() == hwnd_) {
      ::SetFocus(focus_before_busy_);
    }
    focus_before_busy_ = nullptr;
    ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  }
}

void MainWindow::SetHeaderText(std::string_view text) {
  // The header above the list belongs to the traditional view, which this
  // window does not have yet; the text is kept for when it comes.
  header_text_ = std::string(text);
}

void MainWindow::SetPreviewVisible(bool visible) {
  preview_visible_ = visible;
  if (pane_ && pane_->hwnd() != nullptr) {
    ::ShowWindow(pane_->hwnd(), visible && clip_panel_visible_ ? SW_SHOWNA : SW_HIDE);
  }
  Layout();
}

void MainWindow::SetClipPanelVisible(bool visible) {
  clip_panel_visible_ = visible;
  if (clips_ && clips_->hwnd() != nullptr) ::ShowWindow(clips_->hwnd(), visible ? SW_SHOWNA : SW_HIDE);
  // The preview pane belongs to the same panel.
  if (pane_ && pane_->hwnd() != nullptr) {
    ::ShowWindow(pane_->hwnd(), visible && preview_visible_ ? SW_SHOWNA : SW_HIDE);
  }
}

void MainWindow::LeaveTopmost() {
  if (hwnd_ == nullptr) return;
  if (topmost_left_++ > 0) return;
  topmost_before_ = (::GetWindowLongPtrA(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (topmost_before_) {
    ::SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void MainWindow::RestoreVisibility() {
  // Puts back what LeaveTopmost found, once the outermost of nested pairs
  // ends; without a LeaveTopmost before it there is nothing to restore.
  if (hwnd_ == nullptr || topmost_left_ == 0) return;
  if (--topmost_left_ > 0) return;
  if (topmost_before_) {
    ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void MainWindow::Minimize() {
  if (hwnd_ != nullptr) ::ShowWindow(hwnd_, SW_MINIMIZE);
}

void MainWindow::Close() {
  // Posted, not sent: the close usually comes from a menu command, and the
  // window must not be destroyed under the handler that asked for it.
  if (hwnd_ != nullptr) ::PostMessageA(hwnd_, WM_CLOSE, 0, 0);
}

bool MainWindow::TranslateAccelerators(MSG& message) {
  if (hwnd_ == nullptr) return false;
  if (message.hwnd != hwnd_ && !::IsChild(hwnd_, message.hwnd)) return false;
  // Esc ends a drag of list rows, whichever control has the focus.
  if (dragging_rows_ && message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
    RowDragEnd(false, POINT{});
    return true;
  }
  if (menus_.AcceleratorTable() == nullptr) return false;
  return ::TranslateAcceleratorA(hwnd_, menus_.AcceleratorTable(), &message) != 0;
}

IWebBrowserView* MainWindow::CreateHtmlView(std::string& error) {
  if (html_view_) return html_view_.get();
  WebBrowserWindow::Created made = WebBrowserWindow::Create(pane_->HtmlPage());
  if (!made.window) {
    error = made.error;
    return nullptr;
  }
  html_view_ = std::move(made.window);
  pane_->SetHtmlWindow(html_view_->Handle());
  return html_view_.get();
}

void MainWindow::DestroyHtmlView() {
  if (!html_view_) return;
  pane_->SetHtmlWindow(nullptr);
  html_view_.reset();
}

}  // namespace om::win32
