// The preview's picture view and hex dump as real windows: what they draw
// (read back through WM_PRINTCLIENT), how they scroll, and that pictures
// whose headers lie are never drawn. Also the drawing helpers on their own.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "clipboard/graphics.h"
#include "clipboard/picture_layout.h"
#include "clipboard/picture_samples.h"
#include "platform/win32/gdi_forms.h"
#include "platform/win32/handles.h"
#include "ui/components/win32/hex_dump_control.h"
#include "ui/components/win32/picture_draw.h"
#include "ui/components/win32/picture_view.h"

namespace om::test {
namespace {

using win32::HexDumpControl;
using win32::PictureView;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr std::size_t kTenMegabytes = 10 * 1024 * 1024;

// A bottom-up 24-bit packed DIB whose pixel (x, y) (y from the top) is
// colour(x, y).
Bytes PatternDib(int width, int height, const std::function<COLORREF(int, int)>& colour) {
  const int stride = (width * 3 + 3) / 4 * 4;
  Bytes dib(sizeof(BITMAPINFOHEADER) + static_cast<std::size_t>(stride) * height, 0);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  // Wine's metafile recorder copies only biSizeImage bytes of bits.
  header.biSizeImage = static_cast<DWORD>(stride * height);
  std::memcpy(dib.data(), &header, sizeof header);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* line = dib.data() + sizeof header + static_cast<std::size_t>(stride) * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const COLORREF c = colour(x, y);
      line[x * 3] = GetBValue(c);
      line[x * 3 + 1] = GetGValue(c);
      line[x * 3 + 2] = GetRValue(c);
    }
  }
  return dib;
}

// Four quarters: red, blue on top; green, black below.
COLORREF Quarters(int width, int height, int x, int y) {
  if (y < height / 2) return x < width / 2 ? kRed : kBlue;
  return x < width / 2 ? kGreen : kBlack;
}

// An enhanced metafile of a green rectangle filling a 2 x 1 cm frame.
Bytes GreenEnhMetafile() {
  const RECT frame{0, 0, 2000, 1000};
  HDC dc = ::CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
  win32::GdiObject<HBRUSH> green(::CreateSolidBrush(kGreen));
  const RECT all{0, 0, 76, 38};
  ::FillRect(dc, &all, green.get());
  win32::EnhMetafile metafile(::CloseEnhMetaFile(dc));
  return win32::EnhMetafileToBytes(metafile.get()).value_or(Bytes{});
}

// A Windows metafile picture (mapping mode, extents, bits) of a blue
// rectangle filling its 200 x 100 window, 2 x 1 cm.
Bytes BlueMetafilePict() {
  HDC dc = ::CreateMetaFileA(nullptr);
  ::SetWindowOrgEx(dc, 0, 0, nullptr);
  ::SetWindowExtEx(dc, 200, 100, nullptr);
  win32::GdiObject<HBRUSH> blue(::CreateSolidBrush(kBlue));
  const RECT all{0, 0, 200, 100};
  ::FillRect(dc, &all, blue.get());
  win32::Metafile metafile(::CloseMetaFile(dc));
  Bytes bits(::GetMetaFileBitsEx(metafile.get(), 0, nullptr));
  ::GetMetaFileBitsEx(metafile.get(), static_cast<UINT>(bits.size()), bits.data());
  Bytes form;
  for (const std::int32_t v : {MM_ANISOTROPIC, 2000, 1000}) {
    for (int i = 0; i < 4; ++i) form.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
  }
  form.insert(form.end(), bits.begin(), bits.end());
  return form;
}

// What a window (or a drawing call) put into a 32-bit bitmap, read back.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(1, 2, 3)) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    win32::WindowDc screen;
    dc_.reset(::CreateCompatibleDC(screen.get()));
    bitmap_.reset(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0));
    old_ = ::SelectObject(dc_.get(), bitmap_.get());
    win32::GdiObject<HBRUSH> brush(::CreateSolidBrush(fill));
    const RECT all{0, 0, width, height};
    ::FillRect(dc_.get(), &all, brush.get());
  }
  ~Canvas() { ::SelectObject(dc_.get(), old_); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_.get(); }
  COLORREF At(int x, int y) const {
    ::GdiFlush();
    const std::uint32_t p = bits_[static_cast<std::size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int Count(const RECT& area, const std::function<bool(COLORREF)>& wanted) const {
    int count = 0;
    for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, height_); ++y) {
      for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, width_); ++x) count += wanted(At(x, y));
    }
    return count;
  }
  int Count(const RECT& area, COLORREF colour) const {
    return Count(area, [colour](COLORREF c) { return c == colour; });
  }

 private:
  int width_;
  int height_;
  win32::MemoryDc dc_;
  win32::Bitmap bitmap_;
  std::uint32_t* bits_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

SIZE ClientSize(HWND window) {
  RECT r{};
  ::GetClientRect(window, &r);
  return {r.right, r.bottom};
}

// The window's client area as it paints it.
std::unique_ptr<Canvas> Snapshot(HWND window) {
  const SIZE client = ClientSize(window);
  auto canvas = std::make_unique<Canvas>(std::max<int>(client.cx, 1), std::max<int>(client.cy, 1));
  ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()), PRF_CLIENT);
  return canvas;
}

SCROLLINFO ScrollInfo(HWND window, int bar) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  ::GetScrollInfo(window, bar, &info);
  return info;
}

// How high the process's GDI handle table reaches: the highest slot among
// a batch of new objects (Wine answers GetGuiResources with 0).
int GdiHighWater() {
  std::vector<win32::GdiObject<HBRUSH>> probes;
  int highest = 0;
  for (int i = 0; i < 64; ++i) {
    probes.emplace_back(::CreateSolidBrush(RGB(i, 0, 0)));
    highest = std::max(highest, static_cast<int>(LOWORD(reinterpret_cast<UINT_PTR>(probes.back().get()))));
  }
  return highest;
}

void Pump() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

class PictureControls : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = ::CreateWindowExA(0, "STATIC", "picture controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                                0, 0, 800, 560, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override {
    view_.reset();
    dump_.reset();
    if (parent_ != nullptr) ::DestroyWindow(parent_);
  }
  PictureView& View(int width, int height) {
    view_ = std::make_unique<PictureView>(parent_, 101);
    ::MoveWindow(view_->hwnd(), 0, 0, width, height, TRUE);
    return *view_;
  }
  HexDumpControl& Dump(int width, int height) {
    dump_ = std::make_unique<HexDumpControl>(parent_, 102);
    ::MoveWindow(dump_->hwnd(), 0, 0, width, height, TRUE);
    return *dump_;
  }

  HWND parent_ = nullptr;
  std::unique_ptr<PictureView> view_;
  std::unique_ptr<HexDumpControl> dump_;
};

// --- the drawing helpers ---

TEST_F(PictureControls, DibsOfTheUsualKindsDrawTheirColoursAndLyingOnesDrawNothing) {
  using testing::PutU32;
  // 4 x 2 pixels each; the top row is drawn first in every case.
  Bytes palette8 = testing::SampleDib({4, 2, 8});
  // Colour table entries 0 and 1: red and blue; the pixels pick them.
  const std::size_t table = 40;
  PutU32(palette8, table, 0x00FF0000);
  PutU32(palette8, table + 4, 0x000000FF);
  std::fill(palette8.begin() + 40 + 1024, palette8.end(), 0);
  palette8[40 + 1024 + 4] = 1;  // bottom-up: the second row in the bits is the top one
  palette8[40 + 1024 + 5] = 1;
  palette8[40 + 1024 + 6] = 1;
  palette8[40 + 1024 + 7] = 1;
  // A 16-bit 5-6-5 DIB, all green.
  Bytes bitfields = testing::SampleDib({4, 2, 16, 3});
  for (std::size_t i = 52; i + 1 < bitfields.size(); i += 2) testing::PutU16(bitfields, i, 0x07E0);
  // The old core header, 24-bit, all blue.
  Bytes core = testing::SampleCoreDib(4, 2, 24);
  for (std::size_t i = 12; i + 2 < core.size(); i += 3) {
    core[i] = 0xFF;
    core[i + 1] = 0;
    core[i + 2] = 0;
  }
  Bytes lying = PatternDib(4, 2, [](int, int) { return kRed; });
  PutU32(lying, 8, 50);  // 50 rows claimed, 2 there

  const struct {
    const char* name;
    Bytes dib;
    COLORREF top, bottom;
  } cases[] = {
      {"8-bit with a colour table", palette8, kBlue, kRed},
      {"16-bit bit fields", bitfields, kGreen, kGreen},
      {"core header", core, kBlue, kBlue},
      {"24-bit", PatternDib(4, 2, [](int, int y) { return y == 0 ? kBlack : kGreen; }), kBlack, kGreen},
  };
  // Within a step of 5 or 6 bits per channel (the 16-bit case).
  const auto close_to = [](COLORREF expected) {
    return [expected](COLORREF c) {
      return std::abs(GetRValue(c) - GetRValue(expected)) <= 8 && std::abs(GetGValue(c) - GetGValue(expected)) <= 8 &&
             std::abs(GetBValue(c) - GetBValue(expected)) <= 8;
    };
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(4, 2);
    EXPECT_TRUE(win32::DrawDib(canvas.dc(), c.dib, RECT{0, 0, 4, 2}));
    EXPECT_EQ(canvas.Count({0, 0, 4, 1}, close_to(c.top)), 4);
    EXPECT_EQ(canvas.Count({0, 1, 4, 2}, close_to(c.bottom)), 4);
  }
  Canvas canvas(4, 2, kBlack);
  EXPECT_FALSE(win32::DrawDib(canvas.dc(), lying, RECT{0, 0, 4, 2}));
  EXPECT_EQ(canvas.Count({0, 0, 4, 2}, kBlack), 8) << "nothing drawn";
}

TEST_F(PictureControls, MetafilesDrawStretchedAndLyingOnesGetNoHandle) {
  TMetafile enhanced;
  enhanced.LoadFromClipboardFormat(cf::kEnhMetafile, GreenEnhMetafile(), {});
  TMetafile windows;
  windows.LoadFromClipboardFormat(cf::kMetafilePict, BlueMetafilePict(), {});
  for (const auto& [metafile, colour] : {std::pair{&enhanced, kGreen}, std::pair{&windows, kBlue}}) {
    Canvas canvas(40, 20, kBlack);
    EXPECT_TRUE(win32::DrawMetafile(canvas.dc(), *metafile, RECT{0, 0, 40, 20}));
    EXPECT_GT(canvas.Count({0, 0, 40, 20}, colour), 40 * 20 * 8 / 10);
  }
  // Headers that lie: the system never sees them.
  Bytes bits = enhanced.Bits();
  testing::PutU32(bits, 48, static_cast<std::uint32_t>(bits.size() + 64));  // nBytes beyond the data
  EXPECT_FALSE(win32::MetafileHandle(bits, true, 0, 0, 0));
  Bytes wmf = windows.Bits();
  testing::PutU32(wmf, 18, 0x8000);  // the first record runs past the end
  EXPECT_FALSE(win32::MetafileHandle(wmf, false, MM_ANISOTROPIC, 2000, 1000));
  EXPECT_FALSE(win32::WindowsMetafileFromBits(wmf));
}

// Every kind of record with a bitmap that the system itself writes, in a
// Windows and in an enhanced metafile: the checks must take them all.
void DrawWithBitmaps(HDC dc, const Bytes& dib) {
  const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
  const std::uint8_t* bits = dib.data() + sizeof(BITMAPINFOHEADER);
  ::StretchDIBits(dc, 0, 0, 16, 12, 0, 0, 8, 6, bits, info, DIB_RGB_COLORS, SRCCOPY);
  ::SetDIBitsToDevice(dc, 20, 0, 8, 6, 0, 0, 0, 6, bits, info, DIB_RGB_COLORS);
  ::SetDIBitsToDevice(dc, 30, 0, 8, 6, 0, 0, 2, 3, bits, info, DIB_RGB_COLORS);  // some of the rows
  win32::WindowDc screen;
  win32::MemoryDc source(::CreateCompatibleDC(screen.get()));
  win32::Bitmap bitmap(::CreateCompatibleBitmap(screen.get(), 8, 6));
  HGDIOBJ old = ::SelectObject(source.get(), bitmap.get());
  ::StretchDIBits(source.get(), 0, 0, 8, 6, 0, 0, 8, 6, bits, info, DIB_RGB_COLORS, SRCCOPY);
  ::BitBlt(dc, 40, 0, 8, 6, source.get(), 0, 0, SRCCOPY);
  ::StretchBlt(dc, 50, 0, 16, 12, source.get(), 0, 0, 8, 6, SRCCOPY);
  ::BitBlt(dc, 70, 0, 8, 6, nullptr, 0, 0, BLACKNESS);  // no source
  ::SelectObject(source.get(), old);
  win32::GdiObject<HBRUSH> pattern(::CreateDIBPatternBrushPt(dib.data(), DIB_RGB_COLORS));
  HGDIOBJ old_brush = ::SelectObject(dc, pattern.get());
  ::Rectangle(dc, 0, 20, 30, 40);
  const std::uint16_t mono_bits[8] = {0xAA00, 0x5500, 0xAA00, 0x5500, 0xAA00, 0x5500, 0xAA00, 0x5500};
  win32::Bitmap mono(::CreateBitmap(8, 8, 1, 1, mono_bits));
  win32::GdiObject<HBRUSH> mono_brush(::CreatePatternBrush(mono.get()));
  ::SelectObject(dc, mono_brush.get());
  ::Rectangle(dc, 40, 20, 70, 40);
  ::SelectObject(dc, old_brush);
}

Bytes RecordedWindowsMetafile(const Bytes& dib) {
  HDC dc = ::CreateMetaFileA(nullptr);
  DrawWithBitmaps(dc, dib);
  win32::Metafile metafile(::CloseMetaFile(dc));
  Bytes bits(::GetMetaFileBitsEx(metafile.get(), 0, nullptr));
  ::GetMetaFileBitsEx(metafile.get(), static_cast<UINT>(bits.size()), bits.data());
  return bits;
}

TEST_F(PictureControls, MetafilesTheSystemWritesWithBitmapsPassTheChecks) {
  const Bytes dib = PatternDib(8, 6, [](int x, int y) { return Quarters(8, 6, x, y); });
  const Bytes wmf_bits = RecordedWindowsMetafile(dib);
  const auto wmf_layout = CheckWindowsMetafile(wmf_bits);
  ASSERT_TRUE(wmf_layout.has_value());
  EXPECT_GE(wmf_layout->records, 8u);

  const RECT frame{0, 0, 2000, 1000};
  HDC emf_dc = ::CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
  DrawWithBitmaps(emf_dc, dib);
  win32::EnhMetafile emf(::CloseEnhMetaFile(emf_dc));
  const Bytes emf_bits = win32::EnhMetafileToBytes(emf.get()).value_or(Bytes{});
  const auto emf_layout = CheckEnhMetafile(emf_bits);
  ASSERT_TRUE(emf_layout.has_value());
  EXPECT_GE(emf_layout->records, 10u);

  // The enhanced one as the system converts it to a Windows metafile.
  win32::WindowDc screen;
  Bytes converted(::GetWinMetaFileBits(emf.get(), 0, nullptr, MM_ANISOTROPIC, screen.get()));
  ASSERT_FALSE(converted.empty());
  ::GetWinMetaFileBits(emf.get(), static_cast<UINT>(converted.size()), converted.data(), MM_ANISOTROPIC, screen.get());
  EXPECT_TRUE(CheckWindowsMetafile(converted).has_value());

  // And they draw.
  TMetafile picture;
  picture.LoadFromClipboardFormat(cf::kEnhMetafile, emf_bits, {});
  Canvas canvas(200, 100, RGB(1, 2, 3));
  EXPECT_TRUE(win32::DrawMetafile(canvas.dc(), picture, RECT{0, 0, 200, 100}));
  EXPECT_GT(canvas.Count({0, 0, 200, 100}, kRed), 0);

  // A DIB that leaves its image size 0 (as it may) is recorded by Wine
  // without its bits, which Wine's own player would then read from beyond
  // the record: such a metafile is refused.
  Bytes unsized = dib;
  testing::PutU32(unsized, 20, 0);
  EXPECT_FALSE(CheckWindowsMetafile(RecordedWindowsMetafile(unsized)).has_value());
}

// --- the picture view ---

TEST_F(PictureControls, ABitmapAtItsOwnSizeScrollsToShowTheRest) {
  PictureView& view = View(220, 170);
  const Bytes dib = PatternDib(300, 200, [](int x, int y) { return Quarters(300, 200, x, y); });
  view.ShowBitmap(TBitmap(dib));
  ASSERT_TRUE(view.HasPicture());
  const SIZE client = ClientSize(view.hwnd());
  ASSERT_LT(client.cx, 300);
  ASSERT_LT(client.cy, 200);
  const SCROLLINFO horizontal = ScrollInfo(view.hwnd(), SB_HORZ);
  const SCROLLINFO vertical = ScrollInfo(view.hwnd(), SB_VERT);
  EXPECT_EQ(horizontal.nMax, 299);
  EXPECT_EQ(horizontal.nPage, static_cast<UINT>(client.cx));
  EXPECT_EQ(vertical.nMax, 199);
  EXPECT_EQ(vertical.nPage, static_cast<UINT>(client.cy));
  const RECT at_home = view.PictureRect();
  EXPECT_EQ(at_home.left, 0);
  EXPECT_EQ(at_home.right, 300);
  {
    const auto shot = Snapshot(view.hwnd());
    EXPECT_EQ(shot->At(0, 0), kRed);
    EXPECT_EQ(shot->At(client.cx - 1, 0), Quarters(300, 200, client.cx - 1, 0));
  }

  // To the far corner with the scroll bars.
  ::SendMessageA(view.hwnd(), WM_HSCROLL, SB_BOTTOM, 0);
  ::SendMessageA(view.hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(view.ScrollPosition().x, 300 - client.cx);
  EXPECT_EQ(view.ScrollPosition().y, 200 - client.cy);
  EXPECT_EQ(ScrollInfo(view.hwnd(), SB_HORZ).nPos, 300 - client.cx);
  {
    const auto shot = Snapshot(view.hwnd());
    EXPECT_EQ(shot->At(client.cx - 1, client.cy - 1), kBlack);
    EXPECT_EQ(shot->At(0, 0), Quarters(300, 200, 300 - client.cx, 200 - client.cy));
  }
  // A wheel notch up, a line left; a new picture starts at the corner.
  ::SendMessageA(view.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(view.ScrollPosition().y, std::max<int>(200 - client.cy - 48, 0));
  ::SendMessageA(view.hwnd(), WM_HSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(view.ScrollPosition().x, 300 - client.cx - 16);
  view.ShowBitmap(TBitmap(dib));
  EXPECT_EQ(view.ScrollPosition().x, 0);
  EXPECT_EQ(view.ScrollPosition().y, 0);
}

TEST_F(PictureControls, AStretchedBitmapIsShrunkToFitButNeverEnlarged) {
  PictureView& view = View(200, 150);
  view.SetStretch(true);
  const Bytes wide = PatternDib(400, 100, [](int x, int y) { return Quarters(400, 100, x, y); });
  view.ShowBitmap(TBitmap(wide));
  // Without scroll bars the picture has the whole window.
  const SIZE client = ClientSize(view.hwnd());
  ASSERT_EQ(client.cx, 200);
  ASSERT_EQ(client.cy, 150);
  const RECT shrunk = view.PictureRect();
  EXPECT_EQ(shrunk.left, 0);
  EXPECT_EQ(shrunk.top, 0);
  EXPECT_EQ(shrunk.right, 200);
  EXPECT_EQ(shrunk.bottom, 50);
  {
    const auto shot = Snapshot(view.hwnd());
    EXPECT_EQ(shot->At(10, 5), kRed);
    EXPECT_EQ(shot->At(190, 45), kBlack);
    EXPECT_EQ(shot->At(100, 100), ::GetSysColor(COLOR_BTNFACE)) << "below the picture: the background";
  }
  const Bytes small = PatternDib(50, 40, [](int, int) { return kGreen; });
  view.ShowBitmap(TBitmap(small));
  const RECT own = view.PictureRect();
  EXPECT_EQ(own.right - own.left, 50);
  EXPECT_EQ(own.bottom - own.top, 40);
  {
    const auto shot = Snapshot(view.hwnd());
    EXPECT_EQ(shot->Count({0, 0, 200, 150}, kGreen), 50 * 40);
  }
  // Unstretched again: at its own size the wide one scrolls.
  view.ShowBitmap(TBitmap(wide));
  view.SetStretch(false);
  EXPECT_EQ(view.PictureRect().right, 400);
  EXPECT_EQ(ScrollInfo(view.hwnd(), SB_HORZ).nMax, 399);
}

TEST_F(PictureControls, PicturesArePlacedByTheirFit) {
  using Fit = PictureView::Fit;
  const SIZE client{200, 100};
  const struct {
    int width, height;
    Fit fit;
    RECT expected;
  } cases[] = {
      {300, 50, Fit::kOwnSize, {0, 0, 300, 50}},
      {300, 50, Fit::kShrinkToFit, {0, 0, 200, 33}},
      {100, 400, Fit::kShrinkToFit, {0, 0, 25, 100}},
      {50, 20, Fit::kShrinkToFit, {0, 0, 50, 20}},
      {200, 100, Fit::kShrinkToFit, {0, 0, 200, 100}},
      {2000, 1000, Fit::kStretchCentred, {0, 0, 200, 100}},
      {100, 100, Fit::kStretchCentred, {50, 0, 150, 100}},
      {10, 1, Fit::kStretchCentred, {0, 40, 200, 60}},
      {0, 0, Fit::kStretchCentred, {0, 0, 200, 100}},
  };
  for (const auto& c : cases) {
    const RECT r = PictureView::Place(c.width, c.height, client, c.fit);
    EXPECT_TRUE(::EqualRect(&r, &c.expected)) << c.width << " x " << c.height << ": " << r.left << "," << r.top
                                              << " - " << r.right << "," << r.bottom;
  }
}

TEST_F(PictureControls, AMetafileIsCentredAndStretchedToTheView) {
  PictureView& view = View(200, 150);
  TMetafile enhanced;
  enhanced.LoadFromClipboardFormat(cf::kEnhMetafile, GreenEnhMetafile(), {});
  view.ShowMetafile(enhanced);
  ASSERT_TRUE(view.HasPicture());
  const RECT placed = view.PictureRect();
  EXPECT_EQ(placed.left, 0);
  EXPECT_EQ(placed.right, 200);
  EXPECT_EQ(placed.top, 25);
  EXPECT_EQ(placed.bottom, 125);
  EXPECT_EQ(ScrollInfo(view.hwnd(), SB_HORZ).nMax, 0) << "nothing to scroll";
  {
    const auto shot = Snapshot(view.hwnd());
    EXPECT_EQ(shot->At(100, 75), kGreen);
    EXPECT_EQ(shot->At(100, 10), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_GT(shot->Count({0, 25, 200, 125}, kGreen), 200 * 100 * 9 / 10);
  }
  TMetafile windows;
  windows.LoadFromClipboardFormat(cf::kMetafilePict, BlueMetafilePict(), {});
  view.ShowMetafile(windows);
  ASSERT_TRUE(view.HasPicture());
  {
    const auto shot = Snapshot(view.hwnd());
    EXPECT_EQ(shot->At(100, 75), kBlue);
    EXPECT_EQ(shot->Count({0, 0, 200, 150}, kGreen), 0);
  }
  view.Clear();
  EXPECT_FALSE(view.HasPicture());
  const auto shot = Snapshot(view.hwnd());
  EXPECT_EQ(shot->Count({0, 0, 200, 150}, ::GetSysColor(COLOR_BTNFACE)), 200 * 150) << "empty: background only";
}

TEST_F(PictureControls, PicturesWhoseHeadersLieShowAsNothing) {
  PictureView& view = View(200, 150);
  Bytes rows_missing = PatternDib(40, 30, [](int, int) { return kRed; });
  testing::PutU32(rows_missing, 8, 3000);
  view.ShowBitmap(TBitmap(rows_missing));
  EXPECT_FALSE(view.HasPicture());
  EXPECT_EQ(Snapshot(view.hwnd())->Count({0, 0, 200, 150}, kRed), 0);

  TMetafile enhanced;
  Bytes emf = GreenEnhMetafile();
  testing::PutU32(emf, 48, static_cast<std::uint32_t>(emf.size() * 4));
  enhanced.LoadFromClipboardFormat(cf::kEnhMetafile, emf, {});
  view.ShowMetafile(enhanced);
  EXPECT_FALSE(view.HasPicture());
  EXPECT_EQ(Snapshot(view.hwnd())->Count({0, 0, 200, 150}, kGreen), 0);
}

TEST_F(PictureControls, ADoubleClickOnAPictureIsReported) {
  PictureView& view = View(200, 150);
  int clicks = 0;
  view.SetOnDoubleClick([&] { ++clicks; });
  ::SendMessageA(view.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(clicks, 0) << "nothing shown";
  view.ShowBitmap(TBitmap(PatternDib(20, 20, [](int, int) { return kRed; })));
  ::SendMessageA(view.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(clicks, 1);
}

// --- the hex dump ---

TEST_F(PictureControls, ATenMegabyteDumpScrollsOverItsWholeRangeAndANewBufferStartsAtTheTop) {
  HexDumpControl& dump = Dump(600, 400);
  Bytes big(kTenMegabytes);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
  dump.SetBuffer(big.data(), big.size());
  const HWND hwnd = dump.hwnd();
  const std::size_t page = dump.PageLines();
  ASSERT_GT(page, 5u);
  EXPECT_EQ(dump.LineCount(), 655360u);

  // The scroll range covers every line, far beyond 16 bits.
  SCROLLINFO info = ScrollInfo(hwnd, SB_VERT);
  EXPECT_EQ(info.nMin, 0);
  EXPECT_EQ(info.nMax, 655359);
  EXPECT_EQ(info.nPage, static_cast<UINT>(page));
  ::SendMessageA(hwnd, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(dump.TopLine(), 655360 - page);
  EXPECT_EQ(ScrollInfo(hwnd, SB_VERT).nPos, static_cast<int>(655360 - page));

  // The thumb's position is read as 32 bits, not from the message.
  ::SetScrollPos(hwnd, SB_VERT, 500000, FALSE);
  ::SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 500000 & 0xFFFF), 0);
  EXPECT_EQ(dump.TopLine(), 500000u);

  // Keys and the wheel.
  ::SendMessageA(hwnd, WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(dump.TopLine(), 0u);
  ::SendMessageA(hwnd, WM_KEYDOWN, VK_NEXT, 0);
  ::SendMessageA(hwnd, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(dump.TopLine(), page + 1);
  ::SendMessageA(hwnd, WM_KEYDOWN, VK_UP, 0);
  ::SendMessageA(hwnd, WM_KEYDOWN, VK_PRIOR, 0);
  EXPECT_EQ(dump.TopLine(), 0u);
  UINT wheel_lines = 3;
  ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &wheel_lines, 0);
  ::SendMessageA(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), 0);
  EXPECT_EQ(dump.TopLine(), wheel_lines == WHEEL_PAGESCROLL ? 2 * page : 2 * wheel_lines);
  ::SendMessageA(hwnd, WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(dump.TopLine(), 655360 - page);

  // A paint deep in the buffer draws the lines in view, not the buffer.
  ::InvalidateRect(hwnd, nullptr, FALSE);
  ::UpdateWindow(hwnd);
  EXPECT_GE(dump.LinesPainted(), page);
  EXPECT_LE(dump.LinesPainted(), page + 1);
  // Scrolling by a line paints about one line.
  ::SendMessageA(hwnd, WM_KEYDOWN, VK_UP, 0);
  ::UpdateWindow(hwnd);
  EXPECT_LE(dump.LinesPainted(), 2u);

  // A new buffer starts at the top, a big one as well as a small one.
  ::SendMessageA(hwnd, WM_VSCROLL, SB_BOTTOM, 0);
  ASSERT_GT(dump.TopLine(), 0u);
  dump.SetBuffer(big.data() + 16, big.size() - 16);
  EXPECT_EQ(dump.TopLine(), 0u);
  EXPECT_EQ(ScrollInfo(hwnd, SB_VERT).nPos, 0);
  EXPECT_EQ(ScrollInfo(hwnd, SB_VERT).nMax, 655358);
  const Bytes small(100, 0x41);
  dump.SetBuffer(small.data(), small.size());
  EXPECT_EQ(dump.TopLine(), 0u);
  EXPECT_EQ(dump.LineCount(), 7u);
  info = ScrollInfo(hwnd, SB_VERT);
  EXPECT_EQ(info.nPos, 0);
  EXPECT_EQ(info.nMax, 6);
  ::SendMessageA(hwnd, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(dump.TopLine(), 0u) << "all of it fits";
  dump.SetBuffer(nullptr, 0);
  EXPECT_EQ(dump.LineCount(), 0u);
  Pump();
}

TEST_F(PictureControls, TheDumpDrawsEachPartInItsColourInAFixedPitchFont) {
  HexDumpControl& dump = Dump(720, 200);
  dump.SetColors(RGB(255, 0, 0), RGB(0, 0, 0), RGB(0, 0, 128));
  const std::string text = "Hello, hex dump!0123456789";
  const Bytes bytes(text.begin(), text.end());
  dump.SetBuffer(bytes.data(), bytes.size());
  const int w = dump.CharWidth();
  const int h = dump.LineHeight();
  // Columns of the first line (see HexDumpLineText): address 0-7, the
  // bytes from 10, the characters from 60.
  const RECT address{2, 0, 2 + 8 * w, h};
  const RECT hex{2 + 10 * w, 0, 2 + 58 * w, h};
  const RECT chars{2 + 60 * w, 0, 2 + 76 * w, h};
  const auto reddish = [](COLORREF c) { return GetRValue(c) >= 128 && GetGValue(c) < 80 && GetBValue(c) < 80; };
  const auto blackish = [](COLORREF c) { return GetRValue(c) < 48 && GetGValue(c) < 48 && GetBValue(c) < 48; };
  const auto navyish = [](COLORREF c) {
    return GetRValue(c) < 48 && GetGValue(c) < 48 && GetBValue(c) >= 64 && GetBValue(c) > GetRValue(c) + 40;
  };
  {
    const auto shot = Snapshot(dump.hwnd());
    EXPECT_GT(shot->Count(address, reddish), 10);
    EXPECT_EQ(shot->Count(address, navyish), 0);
    EXPECT_GT(shot->Count(hex, blackish), 20);
    EXPECT_EQ(shot->Count(hex, reddish), 0);
    EXPECT_GT(shot->Count(chars, navyish), 10);
    EXPECT_EQ(shot->Count(chars, reddish), 0);
    // Characters are all the same width: the two lines' columns end alike.
    const RECT past_chars{2 + 77 * w, 0, 700, 2 * h};
    EXPECT_EQ(shot->Count(past_chars, [](COLORREF c) { return c != ::GetSysColor(COLOR_WINDOW); }), 0);
  }
  // Without the address column nothing is red and the bytes come first.
  dump.SetShowAddress(false);
  const auto shot = Snapshot(dump.hwnd());
  EXPECT_EQ(shot->Count({0, 0, 700, 2 * h}, reddish), 0);
  EXPECT_GT(shot->Count({2, 0, 2 + 48 * w, h}, blackish), 20);
}

TEST_F(PictureControls, PaintingAgainAndAgainLeavesNoGdiObjectBehind) {
  PictureView& view = View(200, 150);
  HexDumpControl& dump = Dump(300, 200);
  const Bytes dib = PatternDib(300, 200, [](int x, int y) { return Quarters(300, 200, x, y); });
  TMetafile enhanced;
  enhanced.LoadFromClipboardFormat(cf::kEnhMetafile, GreenEnhMetafile(), {});
  const Bytes bytes(5000, 0x5A);
  const auto round = [&](int times) {
    for (int i = 0; i < times; ++i) {
      view.SetStretch(i % 2 == 0);
      if (i % 3 == 0) {
        view.ShowMetafile(enhanced);
      } else {
        view.ShowBitmap(TBitmap(dib));
      }
      Snapshot(view.hwnd());
      dump.SetBuffer(bytes.data(), bytes.size());
      ::SendMessageA(dump.hwnd(), WM_KEYDOWN, VK_NEXT, 0);
      Snapshot(dump.hwnd());
      ::InvalidateRect(view.hwnd(), nullptr, FALSE);
      ::InvalidateRect(dump.hwnd(), nullptr, FALSE);
      ::UpdateWindow(view.hwnd());
      ::UpdateWindow(dump.hwnd());
    }
  };
  round(10);
  const int before = GdiHighWater();
  round(150);
  // Each round makes a dozen GDI objects; one left behind in ten rounds
  // would raise the table by 15.
  EXPECT_LE(GdiHighWater(), before + 10);
}

}  // namespace
}  // namespace om::test
