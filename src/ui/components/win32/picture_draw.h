// Drawing the program's pictures with GDI: a packed DIB or a metafile
// picture stretched into a rectangle. The bytes are checked by the layout
// checks (clipboard/picture_layout.h) before any GDI call sees them; a
// picture that fails them draws nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "clipboard/graphics.h"
#include "platform/win32/handles.h"

namespace om::win32 {

// Draws the packed DIB stretched (or shrunk, with halftoning) into
// `target`, which may reach outside the device context's clipping. False,
// with nothing drawn, when the DIB fails its layout check or GDI refuses it.
bool DrawDib(HDC dc, std::span<const std::uint8_t> dib, const RECT& target);

// An enhanced-metafile handle for a metafile picture: the enhanced bits as
// they are, a Windows metafile converted with its mapping mode and extents.
// Null when the bits fail their layout check or GDI refuses them.
EnhMetafile MetafileHandle(std::span<const std::uint8_t> bits, bool enhanced, std::int32_t map_mode,
                           std::int32_t x_ext, std::int32_t y_ext);
EnhMetafile MetafileHandle(const TMetafile& metafile);

// Plays the metafile into `target` (its frame stretched to fill it).
bool DrawMetafile(HDC dc, HENHMETAFILE metafile, const RECT& target);
// Both steps at once, for a picture drawn once.
bool DrawMetafile(HDC dc, const TMetafile& metafile, const RECT& target);

}  // namespace om::win32
