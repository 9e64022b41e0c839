// The hex-dump control: a child window showing a byte buffer as the lines
// of ui/components/hex_dump.h in a fixed-pitch font, with a vertical
// scroll bar (also the arrow, page, Home and End keys and the mouse wheel).
// A paint draws only the lines it has to, and the scroll range is as
// large as the buffer needs (positions are read as 32-bit numbers), so a
// buffer of many megabytes scrolls and paints as quickly as a small one.
//
// The control does not copy the buffer: it shows the caller's bytes, which
// must stay valid and unchanged until the next SetBuffer or until the
// control is destroyed. (The preview keeps its own copy of the format it
// shows for just that reason.)
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "ui/components/hex_dump.h"
#include "ui/components/win32/ui_handles.h"

namespace om::win32 {

class HexDumpControl {
 public:
  HexDumpControl(HWND parent, int control_id);
  ~HexDumpControl();
  HexDumpControl(const HexDumpControl&) = delete;
  HexDumpControl& operator=(const HexDumpControl&) = delete;

  HWND hwnd() const { return hwnd_; }

  // Shows `size` bytes from `data` (none: an empty dump) from the first line.
  void SetBuffer(const std::uint8_t* data, std::size_t size);
  std::span<const std::uint8_t> Buffer() const { return buffer_; }

  // The address column; shown unless switched off.
  void SetShowAddress(bool show);
  bool ShowAddress() const { return show_address_; }

  // The colours of a line's parts. The preview sets red, black and navy:
  // the addresses red, the bytes in hexadecimal black and the characters
  // navy, so the eye finds the offset, the values and the text apart.
  void SetColors(COLORREF address, COLORREF hex, COLORREF chars);
  COLORREF ColorOf(HexDumpPart part) const;

  std::size_t LineCount() const { return HexDumpLineCount(buffer_.size()); }
  std::size_t TopLine() const { return top_line_; }
  // Moves the view so that `line` is on top, as far as the buffer allows.
  void SetTopLine(std::size_t line);
  // Whole lines the window shows at once (at least 1).
  std::size_t PageLines() const;
  int LineHeight() const { return line_height_; }
  int CharWidth() const { return char_width_; }
  // How many lines the last paint drew.
  std::size_t LinesPainted() const { return lines_painted_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void Paint(HDC dc, const RECT& area);
  void OnScroll(int request);
  void OnWheel(int delta);
  bool OnKey(WPARAM key);
  void UpdateScrollBar();
  void ScrollBy(std::int64_t lines);
  void ChooseFont();

  HWND hwnd_ = nullptr;
  std::span<const std::uint8_t> buffer_;
  bool show_address_ = true;
  COLORREF colors_[3] = {RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0)};
  std::size_t top_line_ = 0;
  Font own_font_;
  HFONT font_ = nullptr;  // own_font_ or a stock font
  int line_height_ = 16;
  int char_width_ = 8;
  int wheel_rest_ = 0;
  std::size_t lines_painted_ = 0;
};

}  // namespace om::win32
