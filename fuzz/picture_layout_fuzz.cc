// Fuzz target: picture bytes as they reach the program from the clipboard
// and from the picture files beside a clip. The same input is read
//   - by the layout checks, as a packed DIB, a Windows metafile and an
//     enhanced metafile: what they accept must lie within the input, and
//     every byte of it is touched (a read past the end shows under the
//     address sanitizer);
//   - as the clipboard forms a bitmap or metafile picture loads from;
//   - as a .bmp and a .wmf/.emf file, whose pictures are then written back
//     and read again and must come back the same.
// A picture the checks accept must also load: nothing the program would
// draw can be one it refused to keep.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "clipboard/graphics.h"
#include "clipboard/picture_layout.h"
#include "fuzz/fuzz_store.h"
#include "store/picture_files.h"
#include "tests/clipboard/picture_samples.h"

namespace om::fuzz {
namespace {

using Span = std::span<const std::uint8_t>;

// Reads every byte of `part`, so that a part reaching past the input is a
// sanitizer report rather than an unnoticed number.
void Touch(Span part) {
  volatile std::uint8_t sum = 0;
  for (std::uint8_t byte : part) sum = static_cast<std::uint8_t>(sum + byte);
  (void)sum;
}

void CheckDib(Span bytes) {
  const auto layout = CheckPackedDib(bytes);
  if (!layout) return;
  if (layout->Size() > bytes.size() || layout->bits_offset < layout->header_size) FuzzFailure("DIB layout outside its bytes");
  if (layout->width <= 0 || layout->height == 0) FuzzFailure("DIB layout with no pixels");
  if (layout->bits_offset != layout->header_size + layout->masks_size + layout->colour_count * layout->colour_entry_size) {
    FuzzFailure("DIB parts do not add up");
  }
  Touch(bytes.first(layout->Size()));
  try {
    const TBitmap bitmap(Bytes(bytes.begin(), bytes.end()));
    if (bitmap.Width() != layout->width || bitmap.Height() != layout->height) FuzzFailure("bitmap size differs from its layout");
  } catch (const EInvalidGraphic&) {
    FuzzFailure("a DIB the check accepts does not load as a bitmap");
  }
}

void CheckWmf(Span bytes) {
  const auto layout = CheckWindowsMetafile(bytes);
  if (!layout) return;
  if (layout->size > bytes.size() || layout->eof_offset + 6 > layout->size) FuzzFailure("metafile layout outside its bytes");
  Touch(bytes.first(layout->size));
  // As the clipboard carries it: mapping mode and extents, then the bits.
  Bytes form(12, 0);
  form[0] = 8;  // MM_ANISOTROPIC
  form.insert(form.end(), bytes.begin(), bytes.end());
  TMetafile metafile;
  try {
    metafile.LoadFromClipboardFormat(cf::kMetafilePict, form, {});
  } catch (const EInvalidGraphic&) {
    FuzzFailure("a metafile the check accepts does not load");
  }
  if (!std::equal(metafile.Bits().begin(), metafile.Bits().end(), bytes.begin(), bytes.end())) {
    FuzzFailure("metafile bits changed in loading");
  }
}

void CheckEmf(Span bytes) {
  const auto layout = CheckEnhMetafile(bytes);
  if (!layout) return;
  if (layout->size > bytes.size() || layout->header_size > layout->size || layout->records < 2) {
    FuzzFailure("enhanced metafile layout outside its bytes");
  }
  Touch(bytes.first(layout->size));
  TMetafile metafile;
  try {
    metafile.LoadFromClipboardFormat(cf::kEnhMetafile, Bytes(bytes.begin(), bytes.end()), {});
  } catch (const EInvalidGraphic&) {
    FuzzFailure("an enhanced metafile the check accepts does not load");
  }
}

// The clipboard forms: whatever loads is then checked as it would be for
// drawing.
void LoadClipboardForms(Span bytes) {
  const Bytes data(bytes.begin(), bytes.end());
  for (const std::uint32_t format : {cf::kDib, cf::kMetafilePict, cf::kEnhMetafile}) {
    TPicture picture;
    try {
      picture.LoadFromClipboardFormat(format, data, {});
    } catch (const EInvalidGraphic&) {
      continue;
    }
    if (const TBitmap* bitmap = picture.Bitmap()) {
      (void)bitmap->Width();
      (void)bitmap->Height();
      (void)CheckPackedDib(bitmap->Dib());
      (void)bitmap->SaveToClipboardFormat();
    } else if (const TMetafile* metafile = picture.Metafile()) {
      if (metafile->Enhanced()) {
        (void)CheckEnhMetafile(metafile->Bits());
      } else {
        (void)CheckWindowsMetafile(metafile->Bits());
      }
      if (metafile->SaveToClipboardFormat().data.size() < metafile->Bits().size()) FuzzFailure("a metafile lost its bits");
    } else {
      FuzzFailure("a picture loaded empty");
    }
  }
}

// The picture files: read, written back, read again.
void ReadPictureFiles(Span bytes) {
  try {
    const TBitmap bitmap = BitmapFromFileBytes(bytes);
    const TBitmap again = BitmapFromFileBytes(BitmapFileBytes(bitmap));
    if (!(again.Dib() == bitmap.Dib())) FuzzFailure("a bitmap file changed in a round trip");
  } catch (const EInvalidGraphic&) {
  }
  try {
    const TMetafile metafile = MetafileFromFileBytes(bytes);
    const TMetafile again = MetafileFromFileBytes(MetafileFileBytes(metafile));
    if (again.Bits() != metafile.Bits() || again.Enhanced() != metafile.Enhanced()) {
      FuzzFailure("a metafile file changed in a round trip");
    }
  } catch (const EInvalidGraphic&) {
  }
}

}  // namespace
}  // namespace om::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  om::fuzz::CheckDib(bytes);
  om::fuzz::CheckWmf(bytes);
  om::fuzz::CheckEmf(bytes);
  om::fuzz::LoadClipboardForms(bytes);
  om::fuzz::ReadPictureFiles(bytes);
  return 0;
}

namespace om::fuzz {

// Valid pictures of each kind, in the forms the program meets them.
std::vector<FuzzSeed> FuzzSeeds() {
  using namespace om::testing;
  const Bytes wmf = SampleWmfDrawing();
  Bytes pict(12, 0);
  pict[0] = 8;
  pict[4] = 0xD0;  // 2000 x 1000
  pict[5] = 0x07;
  pict[8] = 0xE8;
  pict[9] = 0x03;
  pict.insert(pict.end(), wmf.begin(), wmf.end());
  TMetafile picture;
  picture.LoadFromClipboardFormat(cf::kMetafilePict, pict, {});
  DibShape v5;
  v5.header_size = 124;
  v5.bit_count = 32;
  v5.compression = 3;
  return {
      {"dib-1", SampleDib({4, 3, 1})},
      {"dib-4", SampleDib({5, 2, 4})},
      {"dib-8-16-colours", SampleDib({3, 3, 8, 0, 16})},
      {"dib-16-bitfields", SampleDib({4, 3, 16, 3})},
      {"dib-24", SampleDib({4, 3, 24})},
      {"dib-24-top-down", SampleDib({2, -2, 24})},
      {"dib-32-v5-bitfields", SampleDib(v5)},
      {"dib-rle8", SampleDib({4, 2, 8, 1}, SampleRle8())},
      {"dib-core-8", SampleCoreDib(2, 2, 8)},
      {"wmf", wmf},
      {"wmf-end-only", SampleWmf().Bits()},
      {"metafile-pict", pict},
      {"wmf-stretch-dib", SampleWmfWithDib(SampleDib({4, 3, 8}))},
      {"wmf-pattern-brush", SampleWmf().Objects(1).Record(0x0142, {5, 0}, SampleDib({8, 8, 1})).Record(0x012D, {0}).Bits()},
      {"emf", SampleEmfDrawing()},
      {"emf-stretch-dib", SampleEmfWithDib(SampleDib({4, 3, 4}), 40 + 16 * 4)},
      {"emf-end-only", SampleEmf().Bits()},
      {"bmp-file", BitmapFileBytes(TBitmap(SampleDib({4, 3, 24})))},
      {"placeable-wmf-file", MetafileFileBytes(picture)},
  };
}

}  // namespace om::fuzz
