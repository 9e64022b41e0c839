// Capture: the clipboard into a new clip, and the clip's title.
#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_log.h"
#include "clipboard/clip_view.h"
#include "clipboard/clipboard.h"
#include "clipboard/format_names.h"
#include "platform/text_case.h"
#include "store/clip_obj.h"
#include "store/drop_files.h"
#include "store/filter.h"
#include "store/preview_picture.h"
#include "store/store_services.h"
#include "store/viewer_open_restore.h"

namespace om {

namespace {

constexpr int kPasteAttempts = 11;
// The wait after failed attempt k is k times this.
constexpr std::uint32_t kAttemptStepMs = 100;
constexpr int kTriesPerFormat = 6;
constexpr std::uint32_t kRetryFormatMs = 100;
// PutText appends an entry for any position past the end.
constexpr std::int32_t kAppend = 9999;
constexpr std::size_t kMaxDropName = 256;
constexpr std::size_t kMaxUrlText = 1024;
constexpr std::size_t kMaxTitle = 60;
constexpr std::size_t kTitleScanLimit = 1024;
constexpr std::size_t kMaxShortString = 255;
constexpr char kEol[] = "\r\n";

void Wait(std::uint32_t ms) {
  IClock* clock = StoreServices().Clock;
  if (clock == nullptr) throw std::logic_error("TClipObj: no clock installed (ScopedStoreServices)");
  // Without pumping: the wait is for another program to let go of the
  // clipboard, and messages handled now would re-enter the capture.
  clock->Sleep(ms);
}

std::uint32_t ParseFormat(const std::string& text) {
  std::uint32_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size() ? number : 0;
}

// The port says why there was no data; the system's error number is not
// carried through it.
const char* WhyNoData(const ClipData& data) {
  switch (data.status) {
    case ClipStatus::kOk: return "empty";
    case ClipStatus::kBusy: return "busy";
    case ClipStatus::kNotOpen: return "not open";
    case ClipStatus::kAbsent: return "absent";
    case ClipStatus::kFailed: return "failed";
  }
  return "failed";
}

}  // namespace

std::int32_t TClipObj::Paste(TClipView5& view, IFormatFilter& profile, IPreviewPicture* preview) {
  Log(loglevel::kDetail, ">PASTE", "");
  std::int32_t kept = 0;
  bool text_from_drop = false;
  bool text_from_url = false;
  for (int attempt = 1; attempt <= kPasteAttempts; ++attempt) {
    if (PasteAttempt(view, profile, preview, kept, text_from_drop, text_from_url)) break;
    Wait(static_cast<std::uint32_t>(attempt) * kAttemptStepMs);
  }

  std::int32_t made = 0;
  if (text_from_drop && TextFromDropList()) ++made;
  if (text_from_url && TextFromUrl()) ++made;
  Log(loglevel::kDetail, "<PASTE", "GoodPastes: " + std::to_string(kept));
  return kept + made;
}

bool TClipObj::PasteAttempt(TClipView5& view, IFormatFilter& profile, IPreviewPicture* preview, std::int32_t& kept,
                            bool& text_from_drop, bool& text_from_url) {
  // An error reading a picture passes on to the caller; the clipboard must
  // not stay open behind it.
  ViewerOpenRestore restore(view);
  if (!view.Open()) {
    Log(loglevel::kError, "PASTE", "Could not open clipboard]: " + view.Creator() + " ErrMsg: " + view.ErrMsg());
    return false;
  }
  Online = true;
  if (!DataList) DataList.emplace();
  kept = 0;
  bool text_seen = false;
  // Copies: the lists must not change under the walk.
  const std::vector<std::string> numbers = view.FormatNums();
  const std::vector<std::string> names = view.FormatNames();
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const std::uint32_t format = ParseFormat(numbers[i]);
    const std::string name = i < names.size() ? names[i] : std::string();
    if (format == cf::kText) text_seen = true;
    if (!profile.IsCoffee(Creator, name)) continue;

    bool copied = false;
    for (int attempt = 0; attempt < kTriesPerFormat; ++attempt) {
      if (PasteOne(view, format, preview) == 1) {
        SetIcon(format);
        ++kept;
        copied = true;
        break;
      }
      view.Close();
      Wait(kRetryFormatMs);
      if (!view.Open()) {
        Log(loglevel::kError, "PASTE",
            "Could not re-open clipboard " + Creator + " Format:" + std::to_string(format));
      }
    }
    if (!copied) {
      Log(loglevel::kError, "PASTE", "Could not obtain data: " + Creator + " Format:" + std::to_string(format));
    }
    if (format == cf::kHDrop && !text_seen) text_from_drop = true;
    if (URLFormat != 0 && format == URLFormat && !text_seen) text_from_url = true;
  }
  view.Close();
  return true;
}

bool TClipObj::TextFromDropList() {
  Log(loglevel::kDetail, "PASTE", "Manufacturing TEXT from HDROP");
  const Bytes* drop = GetHandle(cf::kHDrop);
  if (drop == nullptr) return false;
  std::string text;
  for (const std::string& name : DropFileNames(*drop)) {
    text += name.substr(0, kMaxDropName);
    text += kEol;
  }
  // A drop list that names no file (or was never read) gives no text: an
  // empty text entry would only be an empty clip put back.
  if (text.empty()) return false;
  PutText(text, kAppend);
  SetIcon(cf::kText);
  return true;
}

bool TClipObj::TextFromUrl() {
  const std::int32_t size = Lock(URLFormat);
  if (size <= 0) return false;
  Log(loglevel::kDetail, "PASTE", "Manufacturing TEXT from URL");
  const std::string_view block(reinterpret_cast<const char*>(LockedText), static_cast<std::size_t>(size));
  std::string text(block.substr(0, std::min(block.find('\0'), kMaxUrlText)));
  Unlock();
  text += kEol;
  PutText(text, kAppend);
  SetIcon(cf::kText);
  return true;
}

std::int32_t TClipObj::PasteOne(TClipView5& view, std::uint32_t format, IPreviewPicture* preview) {
  Log(loglevel::kDetail, ">PasteOne", std::to_string(format));
  std::int32_t result = 0;
  if (format == cf::kBitmap) {
    result = PasteBitmap(view, preview);
  } else if (format == cf::kMetafilePict) {
    result = PasteMetafile(view);
  } else {
    result = PasteFlat(view, format);
  }
  Log(loglevel::kDetail, "<PasteOne", std::to_string(result));
  return result;
}

std::int32_t TClipObj::PasteFlat(TClipView5& view, std::uint32_t format) {
  ClipData data = TheClipboard().GetData(format);
  // The port refuses to place empty data, so an empty block could never be
  // put back: it counts as no data.
  if (data.status != ClipStatus::kOk || data.bytes.empty()) {
    Log(loglevel::kError, "PASTEONE",
        "NULL returned from getclipboarddata: " + Creator + " Format:" + std::to_string(format) + " Err:" +
            WhyNoData(data));
    return 0;
  }
  if (format == cf::kText && TextLenOfHandle(data.bytes) == 0) return 0;

  auto entry = std::make_unique<TClipData>(formattype::kHandle);
  // The port's bytes are already this clip's own copy of the block, exactly
  // its size: they become the entry's block without a second copy.
  entry->Size = static_cast<std::uint32_t>(data.bytes.size());
  entry->Handle = std::move(data.bytes);
  entry->FormatNum = static_cast<std::uint16_t>(format);
  entry->FormatName = view.ConvertFormatNum(format);
  const std::string name = entry->FormatName;
  DataList->push_back(std::move(entry));

  if (RTFFormat == 0 && SameTextIgnoringCase(name, kRTFFormatName)) RTFFormat = format;
  if (HTMLFormat == 0 && SameTextIgnoringCase(name, kHTMLFormatName)) HTMLFormat = format;
  return 1;
}

std::int32_t TClipObj::PasteBitmap(TClipView5& view, IPreviewPicture* preview) {
  if (preview != nullptr) preview->ClearPicture();
  auto entry = std::make_unique<TClipData>(formattype::kBitmap);
  entry->Bitmap = std::make_unique<TBitmap>();
  // Bad or missing bitmap data is not caught: it is the caller's to report.
  TheClipboard().AssignTo(*entry->Bitmap);
  if (preview != nullptr) preview->ShowBitmap(*entry->Bitmap);
  entry->Size = 0;
  entry->FormatNum = cf::kBitmap;
  entry->FormatName = view.ConvertFormatNum(cf::kBitmap);
  DataList->push_back(std::move(entry));
  return 1;
}

std::int32_t TClipObj::PasteMetafile(TClipView5& view) {
  auto entry = std::make_unique<TClipData>(formattype::kMetafile);
  entry->Metafile = std::make_unique<TMetafile>();
  try {
    TheClipboard().AssignTo(*entry->Metafile);
  } catch (const EInvalidGraphic&) {
    Log(loglevel::kError, "PASTEONE",
        "Bad Metafile Encountered from " + Creator + " SerialNum:" + std::to_string(SerialNbr));
    return 0;
  }
  entry->Size = 0;
  entry->FormatNum = cf::kMetafilePict;
  entry->FormatName = view.ConvertFormatNum(cf::kMetafilePict);
  DataList->push_back(std::move(entry));
  return 1;
}

std::string TClipObj::GetTitle() {
  if (!Online) Load();
  std::string title;
  if (HasFormat(cf::kText)) {
    title = CleanTitle(GetHandle(cf::kText));
  } else {
    title = HasFormat(cf::kBitmap) || HasFormat(cf::kMetafilePict) ? "Graphic:" : "Other:";
    title += STimeStamp();
  }
  if (title.size() > kMaxShortString) title.resize(kMaxShortString);
  return title;
}

std::string TClipObj::CleanTitle(const Bytes* block) {
  if (block == nullptr || block->empty()) return {};
  const Bytes& bytes = *block;
  const std::size_t limit = bytes.size() > kTitleScanLimit ? kTitleScanLimit : TextLenOfHandle(bytes);
  char title[kMaxTitle] = {};
  std::size_t written = 0;
  for (std::size_t i = 0; i <= limit && i < bytes.size() && written < kMaxTitle && bytes[i] != 0; ++i) {
    const std::uint8_t c = bytes[i];
    title[written] = c < 32 ? ' ' : static_cast<char>(c);
    // A blank or control after another one takes the same place: each run
    // becomes one blank.
    const bool joins_run = c <= 32 && i > 0 && bytes[i - 1] <= 32;
    if (!joins_run) ++written;
  }
  return std::string(title, written);
}

}  // namespace om
