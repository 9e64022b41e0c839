// cliptool: a small program that plays "some other application" on the
// clipboard for the Windows tests. It uses the Win32 API directly (not the
// program's adapters), so what it reports is an independent witness of the
// system's clipboard.
//
// Usage:
//   cliptool [--out FILE] put [--no-owner] [--wide] [--stay-ms N] ITEM...
//   cliptool [--out FILE] read [--hex]
//   cliptool [--out FILE] viewer [--swallow] [--ms N]
//   cliptool [--out FILE] register NAME
//   cliptool [--out FILE] dde-serve SERVICE TOPIC REPLY [--ms N]
//                                   [--disconnect-after N] [--hang-ms N]
//   cliptool serve
//
// Items of `put` (set in this order after emptying the clipboard):
//   text:STRING        CF_TEXT, STRING in the ANSI code page plus a terminator
//   unicode:STRING     CF_UNICODETEXT, UTF-16 plus a terminator
//   fmt:NAME=HEX       NAME is a format number (decimal or 0x hex), a
//   num:N=HEX            standard name (CF_DIB) or a name to register; HEX is
//                        the data in its portable form (see below)
//   bitmap:WxH         CF_BITMAP of a W×H test pattern (24-bit)
//   dib:WxH            CF_DIB of the same pattern
//   files:PATH[;PATH]  CF_HDROP (ANSI names; wide with --wide)
//   promise:NAME=HEX   delayed rendering: the data is handed over only when
//                        someone asks for it
// Portable forms of the handle formats: CF_BITMAP/CF_DSPBITMAP a packed DIB;
// CF_PALETTE a LOGPALETTE; CF_METAFILEPICT/CF_DSPMETAFILEPICT 12 bytes (mm,
// xExt, yExt as int32 little endian) then the metafile bits; CF_ENHMETAFILE
// the metafile bits. Everything else is the bytes of the global block.
//
// `put` exits once the clipboard is closed, unless it promised something:
// then it stays to answer render requests until --stay-ms passes (default
// 30000) or it is closed (WM_CLOSE); on the way out it renders what is left.
// --no-owner opens the clipboard without a window, so nobody owns it.
//
// `read` prints one line per format: number, name, size, data, separated by
// tabs. Data is text for the text formats and hex for the others (all hex
// with --hex).
//
// `viewer` joins the viewer chain and logs what arrives, one line each:
//   joined NEXT | draw COUNT SEQUENCE | changecbchain REMOVED NEXT | left
// until --ms passes (default 10000) or it is closed. --swallow never passes
// WM_DRAWCLIPBOARD on to the next viewer.
//
// `dde-serve` is a DDE server (a web browser as far as the program is
// concerned): it registers SERVICE, accepts conversations on TOPIC and
// answers the request for item "0xFFFFFFFF" in CF_TEXT with REPLY (%XX
// stands for any byte). See dde_serve.cc and README.md for its options and
// the lines it writes.
//
// `serve` reads commands from stdin, one per line, and answers each with one
// line on stdout: "ok[ RESULT]" or "err REASON". Arguments are separated by
// spaces; %XX stands for any byte (so names may hold spaces).
//   put [--no-owner] ITEM...   as above
//   read [FORMAT...]           ok then one entry per format on the
//                              clipboard: NUMBER[/NAME][=HEX], the data
//                              only for the FORMATs asked for (names %XX)
//   register NAME              ok NUMBER
//   hold | release             open the clipboard with its window / close it
//   join [swallow] | leave     join / leave the viewer chain
//   drawcount                  ok WM_DRAWCLIPBOARD count since the last join
//   rendercount                ok WM_RENDERFORMAT requests answered
//   window                     ok HWND (decimal)
//   pid                        ok PROCESS-ID (decimal)
//   mutex NAME                 creates the named mutex, owned, and holds it
//                              until it exits: ok created | ok existed
//   hang MS                    ok, then the window's thread takes no
//                              message for MS milliseconds (a hung
//                              window), then goes on as before
//   quit                       ok, then leaves the chain, renders what is
//                              still promised and exits
// End of input is a quit. Commands run on the window's thread between its
// messages, so it keeps answering render requests and chain messages.
//
// Exit codes: 0 done, 1 bad command line, 2 the clipboard could not be used.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dde_serve.h"
#include "wire.h"

#include "platform/win32/handles.h"

namespace {

using om::win32::AllocateGlobal;
using om::win32::GlobalBlock;
using om::win32::GlobalLockGuard;
using Bytes = std::vector<std::uint8_t>;

constexpr UINT kCommandMessage = WM_APP + 1;  // lparam: std::string* from the reader thread
constexpr UINT_PTR kStopTimer = 1;

// ---------------------------------------------------------------- output

class Output {
 public:
  Output() : handle_(::GetStdHandle(STD_OUTPUT_HANDLE)) {}
  bool OpenFile(const std::string& path) {
    file_ = om::win32::OwnFileHandle(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) return false;
    handle_ = file_.get();
    return true;
  }
  // Every line goes out at once: tests poll the file or the pipe.
  void Line(const std::string& text) {
    const std::string line = text + "\n";
    DWORD written = 0;
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) {
      ::WriteFile(handle_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
  }

 private:
  HANDLE handle_;
  om::win32::KernelHandle file_;
};

Output g_out;

// ---------------------------------------------------------------- text helpers

using om::cliptool::Escape;
using om::cliptool::FromHex;
using om::cliptool::ParseNumber;
using om::cliptool::ToHex;
using om::cliptool::Unescape;

std::vector<std::string> SplitSpaces(const std::string& line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    std::size_t j = i;
    while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') ++j;
    if (j > i) words.push_back(Unescape(std::string_view(line).substr(i, j - i)));
    i = j;
  }
  return words;
}

std::wstring Utf8ToWide(const std::string& s) {
  if (s.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

std::string WideTo(UINT code_page, const std::wstring& w) {
  if (w.empty()) return {};
  const int n = ::WideCharToMultiByte(code_page, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr,
                                      nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(code_page, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// ---------------------------------------------------------------- formats

struct StandardFormat {
  UINT number;
  const char* name;
};
constexpr StandardFormat kStandardFormats[] = {
    {CF_TEXT, "CF_TEXT"},
    {CF_BITMAP, "CF_BITMAP"},
    {CF_METAFILEPICT, "CF_METAFILEPICT"},
    {CF_SYLK, "CF_SYLK"},
    {CF_DIF, "CF_DIF"},
    {CF_TIFF, "CF_TIFF"},
    {CF_OEMTEXT, "CF_OEMTEXT"},
    {CF_DIB, "CF_DIB"},
    {CF_PALETTE, "CF_PALETTE"},
    {CF_PENDATA, "CF_PENDATA"},
    {CF_RIFF, "CF_RIFF"},
    {CF_WAVE, "CF_WAVE"},
    {CF_UNICODETEXT, "CF_UNICODETEXT"},
    {CF_ENHMETAFILE, "CF_ENHMETAFILE"},
    {CF_HDROP, "CF_HDROP"},
    {CF_LOCALE, "CF_LOCALE"},
    {CF_DIBV5, "CF_DIBV5"},
    {CF_OWNERDISPLAY, "CF_OWNERDISPLAY"},
    {CF_DSPTEXT, "CF_DSPTEXT"},
    {CF_DSPBITMAP, "CF_DSPBITMAP"},
    {CF_DSPMETAFILEPICT, "CF_DSPMETAFILEPICT"},
    {CF_DSPENHMETAFILE, "CF_DSPENHMETAFILE"},
};

// A format number from a number, a standard name or a name to register.
UINT ParseFormat(const std::string& name) {
  if (auto n = ParseNumber(name)) return static_cast<UINT>(*n);
  for (const auto& f : kStandardFormats) {
    if (_stricmp(f.name, name.c_str()) == 0) return f.number;
  }
  return ::RegisterClipboardFormatA(name.c_str());
}

// The registered name, or empty for the standard and unknown formats.
std::string RegisteredName(UINT format) {
  if (format < 0xC000) return {};
  char name[256] = {};
  const int n = ::GetClipboardFormatNameA(format, name, sizeof name);
  return n > 0 ? std::string(name, static_cast<std::size_t>(n)) : std::string();
}

std::string DisplayName(UINT format) {
  for (const auto& f : kStandardFormats) {
    if (f.number == format) return f.name;
  }
  std::string registered = RegisteredName(format);
  return registered.empty() ? "#" + std::to_string(format) : registered;
}

// ---------------------------------------------------------------- handle formats

std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}
void PutU32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// The bytes of a BITMAPINFO before the bits of an uncompressed DIB; 0 when
// the DIB is malformed or shorter than it claims.
std::size_t DibInfoSize(const Bytes& dib) {
  if (dib.size() < sizeof(BITMAPINFOHEADER)) return 0;
  BITMAPINFOHEADER h;
  std::memcpy(&h, dib.data(), sizeof h);
  if (h.biSize < sizeof h || h.biSize > dib.size() || h.biWidth <= 0 || h.biHeight == 0) return 0;
  std::uint64_t colours = h.biClrUsed;
  if (h.biBitCount <= 8 && colours == 0) colours = 1u << h.biBitCount;
  std::uint64_t info = h.biSize + colours * 4;
  if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof h) info += 12;
  const std::uint64_t rows = h.biHeight < 0 ? -static_cast<std::int64_t>(h.biHeight) : h.biHeight;
  const std::uint64_t stride = (static_cast<std::uint64_t>(h.biWidth) * h.biBitCount + 31) / 32 * 4;
  const std::uint64_t bits = h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS ? stride * rows
                                                                                            : h.biSizeImage;
  if (info + bits > dib.size()) return 0;
  return static_cast<std::size_t>(info);
}

// Hands an owned handle to the clipboard; it stays ours (and is freed by
// its owner) unless SetClipboardData takes it.
template <typename Owned>
bool HandOver(UINT format, Owned& owned) {
  if (!owned || ::SetClipboardData(format, owned.get()) == nullptr) return false;
  static_cast<void>(owned.release());  // the clipboard's from here on
  return true;
}

// Puts the portable form of `format` on the open clipboard as the handle
// the format calls for.
bool SetFormat(UINT format, const Bytes& data) {
  switch (format) {
    case CF_BITMAP:
    case CF_DSPBITMAP: {
      // A device-dependent bitmap, as most programs put one: the system
      // converts it when a DIB is asked for.
      const std::size_t info = DibInfoSize(data);
      if (info == 0) return false;
      std::vector<DWORD> header((info + 3) / 4);
      std::memcpy(header.data(), data.data(), info);
      const auto* bmi = reinterpret_cast<const BITMAPINFO*>(header.data());
      om::win32::WindowDc screen;
      om::win32::Bitmap bitmap(
          ::CreateDIBitmap(screen.get(), &bmi->bmiHeader, CBM_INIT, data.data() + info, bmi, DIB_RGB_COLORS));
      return HandOver(format, bitmap);
    }
    case CF_PALETTE: {
      if (data.size() < 4) return false;
      const std::size_t count = data[2] | data[3] << 8;
      if (count == 0 || data.size() < 4 + count * 4) return false;
      std::vector<std::uint8_t> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
      auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
      lp->palVersion = static_cast<WORD>(data[0] | data[1] << 8);
      lp->palNumEntries = static_cast<WORD>(count);
      std::memcpy(lp->palPalEntry, data.data() + 4, count * 4);
      om::win32::Palette palette(::CreatePalette(lp));
      return HandOver(format, palette);
    }
    case CF_METAFILEPICT:
    case CF_DSPMETAFILEPICT: {
      if (data.size() <= 12) return false;
      om::win32::Metafile metafile(::SetMetaFileBitsEx(static_cast<UINT>(data.size() - 12), data.data() + 12));
      if (!metafile) return false;
      GlobalBlock block = AllocateGlobal(sizeof(METAFILEPICT));
      {
        GlobalLockGuard lock(block.get());
        if (!lock) return false;
        const METAFILEPICT pict{static_cast<LONG>(U32(data.data())), static_cast<LONG>(U32(data.data() + 4)),
                                static_cast<LONG>(U32(data.data() + 8)), metafile.get()};
        std::memcpy(lock.data(), &pict, sizeof pict);
      }
      if (!HandOver(format, block)) return false;
      static_cast<void>(metafile.release());  // inside the clipboard's block now
      return true;
    }
    case CF_ENHMETAFILE:
    case CF_DSPENHMETAFILE: {
      if (data.empty()) return false;
      om::win32::EnhMetafile metafile(::SetEnhMetaFileBits(static_cast<UINT>(data.size()), data.data()));
      return HandOver(format, metafile);
    }
    default: {
      GlobalBlock block = AllocateGlobal(data.size());
      if (!block) return false;
      if (!data.empty()) {
        GlobalLockGuard lock(block.get());
        if (!lock) return false;
        std::memcpy(lock.data(), data.data(), data.size());
      }
      return HandOver(format, block);
    }
  }
}

// The portable form of the clipboard's handle for `format` (clipboard open).
std::optional<Bytes> ReadFormat(UINT format) {
  if (format == CF_OWNERDISPLAY) return Bytes{};
  HANDLE handle = ::GetClipboardData(format);
  if (handle == nullptr) return std::nullopt;
  switch (format) {
    case CF_BITMAP:
    case CF_DSPBITMAP: {
      BITMAP bm{};
      if (!::GetObjectA(handle, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return std::nullopt;
      int bpp = bm.bmBitsPixel * bm.bmPlanes;
      bpp = bpp <= 1 ? 1 : bpp <= 4 ? 4 : bpp <= 8 ? 8 : bpp <= 16 ? 16 : bpp <= 24 ? 24 : 32;
      const std::size_t colours = bpp <= 8 ? std::size_t{1} << bpp : 0;
      const std::size_t info = sizeof(BITMAPINFOHEADER) + colours * 4;
      const std::size_t stride = (static_cast<std::size_t>(bm.bmWidth) * bpp + 31) / 32 * 4;
      std::vector<DWORD> header((info + 3) / 4);
      auto* bmi = reinterpret_cast<BITMAPINFO*>(header.data());
      bmi->bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), bm.bmWidth, bm.bmHeight, 1,
                                        static_cast<WORD>(bpp), BI_RGB, static_cast<DWORD>(stride * bm.bmHeight),
                                        0, 0, 0, 0};
      Bytes out(info + stride * bm.bmHeight);
      om::win32::WindowDc screen;
      const int lines = ::GetDIBits(screen.get(), static_cast<HBITMAP>(handle), 0, bm.bmHeight, out.data() + info, bmi,
                                    DIB_RGB_COLORS);
      if (lines != bm.bmHeight) return std::nullopt;
      bmi->bmiHeader.biSizeImage = static_cast<DWORD>(stride * bm.bmHeight);
      bmi->bmiHeader.biClrUsed = bmi->bmiHeader.biClrImportant = 0;
      bmi->bmiHeader.biXPelsPerMeter = bmi->bmiHeader.biYPelsPerMeter = 0;
      std::memcpy(out.data(), header.data(), info);
      return out;
    }
    case CF_PALETTE: {
      WORD count = 0;
      if (!::GetObjectA(handle, sizeof count, &count)) return std::nullopt;
      Bytes out = {0x00, 0x03, static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8)};
      out.resize(4 + std::size_t{count} * 4);
      if (count && ::GetPaletteEntries(static_cast<HPALETTE>(handle), 0, count,
                                       reinterpret_cast<PALETTEENTRY*>(out.data() + 4)) != count) {
        return std::nullopt;
      }
      return out;
    }
    case CF_METAFILEPICT:
    case CF_DSPMETAFILEPICT: {
      METAFILEPICT pict{};
      {
        GlobalLockGuard lock(handle);
        if (!lock || lock.size() < sizeof pict) return std::nullopt;
        std::memcpy(&pict, lock.data(), sizeof pict);
      }
      const UINT size = ::GetMetaFileBitsEx(pict.hMF, 0, nullptr);
      if (size == 0) return std::nullopt;
      Bytes out;
      PutU32(out, static_cast<std::uint32_t>(pict.mm));
      PutU32(out, static_cast<std::uint32_t>(pict.xExt));
      PutU32(out, static_cast<std::uint32_t>(pict.yExt));
      out.resize(12 + size);
      if (::GetMetaFileBitsEx(pict.hMF, size, out.data() + 12) != size) return std::nullopt;
      return out;
    }
    case CF_ENHMETAFILE:
    case CF_DSPENHMETAFILE: {
      const UINT size = ::GetEnhMetaFileBits(static_cast<HENHMETAFILE>(handle), 0, nullptr);
      if (size == 0) return std::nullopt;
      Bytes out(size);
      if (::GetEnhMetaFileBits(static_cast<HENHMETAFILE>(handle), size, out.data()) != size) return std::nullopt;
      return out;
    }
    default: {
      GlobalLockGuard lock(handle);
      if (!lock) return Bytes{};
      return Bytes(lock.bytes(), lock.bytes() + lock.size());
    }
  }
}

// ---------------------------------------------------------------- items

struct Item {
  UINT format = 0;
  Bytes data;
  bool promised = false;
};

// The test pattern of bitmap:/dib: items, a 24-bit bottom-up DIB whose
// pixel (x, y), y counted from the top, is R = x*37, G = y*53, B = (x+y)*17
// (each modulo 256).
Bytes PatternDib(int width, int height) {
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  BITMAPINFOHEADER h{sizeof h, width, height, 1, 24, BI_RGB, static_cast<DWORD>(stride * height), 0, 0, 0, 0};
  Bytes dib(sizeof h + stride * height);
  std::memcpy(dib.data(), &h, sizeof h);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = dib.data() + sizeof h + stride * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      row[x * 3 + 0] = static_cast<std::uint8_t>((x + y) * 17);
      row[x * 3 + 1] = static_cast<std::uint8_t>(y * 53);
      row[x * 3 + 2] = static_cast<std::uint8_t>(x * 37);
    }
  }
  return dib;
}

// DROPFILES (20 bytes: offset of the names, point, non-client flag, wide
// flag) followed by the names, each terminated, and a final terminator.
Bytes DropFiles(const std::string& list, bool wide) {
  Bytes out;
  PutU32(out, 20);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, wide ? 1 : 0);
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    const std::string path = list.substr(start, end - start);
    if (!path.empty()) {
      if (wide) {
        const std::wstring w = Utf8ToWide(path);
        for (wchar_t c : w) out.insert(out.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
        out.insert(out.end(), {0, 0});
      } else {
        const std::string a = WideTo(CP_ACP, Utf8ToWide(path));
        out.insert(out.end(), a.begin(), a.end());
        out.push_back(0);
      }
    }
    start = end + 1;
  }
  if (wide) out.insert(out.end(), {0, 0});
  else out.push_back(0);
  return out;
}

std::optional<std::pair<int, int>> ParseSize(const std::string& s) {
  const std::size_t x = s.find_first_of("xX");
  if (x == std::string::npos) return std::nullopt;
  const auto w = ParseNumber(s.substr(0, x));
  const auto h = ParseNumber(s.substr(x + 1));
  if (!w || !h || *w == 0 || *h == 0 || *w > 4096 || *h > 4096) return std::nullopt;
  return std::make_pair(static_cast<int>(*w), static_cast<int>(*h));
}

// Parses one item; on failure sets `error`. Strings arrive as UTF-8.
std::optional<Item> ParseItem(const std::string& arg, bool wide_files, std::string& error) {
  const std::size_t colon = arg.find(':');
  if (colon == std::string::npos) {
    error = "item without a kind: " + arg;
    return std::nullopt;
  }
  const std::string kind = arg.substr(0, colon);
  const std::string rest = arg.substr(colon + 1);
  Item item;
  if (kind == "text") {
    const std::string ansi = WideTo(CP_ACP, Utf8ToWide(rest));
    item.format = CF_TEXT;
    item.data.assign(ansi.begin(), ansi.end());
    item.data.push_back(0);
  } else if (kind == "unicode") {
    const std::wstring w = Utf8ToWide(rest);
    item.format = CF_UNICODETEXT;
    for (wchar_t c : w) item.data.insert(item.data.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
    item.data.insert(item.data.end(), {0, 0});
  } else if (kind == "fmt" || kind == "num" || kind == "promise") {
    const std::size_t eq = rest.rfind('=');
    if (eq == std::string::npos || eq == 0) {
      error = "expected NAME=HEX: " + arg;
      return std::nullopt;
    }
    auto data = FromHex(rest.substr(eq + 1));
    if (!data) {
      error = "bad hex in " + arg;
      return std::nullopt;
    }
    const std::string name = rest.substr(0, eq);
    if (kind == "num" && !ParseNumber(name)) {
      error = "num: needs a number: " + arg;
      return std::nullopt;
    }
    item.format = ParseFormat(name);
    item.data = std::move(*data);
    item.promised = kind == "promise";
  } else if (kind == "bitmap" || kind == "dib") {
    const auto size = ParseSize(rest);
    if (!size) {
      error = "expected WxH: " + arg;
      return std::nullopt;
    }
    item.format = kind == "bitmap" ? CF_BITMAP : CF_DIB;
    item.data = PatternDib(size->first, size->second);
  } else if (kind == "files") {
    item.format = CF_HDROP;
    item.data = DropFiles(rest, wide_files);
  } else {
    error = "unknown item kind: " + kind;
    return std::nullopt;
  }
  if (item.format == 0) {
    error = "no format for " + arg;
    return std::nullopt;
  }
  return item;
}

// ---------------------------------------------------------------- the window

struct State {
  HWND window = nullptr;
  HWND next_viewer = nullptr;
  bool joined = false;
  bool swallow = false;
  bool log_chain = false;  // viewer mode: log what arrives
  int draw_count = 0;
  int render_count = 0;
  DWORD hang_ms = 0;  // set by `hang`, spent after its answer is out
  std::map<UINT, Bytes> promises;
  std::vector<om::win32::KernelHandle> mutexes;  // `mutex`: held until exit
};
State g;

void LeaveChain() {
  if (!g.joined) return;
  g.joined = false;
  ::ChangeClipboardChain(g.window, g.next_viewer);
  g.next_viewer = nullptr;
  if (g.log_chain) g_out.Line("left");
}

void JoinChain(bool swallow) {
  LeaveChain();
  g.swallow = swallow;
  g.draw_count = 0;
  // The first WM_DRAWCLIPBOARD arrives inside SetClipboardViewer, before it
  // returns the next viewer: take the head now so that news goes on too.
  g.joined = true;
  g.next_viewer = ::GetClipboardViewer();
  g.next_viewer = ::SetClipboardViewer(g.window);
  if (g.log_chain) g_out.Line("joined " + std::to_string(reinterpret_cast<std::uintptr_t>(g.next_viewer)));
}

void RenderAll() {
  if (g.promises.empty()) return;
  if (!::OpenClipboard(g.window)) return;
  if (::GetClipboardOwner() == g.window) {
    for (const auto& [format, data] : g.promises) SetFormat(format, data);
  }
  ::CloseClipboard();
  g.promises.clear();
}

// Empties the clipboard and puts the items. "" on success, else the reason.
// Waits up to `patience_ms` for a clipboard somebody else holds.
std::string Put(const std::vector<Item>& items, bool no_owner, DWORD patience_ms = 0) {
  const DWORD start = ::GetTickCount();
  while (!::OpenClipboard(no_owner ? nullptr : g.window)) {
    if (::GetTickCount() - start >= patience_ms) return "busy";
    ::Sleep(20);
  }
  if (!::EmptyClipboard()) {
    ::CloseClipboard();
    return "empty failed";
  }
  g.promises.clear();  // WM_DESTROYCLIPBOARD cleared them if we owned it
  std::string error;
  for (const Item& item : items) {
    if (item.promised) {
      ::SetClipboardData(item.format, nullptr);
      g.promises[item.format] = item.data;
    } else if (!SetFormat(item.format, item.data)) {
      error = "set " + std::to_string(item.format) + " failed";
      break;
    }
  }
  if (!::CloseClipboard() && error.empty()) error = "close failed";
  return error;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// ---------------------------------------------------------------- serve mode

DWORD WINAPI ReadCommands(void*) {
  HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
  std::string pending;
  char buffer[4096];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(in, buffer, sizeof buffer, &got, nullptr) || got == 0) break;
    pending.append(buffer, got);
    for (std::size_t nl; (nl = pending.find('\n')) != std::string::npos;) {
      auto* line = new std::string(pending.substr(0, nl));
      pending.erase(0, nl + 1);
      if (!::PostMessageA(g.window, kCommandMessage, 0, reinterpret_cast<LPARAM>(line))) delete line;
    }
  }
  // End of input: the test is gone, so go too.
  auto* quit = new std::string("quit");
  if (!::PostMessageA(g.window, kCommandMessage, 0, reinterpret_cast<LPARAM>(quit))) delete quit;
  return 0;
}

std::string Serve(const std::vector<std::string>& words) {
  if (words.empty()) return "err empty command";
  const std::string& command = words[0];
  if (command == "put") {
    bool no_owner = false;
    std::vector<Item> items;
    for (std::size_t i = 1; i < words.size(); ++i) {
      if (words[i] == "--no-owner") {
        no_owner = true;
        continue;
      }
      std::string error;
      auto item = ParseItem(words[i], false, error);
      if (!item) return "err " + Escape(error);
      items.push_back(std::move(*item));
    }
    const std::string error = Put(items, no_owner);
    return error.empty() ? "ok" : "err " + Escape(error);
  }
  if (command == "read") {
    std::vector<UINT> wanted;
    for (std::size_t i = 1; i < words.size(); ++i) wanted.push_back(ParseFormat(words[i]));
    if (!::OpenClipboard(g.window)) return "err busy";
    std::string reply = "ok";
    for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
      reply += ' ' + std::to_string(format);
      const std::string name = RegisteredName(format);
      if (!name.empty()) reply += '/' + Escape(name);
      bool want = false;
      for (UINT w : wanted) want = want || w == format;
      if (want) {
        if (auto data = ReadFormat(format)) reply += '=' + ToHex(*data);
      }
    }
    ::CloseClipboard();
    return reply;
  }
  if (command == "register" && words.size() == 2) {
    const UINT format = ::RegisterClipboardFormatA(words[1].c_str());
    return format ? "ok " + std::to_string(format) : "err register failed";
  }
  if (command == "hold") return ::OpenClipboard(g.window) ? "ok" : "err busy";
  if (command == "release") return ::CloseClipboard() ? "ok" : "err not open";
  if (command == "join") {
    JoinChain(words.size() > 1 && words[1] == "swallow");
    return "ok";
  }
  if (command == "leave") {
    LeaveChain();
    return "ok";
  }
  if (command == "drawcount") return "ok " + std::to_string(g.draw_count);
  if (command == "rendercount") return "ok " + std::to_string(g.render_count);
  if (command == "window") return "ok " + std::to_string(reinterpret_cast<std::uintptr_t>(g.window));
  if (command == "pid") return "ok " + std::to_string(::GetCurrentProcessId());
  if (command == "mutex" && words.size() == 2) {
    ::SetLastError(ERROR_SUCCESS);
    om::win32::KernelHandle mutex(::CreateMutexA(nullptr, TRUE, words[1].c_str()));
    if (!mutex) return "err mutex " + std::to_string(::GetLastError());
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    g.mutexes.push_back(std::move(mutex));
    return existed ? "ok existed" : "ok created";
  }
  if (command == "hang" && words.size() == 2) {
    const auto ms = ParseNumber(words[1]);
    if (!ms) return "err hang needs milliseconds";
    g.hang_ms = static_cast<DWORD>(*ms);
    return "ok";
  }
  if (command == "quit") {
    ::PostMessageA(g.window, WM_CLOSE, 0, 0);
    return "ok";
  }
  return "err unknown command " + Escape(command);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_RENDERFORMAT: {
      const auto it = g.promises.find(static_cast<UINT>(wparam));
      if (it != g.promises.end() && SetFormat(it->first, it->second)) {
        ++g.render_count;
        g.promises.erase(it);  // rendered: nothing left to hand over on exit
      }
      if (g.log_chain) g_out.Line("render " + std::to_string(wparam));
      return 0;
    }
    case WM_RENDERALLFORMATS:
      RenderAll();
      return 0;
    case WM_DESTROYCLIPBOARD:
      g.promises.clear();
      return 0;
    case WM_DRAWCLIPBOARD:
      ++g.draw_count;
      if (g.log_chain) {
        g_out.Line("draw " + std::to_string(g.draw_count) + " " + std::to_string(::GetClipboardSequenceNumber()));
      }
      if (!g.swallow && g.next_viewer) ::SendMessageA(g.next_viewer, message, wparam, lparam);
      return 0;
    case WM_CHANGECBCHAIN:
      if (g.log_chain) {
        g_out.Line("changecbchain " + std::to_string(wparam) + " " + std::to_string(static_cast<std::uintptr_t>(lparam)));
      }
      if (reinterpret_cast<HWND>(wparam) == g.next_viewer) {
        g.next_viewer = reinterpret_cast<HWND>(lparam);
      } else if (g.next_viewer) {
        ::SendMessageA(g.next_viewer, message, wparam, lparam);
      }
      return 0;
    case kCommandMessage: {
      std::string* line = reinterpret_cast<std::string*>(lparam);
      const std::string reply = Serve(SplitSpaces(*line));
      delete line;
      g_out.Line(reply);
      // `hang`: with the answer out, stop taking messages, as a program
      // stuck in a long computation does. Messages sent to the window wait
      // (or time out) meanwhile; the commands that come in queue up.
      if (g.hang_ms != 0) {
        const DWORD ms = g.hang_ms;
        g.hang_ms = 0;
        ::Sleep(ms);
      }
      return 0;
    }
    case WM_TIMER:
      if (wparam == kStopTimer) ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE:
      // What is still promised is handed over before going, while the
      // window can still open the clipboard, rather than left to the
      // WM_RENDERALLFORMATS sent during destruction.
      RenderAll();
      ::DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      ::KillTimer(hwnd, kStopTimer);
      LeaveChain();
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(hwnd, message, wparam, lparam);
  }
}

bool CreateToolWindow() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "CliptoolWindow";
  if (!::RegisterClassExA(&wc)) return false;
  // A hidden top-level window: message-only windows make poor viewers.
  g.window = ::CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, om::cliptool::kWindowTitle, WS_OVERLAPPED, 0, 0,
                               0, 0, nullptr, nullptr, wc.hInstance, nullptr);
  return g.window != nullptr;
}

int RunMessageLoop() {
  MSG m;
  while (::GetMessageA(&m, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&m);
    ::DispatchMessageA(&m);
  }
  return static_cast<int>(m.wParam);
}

// ---------------------------------------------------------------- one-shot commands

int Usage(const std::string& problem) {
  std::fprintf(stderr, "cliptool: %s\nsee the comment at the top of cliptool.cc or README.md\n", problem.c_str());
  return 1;
}

// Another program may hold the clipboard for a moment.
bool OpenWithRetry(HWND window) {
  const DWORD start = ::GetTickCount();
  while (!::OpenClipboard(window)) {
    if (::GetTickCount() - start > 5000) return false;
    ::Sleep(20);
  }
  return true;
}

std::string TextForDisplay(UINT format, const Bytes& data) {
  std::string text;
  if (format == CF_UNICODETEXT) {
    std::wstring w;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
      const wchar_t c = static_cast<wchar_t>(data[i] | data[i + 1] << 8);
      if (c == 0) break;
      w += c;
    }
    text = WideTo(CP_UTF8, w);
  } else {
    for (std::uint8_t b : data) {
      if (b == 0) break;
      text += static_cast<char>(b);
    }
    text = WideTo(CP_UTF8, [&] {
      const int n = ::MultiByteToWideChar(format == CF_OEMTEXT ? CP_OEMCP : CP_ACP, 0, text.data(),
                                          static_cast<int>(text.size()), nullptr, 0);
      std::wstring w(static_cast<std::size_t>(n), L'\0');
      ::MultiByteToWideChar(format == CF_OEMTEXT ? CP_OEMCP : CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                            w.data(), n);
      return w;
    }());
  }
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (c == '\\' || c == '"') out += std::string("\\") + c;
    else out += c;
  }
  return out + "\"";
}

int ReadCommand(bool hex) {
  if (!OpenWithRetry(g.window)) {
    std::fprintf(stderr, "cliptool: the clipboard stayed busy\n");
    return 2;
  }
  for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
    const auto data = ReadFormat(format);
    std::string line = std::to_string(format) + "\t" + DisplayName(format) + "\t";
    if (!data) {
      line += "-\t(no data)";
    } else {
      line += std::to_string(data->size()) + "\t";
      const bool text = format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT || format == CF_DSPTEXT;
      line += text && !hex ? TextForDisplay(format, *data) : ToHex(*data);
    }
    g_out.Line(line);
  }
  ::CloseClipboard();
  return 0;
}

// The command line as UTF-8 words, whatever the ANSI code page is.
std::vector<std::string> Arguments() {
  int count = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> out;
  for (int i = 1; i < count; ++i) out.push_back(WideTo(CP_UTF8, argv[i]));
  ::LocalFree(argv);
  return out;
}

}  // namespace

int main() {
  std::vector<std::string> args = Arguments();
  // --out FILE may come anywhere.
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--out") {
      if (i + 1 >= args.size()) return Usage("--out needs a file");
      if (!g_out.OpenFile(args[i + 1])) return Usage("cannot write " + args[i + 1]);
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
      break;
    }
  }
  if (args.empty()) return Usage("no command");
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "dde-serve") {
    return om::cliptool::RunDdeServer(args, [](const std::string& line) { g_out.Line(line); });
  }
  if (!CreateToolWindow()) {
    std::fprintf(stderr, "cliptool: cannot create its window\n");
    return 2;
  }

  if (command == "serve") {
    HANDLE reader = ::CreateThread(nullptr, 0, ReadCommands, nullptr, 0, nullptr);
    if (reader == nullptr) return 2;
    om::win32::KernelHandle reader_handle(reader);
    // The reader may still be blocked in ReadFile when the loop ends; the
    // process exit ends it.
    return RunMessageLoop();
  }

  if (command == "register") {
    if (args.size() != 1) return Usage("register NAME");
    const UINT format = ::RegisterClipboardFormatA(args[0].c_str());
    g_out.Line(std::to_string(format));
    return format ? 0 : 2;
  }

  if (command == "read") {
    bool hex = false;
    for (const auto& a : args) {
      if (a == "--hex") hex = true;
      else return Usage("unknown read option " + a);
    }
    return ReadCommand(hex);
  }

  if (command == "viewer") {
    bool swallow = false;
    unsigned long ms = 10000;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--swallow") {
        swallow = true;
      } else if (args[i] == "--ms" && i + 1 < args.size() && ParseNumber(args[i + 1])) {
        ms = *ParseNumber(args[++i]);
      } else {
        return Usage("unknown viewer option " + args[i]);
      }
    }
    g.log_chain = true;
    JoinChain(swallow);
    ::SetTimer(g.window, kStopTimer, static_cast<UINT>(ms), nullptr);
    return RunMessageLoop();
  }

  if (command == "put") {
    bool no_owner = false;
    bool wide = false;
    unsigned long stay_ms = 30000;
    std::vector<std::string> item_args;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--no-owner") no_owner = true;
      else if (args[i] == "--wide") wide = true;
      else if (args[i] == "--stay-ms" && i + 1 < args.size() && ParseNumber(args[i + 1])) stay_ms = *ParseNumber(args[++i]);
      else if (args[i].rfind("--", 0) == 0) return Usage("unknown put option " + args[i]);
      else item_args.push_back(args[i]);
    }
    std::vector<Item> items;
    bool promises = false;
    for (const auto& arg : item_args) {
      std::string error;
      auto item = ParseItem(arg, wide, error);
      if (!item) return Usage(error);
      promises = promises || item->promised;
      items.push_back(std::move(*item));
    }
    if (promises && no_owner) return Usage("promises need an owner: drop --no-owner");
    const std::string error = Put(items, no_owner, 5000);
    if (!error.empty()) {
      std::fprintf(stderr, "cliptool: put: %s\n", error.c_str());
      return 2;
    }
    g_out.Line("put " + std::to_string(items.size()));
    if (!promises) return 0;
    ::SetTimer(g.window, kStopTimer, static_cast<UINT>(stay_ms), nullptr);
    return RunMessageLoop();
  }

  return Usage("unknown command " + command);
}
