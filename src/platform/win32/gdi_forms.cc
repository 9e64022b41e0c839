#include "platform/win32/gdi_forms.h"

#include <cstring>
#include <vector>

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

// Where a valid packed DIB's pixel bits start and how many there are.
struct DibLayout {
  std::size_t bits_offset = 0;
  std::size_t bits_size = 0;
  bool uncompressed = true;
};

std::optional<DibLayout> ParseDib(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < sizeof(BITMAPINFOHEADER)) return std::nullopt;
  const std::uint32_t header_size = ReadU32(data);
  // Core headers (12 bytes) are from 16-bit Windows and not accepted here.
  if (header_size < sizeof(BITMAPINFOHEADER) || header_size > size) return std::nullopt;
  const auto width = static_cast<std::int32_t>(ReadU32(data + 4));
  const auto height = static_cast<std::int32_t>(ReadU32(data + 8));
  const std::uint16_t planes = ReadU16(data + 12);
  const std::uint16_t bpp = ReadU16(data + 14);
  const std::uint32_t compression = ReadU32(data + 16);
  const std::uint32_t size_image = ReadU32(data + 20);
  const std::uint32_t colours_used = ReadU32(data + 32);
  if (width <= 0 || height == 0 || height == INT32_MIN || planes != 1) return std::nullopt;

  DibLayout layout;
  std::uint64_t colours = 0;
  if (bpp == 1 || bpp == 4 || bpp == 8) {
    const std::uint64_t full = std::uint64_t{1} << bpp;
    colours = colours_used == 0 ? full : colours_used;
    if (colours > full) return std::nullopt;
  } else if (bpp == 16 || bpp == 24 || bpp == 32) {
    colours = colours_used;
  } else if (!(bpp == 0 && (compression == BI_JPEG || compression == BI_PNG))) {
    return std::nullopt;
  }
  std::uint64_t masks = 0;
  if (compression == BI_BITFIELDS) {
    if (bpp != 16 && bpp != 32) return std::nullopt;
    if (header_size == sizeof(BITMAPINFOHEADER)) masks = 3 * sizeof(DWORD);
  }
  const std::uint64_t header_end = header_size + masks + colours * sizeof(RGBQUAD);
  if (header_end > size) return std::nullopt;

  std::uint64_t bits = 0;
  if (compression == BI_RGB || compression == BI_BITFIELDS) {
    const std::uint64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    const std::uint64_t stride = DibStride(static_cast<std::uint64_t>(width), bpp);
    // Each factor is at most `size` or the product cannot fit anyway.
    if (stride > size || rows > size) return std::nullopt;
    bits = stride * rows;
  } else {
    layout.uncompressed = false;
    bits = size_image;
    if (bits == 0) return std::nullopt;
  }
  if (header_end + bits > size) return std::nullopt;
  layout.bits_offset = static_cast<std::size_t>(header_end);
  layout.bits_size = static_cast<std::size_t>(bits);
  return layout;
}

}  // namespace

std::optional<std::size_t> PackedDibSize(const std::uint8_t* data, std::size_t size) {
  const auto layout = ParseDib(data, size);
  if (!layout) return std::nullopt;
  return layout->bits_offset + layout->bits_size;
}

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
  const auto layout = ParseDib(dib.data(), dib.size());
  if (!layout) return Bitmap();
  std::vector<DWORD> info((layout->bits_offset + sizeof(DWORD) - 1) / sizeof(DWORD));
  std::memcpy(info.data(), dib.data(), layout->bits_offset);
  const auto* bmi = reinterpret_cast<const BITMAPINFO*>(info.data());
  const std::uint8_t* source_bits = dib.data() + layout->bits_offset;

  WindowDc screen;
  const int bpp = bmi->bmiHeader.biBitCount;
  if (layout->uncompressed && bmi->bmiHeader.biCompression == BI_RGB && (bpp == 24 || bpp == 32)) {
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
  out.metafile.reset(::SetMetaFileBitsEx(static_cast<UINT>(form.size() - 12), form.data() + 12));
  if (!out.metafile) {
    LogOsFailure("SetMetaFileBitsEx");
    return std::nullopt;
  }
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

EnhMetafile BytesToEnhMetafile(const Bytes& bits) {
  if (bits.empty()) return EnhMetafile();
  EnhMetafile metafile(::SetEnhMetaFileBits(static_cast<UINT>(bits.size()), bits.data()));
  if (!metafile) LogOsFailure("SetEnhMetaFileBits");
  return metafile;
}

}  // namespace om::win32
