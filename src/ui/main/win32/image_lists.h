// The main window's image lists and icons, filled from the program's
// resources and files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/components/win32/ui_handles.h"
#include "store/clip_obj.h"

namespace om::win32 {

// Bitmap resources are drawn on this colour where they are transparent.
inline constexpr COLORREF kResourceMaskColour = RGB(0, 255, 255);
// Extra collection icons from the "buttons" folder use olive instead.
inline constexpr COLORREF kButtonsMaskColour = RGB(128, 128, 0);

// The resource names of ilCollections, in index order: the tree's images
// and state images.
std::vector<std::string> CollectionImageNames();
// The resource names of ilClips, in index order: the clip types.
std::vector<std::string> ClipImageNames();
// The indices of ilClips are named in store/clip_obj.h (clipimage).

// A 16 x 16 image list of the named bitmap resources of `module`, one image
// per name and in that order; a missing resource takes its place as a blank
// image so that the indexes after it stay right.
ImageList LoadImageListFromResources(HINSTANCE module, const std::vector<std::string>& names);

// ilCollections: the resources, then every "buttons\*.BMP" of the program's
// folder in name order (each cut or padded to 16 x 16, olive transparent).
ImageList LoadCollectionImages(HINSTANCE module, const std::string& program_folder);
ImageList LoadClipImages(HINSTANCE module);
// The ball the clip list's format-flag cells show for "Y": one image.
ImageList LoadFlagImages(HINSTANCE module);

// The pane tool bar's images (ilMagToolbar), in the order of these
// indexes. The pin's three images are the pin images of the preview widget
// (pinimage::kUp, kDown, kBlink). New, Cut, Copy and Paste are the common
// controls' standard small images; the others are drawn here. An image that
// cannot be made is a blank one, so that the indexes after it stay right.
namespace magimage {
constexpr int kPinUp = 0;
constexpr int kPinDown = 1;
constexpr int kPinBlink = 2;
constexpr int kWordWrap = 3;
constexpr int kSizeWindow = 4;
constexpr int kNew = 5;
constexpr int kCut = 6;
constexpr int kCopy = 7;
constexpr int kPaste = 8;
constexpr int kShiftLeft = 9;
constexpr int kShiftRight = 10;
constexpr int kNoCrLf = 11;
constexpr int kCase = 12;
constexpr int kFont = 13;
constexpr int kCount = 14;
}  // namespace magimage
ImageList MakePaneToolImages();

// The icon file of the program's folder at the given size; the icon
// resource of that name when the file is missing or unreadable.
Icon LoadProgramIcon(HINSTANCE module, const std::string& program_folder, const char* file_name,
                     const char* resource_name, int size);

}  // namespace om::win32
