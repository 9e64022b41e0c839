// Text in and out of a rich-edit control: offsets between the program's
// text (line breaks CR LF) and the control's (a line break is one
// character), and streaming text or a rich-text file into the control.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

namespace om::win32 {

// The control's character offset of `text_offset` in `text` (CR LF counts
// one), and back. An offset between the CR and the LF of a line break
// counts as after the break; offsets out of range are clamped to the text.
std::int32_t ControlOffsetOf(std::string_view text, std::int32_t text_offset);
std::int32_t TextOffsetOf(std::string_view text, std::int32_t control_offset);

// Replaces the control's whole text with plain `text`, caret at the start.
// Streamed in as text, so that a text that looks like rich text is still
// shown as it is.
void StreamInPlain(HWND control, std::string_view text);
// Loads the rich-text file into the control, caret at the start. False,
// with the control emptied, when the file cannot be opened, does not start
// with the rich-text signature or does not parse.
bool StreamInRtfFile(HWND control, std::string_view path);

}  // namespace om::win32
