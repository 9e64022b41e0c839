// The clip list's icon view in the real control: the paint hook gives the
// visible rows thumbnails, the thumbnails show the clips' bitmaps, pictures
// and texts, and making them again and again leaves no GDI object behind.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "clipboard/graphics.h"
#include "platform/win32/clock.h"
#include "platform/win32/gdi_forms.h"
#include "platform/win32/locale.h"
#include "store/clip_data.h"
#include "store/clip_obj.h"
#include "store/store_services.h"
#include "ui/main/thumbnails.h"
#include "ui/main/win32/main_window.h"

namespace om::test {
namespace {

using win32::MainWindow;

constexpr int kThumbnailSize = 66;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A packed bottom-up 24-bit DIB of one colour.
Bytes SolidDib(int width, int height, COLORREF colour) {
  const int stride = (width * 3 + 3) / 4 * 4;
  Bytes dib(sizeof(BITMAPINFOHEADER) + static_cast<std::size_t>(stride) * height, 0);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  std::memcpy(dib.data(), &header, sizeof header);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* line = dib.data() + sizeof header + static_cast<std::size_t>(stride) * y;
    for (int x = 0; x < width; ++x) {
      line[x * 3] = GetBValue(colour);
      line[x * 3 + 1] = GetGValue(colour);
      line[x * 3 + 2] = GetRValue(colour);
    }
  }
  return dib;
}

// An enhanced metafile of a green rectangle filling a 2 x 1 cm frame.
Bytes GreenMetafile() {
  const RECT frame{0, 0, 2000, 1000};
  HDC dc = ::CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
  HBRUSH green = ::CreateSolidBrush(kGreen);
  const RECT all{0, 0, 76, 38};
  ::FillRect(dc, &all, green);
  ::DeleteObject(green);
  win32::EnhMetafile metafile(::CloseEnhMetaFile(dc));
  return win32::EnhMetafileToBytes(metafile.get()).value_or(Bytes{});
}

// The clips of the list and the behaviour's side of its icon view: rows
// get thumbnails from a cache when the control is about to paint.
class IconViewRows final : public IMainFormEvents, public IClipListEvents, public IClipRowSource {
 public:
  explicit IconViewRows(IClipListWidget& list) : list_(list) {}

  void AddText(const std::string& text) {
    clips_.push_back(std::make_unique<TClipObj>(static_cast<int>(clips_.size()), "NOTEPAD"));
    clips_.back()->PutText(text, 0);
  }
  void AddBitmap(int width, int height, COLORREF colour) {
    clips_.push_back(std::make_unique<TClipObj>(static_cast<int>(clips_.size()), "MSPAINT"));
    auto entry = std::make_unique<TClipData>(formattype::kBitmap);
    entry->FormatNum = static_cast<std::uint16_t>(cf::kBitmap);
    entry->Bitmap = std::make_unique<TBitmap>(SolidDib(width, height, colour));
    clips_.back()->DataList.emplace();
    clips_.back()->DataList->push_back(std::move(entry));
    clips_.back()->Online = true;
  }
  void AddMetafile(const Bytes& bits) {
    clips_.push_back(std::make_unique<TClipObj>(static_cast<int>(clips_.size()), "WINWORD"));
    auto entry = std::make_unique<TClipData>(formattype::kMetafile);
    entry->FormatNum = static_cast<std::uint16_t>(cf::kMetafilePict);
    entry->Metafile = std::make_unique<TMetafile>();
    entry->Metafile->LoadFromClipboardFormat(cf::kEnhMetafile, bits, {});
    clips_.back()->DataList.emplace();
    clips_.back()->DataList->push_back(std::move(entry));
    clips_.back()->Online = true;
  }
  // Shows the clips in the icon view with a fresh cache of `entries`.
  void Show(int entries) {
    cache_.Initialize(entries);
    list_.SetThumbnailImages(kThumbnailSize, entries);
    list_.SetRowSource(this);
    list_.SetViewStyle(ListViewStyle::kIcons);
    list_.SetRowCount(static_cast<int>(clips_.size()));
  }
  int rendered = 0;

  // IMainFormEvents: only the list's events matter here.
  void FormShow() override {}
  bool FormCloseQuery() override { return true; }
  void FormClose() override {}
  bool WMQueryEndSession() override { return true; }
  void AppDeactivate() override {}
  void MenuClick(MenuCommand) override {}
  ITreeEvents* TreeEvents() override { return nullptr; }
  IClipListEvents* ClipListEvents() override { return this; }
  IPreviewEvents* PreviewEvents() override { return nullptr; }

  void lvClipsChange(int, ListChange) override {}
  void lvClipsKeyUp(int) override {}
  void lvClipsColumnClick(int) override {}
  void lvClipsClick() override {}
  void lvClipsDblClick() override {}
  bool lvClipsKeyDown(int, KeyModifiers) override { return false; }
  void lvClipsMouseDown(MouseButton, KeyModifiers, int, int) override {}
  void lvClipsMouseMove(int, int) override {}
  void PopupMenuClipsPopup(bool) override {}
  void lvClipsPaint() override {
    if (!cache_.Ready() || list_.ViewStyle() != ListViewStyle::kIcons) return;
    cache_.Paint(
        list_.VisibleRows(), [this](int row) { return ClipAt(row); }, ::GetTickCount(),
        [this](int, TClipObj& clip, int image) {
          list_.DrawThumbnail(image, MakeThumbnailPicture(clip, kThumbnailSize, TFontDesc{"Tahoma", 8, 1}));
          ++rendered;
        });
  }

  std::string CellText(int row, int column) const override { return column == 0 ? "clip " + std::to_string(row) : ""; }
  int RowImage(int row) const override {
    const TClipObj* clip = ClipAt(row);
    return clip != nullptr ? cache_.ImageOf(*clip) : -1;
  }
  void RowDrawn(int) override {}

  TClipObj* ClipAt(int row) const {
    return row >= 0 && row < static_cast<int>(clips_.size()) ? clips_[static_cast<std::size_t>(row)].get() : nullptr;
  }

 private:
  IClipListWidget& list_;
  std::vector<std::unique_ptr<TClipObj>> clips_;
  TThumbnailCache cache_;
};

// Counts the pixels of `colour` in `area` of the control as it paints
// itself (its paint hook included).
int CountPixels(HWND control, const RECT& area, COLORREF colour) {
  RECT client{};
  ::GetClientRect(control, &client);
  win32::WindowDc screen(nullptr);
  win32::MemoryDc dc(::CreateCompatibleDC(screen.get()));
  win32::Bitmap bitmap(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
  HGDIOBJ old = ::SelectObject(dc.get(), bitmap.get());
  ::FillRect(dc.get(), &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
  int count = 0;
  for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, client.bottom); ++y) {
    for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, client.right); ++x) {
      count += ::GetPixel(dc.get(), x, y) == colour ? 1 : 0;
    }
  }
  ::SelectObject(dc.get(), old);
  return count;
}

// How high the process's GDI handle table reaches: the highest table slot
// among a batch of new objects. Objects left behind push it up; Wine
// answers GetGuiResources with 0, so this is what tells there.
int GdiHighWater() {
  constexpr int kProbes = 64;
  std::vector<win32::GdiObject<HBRUSH>> probes;
  int highest = 0;
  for (int i = 0; i < kProbes; ++i) {
    probes.emplace_back(::CreateSolidBrush(RGB(i, 0, 0)));
    highest = std::max(highest, static_cast<int>(LOWORD(reinterpret_cast<UINT_PTR>(probes.back().get()))));
  }
  return highest;
}

class ThumbnailViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.Created());
    window.SetEvents(&rows);
    ::SetWindowPos(window.hwnd(), nullptr, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void TearDown() override {
    window.SetEvents(nullptr);
    window.Widgets().clips.SetRowCount(0);
    window.Widgets().clips.SetRowSource(nullptr);
  }
  RECT IconRect(int row) {
    RECT rect{};
    rect.left = LVIR_ICON;
    ::SendMessageA(window.clips().hwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    return rect;
  }

  // Clips are made with the store's clock and locale.
  win32::Win32Clock clock;
  win32::Win32Locale locale;
  ScopedStoreServices services{TStoreServices{&clock, &locale, nullptr, true, false}};
  MainWindow window{::GetModuleHandleA(nullptr), ExecutableDir()};
  IconViewRows rows{window.Widgets().clips};
};

TEST_F(ThumbnailViewTest, VisibleRowsShowTheirBitmapPictureAndTextFitted) {
  rows.AddBitmap(500, 100, kRed);
  rows.AddText("Hello thumbnails\r\nsecond line\r\nthird line");
  rows.AddMetafile(GreenMetafile());
  for (int i = 0; i < 40; ++i) rows.AddText("filler " + std::to_string(i));
  rows.Show(64);
  IClipListWidget& list = window.Widgets().clips;
  const HWND control = window.clips().hwnd();
  ASSERT_EQ(list.ViewStyle(), ListViewStyle::kIcons);
  EXPECT_EQ(::GetWindowLongPtrA(control, GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);

  // The visible rows are those whose cells meet the client area: the first
  // ones, not all 43, and none of the far end.
  const std::vector<int> visible = list.VisibleRows();
  ASSERT_FALSE(visible.empty());
  EXPECT_EQ(visible.front(), 0);
  EXPECT_LT(visible.size(), 43u);
  for (std::size_t i = 0; i < visible.size(); ++i) EXPECT_EQ(visible[i], static_cast<int>(i));
  RECT client{};
  ::GetClientRect(control, &client);
  const RECT last_visible = IconRect(visible.back());
  EXPECT_LT(last_visible.top, client.bottom);
  if (visible.back() + 1 < 43) {
    const RECT next = IconRect(visible.back() + 1);
    EXPECT_GE(next.top, client.bottom) << "row " << visible.back() + 1 << " is visible but was not reported";
  }

  // Painting gives each visible row its thumbnail, once.
  const RECT bitmap_icon = IconRect(0);
  const int red = CountPixels(control, bitmap_icon, kRed);
  EXPECT_EQ(rows.rendered, static_cast<int>(visible.size()));
  for (const int row : visible) EXPECT_GE(rows.RowImage(row), 0) << row;
  // 500 x 100 becomes 64 x 12 inside the blue border of 66.
  EXPECT_EQ(red, 64 * 12);
  EXPECT_EQ(CountPixels(control, bitmap_icon, kBlue), 4 * (kThumbnailSize - 1));
  EXPECT_EQ(CountPixels(control, bitmap_icon, kBlack), 0);
  EXPECT_EQ(rows.rendered, static_cast<int>(visible.size()));

  // The text thumbnail: black text inside its border, nothing red.
  const RECT text_icon = IconRect(1);
  EXPECT_GT(CountPixels(control, text_icon, kBlack), 20);
  EXPECT_EQ(CountPixels(control, text_icon, kBlue), 4 * (kThumbnailSize - 1));
  EXPECT_EQ(CountPixels(control, text_icon, kRed), 0);

  // The picture: 2 x 1 cm at 96 dpi is 75 x 37 pixels, scaled to 64 x 31.
  const RECT picture_icon = IconRect(2);
  const int green = CountPixels(control, picture_icon, kGreen);
  EXPECT_GT(green, 64 * 28);
  EXPECT_LE(green, 64 * 32);

  // Back to the details view: no thumbnails asked for.
  const int before = rows.rendered;
  list.SetViewStyle(ListViewStyle::kDetails);
  EXPECT_TRUE(list.VisibleRows().empty());
  CountPixels(control, client, kRed);
  EXPECT_EQ(rows.rendered, before);
}

TEST_F(ThumbnailViewTest, RefillingTheIconViewAThousandTimesLeavesNoGdiObjectBehind) {
  rows.AddBitmap(500, 100, kRed);
  rows.AddText("Hello\r\nthere");
  rows.AddMetafile(GreenMetafile());
  for (int i = 0; i < 5; ++i) rows.AddBitmap(40, 30, kGreen);
  // Fewer entries than rows: each refill draws thumbnails anew.
  rows.Show(8);
  const HWND control = window.clips().hwnd();
  IClipListWidget& list = window.Widgets().clips;
  const auto refill = [&](int times) {
    for (int i = 0; i < times; ++i) {
      if (i % 100 == 0) list.SetThumbnailImages(kThumbnailSize, 8);
      rows.Show(8);
      // The control paints (into a bitmap: the window is not shown).
      CountPixels(control, RECT{}, kRed);
    }
  };
  // Whatever is made once (fonts, caches of the system) is made now.
  refill(20);
  const DWORD objects_before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  const int high_before = GdiHighWater();
  const int rendered_before = rows.rendered;
  refill(1000);
  EXPECT_GE(rows.rendered - rendered_before, 1000 * 8);
  const DWORD objects_after = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  const int high_after = GdiHighWater();
  EXPECT_LE(objects_after, objects_before + 10);
  // Thousands of thumbnails were made; a leak of even one object in a
  // hundred of them would raise the table by 80.
  EXPECT_LE(high_after, high_before + 40) << "before " << high_before << ", after " << high_after;
}

}  // namespace
}  // namespace om::test
