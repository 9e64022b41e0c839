// Copy back: a clip onto the clipboard, directly or promised for sequential
// paste.
#include <algorithm>
#include <array>
#include <exception>
#include <string>

#include "app/app_log.h"
#include "clipboard/clip_view.h"
#include "clipboard/clipboard.h"
#include "clipboard/format_names.h"
#include "store/clip_obj.h"
#include "store/preview_picture.h"
#include "store/store_errors.h"
#include "store/store_services.h"
#include "store/viewer_open_restore.h"

namespace om {

namespace {

constexpr int kOpenAttempts = 10;
// The ignore marker the program places with every clip it puts back: other
// viewers that honour the format leave the change alone, and so does this
// program's own capture.
constexpr char kIgnoreMarkerText[] = "Quillark5";
constexpr std::size_t kIgnoreMarkerSize = 16;

}  // namespace

std::int32_t TClipObj::Copy(TClipView5& view, IPreviewPicture* preview) {
  if (!Online) ReadClipData(nullptr);
  const std::int32_t mode = StoreServices().SequentialPaste;
  const bool rendering = mode == seqpaste::kRendering;

  // Whatever fails below, the viewer's open count comes back to what it was
  // here, which closes the clipboard and announces what was placed.
  ViewerOpenRestore restore(view);
  if (!rendering) {
    bool opened = false;
    for (int attempt = 0; attempt < kOpenAttempts && !opened; ++attempt) {
      opened = view.Open();
      if (!opened) {
        Log(loglevel::kError, "COPY", "Could not open clipboard: " + view.Creator() + " ErrMsg: " + view.ErrMsg());
      }
    }
    if (!opened) {
      Log(loglevel::kError, "TClipObj.Copy", "Error - Could Not Open Clipboard: " + view.ErrMsg());
      return 0;
    }
    view.clear();
  }

  PutIgnoreMarker();
  if (DataList) {
    for (const auto& entry : *DataList) {
      if (mode == seqpaste::kArmed) {
        PromiseOne(*entry, preview);
      } else if (entry->Selected) {
        CopyOne(*entry, preview);
      }
    }
  }
  if (!rendering) view.Close();
  return 1;
}

void TClipObj::PutIgnoreMarker() {
  std::array<char, kIgnoreMarkerSize> block{};
  static_assert(sizeof(kIgnoreMarkerText) <= kIgnoreMarkerSize);
  std::copy(std::begin(kIgnoreMarkerText), std::end(kIgnoreMarkerText), block.begin());
  bool placed = false;
  try {
    placed = IgnoreFormat != 0 && TheClipboard().PutBuffer(IgnoreFormat, block.data(), block.size()) == ClipStatus::kOk;
  } catch (const std::exception&) {
    placed = false;
  }
  if (!placed) {
    Log(loglevel::kError, "Copy",
        "BAD Copy (CF_CLIPBOARD_VIEWER_IGNORE) " + Creator + " SerialNum:" + std::to_string(SerialNbr));
    throw EBadCopy("Copy Failed - Type: CF_CLIPBOARD_VIEWER_IGNORE");
  }
}

void TClipObj::PromiseOne(TClipData& entry, IPreviewPicture* preview) {
  if (entry.FormatNum == cf::kBitmap && entry.Bitmap && preview != nullptr) preview->ShowBitmap(*entry.Bitmap);
  bool promised = false;
  try {
    promised = TheClipboard().System().Promise(entry.FormatNum) == ClipStatus::kOk;
  } catch (const std::exception&) {
    promised = false;
  }
  if (!promised) FailCopy(entry);
}

void TClipObj::CopyOne(TClipData& entry, IPreviewPicture* preview) {
  bool placed = false;
  try {
    switch (entry.FormatType) {
      case formattype::kHandle: {
        if (!entry.Handle || entry.Handle->empty()) break;
        // Registered formats may have another number in this session than
        // when the clip was captured; the name decides.
        if (entry.FormatNum >= cf::kFirstRegistered) {
          const std::uint32_t now = TheClipboard().System().RegisterFormat(entry.FormatName);
          if (now >= cf::kFirstRegistered && now <= 0xFFFF) entry.FormatNum = static_cast<std::uint16_t>(now);
        }
        placed = TheClipboard().PutBuffer(entry.FormatNum, entry.Handle->data(), entry.Handle->size()) ==
                 ClipStatus::kOk;
        break;
      }
      case formattype::kBitmap:
        // An entry left without its picture (its file could not be read)
        // cannot be placed.
        if (!entry.Bitmap) break;
        if (preview != nullptr) preview->ShowBitmap(*entry.Bitmap);
        placed = !entry.Bitmap->Empty() && TheClipboard().Assign(*entry.Bitmap) == ClipStatus::kOk;
        break;
      case formattype::kMetafile:
        placed = entry.Metafile && CopyMetafileToClipboard(*entry.Metafile);
        break;
      default:
        break;
    }
  } catch (const std::exception&) {
    placed = false;
  }
  if (!placed) FailCopy(entry);
}

void TClipObj::FailCopy(const TClipData& entry) {
  const std::string serial = std::to_string(SerialNbr);
  switch (entry.FormatType) {
    case formattype::kBitmap:
      Log(loglevel::kError, "CopyOne", "BAD Copy (Bitmap) " + Creator + " SerialNum:" + serial);
      throw EBadCopy("Copy Failed - Bitmap");
    case formattype::kMetafile:
      Log(loglevel::kError, "CopyOne", "BAD Copy (Metafile) " + Creator + " SerialNum:" + serial);
      throw EBadCopy("Copy Failed - Metafile");
    default:
      Log(loglevel::kError, "CopyOne", "BAD Copy (FLAT) " + Creator + " SerialNum:" + serial);
      throw EBadCopy("Copy Failed - Type: " + std::to_string(entry.FormatType));
  }
}

bool TClipObj::CopyMetafileToClipboard(const TMetafile& metafile) {
  // The metafile's clipboard form and, when it has one, its palette under
  // CF_PALETTE; what is on the clipboard already stays.
  return !metafile.Empty() && TheClipboard().Assign(metafile) == ClipStatus::kOk;
}

}  // namespace om
