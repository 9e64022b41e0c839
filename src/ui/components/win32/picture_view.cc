#include "ui/components/win32/picture_view.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>

#include "clipboard/picture_layout.h"
#include "platform/handler_errors.h"
#include "platform/win32/os_error.h"
#include "ui/components/win32/picture_draw.h"

namespace om::win32 {
namespace {

constexpr char kClassName[] = "OttermoorPictureView";
constexpr int kLineStep = 16;  // pixels per scroll-bar arrow click
constexpr int kWheelStep = 48;  // pixels per wheel notch

// An object selected into a device context for the scope's life.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~Selected() {
    if (old_ != nullptr && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

bool RegisterViewClass(HINSTANCE module, WNDPROC procedure) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (::GetClassInfoExA(module, kClassName, &existing)) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  // Redrawn whole when resized: a stretched picture changes everywhere.
  wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = procedure;
  wc.hInstance = module;
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = nullptr;  // the paint covers every pixel
  wc.lpszClassName = kClassName;
  if (::RegisterClassExA(&wc)) return true;
  LogOsFailure("RegisterClassExA(picture view)");
  return false;
}

int Scaled(int length, double scale) { return std::max(1, static_cast<int>(std::lround(length * scale))); }

}  // namespace

PictureView::PictureView(HWND parent, int control_id) {
  HINSTANCE module = ::GetModuleHandleA(nullptr);
  if (!RegisterViewClass(module, &PictureView::WindowProc)) return;
  // hwnd_ is set by WM_NCCREATE, so that the messages of creation find it.
  ::CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL, 0, 0, 100,
                    100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)), module, this);
  if (hwnd_ == nullptr) {
    LogOsFailure("CreateWindowExA(picture view)");
    return;
  }
  UpdateScrollBars();
}

PictureView::~PictureView() {
  on_double_click_ = nullptr;
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

void PictureView::Reset() {
  dib_.clear();
  dib_size_ = {};
  metafile_.reset();
  metafile_size_ = {};
  scroll_ = {};
  wheel_rest_ = 0;
}

void PictureView::ShowBitmap(const TBitmap& bitmap) {
  Reset();
  if (const auto layout = CheckPackedDib(bitmap.Dib())) {
    dib_ = bitmap.Dib();
    dib_size_ = {layout->width, layout->Rows()};
  }
  UpdateScrollBars();
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureView::ShowMetafile(const TMetafile& metafile) {
  Reset();
  if (!metafile.Empty()) metafile_ = MetafileHandle(metafile);
  if (metafile_) {
    ENHMETAHEADER header{};
    if (::GetEnhMetaFileHeader(metafile_.get(), sizeof header, &header) != 0) {
      const LONG width = header.rclFrame.right - header.rclFrame.left;
      const LONG height = header.rclFrame.bottom - header.rclFrame.top;
      if (width > 0 && height > 0) metafile_size_ = {width, height};
    }
  }
  UpdateScrollBars();
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureView::Clear() {
  Reset();
  UpdateScrollBars();
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

bool PictureView::HasPicture() const { return !dib_.empty() || static_cast<bool>(metafile_); }

void PictureView::SetStretch(bool stretch) {
  if (stretch == stretch_) return;
  stretch_ = stretch;
  scroll_ = {};
  UpdateScrollBars();
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

RECT PictureView::Place(int width, int height, const SIZE& client, Fit fit) {
  if (fit == Fit::kOwnSize) return {0, 0, width, height};
  if (width <= 0 || height <= 0) return fit == Fit::kStretchCentred ? RECT{0, 0, client.cx, client.cy} : RECT{};
  const double scale = std::min(static_cast<double>(client.cx) / width, static_cast<double>(client.cy) / height);
  if (fit == Fit::kShrinkToFit) {
    if (width <= client.cx && height <= client.cy) return {0, 0, width, height};
    return {0, 0, Scaled(width, scale), Scaled(height, scale)};
  }
  const int shown_width = Scaled(width, scale);
  const int shown_height = Scaled(height, scale);
  const int left = (client.cx - shown_width) / 2;
  const int top = (client.cy - shown_height) / 2;
  return {left, top, left + shown_width, top + shown_height};
}

SIZE PictureView::ClientSize() const {
  RECT client{};
  if (hwnd_ != nullptr) ::GetClientRect(hwnd_, &client);
  return {client.right, client.bottom};
}

RECT PictureView::PictureRect() const {
  const SIZE client = ClientSize();
  if (!dib_.empty()) {
    RECT r = Place(dib_size_.cx, dib_size_.cy, client, stretch_ ? Fit::kShrinkToFit : Fit::kOwnSize);
    ::OffsetRect(&r, -scroll_.x, -scroll_.y);
    return r;
  }
  if (metafile_) return Place(metafile_size_.cx, metafile_size_.cy, client, Fit::kStretchCentred);
  return {};
}

void PictureView::UpdateScrollBars() {
  if (hwnd_ == nullptr || updating_bars_) return;
  updating_bars_ = true;
  const bool scrolls = !dib_.empty() && !stretch_;
  // Showing one bar narrows the room for the other: settle in a few rounds.
  for (int round = 0; round < 3; ++round) {
    const SIZE client = ClientSize();
    const SIZE picture = scrolls ? dib_size_ : SIZE{0, 0};
    scroll_.x = std::clamp<LONG>(scroll_.x, 0, std::max<LONG>(picture.cx - client.cx, 0));
    scroll_.y = std::clamp<LONG>(scroll_.y, 0, std::max<LONG>(picture.cy - client.cy, 0));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = std::max<LONG>(picture.cx - 1, 0);
    info.nPage = static_cast<UINT>(picture.cx > 0 ? client.cx : 0);
    info.nPos = scroll_.x;
    ::SetScrollInfo(hwnd_, SB_HORZ, &info, TRUE);
    info.nMax = std::max<LONG>(picture.cy - 1, 0);
    info.nPage = static_cast<UINT>(picture.cy > 0 ? client.cy : 0);
    info.nPos = scroll_.y;
    ::SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
    const SIZE after = ClientSize();
    if (after.cx == client.cx && after.cy == client.cy) break;
  }
  updating_bars_ = false;
}

void PictureView::ScrollTo(int x, int y) {
  const SIZE client = ClientSize();
  const bool scrolls = !dib_.empty() && !stretch_;
  const LONG max_x = scrolls ? std::max<LONG>(dib_size_.cx - client.cx, 0) : 0;
  const LONG max_y = scrolls ? std::max<LONG>(dib_size_.cy - client.cy, 0) : 0;
  const POINT wanted{std::clamp<LONG>(x, 0, max_x), std::clamp<LONG>(y, 0, max_y)};
  if (wanted.x == scroll_.x && wanted.y == scroll_.y) return;
  scroll_ = wanted;
  ::SetScrollPos(hwnd_, SB_HORZ, scroll_.x, TRUE);
  ::SetScrollPos(hwnd_, SB_VERT, scroll_.y, TRUE);
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureView::OnScroll(int bar, int request) {
  const SIZE client = ClientSize();
  const int page = bar == SB_HORZ ? client.cx : client.cy;
  const int now = bar == SB_HORZ ? scroll_.x : scroll_.y;
  int next = now;
  switch (request) {
    case SB_LINEUP: next = now - kLineStep; break;
    case SB_LINEDOWN: next = now + kLineStep; break;
    case SB_PAGEUP: next = now - std::max(page, 1); break;
    case SB_PAGEDOWN: next = now + std::max(page, 1); break;
    case SB_TOP: next = 0; break;
    case SB_BOTTOM: next = bar == SB_HORZ ? dib_size_.cx : dib_size_.cy; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The 32-bit position: the message's own is only 16 bits wide.
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_TRACKPOS;
      if (::GetScrollInfo(hwnd_, bar, &info)) next = info.nTrackPos;
      break;
    }
    default: return;
  }
  if (bar == SB_HORZ) {
    ScrollTo(next, scroll_.y);
  } else {
    ScrollTo(scroll_.x, next);
  }
}

void PictureView::Paint(HDC dc, const RECT& area) {
  const SIZE client = ClientSize();
  if (client.cx <= 0 || client.cy <= 0) return;
  const RECT all{0, 0, client.cx, client.cy};
  // Drawn off-screen and copied in one step: the window never shows the
  // background without the picture.
  MemoryDc buffer_dc(::CreateCompatibleDC(dc));
  Bitmap buffer(::CreateCompatibleBitmap(dc, client.cx, client.cy));
  HDC target = dc;
  std::optional<Selected> picked;
  if (buffer_dc && buffer) {
    picked.emplace(buffer_dc.get(), buffer.get());
    target = buffer_dc.get();
  }
  const int saved = ::SaveDC(target);
  ::IntersectClipRect(target, area.left, area.top, area.right, area.bottom);
  ::FillRect(target, &all, ::GetSysColorBrush(COLOR_BTNFACE));
  const RECT picture = PictureRect();
  if (!dib_.empty()) {
    DrawDib(target, dib_, picture);
  } else if (metafile_) {
    DrawMetafile(target, metafile_.get(), picture);
  }
  ::RestoreDC(target, saved);
  if (target != dc) {
    ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, target, area.left, area.top,
             SRCCOPY);
  }
}

LRESULT CALLBACK PictureView::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<PictureView*>(reinterpret_cast<const CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<PictureView*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
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
    // A handler's exception must not unwind through the system's frames.
    ReportHandlerError(std::current_exception());
    return 0;
  }
}

LRESULT PictureView::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = ::BeginPaint(hwnd_, &ps);
      if (dc != nullptr) Paint(dc, ps.rcPaint);
      ::EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_PRINTCLIENT: {
      const SIZE client = ClientSize();
      Paint(reinterpret_cast<HDC>(wparam), RECT{0, 0, client.cx, client.cy});
      return 0;
    }
    case WM_SIZE:
      UpdateScrollBars();
      return 0;
    case WM_HSCROLL:
      OnScroll(SB_HORZ, LOWORD(wparam));
      return 0;
    case WM_VSCROLL:
      OnScroll(SB_VERT, LOWORD(wparam));
      return 0;
    case WM_MOUSEWHEEL: {
      wheel_rest_ += GET_WHEEL_DELTA_WPARAM(wparam);
      const int notches = wheel_rest_ / WHEEL_DELTA;
      wheel_rest_ -= notches * WHEEL_DELTA;
      if (notches != 0) ScrollTo(scroll_.x, scroll_.y - notches * kWheelStep);
      return 0;
    }
    case WM_LBUTTONDOWN:
      ::SetFocus(hwnd_);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (HasPicture() && on_double_click_) on_double_click_();
      return 0;
    default:
      return ::DefWindowProcA(hwnd_, message, wparam, lparam);
  }
}

}  // namespace om::win32
