#include "ui/components/win32/tool_bar.h"

#include <iterator>

#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

constexpr COLORREF kTransparent = RGB(255, 255, 255);

// A square button picture of `size` pixels: white (transparent) with what
// `paint(dc, square)` draws on it; an empty bitmap when none could be made.
template <typename Paint>
Bitmap DrawButtonImage(int size, Paint paint) {
  WindowDc screen;
  MemoryDc dc(::CreateCompatibleDC(screen.get()));
  Bitmap bitmap(::CreateCompatibleBitmap(screen.get(), size, size));
  if (!dc || !bitmap) return {};
  HGDIOBJ before = ::SelectObject(dc.get(), bitmap.get());
  RECT square{0, 0, size, size};
  GdiObject<HBRUSH> white(::CreateSolidBrush(kTransparent));
  ::FillRect(dc.get(), &square, white.get());
  paint(dc.get(), square);
  ::SelectObject(dc.get(), before);
  return bitmap;
}

// A button's picture: one character in `color`; the line-break button's
// paragraph mark is struck through in red.
Bitmap DrawGlyphImage(int size, const char* glyph, COLORREF color, bool struck) {
  return DrawButtonImage(size, [&](HDC dc, RECT square) {
    // Unsmoothed: smoothing would blend the edges with the transparent white.
    Font font(::CreateFontA(-(size - 4), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Arial"));
    HGDIOBJ old_font = ::SelectObject(dc, font.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, color);
    ::DrawTextA(dc, glyph, -1, &square, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, old_font);
    if (struck) {
      GdiObject<HPEN> red(::CreatePen(PS_SOLID, 3, RGB(210, 30, 30)));
      HGDIOBJ old_pen = ::SelectObject(dc, red.get());
      ::MoveToEx(dc, 4, size - 5, nullptr);
      ::LineTo(dc, size - 5, 4);
      ::SelectObject(dc, old_pen);
    }
  });
}

// The glue button's pictures: a glue pot standing (up) or tipped over with
// glue running out (down), on white (transparent).
Bitmap DrawGlueImage(int size, bool tipped) {
  return DrawButtonImage(size, [&](HDC dc, RECT /*square*/) {
    GdiObject<HBRUSH> pot(::CreateSolidBrush(RGB(200, 150, 60)));
    GdiObject<HBRUSH> lid(::CreateSolidBrush(RGB(120, 70, 20)));
    GdiObject<HBRUSH> glue(::CreateSolidBrush(RGB(235, 235, 200)));
    GdiObject<HPEN> outline(::CreatePen(PS_SOLID, 1, RGB(60, 40, 10)));
    HGDIOBJ old_pen = ::SelectObject(dc, outline.get());
    HGDIOBJ old_brush = ::SelectObject(dc, pot.get());
    if (!tipped) {
      ::Rectangle(dc, 6, 9, size - 6, size - 3);
      ::SelectObject(dc, lid.get());
      ::Rectangle(dc, 8, 4, size - 8, 10);
    } else {
      ::Rectangle(dc, 3, 7, size - 9, size - 8);
      ::SelectObject(dc, lid.get());
      ::Rectangle(dc, size - 10, 9, size - 5, size - 10);
      ::SelectObject(dc, glue.get());
      ::Ellipse(dc, size - 11, size - 9, size - 1, size - 3);
    }
    ::SelectObject(dc, old_brush);
    ::SelectObject(dc, old_pen);
  });
}

// The search button's picture: a magnifying glass, its handle to the
// lower right.
Bitmap DrawSearchImage(int size) {
  return DrawButtonImage(size, [&](HDC dc, RECT /*square*/) {
    GdiObject<HPEN> rim(::CreatePen(PS_SOLID, 2, RGB(40, 40, 40)));
    GdiObject<HPEN> handle(::CreatePen(PS_SOLID, 4, RGB(120, 70, 20)));
    GdiObject<HBRUSH> glass(::CreateSolidBrush(RGB(190, 225, 250)));
    HGDIOBJ old_pen = ::SelectObject(dc, handle.get());
    ::MoveToEx(dc, size / 2 + 2, size / 2 + 2, nullptr);
    ::LineTo(dc, size - 4, size - 4);
    ::SelectObject(dc, rim.get());
    HGDIOBJ old_brush = ::SelectObject(dc, glass.get());
    ::Ellipse(dc, 3, 3, size / 2 + 6, size / 2 + 6);
    ::SelectObject(dc, old_brush);
    ::SelectObject(dc, old_pen);
  });
}

// The sequential-paste buttons' pictures: a stack of three lines (the
// clips) with an arrow beside it pointing the way the run goes.
Bitmap DrawStepfeedImage(int size, bool up) {
  return DrawButtonImage(size, [&](HDC dc, RECT /*square*/) {
    GdiObject<HPEN> lines(::CreatePen(PS_SOLID, 2, RGB(60, 60, 60)));
    GdiObject<HBRUSH> arrow(::CreateSolidBrush(RGB(0, 130, 60)));
    GdiObject<HPEN> outline(::CreatePen(PS_SOLID, 1, RGB(0, 90, 40)));
    HGDIOBJ old_pen = ::SelectObject(dc, lines.get());
    for (int y : {6, size / 2, size - 6}) {
      ::MoveToEx(dc, 3, y, nullptr);
      ::LineTo(dc, size / 2, y);
    }
    ::SelectObject(dc, outline.get());
    HGDIOBJ old_brush = ::SelectObject(dc, arrow.get());
    const int left = size / 2 + 2;
    const int right = size - 3;
    const int mid = (left + right) / 2;
    const POINT head_up[] = {{mid, 3}, {right, 11}, {left, 11}};
    const POINT head_down[] = {{mid, size - 4}, {right, size - 12}, {left, size - 12}};
    ::Polygon(dc, up ? head_up : head_down, 3);
    ::Rectangle(dc, mid - 2, up ? 11 : 4, mid + 3, up ? size - 3 : size - 11);
    ::SelectObject(dc, old_brush);
    ::SelectObject(dc, old_pen);
  });
}

constexpr int kGlueUpImage = 2;
constexpr int kGlueDownImage = 3;
constexpr int kMoveImage = 4;
constexpr int kDeleteImage = 5;
constexpr int kSearchImage = 6;
constexpr int kStepfeedUpImage = 7;
constexpr int kStepfeedDownImage = 8;

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
  glue_up_image_ = DrawGlueImage(kButtonImageSize, /*tipped=*/false);
  glue_down_image_ = DrawGlueImage(kButtonImageSize, /*tipped=*/true);
  move_image_ = DrawGlyphImage(kButtonImageSize, "\xBB", RGB(0, 90, 170), false);
  delete_image_ = DrawGlyphImage(kButtonImageSize, "X", RGB(200, 30, 30), false);
  search_image_ = DrawSearchImage(kButtonImageSize);
  stepfeed_up_image_ = DrawStepfeedImage(kButtonImageSize, /*up=*/true);
  stepfeed_down_image_ = DrawStepfeedImage(kButtonImageSize, /*up=*/false);
  ::SendMessageA(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
  SetCollectionsImage(nullptr, -1);
  struct Button {
    int image;
    int id;
    BYTE state;
    BYTE style;
    const char* text;
  };
  const Button layout[] = {
      {0, kCollectionsButtonId, TBSTATE_ENABLED, BTNS_DROPDOWN, "Collections"},
      // Disabled until the preview pane holds a line of text.
      {1, kLineBreaksButtonId, 0, BTNS_BUTTON | BTNS_AUTOSIZE, "Line Breaks"},
      {kGlueUpImage, kGlueButtonId, TBSTATE_ENABLED, BTNS_CHECK | BTNS_AUTOSIZE, "Glue"},
      {kMoveImage, kMoveClipsButtonId, TBSTATE_ENABLED, BTNS_DROPDOWN, move_hint_.c_str()},
      {kDeleteImage, kDeleteButtonId, TBSTATE_ENABLED, BTNS_BUTTON | BTNS_AUTOSIZE, "Delete"},
      // Hidden until the settings ask for it.
      {kSearchImage, kSearchButtonId, TBSTATE_ENABLED | TBSTATE_HIDDEN, BTNS_BUTTON | BTNS_AUTOSIZE, "Initiate Search"},
      {kStepfeedUpImage, kStepfeedUpButtonId, TBSTATE_ENABLED, BTNS_CHECK | BTNS_AUTOSIZE, "Stepfeed Up"},
      {kStepfeedDownImage, kStepfeedDownButtonId, TBSTATE_ENABLED, BTNS_CHECK | BTNS_AUTOSIZE, "Stepfeed Down"},
  };
  TBBUTTON buttons[std::size(layout)] = {};
  for (std::size_t i = 0; i < std::size(layout); ++i) {
    buttons[i].iBitmap = layout[i].image;
    buttons[i].idCommand = layout[i].id;
    buttons[i].fsState = layout[i].state;
    buttons[i].fsStyle = layout[i].style;
    buttons[i].iString = reinterpret_cast<INT_PTR>(layout[i].text);
  }
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
  // A picture that could not be made leaves a blank in its place, so that
  // the indexes after it stay right.
  const auto add = [this](const Bitmap& image) {
    if (image) {
      ImageList_AddMasked(images_.get(), image.get(), kTransparent);
    } else {
      ImageList_SetImageCount(images_.get(), static_cast<UINT>(ImageList_GetImageCount(images_.get()) + 1));
    }
  };
  add(line_breaks_image_);
  add(glue_up_image_);
  add(glue_down_image_);
  add(move_image_);
  add(delete_image_);
  add(search_image_);
  add(stepfeed_up_image_);
  add(stepfeed_down_image_);
}

void ToolBar::SetStepfeedDown(bool up, bool down) {
  if (hwnd_ == nullptr) return;
  ::SendMessageA(hwnd_, TB_CHECKBUTTON, kStepfeedUpButtonId, MAKELPARAM(up ? TRUE : FALSE, 0));
  ::SendMessageA(hwnd_, TB_CHECKBUTTON, kStepfeedDownButtonId, MAKELPARAM(down ? TRUE : FALSE, 0));
}

bool ToolBar::ButtonChecked(int id) const {
  return hwnd_ != nullptr && ::SendMessageA(hwnd_, TB_ISBUTTONCHECKED, static_cast<WPARAM>(id), 0) != 0;
}

void ToolBar::ShowOptionalButtons(bool search, bool line_breaks) {
  if (hwnd_ == nullptr) return;
  ::SendMessageA(hwnd_, TB_HIDEBUTTON, kSearchButtonId, MAKELPARAM(search ? FALSE : TRUE, 0));
  ::SendMessageA(hwnd_, TB_HIDEBUTTON, kLineBreaksButtonId, MAKELPARAM(line_breaks ? FALSE : TRUE, 0));
}

bool ToolBar::ButtonVisible(int id) const {
  return hwnd_ != nullptr && ::SendMessageA(hwnd_, TB_ISBUTTONHIDDEN, static_cast<WPARAM>(id), 0) == 0;
}

void ToolBar::SetGlueDown(bool down) {
  if (hwnd_ == nullptr) return;
  ::SendMessageA(hwnd_, TB_CHECKBUTTON, kGlueButtonId, MAKELPARAM(down ? TRUE : FALSE, 0));
  ::SendMessageA(hwnd_, TB_CHANGEBITMAP, kGlueButtonId, MAKELPARAM(down ? kGlueDownImage : kGlueUpImage, 0));
}

bool ToolBar::GlueDown() const {
  return hwnd_ != nullptr && ::SendMessageA(hwnd_, TB_ISBUTTONCHECKED, kGlueButtonId, 0) != 0;
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
