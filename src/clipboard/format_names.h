// Clipboard format names: the program's table of standard format names, the
// conversion between format numbers and names, and the formats the program
// registers by name.
//
// The names are what clips store their formats under and what the user sees
// in the diagnostics and clip-properties dialogs, so they are kept exactly as
// the clip files have always written them ("UNICODTEXT" without its E,
// CF_METAFILEPICT as "PICTURE").
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clipboard_system.h"

namespace om {

struct FormatNameEntry {
  std::uint32_t number;
  const char* name;
};

// The 22 entries in look-up order. Entry 20 repeats entry 9 (OWNERDISPLAY);
// look-ups stop at the first match, so it is never reached.
inline constexpr std::array<FormatNameEntry, 22> kFormatNameTable{{
    {2, "BITMAP"},
    {8, "DIB"},
    {5, "DIF"},
    {4, "SYLK"},
    {130, "DSPBITMAP"},
    {131, "DSPMETAFILEPICT"},
    {3, "PICTURE"},
    {7, "OEMTEXT"},
    {128, "OWNERDISPLAY"},
    {9, "PALETTE"},
    {1, "TEXT"},
    {6, "TIFF"},
    {11, "RIFF"},
    {12, "WAVE"},
    {13, "UNICODTEXT"},
    {14, "ENHMETAFILE"},
    {15, "HDROP"},
    {16, "LOCALE"},
    {17, "MAX"},
    {128, "OWNERDISPLAY"},
    {129, "DSPTEXT"},
    {142, "DSPENHMETAFILE"},
}};

// Number to name. Standard numbers (below 0xC000) come from the table, or
// "UNKN_PUBLIC:" and the number when the table does not know them.
// Registered numbers give the system's name of the format, cut to 49
// characters, or "UNKNOWN" when the system has no name for the number.
std::string ConvertFormatNum(IClipboardSystem& clipboard, std::uint32_t number);

// Name to number. A table name (compared ignoring case) gives its number;
// any other name is registered with the system and gives the number the
// system assigns (0 when the system refuses to register it).
std::uint32_t ConvertFormatName(IClipboardSystem& clipboard, std::string_view name);

// The formats the program registers by name. Registration gives every
// process the same number for the same name, so other copies of the program
// agree on these. Each is 0 until registered.
//
// PingFormat and IgnoreFormat are registered when the clipboard viewer is
// created; PictureFormat when the clipboard object is; RTFFormat, HTMLFormat
// and URLFormat (with IgnoreFormat again) by RegisterStartupFormats, which
// the main window calls when it starts.
inline std::uint32_t PingFormat = 0;
inline std::uint32_t IgnoreFormat = 0;
inline std::uint32_t RTFFormat = 0;
inline std::uint32_t HTMLFormat = 0;
inline std::uint32_t URLFormat = 0;
inline std::uint32_t PictureFormat = 0;

inline constexpr char kPingFormatName[] = "Quillark Ping";
inline constexpr char kIgnoreFormatName[] = "Clipboard Viewer Ignore";
inline constexpr char kRTFFormatName[] = "Rich Text Format";
inline constexpr char kHTMLFormatName[] = "HTML Format";
inline constexpr char kURLFormatName[] = "UniformResourceLocator";
// Stands for "any picture the graphics layer can load" (TClipboard::HasFormat).
// Nothing outside the program depends on the name; it is registered only so
// that its number can never clash with a real format.
inline constexpr char kPictureFormatName[] = "Ottermoor Picture";

// IgnoreFormat, RTFFormat, HTMLFormat and URLFormat.
void RegisterStartupFormats(IClipboardSystem& clipboard);

}  // namespace om
