#include "ui/components/win32/tool_bar.h"

#include <iterator>

#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

constexpr COLORREF kTransparent = RGB(255, 255, 255);

// A button's picture: one character in `color`, on white (transparent); the
// line-break button's paragraph mark is struck through in red.
Bitmap DrawGlyphImage(int size, const char* glyph, COLORREF color, bool struck) {
  WindowDc screen;
  MemoryDc dc(::CreateCompatibleDC(screen.get()));
  Bitmap bitmap(::CreateCompatibleBitmap(screen.get(), size, size));
  if (!dc || !bitmap) return {};
  HGDIOBJ before = ::SelectObject(dc.get(), bitmap.get());
  RECT square{0, 0, size, size};
  GdiObject<HBRUSH> white(::CreateSolidBrush(kTransparent));
  ::FillRect(dc.get(), &square, white.get());
  // Unsmoothed: smoothing would blend the edges with the transparent white.
  Font font(::CreateFontA(-(size - 4), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Arial"));
  HGDIOBJ old_font = ::SelectObject(dc.get(), font.get());
  ::SetBkMode(dc.get(), TRANSPARENT);
  ::SetTextColor(dc.get(), color);
  ::DrawTextA(dc.get(), glyph, -1, &square, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc.get(), old_font);
  if (struck) {
    GdiObject<HPEN> red(::CreatePen(PS_SOLID, 3, RGB(210, 30, 30)));
    HGDIOBJ old_pen = ::SelectObject(dc.get(), red.get());
    ::MoveToEx(dc.get(), 4, size - 5, nullptr);
    ::LineTo(dc.get(), size - 5, 4);
    ::SelectObject(dc.get(), old_pen);
  }
  ::SelectObject(dc.get(), before);
  return bitmap;
}

}  // namespace

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
  images_.reset(ImageList_Create(kButtonImageSize, kButtonImageSize, ILC_COLOR24 | ILC_MASK, 4, 1));
  line_breaks_image_ = DrawGlyphImage(kButtonImageSize, "\xB6", RGB(0, 0, 0), true);
  move_image_ = DrawGlyphImage(kButtonImageSize, "\xBB", RGB(0, 90, 170), false);
  delete_image_ = DrawGlyphImage(kButtonImageSize, "X", RGB(200, 30, 30), false);
  ::SendMessageA(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
  SetCollectionsImage(nullptr, -1);
  TBBUTTON buttons[4] = {};
  buttons[0].iBitmap = 0;
  buttons[0].idCommand = kCollectionsButtonId;
  buttons[0].fsState = TBSTATE_ENABLED;
  buttons[0].fsStyle = BTNS_DROPDOWN;
  buttons[0].iString = reinterpret_cast<INT_PTR>("Collections");
  // Disabled until the preview pane holds a line of text.
  buttons[1].iBitmap = 1;
  buttons[1].idCommand = kLineBreaksButtonId;
  buttons[1].fsState = 0;
  buttons[1].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
  buttons[1].iString = reinterpret_cast<INT_PTR>("Line Breaks");
  buttons[2].iBitmap = 2;
  buttons[2].idCommand = kMoveClipsButtonId;
  buttons[2].fsState = TBSTATE_ENABLED;
  buttons[2].fsStyle = BTNS_DROPDOWN;
  buttons[2].iString = reinterpret_cast<INT_PTR>(move_hint_.c_str());
  buttons[3].iBitmap = 3;
  buttons[3].idCommand = kDeleteButtonId;
  buttons[3].fsState = TBSTATE_ENABLED;
  buttons[3].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
  buttons[3].iString = reinterpret_cast<INT_PTR>("Delete");
  ::SendMessageA(hwnd_, TB_ADDBUTTONSA, static_cast<WPARAM>(std::size(buttons)), reinterpret_cast<LPARAM>(buttons));
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
  FillImages(bitmap.get());
  shown_image_ = images != nullptr ? image : -1;
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void ToolBar::FillImages(HBITMAP collections) {
  ImageList_RemoveAll(images_.get());
  ImageList_AddMasked(images_.get(), collections, kTransparent);
  for (const Bitmap* image : {&line_breaks_image_, &move_image_, &delete_image_}) {
    if (*image) ImageList_AddMasked(images_.get(), image->get(), kTransparent);
  }
}

void ToolBar::SetLineBreaksEnabled(bool enabled) {
  if (hwnd_ != nullptr) {
    ::SendMessageA(hwnd_, TB_ENABLEBUTTON, kLineBreaksButtonId, MAKELPARAM(enabled ? TRUE : FALSE, 0));
  }
}

bool ToolBar::LineBreaksEnabled() const {
  return hwnd_ != nullptr && ::SendMessageA(hwnd_, TB_ISBUTTONENABLED, kLineBreaksButtonId, 0) != 0;
}

RECT ToolBar::MoveClipsButtonRect() const {
  RECT r{};
  ::SendMessageA(hwnd_, TB_GETRECT, kMoveClipsButtonId, reinterpret_cast<LPARAM>(&r));
  ::MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void ToolBar::SetMoveClipsHint(const std::string& hint) {
  move_hint_ = hint;
  if (hwnd_ == nullptr) return;
  TBBUTTONINFOA info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_TEXT;
  info.pszText = move_hint_.data();
  ::SendMessageA(hwnd_, TB_SETBUTTONINFOA, kMoveClipsButtonId, reinterpret_cast<LPARAM>(&info));
}

RECT ToolBar::CollectionsButtonRect() const {
  RECT r{};
  ::SendMessageA(hwnd_, TB_GETRECT, kCollectionsButtonId, reinterpret_cast<LPARAM>(&r));
  ::MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace om::win32
