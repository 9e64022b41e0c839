#include "store/clip_data.h"

#include <algorithm>
#include <cstring>

#include "app/app_log.h"
#include "clipboard/format_names.h"
#include "store/picture_files.h"
#include "store/store_errors.h"
#include "store/store_services.h"

namespace om {

namespace {

constexpr char kEol[] = "\r\n";
constexpr char kFormatTag[] = "TCLIPDATA.510";
// Records of this version and later carry the Selected flag.
constexpr int kSelectedVersion = 510;
// Standard, private and GDI-object format numbers stay below this; any
// number above it was handed out by the system and is looked up by name.
constexpr std::uint16_t kLastFixedFormat = 512;

// The number in characters 11 to 13 of a "TCLIPDATA.nnn" tag; 0 for any
// other tag.
int FormatRecordVersion(std::string_view tag) {
  if (tag.size() <= 9 || tag.substr(0, 9) != "TCLIPDATA") return 0;
  const std::string_view digits = tag.substr(10, 3);
  if (digits.empty()) return 0;
  int version = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    version = version * 10 + (c - '0');
  }
  return version;
}

std::string BadTypeText(char where, const TClipData& data) {
  return std::string("Bad Format_Type Encountered(") + where + "): " + std::to_string(data.FormatType) + kEol +
         "Format Num: " + std::to_string(data.FormatNum) + " Format Name: " + data.FormatName;
}

// The number a registered format has in this session, found by its stored
// name. A refused registration keeps the stored number: a clip with a
// number that may be stale is still better than a clip dropped as corrupt.
std::uint16_t CurrentFormatNumber(std::uint16_t stored, const std::string& name) {
  IClipboardSystem* clipboard = StoreServices().Clipboard;
  if (clipboard == nullptr) return stored;
  const std::uint32_t number = ConvertFormatName(*clipboard, name);
  if (number == 0 || number > 0xFFFF) {
    Log(loglevel::kError, "TClipData.LoadFromStream", "Format Not Registered: " + name);
    return stored;
  }
  return static_cast<std::uint16_t>(number);
}

}  // namespace

TClipData::~TClipData() {
  try {
    switch (FormatType) {
      case formattype::kHandle: Handle.reset(); break;
      case formattype::kBitmap: Bitmap.reset(); break;
      case formattype::kMetafile: Metafile.reset(); break;
      default: throw EInvalidFormatType(BadTypeText('c', *this));
    }
  } catch (...) {
    Log(loglevel::kError, "SYSTEM", "Destroy Error " + std::to_string(FormatType));
  }
}

void TClipData::SaveToStream(TStreamWriter& stream, std::int32_t serial, std::string_view folder) const {
  if (FormatType > formattype::kMetafile) throw EInvalidFormatType(BadTypeText('a', *this));
  stream.WriteShortString(kFormatTag);
  stream.WriteI32(FormatType);
  stream.WriteShortString(FormatName);
  stream.WriteU16(FormatNum);
  stream.WriteU32(Size);
  stream.WriteU8(Selected ? 1 : 0);
  if (FormatType == formattype::kHandle) {
    const std::size_t length = Handle ? Handle->size() : 0;
    stream.WriteI32(static_cast<std::int32_t>(length));
    if (Handle) stream.WriteBytes(*Handle);
    return;
  }
  // An entry left without a picture has nothing to write; its file, if any,
  // stays as it is. A picture in memory is written unless its file already
  // holds exactly these bytes: a file left behind by a clip that was never
  // saved (the program ended before its collection was written, and the
  // serial number came round again) must not stand in for this picture.
  const std::string file = PictureFileName(folder, serial, FormatType);
  Bytes bytes;
  if (FormatType == formattype::kBitmap) {
    if (!Bitmap || Bitmap->Empty()) return;
    bytes = BitmapFileBytes(*Bitmap);
  } else {
    if (!Metafile || Metafile->Empty()) return;
    bytes = MetafileFileBytes(*Metafile);
  }
  if (FileExists(file)) {
    const std::optional<Bytes> existing = ReadFileBytes(file);
    if (existing && *existing == bytes) return;
  }
  if (!WriteFileBytes(file, bytes)) throw EMyStreamError("Cannot create file " + file);
}

bool TClipData::LoadFromStream(TStreamReader& stream, std::int32_t serial, std::string_view folder) {
  const int version = FormatRecordVersion(stream.ReadShortString());
  FormatType = static_cast<std::uint8_t>(stream.ReadI32() & 0xFF);  // only the low byte counts
  FormatName = stream.ReadShortString();
  FormatNum = stream.ReadU16();
  Size = stream.ReadU32();
  Selected = version >= kSelectedVersion ? stream.ReadU8() != 0 : true;
  if (FormatNum > kLastFixedFormat) FormatNum = CurrentFormatNumber(FormatNum, FormatName);

  switch (FormatType) {
    case formattype::kHandle: {
      const std::int32_t length = stream.ReadI32();
      if (length < 0) throw EMyStreamError("Stream read error");
      // ReadBytes refuses a length beyond what the stream holds before it
      // allocates anything.
      Handle = stream.ReadBytes(static_cast<std::size_t>(length));
      return true;
    }
    case formattype::kBitmap:
    case formattype::kMetafile: {
      // A picture file that is missing or cannot be read as a picture leaves
      // the entry without a picture; the clip's other formats stay usable.
      const std::string file = PictureFileName(folder, serial, FormatType);
      const std::optional<Bytes> bytes = ReadFileBytes(file);
      try {
        if (bytes && FormatType == formattype::kBitmap) {
          Bitmap = std::make_unique<TBitmap>(BitmapFromFileBytes(*bytes));
        } else if (bytes) {
          Metafile = std::make_unique<TMetafile>(MetafileFromFileBytes(*bytes));
        }
      } catch (const EInvalidGraphic&) {
        Log(loglevel::kError, "TClipData.LoadFromStream", "Bad Picture File: " + file);
      }
      return true;
    }
    default:
      Log(loglevel::kError, "TClipData.LoadFromStream",
          "Bad Format_Type Encountered During Load: " + std::to_string(FormatType) + kEol + "Format Num: " +
              std::to_string(FormatNum) + " Format Name: \"" + FormatName + "\"" + kEol + "For Item: " +
              std::to_string(serial));
      return false;
  }
}

std::size_t HMemCpyHandles(Bytes& destination, const Bytes& source) {
  const std::size_t count = std::min(destination.size(), source.size());
  if (count > 0) std::memcpy(destination.data(), source.data(), count);
  return count;
}

std::size_t TextLenOfHandle(const Bytes& block) {
  const auto zero = std::find(block.begin(), block.end(), std::uint8_t{0});
  return static_cast<std::size_t>(zero - block.begin());
}

std::string PictureFileName(std::string_view folder, std::int32_t serial, std::uint8_t format_type) {
  return std::string(folder) + "I" + std::to_string(serial) + (format_type == formattype::kBitmap ? ".bmp" : ".wmf");
}

std::string DataFileName(std::string_view folder, std::int32_t serial) {
  return std::string(folder) + "D" + std::to_string(serial) + ".DAT";
}

}  // namespace om
