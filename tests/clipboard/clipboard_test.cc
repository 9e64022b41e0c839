#include "clipboard/clipboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "clipboard/graphics_data.h"
#include "clipboard/viewer_fixture.h"

namespace om::testing {
namespace {

using Formats = std::vector<std::uint32_t>;

class ClipboardTest : public ViewerTest {
 protected:
  void SetUp() override {
    app_ = Start("C:\\Apps\\paint.exe");
    View();
  }
  // A bracket of the viewer's counted open, as every user of the object has.
  void Opened(const std::function<void()>& body) {
    ASSERT_TRUE(View().Open());
    body();
    View().Close();
  }
  std::unique_ptr<ForeignApp> app_;
};

TEST_F(ClipboardTest, OpenAndCloseOnlyCountAndNeverTouchTheSystemClipboard) {
  clipboard_.Open();
  clipboard_.Open();
  EXPECT_EQ(clipboard_.OpenRefCount(), 2);
  EXPECT_FALSE(Board().IsOpen());
  ASSERT_TRUE(View().Open());
  clipboard_.Close();
  clipboard_.Close();
  clipboard_.Close();  // one too many: nothing
  EXPECT_EQ(clipboard_.OpenRefCount(), 0);
  EXPECT_TRUE(Board().IsOpen());  // still the viewer's
  EXPECT_EQ(View().OpenRefCount(), 1);
  View().Close();
  EXPECT_FALSE(Board().IsOpen());
}

TEST_F(ClipboardTest, PutBufferAddsToWhatIsThereAndNeverEmpties) {
  app_->Put({{"13", Utf16Bytes("wide")}});
  Opened([&] {
    EXPECT_EQ(clipboard_.PutTextBuffer("narrow"), ClipStatus::kOk);
    const char raw[] = {'r', 'a', 'w'};
    EXPECT_EQ(clipboard_.PutBuffer(0xC0DE, raw, sizeof(raw)), ClipStatus::kOk);
    EXPECT_EQ(clipboard_.PutBuffer(0xC0DF, raw, 0), ClipStatus::kFailed);  // the clipboard takes no empty block
    EXPECT_EQ(clipboard_.GetData(cf::kText).bytes, TextBytes("narrow"));
    EXPECT_EQ(clipboard_.GetData(0xC0DE).bytes, (Bytes{'r', 'a', 'w'}));
    EXPECT_EQ(clipboard_.GetData(0xC0DF).status, ClipStatus::kAbsent);
  });
  EXPECT_EQ(app_->Read(cf::kUnicodeText).bytes, Utf16Bytes("wide"));
  // Outside a bracket the system refuses, and the object says so.
  EXPECT_EQ(clipboard_.PutTextBuffer("late"), ClipStatus::kNotOpen);
}

TEST_F(ClipboardTest, AssignAddsTheBitmapAndItsPaletteAfterWhatIsAlreadyThere) {
  app_->PutText("caption");
  const TBitmap with_palette(SmallDib(), SmallPalette());
  const TBitmap without_palette(SmallDib(0x10));
  Opened([&] {
    ASSERT_TRUE(View().SetIgnore());
    EXPECT_EQ(clipboard_.Assign(with_palette), ClipStatus::kOk);
  });
  const Formats listed = Board().Formats();
  const auto position = [&listed](std::uint32_t format) {
    return std::find(listed.begin(), listed.end(), format) - listed.begin();
  };
  ASSERT_LT(position(cf::kText), position(IgnoreFormat));
  ASSERT_LT(position(IgnoreFormat), position(cf::kBitmap));
  ASSERT_LT(position(cf::kBitmap), position(cf::kPalette));
  ASSERT_LT(position(cf::kPalette), static_cast<std::ptrdiff_t>(listed.size()));
  EXPECT_EQ(app_->Read(cf::kText).bytes, TextBytes("caption"));
  EXPECT_EQ(app_->Read(cf::kBitmap).bytes, SmallDib());
  EXPECT_EQ(app_->Read(cf::kPalette).bytes, SmallPalette());

  app_->PutText("again");
  Opened([&] { EXPECT_EQ(clipboard_.Assign(without_palette), ClipStatus::kOk); });
  EXPECT_EQ(app_->Read(cf::kPalette).status, ClipStatus::kAbsent);
  EXPECT_EQ(app_->Read(cf::kBitmap).bytes, SmallDib(0x10));
  EXPECT_EQ(app_->Read(cf::kText).bytes, TextBytes("again"));
}

TEST_F(ClipboardTest, AssignToLoadsBitmapsAndMetafilesWithThePalette) {
  app_->Put({{"8", SmallDib()}, {"9", SmallPalette()}});
  TBitmap bitmap;
  Opened([&] { clipboard_.AssignTo(bitmap); });  // CF_BITMAP, as the system derives it from the DIB
  EXPECT_EQ(bitmap.Dib(), SmallDib());
  EXPECT_EQ(bitmap.Palette(), SmallPalette());
  EXPECT_EQ(bitmap.Width(), 2);

  app_->Put({{"3", MetafilePict(8, 2540, 1270)}});
  TMetafile metafile;
  Opened([&] { clipboard_.AssignTo(metafile); });
  EXPECT_FALSE(metafile.Enhanced());
  EXPECT_EQ(metafile.MapMode(), 8);
  EXPECT_EQ(metafile.XExt(), 2540);
  EXPECT_EQ(metafile.YExt(), 1270);
  EXPECT_EQ(metafile.Bits(), MetafileBits());
  EXPECT_EQ(metafile.SaveToClipboardFormat().data, MetafilePict(8, 2540, 1270));

  // Data the graphics layer cannot take, or no data at all, is an error the
  // caller can catch; the destination keeps what it had.
  Bytes truncated = MetafilePict(8, 1, 1);
  truncated.resize(20);
  app_->Put({{"3", truncated}, {"1", TextBytes("no bitmap")}});
  Opened([&] {
    EXPECT_THROW(clipboard_.AssignTo(metafile), EInvalidGraphic);
    EXPECT_THROW(clipboard_.AssignTo(bitmap), EInvalidGraphic);
  });
  EXPECT_EQ(metafile.XExt(), 2540);
  EXPECT_EQ(bitmap.Dib(), SmallDib());
}

TEST_F(ClipboardTest, AssignToAPictureTakesTheFirstLoadableFormatInClipboardOrder) {
  TPicture picture;
  app_->Put({{"1", TextBytes("x")}, {"14", EnhMetafile()}, {"8", SmallDib()}});
  Opened([&] { clipboard_.AssignTo(picture); });
  ASSERT_NE(picture.Metafile(), nullptr);
  EXPECT_TRUE(picture.Metafile()->Enhanced());

  app_->Put({{"8", SmallDib()}, {"14", EnhMetafile()}});
  Opened([&] { clipboard_.AssignTo(picture); });
  ASSERT_NE(picture.Bitmap(), nullptr);
  EXPECT_EQ(picture.Bitmap()->Dib(), SmallDib());

  // A picture goes back as the graphic it holds.
  app_->PutText("replaced");
  Opened([&] { EXPECT_EQ(clipboard_.Assign(picture), ClipStatus::kOk); });
  EXPECT_EQ(app_->Read(cf::kBitmap).bytes, SmallDib());

  app_->Put({{"1", TextBytes("text only")}, {"Rich Text Format", TextBytes("{\\rtf1}")}});
  Opened([&] {
    try {
      clipboard_.AssignTo(picture);
      ADD_FAILURE() << "no picture on the clipboard, yet it loaded one";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "Invalid clipboard format");
    }
  });
}

TEST_F(ClipboardTest, FormatsAreEnumeratedOnlyOnAnOpenClipboard) {
  app_->Put({{"Rich Text Format", TextBytes("{\\rtf1}")}, {"1", TextBytes("t")}});
  const std::uint32_t rtf = desktop_.Clipboard().RegisterFormat("Rich Text Format");
  const Formats expected{rtf, cf::kText, cf::kLocale, cf::kOemText, cf::kUnicodeText};
  EXPECT_EQ(clipboard_.FormatCount(), 5);
  EXPECT_EQ(clipboard_.FormatAt(0), 0u);  // closed
  Opened([&] {
    Formats listed;
    for (std::int32_t i = 0; i < clipboard_.FormatCount(); ++i) listed.push_back(clipboard_.FormatAt(i));
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(clipboard_.FormatAt(5), 0u);
    EXPECT_EQ(clipboard_.FormatAt(-1), 0u);
  });
}

TEST_F(ClipboardTest, PictureFormatStandsForAnyLoadablePicture) {
  EXPECT_EQ(ConvertFormatNum(desktop_.Clipboard(), PictureFormat), "Ottermoor Picture");
  const struct {
    std::vector<Item> items;
    bool picture;
  } cases[] = {
      {{{"1", TextBytes("text")}}, false},
      {{{"8", SmallDib()}}, true},
      {{{"3", MetafilePict(8, 1, 1)}}, true},
      {{{"14", EnhMetafile()}}, true},
      {{{"Rich Text Format", TextBytes("{\\rtf1}")}, {"9", SmallPalette()}}, false},
  };
  for (const auto& c : cases) {
    app_->Put(c.items);
    // On a closed clipboard, as the capture code asks.
    EXPECT_EQ(clipboard_.HasFormat(PictureFormat), c.picture) << c.items.front().format;
    EXPECT_TRUE(clipboard_.HasFormat(app_->FormatOf(c.items.front().format)));
  }
  EXPECT_FALSE(clipboard_.HasFormat(0));
}

TEST(TheClipboardTest, IsTheInstalledObjectAndNothingElse) {
  EXPECT_THROW(TheClipboard(), std::logic_error);
  fake::FakeDesktop desktop;
  TClipboard outer(desktop.Clipboard());
  TClipboard inner(desktop.Clipboard());
  {
    TheClipboardInstallation install_outer(outer);
    EXPECT_EQ(&TheClipboard(), &outer);
    {
      TheClipboardInstallation install_inner(inner);
      EXPECT_EQ(&TheClipboard(), &inner);
    }
    EXPECT_EQ(&TheClipboard(), &outer);
  }
  EXPECT_THROW(TheClipboard(), std::logic_error);
}

}  // namespace
}  // namespace om::testing
