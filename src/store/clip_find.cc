#include <cstring>

#include "app/app_log.h"
#include "clipboard/format_names.h"
#include "platform/text_case.h"
#include "store/clip_coll.h"
#include "store/clip_lock.h"
#include "store/clip_obj.h"
#include "store/store_errors.h"

namespace om {

bool TClipObj::FindInTitle(std::string_view text) const {
  TAsciiFoldedSearch search(text);
  return FindInTitle(search);
}

bool TClipObj::FindInTitle(TAsciiFoldedSearch& text) const { return text.FoundIn(Title); }

bool TClipColl::FindInbody(TClipObj& clip, std::string_view text) {
  TAsciiFoldedSearch search(text);
  return FindInbody(clip, search);
}

bool TClipColl::FindInbody(TClipObj& clip, TAsciiFoldedSearch& text) {
  if (text.Needle().empty()) return false;
  bool found = false;
  try {
    // The icon flags answer for most clips without text, without loading.
    if (clip.HasFormat(cf::kText)) {
      const TClipLock lock(clip, cf::kText);
      const auto bytes = lock.Bytes();
      if (!bytes.empty()) {
        const void* zero = std::memchr(bytes.data(), 0, bytes.size());
        const std::size_t length =
            zero != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes.data())
                            : bytes.size();
        found = text.FoundIn({reinterpret_cast<const char*>(bytes.data()), length});
      }
    }
  } catch (const EMyStreamError& error) {
    // One unreadable data file must not end a search of every collection.
    Log(loglevel::kError, "FindInbody", "Item:[" + clip.Title + "] " + error.what());
  }
  clip.UnLoad();
  return found;
}

}  // namespace om
