// Conversions between the clipboard's GDI handle formats and their portable
// forms (see platform/clipboard_system.h). Every reader checks the bytes it
// is given against the lengths they claim; a malformed form yields no handle.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/types.h"
#include "platform/win32/handles.h"

namespace om::win32 {

// Packed DIB <-> bitmap. A 24- or 32-bit BI_RGB DIB becomes a bitmap of the
// same depth and comes back with the same bytes; other DIBs become bitmaps
// of the screen's format and come back with the same colours.
std::optional<Bytes> BitmapToDib(HBITMAP bitmap);
Bitmap DibToBitmap(const Bytes& dib);
// The number of bytes a packed DIB's header says it occupies, or nullopt
// when the header is malformed or claims more than `size` bytes.
std::optional<std::size_t> PackedDibSize(const std::uint8_t* data, std::size_t size);

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

}  // namespace om::win32
