#include "ui/main/win32/pickdrop_bar.h"

#include <iterator>

#include "platform/win32/os_error.h"

namespace om::win32 {

PickdropBar::PickdropBar(HWND parent, int control_id) {
  hwnd_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                            WS_CHILD | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER |
                                CCS_NORESIZE,
                            0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)),
                            ::GetModuleHandleA(nullptr), nullptr);
  if (hwnd_ == nullptr) {
    LogOsFailure("CreateWindowExA(Pickdrop tool bar)");
    return;
  }
  ::SendMessageA(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  ::SendMessageA(hwnd_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
  struct Button {
    int id;
    const char* caption;
    BYTE style;
  };
  const Button layout[] = {
      {kLockId, "PD", BTNS_CHECK},     {kTabId, "Tab", BTNS_CHECK},  {kEnterId, "Enter", BTNS_CHECK},
      {kStickyId, "Sticky?", BTNS_CHECK}, {kPasteId, "Paste", BTNS_BUTTON},
      {kSetId, "Set", BTNS_BUTTON},
  };
  TBBUTTON buttons[std::size(layout)] = {};
  for (std::size_t i = 0; i < std::size(layout); ++i) {
    buttons[i].iBitmap = I_IMAGENONE;
    buttons[i].idCommand = layout[i].id;
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = static_cast<BYTE>(layout[i].style | BTNS_AUTOSIZE | BTNS_SHOWTEXT);
    buttons[i].iString = reinterpret_cast<INT_PTR>(layout[i].caption);
  }
  ::SendMessageA(hwnd_, TB_ADDBUTTONSA, static_cast<WPARAM>(std::size(buttons)), reinterpret_cast<LPARAM>(buttons));
  ::SendMessageA(hwnd_, TB_AUTOSIZE, 0, 0);
}

int PickdropBar::Height() const {
  if (hwnd_ == nullptr || !Shown()) return 0;
  const DWORD size = static_cast<DWORD>(::SendMessageA(hwnd_, TB_GETBUTTONSIZE, 0, 0));
  // A little room around the buttons; the mode's bar is about 30 high.
  return HIWORD(size) + 6;
}

void PickdropBar::SetShown(bool shown) {
  if (hwnd_ != nullptr) ::ShowWindow(hwnd_, shown ? SW_SHOW : SW_HIDE);
}

// Its own visibility, also while the main window is hidden (minimized to
// the tray): the layout keeps room for it.
bool PickdropBar::Shown() const {
  return hwnd_ != nullptr && (::GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void PickdropBar::SetStates(bool lock, bool tab, bool enter, bool sticky) {
  if (hwnd_ == nullptr) return;
  for (const int id : {kTabId, kEnterId}) {
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_STYLE;
    info.fsStyle = static_cast<BYTE>((sticky ? BTNS_CHECK : BTNS_BUTTON) | BTNS_AUTOSIZE | BTNS_SHOWTEXT);
    ::SendMessageA(hwnd_, TB_SETBUTTONINFOA, id, reinterpret_cast<LPARAM>(&info));
  }
  const auto check = [this](int id, bool down) {
    ::SendMessageA(hwnd_, TB_CHECKBUTTON, id, MAKELPARAM(down ? TRUE : FALSE, 0));
  };
  check(kLockId, lock);
  check(kTabId, sticky && tab);
  check(kEnterId, sticky && enter);
  check(kStickyId, sticky);
}

bool PickdropBar::Checked(int id) const {
  return hwnd_ != nullptr && ::SendMessageA(hwnd_, TB_ISBUTTONCHECKED, static_cast<WPARAM>(id), 0) != 0;
}

RECT PickdropBar::ButtonRect(int id) const {
  RECT r{};
  if (hwnd_ == nullptr) return r;
  ::SendMessageA(hwnd_, TB_GETRECT, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&r));
  ::MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool PickdropBar::IsToggle(int id) const {
  if (hwnd_ == nullptr) return false;
  TBBUTTONINFOA info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_STYLE;
  if (::SendMessageA(hwnd_, TB_GETBUTTONINFOA, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&info)) < 0) {
    return false;
  }
  return (info.fsStyle & BTNS_CHECK) != 0;
}

}  // namespace om::win32
