// Conversions between the clipboard's GDI handle formats and their portable
// forms (see platform/clipboard_system.h). Every reader checks the bytes it
// is given against the lengths they claim before the system sees them; a
// malformed form yields no handle.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>

#include "platform/types.h"
#include "platform/win32/handles.h"

namespace om::win32 {

// Packed DIB <-> bitmap. A 24- or 32-bit BI_RGB DIB becomes a bitmap of the
// same depth and comes back with the same bytes; other DIBs become bitmaps
// of the screen's format and come back with the same colours. A DIB that
// fails the layout check (clipboard/picture_layout.h) yields no bitmap.
std::optional<Bytes> BitmapToDib(HBITMAP bitmap);
Bitmap DibToBitmap(const Bytes& dib);

// LOGPALETTE bytes <-> palette.
std::optional<Bytes> PaletteToBytes(HPALETTE palette);
Palette BytesToPalette(const Bytes& logpalette);

// Metafile picture: a global block holding a METAFILEPICT whose hMF is owned
// together with the block until both are handed to the clipboard.
struct MetafilePictBlock {
  GlobalBlock block;
  Metafile metafile;
};
std::optional<Bytes> MetafilePictToBytes(HGLOBAL metafile_pict);
std::optional<MetafilePictBlock> BytesToMetafilePict(const Bytes& form);

std::optional<Bytes> EnhMetafileToBytes(HENHMETAFILE metafile);
EnhMetafile BytesToEnhMetafile(const Bytes& bits);

// Metafile handles from metafile bits, each checked by the layout checks
// first: bits that fail them never reach the system and yield no handle.
// An enhanced metafile; a Windows metafile as itself, or converted into an
// enhanced one (as the system does, with the picture's mapping mode and
// extents).
EnhMetafile EnhMetafileFromBits(std::span<const std::uint8_t> bits);
Metafile WindowsMetafileFromBits(std::span<const std::uint8_t> bits);
EnhMetafile EnhMetafileFromWindowsBits(std::span<const std::uint8_t> bits, std::int32_t map_mode, std::int32_t x_ext,
                                       std::int32_t y_ext);

}  // namespace om::win32
