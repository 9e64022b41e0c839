// Basic vocabulary shared by the ports and the portable code above them.
//
// Portable code keeps the Win32 vocabulary where it is data (message numbers,
// clipboard format numbers, window handles as opaque integers) but never
// includes <windows.h>. The constants carry a k prefix because the Win32
// headers define the plain names (WM_TIMER, CF_TEXT, ...) as macros.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace om {

// A window of any process, as an opaque integer. 0 is "no window".
using WindowHandle = std::uintptr_t;

using Bytes = std::vector<std::uint8_t>;

// Window message numbers, identical to the Win32 values.
namespace msg {
constexpr std::uint32_t kClose = 0x0010;              // WM_CLOSE
constexpr std::uint32_t kTimer = 0x0113;              // WM_TIMER (wparam: timer id)
constexpr std::uint32_t kRenderFormat = 0x0305;       // WM_RENDERFORMAT (wparam: format)
constexpr std::uint32_t kRenderAllFormats = 0x0306;   // WM_RENDERALLFORMATS
constexpr std::uint32_t kDestroyClipboard = 0x0307;   // WM_DESTROYCLIPBOARD
constexpr std::uint32_t kDrawClipboard = 0x0308;      // WM_DRAWCLIPBOARD
constexpr std::uint32_t kChangeCbChain = 0x030D;      // WM_CHANGECBCHAIN (wparam: removed, lparam: next)
constexpr std::uint32_t kHotKey = 0x0312;             // WM_HOTKEY (wparam: the hot key's identifier)
constexpr std::uint32_t kUser = 0x0400;               // WM_USER
constexpr std::uint32_t kApp = 0x8000;                // WM_APP
}  // namespace msg

// Standard clipboard format numbers, identical to the Win32 values.
namespace cf {
constexpr std::uint32_t kText = 1;
constexpr std::uint32_t kBitmap = 2;
constexpr std::uint32_t kMetafilePict = 3;
constexpr std::uint32_t kSylk = 4;
constexpr std::uint32_t kDif = 5;
constexpr std::uint32_t kTiff = 6;
constexpr std::uint32_t kOemText = 7;
constexpr std::uint32_t kDib = 8;
constexpr std::uint32_t kPalette = 9;
constexpr std::uint32_t kPenData = 10;
constexpr std::uint32_t kRiff = 11;
constexpr std::uint32_t kWave = 12;
constexpr std::uint32_t kUnicodeText = 13;
constexpr std::uint32_t kEnhMetafile = 14;
constexpr std::uint32_t kHDrop = 15;
constexpr std::uint32_t kLocale = 16;
constexpr std::uint32_t kDibV5 = 17;
constexpr std::uint32_t kOwnerDisplay = 0x0080;
constexpr std::uint32_t kDspText = 0x0081;
constexpr std::uint32_t kDspBitmap = 0x0082;
constexpr std::uint32_t kDspMetafilePict = 0x0083;
constexpr std::uint32_t kDspEnhMetafile = 0x008E;
constexpr std::uint32_t kFirstRegistered = 0xC000;  // registered formats start here
}  // namespace cf

}  // namespace om
