#include "ui/main/win32/image_lists.h"

#include <commctrl.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <utility>

#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

constexpr int kImageSize = 16;

// A 16 x 16 copy of `source` (top-left aligned: cut, or padded with
// `background`), so that every image of the list is one image. Without a
// source: all background, a blank image.
Bitmap NormalisedCopy(HBITMAP source, COLORREF background) {
  BITMAP info{};
  if (source != nullptr && ::GetObjectA(source, sizeof info, &info) == 0) source = nullptr;
  WindowDc screen;
  MemoryDc from(::CreateCompatibleDC(screen.get()));
  MemoryDc to(::CreateCompatibleDC(screen.get()));
  Bitmap result(::CreateCompatibleBitmap(screen.get(), kImageSize, kImageSize));
  GdiObject<HBRUSH> brush(::CreateSolidBrush(background));
  if (!from || !to || !result || !brush) return {};
  HGDIOBJ old_to = ::SelectObject(to.get(), result.get());
  const RECT all{0, 0, kImageSize, kImageSize};
  ::FillRect(to.get(), &all, brush.get());
  if (source != nullptr) {
    HGDIOBJ old_from = ::SelectObject(from.get(), source);
    ::BitBlt(to.get(), 0, 0, std::min<int>(info.bmWidth, kImageSize), std::min<int>(info.bmHeight, kImageSize),
             from.get(), 0, 0, SRCCOPY);
    ::SelectObject(from.get(), old_from);
  }
  ::SelectObject(to.get(), old_to);
  return result;
}

// Adds one image; a missing bitmap becomes a blank one, which keeps the
// indexes after it right.
void AddImage(HIMAGELIST list, HBITMAP bitmap, COLORREF mask) {
  Bitmap normalised = NormalisedCopy(bitmap, mask);
  if (!normalised || ::ImageList_AddMasked(list, normalised.get(), mask) < 0) {
    LogOsFailure("ImageList_AddMasked");
  }
}

ImageList NewList(int capacity) {
  ImageList list(::ImageList_Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, capacity, 8));
  if (!list) LogOsFailure("ImageList_Create");
  return list;
}

// --- the pane tool bar's drawn images ---

using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;

// An object selected into a device context for the scope's life.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (old_ != nullptr) ::SelectObject(dc_, old_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

void Stroke(HDC dc, COLORREF colour, int width, std::initializer_list<POINT> points) {
  Pen pen(::CreatePen(PS_SOLID, width, colour));
  Selection chosen(dc, pen.get());
  const POINT* first = points.begin();
  ::MoveToEx(dc, first->x, first->y, nullptr);
  for (const POINT* p = first + 1; p != points.end(); ++p) ::LineTo(dc, p->x, p->y);
}

void FillShape(HDC dc, COLORREF colour, std::initializer_list<POINT> points) {
  Brush brush(::CreateSolidBrush(colour));
  Pen pen(::CreatePen(PS_SOLID, 1, colour));
  Selection chosen_brush(dc, brush.get());
  Selection chosen_pen(dc, pen.get());
  ::Polygon(dc, points.begin(), static_cast<int>(points.size()));
}

void FillEllipse(HDC dc, COLORREF colour, RECT box) {
  Brush brush(::CreateSolidBrush(colour));
  Pen pen(::CreatePen(PS_SOLID, 1, colour));
  Selection chosen_brush(dc, brush.get());
  Selection chosen_pen(dc, pen.get());
  ::Ellipse(dc, box.left, box.top, box.right, box.bottom);
}

void FillBox(HDC dc, COLORREF colour, RECT box) {
  Brush brush(::CreateSolidBrush(colour));
  ::FillRect(dc, &box, brush.get());
}

// Text centred in the image, unsmoothed (smoothing would blend the letters'
// edges with the transparent colour).
void Letters(HDC dc, const char* text, int height, int weight, const char* face, COLORREF colour) {
  Font font(::CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, face));
  Selection chosen(dc, font.get());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, colour);
  RECT all{0, 0, kImageSize, kImageSize};
  ::DrawTextA(dc, text, -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kGrey = RGB(110, 110, 110);
constexpr COLORREF kPinRed = RGB(210, 30, 30);

void DrawPin(HDC dc, bool down, bool blink) {
  if (blink) FillEllipse(dc, RGB(255, 230, 60), RECT{0, 0, 16, 16});
  if (down) {
    // Stuck in: seen from above the board, the needle goes down.
    FillEllipse(dc, kPinRed, RECT{4, 0, 12, 7});
    FillBox(dc, kGrey, RECT{6, 6, 10, 10});
    Stroke(dc, kInk, 1, {{8, 10}, {8, 15}});
  } else {
    // Lying on its side.
    FillEllipse(dc, kPinRed, RECT{0, 4, 7, 12});
    FillBox(dc, kGrey, RECT{6, 6, 10, 10});
    Stroke(dc, kInk, 1, {{10, 8}, {15, 8}});
  }
}

void DrawTool(HDC dc, int image) {
  switch (image) {
    case magimage::kPinUp:
      DrawPin(dc, false, false);
      return;
    case magimage::kPinDown:
      DrawPin(dc, true, false);
      return;
    case magimage::kPinBlink:
      DrawPin(dc, true, true);
      return;
    case magimage::kWordWrap:
      // Two lines, the second running on into the third.
      Stroke(dc, kInk, 1, {{1, 3}, {14, 3}});
      Stroke(dc, kInk, 1, {{1, 7}, {13, 7}, {13, 11}, {6, 11}});
      Stroke(dc, kNavy, 1, {{8, 9}, {6, 11}, {8, 13}});
      return;
    case magimage::kSizeWindow:
      // A window with an arrow to its far corner.
      Stroke(dc, kInk, 1, {{1, 1}, {14, 1}, {14, 14}, {1, 14}, {1, 1}});
      FillBox(dc, kNavy, RECT{2, 2, 14, 5});
      Stroke(dc, kNavy, 2, {{4, 12}, {11, 7}});
      FillShape(dc, kNavy, {{12, 6}, {8, 6}, {12, 10}});
      return;
    case magimage::kShiftLeft:
    case magimage::kShiftRight: {
      const bool left = image == magimage::kShiftLeft;
      const int text_left = left ? 7 : 1;
      for (int y : {3, 7, 11}) Stroke(dc, kGrey, 1, {{text_left, y}, {text_left + 8, y}});
      if (left) {
        FillShape(dc, kNavy, {{1, 7}, {5, 3}, {5, 11}});
      } else {
        FillShape(dc, kNavy, {{14, 7}, {10, 3}, {10, 11}});
      }
      return;
    }
    case magimage::kNoCrLf:
      Letters(dc, "\xB6", 14, FW_BOLD, "Arial", kInk);
      Stroke(dc, kPinRed, 2, {{2, 14}, {14, 2}});
      return;
    case magimage::kCase:
      Letters(dc, "Aa", 11, FW_BOLD, "Arial", kNavy);
      return;
    case magimage::kFont:
      Letters(dc, "A", 15, FW_BOLD, "Times New Roman", RGB(150, 20, 20));
      return;
    default:
      return;
  }
}

// An image drawn on the transparent colour.
Bitmap DrawnImage(int image) {
  WindowDc screen;
  MemoryDc dc(::CreateCompatibleDC(screen.get()));
  Bitmap result(::CreateCompatibleBitmap(screen.get(), kImageSize, kImageSize));
  if (!dc || !result) return {};
  Selection chosen(dc.get(), result.get());
  FillBox(dc.get(), kResourceMaskColour, RECT{0, 0, kImageSize, kImageSize});
  DrawTool(dc.get(), image);
  return result;
}

// The common controls' standard small images, through a tool bar of their
// own (the images come only through a tool bar's TB_LOADIMAGES).
struct StandardImage {
  int index;     // in the pane's list
  int standard;  // STD_*
};
constexpr StandardImage kStandardImages[] = {
    {magimage::kNew, STD_FILENEW},
    {magimage::kCut, STD_CUT},
    {magimage::kCopy, STD_COPY},
    {magimage::kPaste, STD_PASTE},
};

}  // namespace

ImageList MakePaneToolImages() {
  ImageList list = NewList(magimage::kCount);
  if (!list) return list;
  HWND loader = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
  HIMAGELIST standard = nullptr;
  if (loader != nullptr) {
    ::SendMessageA(loader, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(loader, TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    standard = reinterpret_cast<HIMAGELIST>(::SendMessageA(loader, TB_GETIMAGELIST, 0, 0));
  }
  for (int image = 0; image < magimage::kCount; ++image) {
    const auto found = std::find_if(std::begin(kStandardImages), std::end(kStandardImages),
                                    [image](const StandardImage& s) { return s.index == image; });
    if (found != std::end(kStandardImages) && standard != nullptr) {
      Icon icon(::ImageList_GetIcon(standard, found->standard, ILD_NORMAL));
      if (icon && ::ImageList_AddIcon(list.get(), icon.get()) >= 0) continue;
    }
    // Drawn, or a blank stand-in for a standard image that is missing.
    Bitmap drawn = DrawnImage(image);
    AddImage(list.get(), drawn.get(), kResourceMaskColour);
  }
  if (loader != nullptr) ::DestroyWindow(loader);
  return list;
}

std::vector<std::string> CollectionImageNames() {
  std::vector<std::string> names = {"YELLOWBALL", "YELLOWBALL",  "PINKBALL",  "TV_CHECK_BOTH", "TV_CHECK_GREEN",
                                    "TV_NEWCLIP", "TV_REJECTCLIP", "TV_FOLDER", "TV_SEARCH",     "TV_TRASH",
                                    "TV_RECYCLE", "TV_SAFE",     "TV_TIME"};
  for (int i = 1; i <= 33; ++i) {
    std::string name = "B";
    name += std::to_string(i);
    names.push_back(std::move(name));
  }
  for (int i = 0; i < 5; ++i) names.push_back("TV_GREY");
  return names;
}

std::vector<std::string> ClipImageNames() {
  return {"CF_TEXT",    "CF_RTF",  "CF_BITMAP", "CF_WMF",    "CF_OLE", "CF_UNKNOWN",
          "CF_HDROP",   "CF_HTML", "CF_BINARY", "CHECKMARK", "NO"};
}

ImageList LoadImageListFromResources(HINSTANCE module, const std::vector<std::string>& names) {
  ImageList list = NewList(static_cast<int>(names.size()));
  if (!list) return list;
  for (const std::string& name : names) {
    Bitmap bitmap(static_cast<HBITMAP>(::LoadImageA(module, name.c_str(), IMAGE_BITMAP, 0, 0, 0)));
    if (!bitmap) LogOsFailure(("LoadImageA(" + name + ")").c_str());
    AddImage(list.get(), bitmap.get(), kResourceMaskColour);
  }
  return list;
}

ImageList LoadCollectionImages(HINSTANCE module, const std::string& program_folder) {
  ImageList list = LoadImageListFromResources(module, CollectionImageNames());
  if (!list) return list;
  std::vector<std::string> files;
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA((program_folder + "buttons\\*.BMP").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.emplace_back(found.cFileName);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
  }
  std::sort(files.begin(), files.end());
  for (const std::string& file : files) {
    const std::string path = program_folder + "buttons\\" + file;
    Bitmap bitmap(static_cast<HBITMAP>(::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    // An unreadable file still takes its place: the collections that chose
    // the icons after it keep theirs.
    if (!bitmap) LogOsFailure(("LoadImageA(" + path + ")").c_str());
    AddImage(list.get(), bitmap.get(), kButtonsMaskColour);
  }
  return list;
}

ImageList LoadClipImages(HINSTANCE module) { return LoadImageListFromResources(module, ClipImageNames()); }

ImageList LoadFlagImages(HINSTANCE module) { return LoadImageListFromResources(module, {"BLUEBALL"}); }

Icon LoadProgramIcon(HINSTANCE module, const std::string& program_folder, const char* file_name,
                     const char* resource_name, int size) {
  const std::string path = program_folder + file_name;
  Icon icon(static_cast<HICON>(::LoadImageA(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE)));
  if (!icon) icon.reset(static_cast<HICON>(::LoadImageA(module, resource_name, IMAGE_ICON, size, size, 0)));
  if (!icon) LogOsFailure(("LoadImageA(" + std::string(resource_name) + ")").c_str());
  return icon;
}

}  // namespace om::win32
