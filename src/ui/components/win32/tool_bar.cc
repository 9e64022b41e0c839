#include "ui/components/win32/tool_bar.h"

#include "platform/win32/os_error.h"

namespace om::win32 {

ToolBar::ToolBar(HWND parent, int control_id) {
  hwnd_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                            WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER, 0, 0, 0,
                            0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)),
                            ::GetModuleHandleA(nullptr), nullptr);
  if (hwnd_ == nullptr) {
    LogOsFailure("CreateWindowExA(tool bar)");
    return;
  }
  ::SendMessageA(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  ::SendMessageA(hwnd_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  images_.reset(ImageList_Create(kButtonImageSize, kButtonImageSize, ILC_COLOR24 | ILC_MASK, 1, 1));
  ::SendMessageA(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
  SetCollectionsImage(nullptr, -1);
  TBBUTTON button{};
  button.iBitmap = 0;
  button.idCommand = kCollectionsButtonId;
  button.fsState = TBSTATE_ENABLED;
  button.fsStyle = BTNS_DROPDOWN;
  button.iString = reinterpret_cast<INT_PTR>("Collections");
  ::SendMessageA(hwnd_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
  ::SendMessageA(hwnd_, TB_AUTOSIZE, 0, 0);
}

int ToolBar::Height() const {
  if (hwnd_ == nullptr) return 0;
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  return r.bottom - r.top;
}

void ToolBar::SetCollectionsImage(HIMAGELIST images, int image) {
  if (!images_) return;
  WindowDc screen;
  MemoryDc dc(::CreateCompatibleDC(screen.get()));
  Bitmap bitmap(::CreateCompatibleBitmap(screen.get(), kButtonImageSize, kButtonImageSize));
  if (!dc || !bitmap) {
    LogOsFailure("CreateCompatibleBitmap(collections button)");
    return;
  }
  HGDIOBJ before = ::SelectObject(dc.get(), bitmap.get());
  RECT square{0, 0, kButtonImageSize, kButtonImageSize};
  ::FillRect(dc.get(), &square, ::GetSysColorBrush(COLOR_BTNFACE));
  if (images != nullptr && image >= 0) ImageList_Draw(images, image, dc.get(), 4, 4, ILD_NORMAL);
  ::SelectObject(dc.get(), before);
  ImageList_RemoveAll(images_.get());
  ImageList_AddMasked(images_.get(), bitmap.get(), RGB(255, 255, 255));
  shown_image_ = images != nullptr ? image : -1;
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

RECT ToolBar::CollectionsButtonRect() const {
  RECT r{};
  ::SendMessageA(hwnd_, TB_GETRECT, kCollectionsButtonId, reinterpret_cast<LPARAM>(&r));
  ::MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace om::win32
