#include "ui/main/thumbnails.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "clipboard/graphics.h"
#include "store/clip_obj.h"

namespace om {

namespace {

constexpr std::size_t kMaxLineLength = 79;
// Metafile sizes in 0.01 mm become pixels of a 96-dpi screen.
constexpr int kScreenDpi = 96;
constexpr int kHiMetricPerInch = 2540;
constexpr std::int32_t kMmText = 1;
constexpr std::int32_t kMmIsotropic = 7;
constexpr std::int32_t kMmAnisotropic = 8;
// ENHMETAHEADER: iType, nSize, rclBounds, then rclFrame (0.01 mm).
constexpr std::size_t kEnhFrameOffset = 24;

std::int32_t ReadInt32(const Bytes& bytes, std::size_t offset) {
  std::int32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

int HiMetricToPixels(std::int64_t hundredths_of_mm) {
  return static_cast<int>(hundredths_of_mm * kScreenDpi / kHiMetricPerInch);
}

}  // namespace

ThumbBox FitPicture(int width, int height, int size) {
  width = std::abs(width);
  height = std::abs(height);
  const int inner = std::max(size - 2, 0);
  if (width <= inner && height <= inner) {
    return ThumbBox{(inner - width) / 2 + 1, (inner - height) / 2 + 1, width, height};
  }
  if (width >= height) {
    const int scaled = static_cast<int>(static_cast<std::int64_t>(height) * inner / width);
    return ThumbBox{1, (inner - scaled) / 2 + 1, inner, scaled};
  }
  const int scaled = static_cast<int>(static_cast<std::int64_t>(width) * inner / height);
  return ThumbBox{(inner - scaled) / 2 + 1, 1, scaled, inner};
}

int ThumbnailLineHeight(const TFontDesc& font) { return font.Size + 5; }

std::vector<std::string> ThumbnailTextLines(std::string_view text, int size, int line_height) {
  const std::size_t zero = text.find('\0');
  if (zero != std::string_view::npos) text = text.substr(0, zero);
  std::vector<std::string> lines;
  const int step = std::max(line_height, 1);
  for (int top = 1; top < size - 1 && !text.empty(); top += step) {
    std::size_t end = text.find('\n');
    std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    if (end > 0 && text[end - 1] == '\r' && end < text.size()) --end;
    lines.emplace_back(text.substr(0, std::min(end, kMaxLineLength)));
    text.remove_prefix(next);
  }
  return lines;
}

std::int32_t GrownCacheSize(std::int32_t size) {
  const std::int64_t triple = static_cast<std::int64_t>(size) * 3;
  std::int64_t half = triple / 2;
  // An odd triple is a tie between half and half + 1: the even one wins.
  if (triple % 2 != 0 && half % 2 != 0) ++half;
  return static_cast<std::int32_t>(half);
}

PictureSize MetafileSize(const TMetafile& metafile) {
  const Bytes& bits = metafile.Bits();
  if (metafile.Enhanced()) {
    if (bits.size() < kEnhFrameOffset + 16) return {};
    const std::int64_t left = ReadInt32(bits, kEnhFrameOffset);
    const std::int64_t top = ReadInt32(bits, kEnhFrameOffset + 4);
    const std::int64_t right = ReadInt32(bits, kEnhFrameOffset + 8);
    const std::int64_t bottom = ReadInt32(bits, kEnhFrameOffset + 12);
    if (right <= left || bottom <= top) return {};
    return {HiMetricToPixels(right - left), HiMetricToPixels(bottom - top)};
  }
  if (metafile.XExt() <= 0 || metafile.YExt() <= 0) return {};
  if (metafile.MapMode() == kMmText) return {metafile.XExt(), metafile.YExt()};
  if (metafile.MapMode() == kMmAnisotropic || metafile.MapMode() == kMmIsotropic) {
    return {HiMetricToPixels(metafile.XExt()), HiMetricToPixels(metafile.YExt())};
  }
  return {};
}

ThumbnailPicture MakeThumbnailPicture(TClipObj& clip, int size, const TFontDesc& font) {
  ThumbnailPicture picture;
  picture.size = size;
  // The clip's icon flags rule formats out without loading anything.
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(clip.GetObj(cf::kBitmap)); bitmap && !bitmap->Empty()) {
    picture.kind = ThumbnailPicture::Kind::kBitmap;
    picture.dib = bitmap->Dib();
    picture.target = FitPicture(bitmap->Width(), bitmap->Height(), size);
    return picture;
  }
  {
    if (const auto* metafile = dynamic_cast<const TMetafile*>(clip.GetObj(cf::kMetafilePict));
        metafile && !metafile->Empty()) {
      picture.kind = ThumbnailPicture::Kind::kMetafile;
      picture.metafile_bits = metafile->Bits();
      picture.enhanced = metafile->Enhanced();
      picture.map_mode = metafile->MapMode();
      picture.x_ext = metafile->XExt();
      picture.y_ext = metafile->YExt();
      // A picture that does not say how large it is fills the square.
      PictureSize shown = MetafileSize(*metafile);
      if (shown.width <= 0 || shown.height <= 0) shown = {size - 2, size - 2};
      picture.target = FitPicture(shown.width, shown.height, size);
      return picture;
    }
  }
  picture.font = font;
  picture.line_height = ThumbnailLineHeight(font);
  if (const Bytes* text = clip.GetHandle(cf::kText); text != nullptr && !text->empty()) {
    picture.kind = ThumbnailPicture::Kind::kText;
    picture.lines = ThumbnailTextLines(
        std::string_view(reinterpret_cast<const char*>(text->data()), text->size()), size, picture.line_height);
  }
  return picture;
}

void TThumbnailCache::Initialize(int count) {
  count = std::max(count, 0);
  // Entries beyond the new size stay allocated (clips may still point at
  // them) but take no part any more.
  while (static_cast<int>(entries_.size()) < count) {
    entries_.push_back(std::make_unique<TThumbNailEntry>());
    index_[entries_.back().get()] = static_cast<int>(entries_.size()) - 1;
  }
  size_ = count;
  Clear();
  ready_ = true;
}

void TThumbnailCache::Clear() {
  for (const auto& entry : entries_) {
    entry->InUse = false;
    entry->Vacant = true;
    entry->LastUsed = 0;
    entry->Item = nullptr;
  }
}

int TThumbnailCache::IndexOf(const TThumbNailEntry* entry) const {
  const auto found = index_.find(entry);
  return found == index_.end() || found->second >= size_ ? -1 : found->second;
}

int TThumbnailCache::ImageOf(const TClipObj& clip) const {
  if (clip.Thumbnail == nullptr) return -1;
  const int index = IndexOf(clip.Thumbnail);
  return index >= 0 && clip.Thumbnail->Item == &clip ? index : -1;
}

int TThumbnailCache::PickEntry() const {
  for (int i = 0; i < size_; ++i) {
    if (entries_[static_cast<std::size_t>(i)]->Vacant) return i;
  }
  int oldest = -1;
  for (int i = 0; i < size_; ++i) {
    const TThumbNailEntry& entry = *entries_[static_cast<std::size_t>(i)];
    if (entry.InUse) continue;
    if (oldest < 0 || entry.LastUsed < entries_[static_cast<std::size_t>(oldest)]->LastUsed) oldest = i;
  }
  return oldest;
}

bool TThumbnailCache::Paint(const std::vector<int>& visible_rows, const ClipAtFn& clip_at, double now,
                            const RenderFn& render) {
  for (int i = 0; i < size_; ++i) entries_[static_cast<std::size_t>(i)]->InUse = false;
  bool enough = true;
  for (const int row : visible_rows) {
    TClipObj* const clip = clip_at(row);
    if (clip == nullptr) break;
    if (ImageOf(*clip) >= 0) {
      // Still its own: shown again, nothing to draw.
      clip->Thumbnail->InUse = true;
      clip->Thumbnail->Vacant = false;
      clip->Thumbnail->LastUsed = now;
      continue;
    }
    const int picked = PickEntry();
    if (picked < 0) {
      clip->Thumbnail = nullptr;
      enough = false;
      continue;
    }
    TThumbNailEntry& entry = *entries_[static_cast<std::size_t>(picked)];
    clip->Thumbnail = &entry;
    entry.InUse = true;
    entry.Vacant = false;
    entry.LastUsed = now;
    entry.Item = clip;
    render(row, *clip, picked);
  }
  return enough;
}

}  // namespace om
