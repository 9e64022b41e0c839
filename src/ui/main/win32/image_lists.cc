#include "ui/main/win32/image_lists.h"

#include <algorithm>
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

}  // namespace

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
