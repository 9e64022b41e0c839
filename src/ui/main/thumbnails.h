// The clip list's icon view: a bounded cache of rendered thumbnails.
//
// The icon view shows each visible row as a square picture of its clip. The
// pictures live in the control's thumbnail image list, one image per cache
// entry; the registry below decides which clip an entry shows. Before the
// control paints, every visible row gets an entry (its own when it still
// has one, else a vacant one, else the least recently shown one not shown
// now); when there are not enough, the cache grows by half and the list is
// rebuilt. What goes into an image is described by a ThumbnailPicture, made
// here from the clip's data and drawn by the control.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/font_desc.h"
#include "platform/types.h"
#include "store/thumbnail_entry.h"

namespace om {

class TClipObj;
class TMetafile;

// A rectangle inside a thumbnail, in its pixels (0, 0 is the top left of
// the border).
struct ThumbBox {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const ThumbBox&) const = default;
};

// Where a picture of `width` x `height` pixels goes in a square thumbnail of
// `size` pixels, border included: inside the border (size - 2 each way), a
// picture that fits keeps its size and is centred; a larger one is scaled
// down to the inner width when it is at least as wide as high, else to the
// inner height, its proportions kept (rounded down), and centred on the
// other axis.
ThumbBox FitPicture(int width, int height, int size);

// The height of one line of a text thumbnail: the font's point size + 5.
int ThumbnailLineHeight(const TFontDesc& font);
// The lines a text thumbnail shows: the text up to its first zero byte,
// cut at each CR LF (a lone LF ends a line too), each line at most 79
// characters, as many as start inside the square of `size` pixels when the
// first starts 1 pixel inside the border and each is `line_height` below
// the one before.
std::vector<std::string> ThumbnailTextLines(std::string_view text, int size, int line_height);

// The cache size after growing by half: rounded to the nearest integer,
// ties to even (32 -> 48 -> 72, 5 -> 8, 3 -> 4).
std::int32_t GrownCacheSize(std::int32_t size);

// The size in screen pixels a metafile picture is shown at before it is
// fitted: its frame (enhanced) or extents (anisotropic and isotropic
// mapping, in 0.01 mm) at 96 pixels per inch, its extents as pixels in
// MM_TEXT. {0, 0} when the picture does not say.
struct PictureSize {
  int width = 0;
  int height = 0;
};
PictureSize MetafileSize(const TMetafile& metafile);

// One thumbnail as the control draws it: a white square of `size` pixels
// with a one-pixel blue border, and inside it the clip's bitmap or metafile
// stretched into `target`, or its text lines in `font`, each `line_height`
// below the one before from 1 pixel inside the border. White is transparent
// when the image is shown.
struct ThumbnailPicture {
  enum class Kind { kBlank, kBitmap, kMetafile, kText };
  Kind kind = Kind::kBlank;
  int size = 0;
  ThumbBox target;
  // kBitmap: a packed DIB.
  Bytes dib;
  // kMetafile: the metafile's bits, enhanced or a Windows metafile with its
  // mapping mode and extents.
  Bytes metafile_bits;
  bool enhanced = false;
  std::int32_t map_mode = 0;
  std::int32_t x_ext = 0;
  std::int32_t y_ext = 0;
  // kText.
  std::vector<std::string> lines;
  int line_height = 0;
  TFontDesc font;
};

// The thumbnail of `clip` in a square of `size` pixels: its bitmap if it
// has one, else its metafile picture, else its plain text (blank without
// any). Reads the clip's data, loading it when it is stored apart; the
// caller decides when it may go again.
ThumbnailPicture MakeThumbnailPicture(TClipObj& clip, int size, const TFontDesc& font);

// The registry of cache entries. Entry i shows image i of the control's
// thumbnail image list. An entry's Item is the clip it shows (the list's
// rows move when it sorts; their clips are what an entry stands for); a
// clip's Thumbnail points at its entry. Entries are never freed while the
// cache lives, also when it is rebuilt smaller, so that a clip still
// pointing at one never points at freed memory; only the first Size() take
// part.
class TThumbnailCache {
 public:
  // Called for a row whose clip was just given entry `image`: its picture
  // is to be drawn into that image.
  using RenderFn = std::function<void(int row, TClipObj& clip, int image)>;
  using ClipAtFn = std::function<TClipObj*(int row)>;

  // `count` entries, all reset (ClearThumbnailRegistry); the cache is
  // ready from then on.
  void Initialize(int count);
  // Every entry vacant, not in use, last used at 0, showing nothing.
  void Clear();
  bool Ready() const { return ready_; }
  int Size() const { return size_; }

  // The paint pass over the visible rows, from the top (it stops at the
  // first row without a clip). False when some row found no entry: the
  // cache is too small.
  bool Paint(const std::vector<int>& visible_rows, const ClipAtFn& clip_at, double now, const RenderFn& render);

  // The image of the clip's entry; -1 when it has none in this cache.
  int ImageOf(const TClipObj& clip) const;
  const TThumbNailEntry& Entry(int index) const { return *entries_.at(static_cast<std::size_t>(index)); }

 private:
  // The entry to give a row that has none; -1 when every entry is in use.
  int PickEntry() const;
  int IndexOf(const TThumbNailEntry* entry) const;

  std::vector<std::unique_ptr<TThumbNailEntry>> entries_;
  std::unordered_map<const TThumbNailEntry*, int> index_;
  int size_ = 0;
  bool ready_ = false;
};

}  // namespace om
