// The picture files beside a clip: its bitmap as a standard .bmp file and its
// metafile picture as a placeable .wmf file. Conversions only; the clip
// decides when the files are written and read.
#pragma once

#include <cstdint>
#include <span>

#include "clipboard/graphics.h"
#include "platform/types.h"

namespace om {

// A .bmp file: the 14-byte file header, then the packed DIB unchanged. The
// palette that came with the bitmap from the clipboard has no place in a
// .bmp file and is not kept; the colour table inside the DIB is.
Bytes BitmapFileBytes(const TBitmap& bitmap);
// Any standard .bmp file (a gap before the pixel bits is closed up).
// Throws EInvalidGraphic when the bytes are not one.
TBitmap BitmapFromFileBytes(std::span<const std::uint8_t> file);

// A Windows metafile picture becomes a placeable metafile: the 22-byte
// placeable header, then the metafile bits unchanged. The header's bounding
// box gives the picture's size in hundredths of a millimetre at 2540 units
// per inch, so an anisotropic picture (what the clipboard normally carries)
// up to 32767 hundredths in each direction reads back exactly: same bits,
// mapping mode and extents. Bigger pictures use coarser units (the size is
// then rounded to them); fixed mapping modes read back as anisotropic with
// the same physical size, which draws the same.
// An enhanced metafile is written as its own file form.
Bytes MetafileFileBytes(const TMetafile& metafile);
// Reads the above, an enhanced metafile, or a plain Windows metafile
// without the placeable header (anisotropic, no suggested size). Throws
// EInvalidGraphic for anything else.
TMetafile MetafileFromFileBytes(std::span<const std::uint8_t> file);

}  // namespace om
