// One clipboard format of one clip. The data is held one of three ways,
// chosen when the entry is made: a memory block (the format's bytes, exactly
// as the clipboard gave them), a bitmap, or a metafile picture. The entry
// owns whichever it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "clipboard/graphics.h"
#include "platform/types.h"
#include "store/byte_stream.h"

namespace om {

namespace formattype {
constexpr std::uint8_t kHandle = 0;
constexpr std::uint8_t kBitmap = 1;
constexpr std::uint8_t kMetafile = 2;
}  // namespace formattype

class TClipData {
 public:
  // Selected; nothing held yet.
  explicit TClipData(std::uint8_t format_type = formattype::kHandle) : FormatType(format_type) {}
  // Frees what the entry holds. An entry of an unknown type is logged
  // ("Destroy Error " and the type) and still destroyed.
  ~TClipData();
  TClipData(const TClipData&) = delete;
  TClipData& operator=(const TClipData&) = delete;

  // 0 memory block (Handle), 1 bitmap (Bitmap), 2 metafile (Metafile).
  std::uint8_t FormatType;
  // As the format-name table or the system named the format at capture.
  std::string FormatName;
  // The number at capture; registered formats are looked up again by name
  // when the entry is read from its file.
  std::uint16_t FormatNum = 0;
  // Bytes taken at capture (the source block's size); 0 for pictures.
  std::uint32_t Size = 0;
  // Put on the clipboard when the clip is copied.
  bool Selected = true;
  // FormatType 0: the memory block; nullopt when there is none.
  std::optional<Bytes> Handle;
  // FormatType 1 and 2: the picture; none when its file could not be read.
  std::unique_ptr<TBitmap> Bitmap;
  std::unique_ptr<TMetafile> Metafile;

  // One format record at the writer's end. Pictures go to their own file in
  // `folder` (ending in a backslash), named by the clip's serial number,
  // written once: a picture never changes after capture. Throws
  // EInvalidFormatType for an unknown FormatType and EMyStreamError when a
  // picture file cannot be written.
  void SaveToStream(TStreamWriter& stream, std::int32_t serial, std::string_view folder) const;
  // One format record from the reader's position. False (with a log line)
  // for an unknown format type, whose data cannot be found then. Throws
  // EMyStreamError when the record is cut short or its data length is more
  // than the stream holds.
  bool LoadFromStream(TStreamReader& stream, std::int32_t serial, std::string_view folder);
};

// Copies the source block into the destination block and returns the bytes
// copied: the source's size, or less when the destination is smaller (it is
// never written past its end).
std::size_t HMemCpyHandles(Bytes& destination, const Bytes& source);
// The length of the zero-terminated text at the start of the block; the
// block's size when it holds no zero.
std::size_t TextLenOfHandle(const Bytes& block);

// "I" + serial + ".bmp" / ".wmf" and "D" + serial + ".DAT" in a folder that
// ends with a backslash.
std::string PictureFileName(std::string_view folder, std::int32_t serial, std::uint8_t format_type);
std::string DataFileName(std::string_view folder, std::int32_t serial);

}  // namespace om
