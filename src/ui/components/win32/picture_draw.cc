#include "ui/components/win32/picture_draw.h"

#include <cstring>
#include <vector>

#include "clipboard/picture_layout.h"
#include "platform/win32/gdi_forms.h"

namespace om::win32 {

bool DrawDib(HDC dc, std::span<const std::uint8_t> dib, const RECT& target) {
  const auto layout = CheckPackedDib(dib);
  if (!layout || dc == nullptr) return false;
  // The header and its tables copied where a BITMAPINFO (or, after a core
  // header, a BITMAPCOREINFO) may live; the bits are read in place.
  std::vector<DWORD> info((layout->bits_offset + sizeof(DWORD) - 1) / sizeof(DWORD));
  std::memcpy(info.data(), dib.data(), layout->bits_offset);
  const int old_mode = ::SetStretchBltMode(dc, HALFTONE);
  // Halftoning needs the brush origin reset after the mode is set.
  POINT old_origin{};
  ::SetBrushOrgEx(dc, 0, 0, &old_origin);
  const int rows = ::StretchDIBits(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
                                   0, 0, layout->width, layout->Rows(), dib.data() + layout->bits_offset,
                                   reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
  ::SetBrushOrgEx(dc, old_origin.x, old_origin.y, nullptr);
  if (old_mode != 0) ::SetStretchBltMode(dc, old_mode);
  return rows != 0 && rows != GDI_ERROR;
}

EnhMetafile MetafileHandle(std::span<const std::uint8_t> bits, bool enhanced, std::int32_t map_mode,
                           std::int32_t x_ext, std::int32_t y_ext) {
  if (enhanced) return EnhMetafileFromBits(bits);
  return EnhMetafileFromWindowsBits(bits, map_mode, x_ext, y_ext);
}

EnhMetafile MetafileHandle(const TMetafile& metafile) {
  return MetafileHandle(metafile.Bits(), metafile.Enhanced(), metafile.MapMode(), metafile.XExt(), metafile.YExt());
}

bool DrawMetafile(HDC dc, HENHMETAFILE metafile, const RECT& target) {
  if (dc == nullptr || metafile == nullptr) return false;
  return ::PlayEnhMetaFile(dc, metafile, &target) != FALSE;
}

bool DrawMetafile(HDC dc, const TMetafile& metafile, const RECT& target) {
  const EnhMetafile handle = MetafileHandle(metafile);
  return DrawMetafile(dc, handle.get(), target);
}

}  // namespace om::win32
