#include "clipboard/clipboard.h"

#include <cstring>
#include <stdexcept>

#include "clipboard/format_names.h"

namespace om {

class TClipboard::Use {
 public:
  explicit Use(TClipboard& clipboard) : clipboard_(clipboard) { clipboard_.Open(); }
  ~Use() { clipboard_.Close(); }
  Use(const Use&) = delete;
  Use& operator=(const Use&) = delete;

 private:
  TClipboard& clipboard_;
};

TClipboard::TClipboard(IClipboardSystem& system) : system_(system) {
  PictureFormat = system_.RegisterFormat(kPictureFormatName);
}

void TClipboard::Open() { ++open_ref_count_; }

void TClipboard::Close() {
  if (open_ref_count_ > 0) --open_ref_count_;
}

ClipStatus TClipboard::Clear() {
  Use use(*this);
  return system_.Empty();
}

ClipStatus TClipboard::PutBuffer(std::uint32_t format, const void* bytes, std::size_t count) {
  Use use(*this);
  const auto* first = static_cast<const std::uint8_t*>(bytes);
  const Bytes block = count == 0 ? Bytes{} : Bytes(first, first + count);
  return system_.SetData(format, block);
}

ClipStatus TClipboard::PutTextBuffer(std::string_view text) {
  // The terminating zero goes with the text; the copy keeps a text with no
  // terminator of its own from being read past its end.
  std::string block(text);
  return PutBuffer(cf::kText, block.c_str(), block.size() + 1);
}

ClipStatus TClipboard::Assign(const TGraphic& source) {
  Use use(*this);
  const ClipboardForm form = source.SaveToClipboardFormat();
  const ClipStatus status = system_.SetData(form.format, form.data);
  if (status != ClipStatus::kOk || form.palette.empty()) return status;
  return system_.SetData(cf::kPalette, form.palette);
}

ClipStatus TClipboard::Assign(const TPicture& source) {
  const TGraphic* graphic = source.Graphic();
  if (!graphic) return ClipStatus::kFailed;  // nothing to give
  return Assign(*graphic);
}

void TClipboard::LoadGraphic(TGraphic& destination, std::uint32_t format) {
  const ClipData data = system_.GetData(format);
  if (data.status != ClipStatus::kOk || data.bytes.empty()) throw EInvalidGraphic("Invalid clipboard format");
  const ClipData palette = system_.GetData(cf::kPalette);
  destination.LoadFromClipboardFormat(format, data.bytes, palette.status == ClipStatus::kOk ? palette.bytes : Bytes{});
}

void TClipboard::AssignTo(TPicture& destination) {
  Use use(*this);
  for (std::uint32_t format = system_.EnumFormats(0); format != 0; format = system_.EnumFormats(format)) {
    if (!TPicture::SupportsClipboardFormat(format)) continue;
    const ClipData data = system_.GetData(format);
    if (data.status != ClipStatus::kOk || data.bytes.empty()) break;
    const ClipData palette = system_.GetData(cf::kPalette);
    destination.LoadFromClipboardFormat(format, data.bytes,
                                        palette.status == ClipStatus::kOk ? palette.bytes : Bytes{});
    return;
  }
  throw EInvalidGraphic("Invalid clipboard format");
}

void TClipboard::AssignTo(TBitmap& destination) {
  Use use(*this);
  LoadGraphic(destination, cf::kBitmap);
}

void TClipboard::AssignTo(TMetafile& destination) {
  Use use(*this);
  LoadGraphic(destination, cf::kMetafilePict);
}

ClipData TClipboard::GetData(std::uint32_t format) {
  Use use(*this);
  return system_.GetData(format);
}

std::int32_t TClipboard::FormatCount() { return system_.CountFormats(); }

std::uint32_t TClipboard::FormatAt(std::int32_t index) {
  Use use(*this);
  if (index < 0) return 0;
  std::uint32_t format = system_.EnumFormats(0);
  for (std::int32_t i = 0; i < index && format != 0; ++i) format = system_.EnumFormats(format);
  return format;
}

bool TClipboard::HasFormat(std::uint32_t format) {
  if (format == 0) return false;
  if (system_.IsFormatAvailable(format)) return true;
  if (format != PictureFormat) return false;
  for (std::uint32_t picture : {cf::kBitmap, cf::kDib, cf::kMetafilePict, cf::kEnhMetafile}) {
    if (system_.IsFormatAvailable(picture)) return true;
  }
  return false;
}

namespace {
TClipboard* g_installed = nullptr;
}  // namespace

TClipboard& TheClipboard() {
  if (!g_installed) throw std::logic_error("TheClipboard: no clipboard object is installed");
  return *g_installed;
}

TheClipboardInstallation::TheClipboardInstallation(TClipboard& clipboard) : previous_(g_installed) {
  g_installed = &clipboard;
}

TheClipboardInstallation::~TheClipboardInstallation() { g_installed = previous_; }

}  // namespace om
