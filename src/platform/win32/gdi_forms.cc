#include "platform/win32/gdi_forms.h"

#include <cstring>
#include <vector>

#include "clipboard/picture_layout.h"
#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

std::uint32_t ReadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
void PutU32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint64_t DibStride(std::uint64_t width, unsigned bits_per_pixel) {
  return (width * bits_per_pixel + 31) / 32 * 4;
}

}  // namespace

std::optional<Bytes> BitmapToDib(HBITMAP bitmap) {
  BITMAP bm{};
  if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof bm, &bm) == 0) {
    LogOsFailure("GetObject(bitmap)");
    return std::nullopt;
  }
  if (bm.bmWidth <= 0 || bm.bmHeight <= 0) return std::nullopt;

  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = bm.bmWidth;
  header.biHeight = bm.bmHeight;  // bottom-up, the usual clipboard layout
  header.biPlanes = 1;
  header.biCompression = BI_RGB;
  unsigned bpp = static_cast<unsigned>(bm.bmBitsPixel) * bm.bmPlanes;
  bpp = bpp <= 1 ? 1 : bpp <= 4 ? 4 : bpp <= 8 ? 8 : bpp <= 16 ? 16 : bpp <= 24 ? 24 : 32;
  DWORD masks[3] = {};
  bool bitfields = false;
  // A DIB section knows its own layout; keep it (a 5-6-5 bitmap stays so).
  DIBSECTION section{};
  if (::GetObjectA(bitmap, sizeof section, &section) == sizeof section) {
    bpp = section.dsBmih.biBitCount;
    if (section.dsBmih.biCompression == BI_BITFIELDS) {
      bitfields = true;
      std::memcpy(masks, section.dsBitfields, sizeof masks);
    }
  }
  header.biBitCount = static_cast<WORD>(bpp);
  if (bitfields) header.biCompression = BI_BITFIELDS;
  const std::size_t colours = bpp <= 8 ? std::size_t{1} << bpp : 0;
  const std::uint64_t stride = DibStride(static_cast<std::uint64_t>(bm.bmWidth), bpp);
  const std::uint64_t bits_size = stride * static_cast<std::uint64_t>(bm.bmHeight);
  header.biSizeImage = static_cast<DWORD>(bits_size);

  // GetDIBits writes the header, the masks or colour table and the bits;
  // the BITMAPINFO part is kept DWORD-aligned in its own buffer.
  const std::size_t info_size = sizeof header + (bitfields ? sizeof masks : 0) + colours * sizeof(RGBQUAD);
  std::vector<DWORD> info((info_size + sizeof(DWORD) - 1) / sizeof(DWORD));
  std::memcpy(info.data(), &header, sizeof header);
  if (bitfields) std::memcpy(reinterpret_cast<std::uint8_t*>(info.data()) + sizeof header, masks, sizeof masks);
  Bytes bits(static_cast<std::size_t>(bits_size));

  WindowDc screen;
  if (!screen) {
    LogOsFailure("GetDC(screen)");
    return std::nullopt;
  }
  auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
  if (::GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(bm.bmHeight), bits.data(), bmi,
                  DIB_RGB_COLORS) != bm.bmHeight) {
    LogOsFailure("GetDIBits");
    return std::nullopt;
  }
  // GetDIBits may rewrite fields it owns (the size of the image); what goes
  // out is the header as described above plus what it filled in.
  bmi->bmiHeader.biSizeImage = static_cast<DWORD>(bits_size);
  bmi->bmiHeader.biClrUsed = 0;
  bmi->bmiHeader.biClrImportant = 0;
  bmi->bmiHeader.biXPelsPerMeter = 0;
  bmi->bmiHeader.biYPelsPerMeter = 0;

  Bytes dib(info_size + bits.size());
  std::memcpy(dib.data(), info.data(), info_size);
  std::memcpy(dib.data() + info_size, bits.data(), bits.size());
  return dib;
}

Bitmap DibToBitmap(const Bytes& dib) {
  const auto layout = CheckPackedDib(dib);
  // Core headers (12 bytes) are from 16-bit Windows and not accepted here.
  if (!layout || layout->CoreHeader()) return Bitmap();
  std::vector<DWORD> info((layout->bits_offset + sizeof(DWORD) - 1) / sizeof(DWORD));
  std::memcpy(info.data(), dib.data(), layout->bits_offset);
  const auto* bmi = reinterpret_cast<const BITMAPINFO*>(info.data());
  const std::uint8_t* source_bits = dib.data() + layout->bits_offset;

  WindowDc screen;
  const int bpp = bmi->bmiHeader.biBitCount;
  if (layout->compression == BI_RGB && (bpp == 24 || bpp == 32)) {
    // A device-dependent bitmap of the DIB's own depth: it reads back byte
    // for byte, and unlike a DIB section it can be handed to another
    // process (Wine refuses DIB sections across processes).
    const LONG rows = bmi->bmiHeader.biHeight < 0 ? -bmi->bmiHeader.biHeight : bmi->bmiHeader.biHeight;
    Bitmap bitmap(::CreateBitmap(bmi->bmiHeader.biWidth, rows, 1, static_cast<UINT>(bpp), nullptr));
    if (!bitmap) {
      LogOsFailure("CreateBitmap");
      return Bitmap();
    }
    if (::SetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(rows), source_bits, bmi, DIB_RGB_COLORS) !=
        rows) {
      LogOsFailure("SetDIBits");
      return Bitmap();
    }
    return bitmap;
  }
  // Other depths and compressed bits become a bitmap of the screen's
  // format: the colours stay, the layout is the system's.
  Bitmap bitmap(::CreateDIBitmap(screen.get(), &bmi->bmiHeader, CBM_INIT, source_bits, bmi, DIB_RGB_COLORS));
  if (!bitmap) LogOsFailure("CreateDIBitmap");
  return bitmap;
}

std::optional<Bytes> PaletteToBytes(HPALETTE palette) {
  WORD count = 0;
  if (palette == nullptr || ::GetObjectA(palette, sizeof count, &count) == 0) {
    LogOsFailure("GetObject(palette)");
    return std::nullopt;
  }
  std::vector<PALETTEENTRY> entries(count);
  if (count > 0 && ::GetPaletteEntries(palette, 0, count, entries.data()) != count) {
    LogOsFailure("GetPaletteEntries");
    return std::nullopt;
  }
  Bytes out = {0x00, 0x03, static_cast<std::uint8_t>(count & 0xFF), static_cast<std::uint8_t>(count >> 8)};
  for (const PALETTEENTRY& e : entries) {
    out.insert(out.end(), {e.peRed, e.peGreen, e.peBlue, e.peFlags});
  }
  return out;
}

Palette BytesToPalette(const Bytes& form) {
  if (form.size() < 4) return Palette();
  const std::uint16_t count = ReadU16(form.data() + 2);
  if (count == 0 || form.size() < 4 + std::size_t{count} * 4) return Palette();
  std::vector<std::uint8_t> buffer(sizeof(LOGPALETTE) + std::size_t{count} * sizeof(PALETTEENTRY));
  auto* logpalette = reinterpret_cast<LOGPALETTE*>(buffer.data());
  logpalette->palVersion = ReadU16(form.data());
  logpalette->palNumEntries = count;
  auto* entries = logpalette->palPalEntry;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* e = form.data() + 4 + i * 4;
    entries[i] = PALETTEENTRY{e[0], e[1], e[2], e[3]};
  }
  Palette palette(::CreatePalette(logpalette));
  if (!palette) LogOsFailure("CreatePalette");
  return palette;
}

std::optional<Bytes> MetafilePictToBytes(HGLOBAL metafile_pict) {
  METAFILEPICT pict{};
  {
    GlobalLockGuard lock(metafile_pict);
    if (!lock || lock.size() < sizeof pict) return std::nullopt;
    std::memcpy(&pict, lock.data(), sizeof pict);
  }
  if (pict.hMF == nullptr) return std::nullopt;
  const UINT size = ::GetMetaFileBitsEx(pict.hMF, 0, nullptr);
  if (size == 0) {
    LogOsFailure("GetMetaFileBitsEx");
    return std::nullopt;
  }
  Bytes out;
  out.reserve(12 + size);
  PutU32(out, static_cast<std::uint32_t>(pict.mm));
  PutU32(out, static_cast<std::uint32_t>(pict.xExt));
  PutU32(out, static_cast<std::uint32_t>(pict.yExt));
  out.resize(12 + size);
  if (::GetMetaFileBitsEx(pict.hMF, size, out.data() + 12) != size) {
    LogOsFailure("GetMetaFileBitsEx");
    return std::nullopt;
  }
  return out;
}

std::optional<MetafilePictBlock> BytesToMetafilePict(const Bytes& form) {
  if (form.size() <= 12) return std::nullopt;
  MetafilePictBlock out;
  out.metafile = WindowsMetafileFromBits(std::span(form).subspan(12));
  if (!out.metafile) return std::nullopt;
  METAFILEPICT pict{};
  pict.mm = static_cast<LONG>(ReadU32(form.data()));
  pict.xExt = static_cast<LONG>(ReadU32(form.data() + 4));
  pict.yExt = static_cast<LONG>(ReadU32(form.data() + 8));
  pict.hMF = out.metafile.get();
  out.block = AllocateGlobal(sizeof pict);
  {
    GlobalLockGuard lock(out.block.get());
    if (!lock) {
      LogOsFailure("GlobalAlloc(METAFILEPICT)");
      return std::nullopt;
    }
    std::memcpy(lock.data(), &pict, sizeof pict);
  }
  return out;
}

std::optional<Bytes> EnhMetafileToBytes(HENHMETAFILE metafile) {
  const UINT size = metafile ? ::GetEnhMetaFileBits(metafile, 0, nullptr) : 0;
  if (size == 0) {
    LogOsFailure("GetEnhMetaFileBits");
    return std::nullopt;
  }
  Bytes out(size);
  if (::GetEnhMetaFileBits(metafile, size, out.data()) != size) {
    LogOsFailure("GetEnhMetaFileBits");
    return std::nullopt;
  }
  return out;
}

EnhMetafile BytesToEnhMetafile(const Bytes& bits) { return EnhMetafileFromBits(bits); }

EnhMetafile EnhMetafileFromBits(std::span<const std::uint8_t> bits) {
  const auto layout = CheckEnhMetafile(bits);
  if (!layout) return EnhMetafile();
  // Exactly the bytes the header says the metafile takes.
  EnhMetafile metafile(::SetEnhMetaFileBits(static_cast<UINT>(layout->size), bits.data()));
  if (!metafile) LogOsFailure("SetEnhMetaFileBits");
  return metafile;
}

Metafile WindowsMetafileFromBits(std::span<const std::uint8_t> bits) {
  const auto layout = CheckWindowsMetafile(bits);
  if (!layout) return Metafile();
  // Exactly the bytes mtSize covers: the system takes the size it is given
  // as the metafile's own.
  Metafile metafile(::SetMetaFileBitsEx(static_cast<UINT>(layout->size), bits.data()));
  if (!metafile) LogOsFailure("SetMetaFileBitsEx");
  return metafile;
}

EnhMetafile EnhMetafileFromWindowsBits(std::span<const std::uint8_t> bits, std::int32_t map_mode, std::int32_t x_ext,
                                       std::int32_t y_ext) {
  const auto layout = CheckWindowsMetafile(bits);
  if (!layout) return EnhMetafile();
  const METAFILEPICT pict{map_mode, x_ext, y_ext, nullptr};
  EnhMetafile metafile(::SetWinMetaFileBits(static_cast<UINT>(layout->size), bits.data(), nullptr, &pict));
  if (!metafile) LogOsFailure("SetWinMetaFileBits");
  return metafile;
}

}  // namespace om::win32
