// Layout checks for the picture bytes the program hands to the system's
// graphics calls: packed DIBs, Windows metafiles and enhanced metafiles.
//
// Pictures come from other programs (through the clipboard) and from the
// collection folders, and their headers may lie about their sizes. The
// system's calls trust those sizes: a DIB whose header claims more rows
// than there are bytes, or a metafile record that runs past the end, makes
// them read past the buffer, and an enhanced metafile record of size 0
// makes them loop for ever. Every byte such a call can reach is therefore
// checked here first, and what fails is never handed on: never a crash, a
// hang or a read past the data.
//
// Loading a picture (clipboard/graphics.h, store/picture_files.h) stays as
// lenient as it always was, so that every clip stored so far still loads
// and keeps its bytes; these checks apply where a picture is drawn or handed
// to the system, and a picture refused there is simply not shown.
//
// What is checked is the structure the system walks (headers, colour
// tables, pixel bits, the chain of records and its end) and, inside
// metafile records, what the system reads from them unchecked: the DIBs
// that records carry, and the object-table entries that records create,
// select or delete. The rest of what a record means (its coordinates, its
// text) is the system's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace om {

// Values of the DIB header's compression field.
namespace dibcompression {
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitfields = 3;
constexpr std::uint32_t kJpeg = 4;
constexpr std::uint32_t kPng = 5;
}  // namespace dibcompression

// Where the parts of a checked packed DIB lie: its header, the bit-field
// masks that follow a 40-byte header, the colour table, then the pixel
// bits, all within the bytes that were checked.
struct DibLayout {
  std::uint32_t header_size = 0;  // 12: the old core header; else at least 40
  std::int32_t width = 0;         // > 0
  std::int32_t height = 0;        // != 0; negative for a top-down DIB
  std::uint16_t bit_count = 0;
  std::uint32_t compression = dibcompression::kRgb;
  std::size_t masks_size = 0;         // bytes of masks after the header
  std::size_t colour_count = 0;       // entries in the colour table
  std::size_t colour_entry_size = 4;  // 3 after a core header (2 or 0 in some metafile records)
  std::size_t bits_offset = 0;        // header + masks + colour table
  std::size_t bits_size = 0;          // the bytes the pixel rows (or the compressed image) take

  bool CoreHeader() const { return header_size == 12; }
  // Pixel rows (BI_RGB or BI_BITFIELDS), as opposed to compressed bits.
  bool Uncompressed() const {
    return compression == dibcompression::kRgb || compression == dibcompression::kBitfields;
  }
  std::int32_t Rows() const { return height < 0 ? -height : height; }
  // Everything the system reads: header, tables and bits.
  std::size_t Size() const { return bits_offset + bits_size; }
};

// The layout of the packed DIB at the start of `dib`, or nullopt when its
// header is malformed or claims more than `dib` holds. Bytes after the
// bits are allowed (and ignored).
std::optional<DibLayout> CheckPackedDib(std::span<const std::uint8_t> dib);

// A checked Windows metafile (METAHEADER and records).
struct WindowsMetafileLayout {
  std::uint16_t type = 1;   // 1: in memory, 2: on disk
  std::size_t size = 0;     // mtSize in bytes: what the metafile occupies
  std::size_t records = 0;  // records before the end record
  std::size_t eof_offset = 0;
  std::uint16_t objects = 0;  // mtNoObjects: the object table's size
};

// The layout of the Windows metafile at the start of `bits` (the bits
// without the 12-byte picture header or a file's placeable header), or
// nullopt unless: the type is 1 or 2, the header is 9 words long, mtSize
// (in words) is not beyond `bits`, and the records from the header on each
// take at least 3 words and lie within mtSize, up to an end record
// (function 0). A record that selects or deletes an object names one below
// the header's object count; a record that carries a DIB holds all of it
// (the obsolete records with 16-bit device bitmaps are refused). What
// follows the end record is not looked at.
std::optional<WindowsMetafileLayout> CheckWindowsMetafile(std::span<const std::uint8_t> bits);

// A checked enhanced metafile.
struct EnhMetafileLayout {
  std::size_t size = 0;         // nBytes: what the metafile occupies
  std::size_t header_size = 0;  // the header record's size
  std::size_t records = 0;      // every record, the header and the end included
  std::uint16_t handles = 0;    // nHandles: the object table's size
};

// The layout of the enhanced metafile at the start of `bits`, or nullopt
// unless: the first record is a header (type 1) of at least 88 bytes with
// the signature " EMF", nBytes is not beyond `bits`, every record from the
// header on is a multiple of 4 bytes and at least 8 long and lies within
// nBytes, no other record is a header, and the last record, ending
// exactly at nBytes, is EMR_EOF. (The
// system plays records up to nBytes, not up to the first end record, so
// all of them are checked.) A record that creates, selects or deletes an
// object names a stock object or one below the header's handle count; a
// record that carries a DIB has its header and its bits within the record,
// each as large as the header says.
std::optional<EnhMetafileLayout> CheckEnhMetafile(std::span<const std::uint8_t> bits);

}  // namespace om
