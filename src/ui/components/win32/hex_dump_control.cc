#include "ui/components/win32/hex_dump_control.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <optional>

#include "platform/handler_errors.h"
#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

constexpr char kClassName[] = "OttermoorHexDump";
constexpr int kMargin = 2;  // pixels left of the text
constexpr int kFontPoints = 9;

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

bool RegisterDumpClass(HINSTANCE module, WNDPROC procedure) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (::GetClassInfoExA(module, kClassName, &existing)) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = procedure;
  wc.hInstance = module;
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_IBEAM));
  wc.hbrBackground = nullptr;  // the paint covers every pixel
  wc.lpszClassName = kClassName;
  if (::RegisterClassExA(&wc)) return true;
  LogOsFailure("RegisterClassExA(hex dump)");
  return false;
}

int PartIndex(HexDumpPart part) {
  switch (part) {
    case HexDumpPart::kAddress: return 0;
    case HexDumpPart::kHex: return 1;
    case HexDumpPart::kChars: return 2;
  }
  return 1;
}

}  // namespace

HexDumpControl::HexDumpControl(HWND parent, int control_id) {
  HINSTANCE module = ::GetModuleHandleA(nullptr);
  ChooseFont();
  if (!RegisterDumpClass(module, &HexDumpControl::WindowProc)) return;
  // hwnd_ is set by WM_NCCREATE, so that the messages of creation find it.
  ::CreateWindowExA(WS_EX_CLIENTEDGE, kClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL, 0, 0, 100,
                    100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)), module, this);
  if (hwnd_ == nullptr) {
    LogOsFailure("CreateWindowExA(hex dump)");
    return;
  }
  UpdateScrollBar();
}

HexDumpControl::~HexDumpControl() {
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

void HexDumpControl::ChooseFont() {
  WindowDc screen;
  const int height = -::MulDiv(kFontPoints, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
  own_font_.reset(::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New"));
  font_ = own_font_.get();
  TEXTMETRICA metrics{};
  bool fixed = false;
  if (font_ != nullptr) {
    Selected chosen(screen.get(), font_);
    // The flag's name is the wrong way round: set means variable pitch.
    fixed = ::GetTextMetricsA(screen.get(), &metrics) && (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
  }
  if (!fixed) {
    // The columns only line up in a fixed-pitch font; the system always has one.
    own_font_.reset();
    font_ = static_cast<HFONT>(::GetStockObject(ANSI_FIXED_FONT));
    Selected chosen(screen.get(), font_);
    ::GetTextMetricsA(screen.get(), &metrics);
  }
  line_height_ = std::max<int>(metrics.tmHeight + metrics.tmExternalLeading, 1);
  char_width_ = std::max<int>(metrics.tmAveCharWidth, 1);
}

void HexDumpControl::SetBuffer(const std::uint8_t* data, std::size_t size) {
  buffer_ = data != nullptr ? std::span<const std::uint8_t>(data, size) : std::span<const std::uint8_t>();
  top_line_ = 0;
  wheel_rest_ = 0;
  UpdateScrollBar();
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void HexDumpControl::SetShowAddress(bool show) {
  if (show == show_address_) return;
  show_address_ = show;
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void HexDumpControl::SetColors(COLORREF address, COLORREF hex, COLORREF chars) {
  colors_[0] = address;
  colors_[1] = hex;
  colors_[2] = chars;
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

COLORREF HexDumpControl::ColorOf(HexDumpPart part) const { return colors_[PartIndex(part)]; }

std::size_t HexDumpControl::PageLines() const {
  RECT client{};
  if (hwnd_ != nullptr) ::GetClientRect(hwnd_, &client);
  return static_cast<std::size_t>(std::max<LONG>(client.bottom / line_height_, 1));
}

void HexDumpControl::UpdateScrollBar() {
  if (hwnd_ == nullptr) return;
  const std::size_t lines = LineCount();
  top_line_ = HexDumpClampTopLine(static_cast<std::int64_t>(top_line_), lines, PageLines());
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = static_cast<int>(std::min<std::size_t>(lines > 0 ? lines - 1 : 0, INT_MAX));
  info.nPage = lines > 0 ? static_cast<UINT>(PageLines()) : 0;
  info.nPos = static_cast<int>(std::min<std::size_t>(top_line_, INT_MAX));
  ::SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
}

void HexDumpControl::SetTopLine(std::size_t line) {
  const std::size_t page = PageLines();
  const std::size_t wanted =
      HexDumpClampTopLine(static_cast<std::int64_t>(std::min<std::size_t>(line, INT64_MAX)), LineCount(), page);
  if (wanted == top_line_) return;
  // Lines the text moves down by (up when negative).
  const std::int64_t moved = static_cast<std::int64_t>(top_line_) - static_cast<std::int64_t>(wanted);
  if (moved > -static_cast<std::int64_t>(page) && moved < static_cast<std::int64_t>(page)) {
    // The lines still in view move; only the ones uncovered are painted.
    top_line_ = wanted;
    ::ScrollWindowEx(hwnd_, 0, static_cast<int>(moved) * line_height_, nullptr, nullptr, nullptr, nullptr,
                     SW_INVALIDATE);
  } else {
    top_line_ = wanted;
    ::InvalidateRect(hwnd_, nullptr, FALSE);
  }
  ::SetScrollPos(hwnd_, SB_VERT, static_cast<int>(std::min<std::size_t>(top_line_, INT_MAX)), TRUE);
}

void HexDumpControl::ScrollBy(std::int64_t lines) {
  const std::int64_t wanted = static_cast<std::int64_t>(top_line_) + lines;
  SetTopLine(wanted < 0 ? 0 : static_cast<std::size_t>(wanted));
}

void HexDumpControl::OnScroll(int request) {
  const auto page = static_cast<std::int64_t>(PageLines());
  switch (request) {
    case SB_LINEUP: ScrollBy(-1); break;
    case SB_LINEDOWN: ScrollBy(1); break;
    case SB_PAGEUP: ScrollBy(-page); break;
    case SB_PAGEDOWN: ScrollBy(page); break;
    case SB_TOP: SetTopLine(0); break;
    case SB_BOTTOM: SetTopLine(LineCount()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The message carries a 16-bit position; a big buffer has more lines.
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_TRACKPOS;
      if (::GetScrollInfo(hwnd_, SB_VERT, &info)) SetTopLine(static_cast<std::size_t>(std::max(info.nTrackPos, 0)));
      break;
    }
    default: break;
  }
}

void HexDumpControl::OnWheel(int delta) {
  UINT lines_per_notch = 3;
  ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines_per_notch, 0);
  wheel_rest_ += delta;
  const int notches = wheel_rest_ / WHEEL_DELTA;
  wheel_rest_ -= notches * WHEEL_DELTA;
  if (notches == 0) return;
  const std::int64_t step =
      lines_per_notch == WHEEL_PAGESCROLL ? static_cast<std::int64_t>(PageLines()) : std::int64_t{lines_per_notch};
  ScrollBy(-notches * step);
}

bool HexDumpControl::OnKey(WPARAM key) {
  const auto page = static_cast<std::int64_t>(PageLines());
  switch (key) {
    case VK_UP: ScrollBy(-1); return true;
    case VK_DOWN: ScrollBy(1); return true;
    case VK_PRIOR: ScrollBy(-page); return true;
    case VK_NEXT: ScrollBy(page); return true;
    case VK_HOME: SetTopLine(0); return true;
    case VK_END: SetTopLine(LineCount()); return true;
    default: return false;
  }
}

void HexDumpControl::Paint(HDC dc, const RECT& area) {
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  if (client.right <= 0 || client.bottom <= 0 || area.right <= area.left || area.bottom <= area.top) return;
  // Drawn off-screen and copied in one step, so nothing flickers; the
  // buffer covers only the area being painted.
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  MemoryDc buffer_dc(::CreateCompatibleDC(dc));
  Bitmap buffer(::CreateCompatibleBitmap(dc, width, height));
  HDC target = dc;
  POINT origin{0, 0};
  std::optional<Selected> picked;
  if (buffer_dc && buffer) {
    picked.emplace(buffer_dc.get(), buffer.get());
    target = buffer_dc.get();
    origin = {area.left, area.top};
  }
  // Client coordinates throughout: the buffer's origin is the area's corner.
  const int saved = ::SaveDC(target);
  ::SetViewportOrgEx(target, -origin.x, -origin.y, nullptr);
  ::FillRect(target, &area, ::GetSysColorBrush(COLOR_WINDOW));
  Selected chosen(target, font_);
  ::SetBkMode(target, TRANSPARENT);
  const HexDumpLineRange range = HexDumpLinesToPaint(top_line_, LineCount(), line_height_, area.top, area.bottom);
  for (std::size_t i = 0; i < range.count; ++i) {
    const std::size_t line = range.first + i;
    const int y = static_cast<int>(line - top_line_) * line_height_;
    const HexDumpLine text = HexDumpLineText(buffer_, line, show_address_);
    for (const HexDumpRun& run : text.runs) {
      ::SetTextColor(target, ColorOf(run.part));
      ::TextOutA(target, kMargin + static_cast<int>(run.column) * char_width_, y, text.text.c_str() + run.column,
                 static_cast<int>(run.length));
    }
  }
  lines_painted_ = range.count;
  ::RestoreDC(target, saved);
  if (target != dc) ::BitBlt(dc, area.left, area.top, width, height, target, 0, 0, SRCCOPY);
}

LRESULT CALLBACK HexDumpControl::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<HexDumpControl*>(reinterpret_cast<const CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<HexDumpControl*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
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

LRESULT HexDumpControl::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
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
      RECT client{};
      ::GetClientRect(hwnd_, &client);
      Paint(reinterpret_cast<HDC>(wparam), client);
      return 0;
    }
    case WM_SIZE:
      UpdateScrollBar();
      ::InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_VSCROLL:
      OnScroll(LOWORD(wparam));
      return 0;
    case WM_MOUSEWHEEL:
      OnWheel(GET_WHEEL_DELTA_WPARAM(wparam));
      return 0;
    case WM_KEYDOWN:
      if (OnKey(wparam)) return 0;
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
      ::SetFocus(hwnd_);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcA(hwnd_, message, wparam, lparam);
}

}  // namespace om::win32
