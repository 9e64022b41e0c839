// The icon picker's behaviour: which images it offers and what it returns.
#include "ui/dialogs/select_bitmap.h"

#include <gtest/gtest.h>

#include <functional>

namespace om {
namespace {

class ScriptedView final : public ISelectBitmapView {
 public:
  bool ShowModal(TfrmSelectBitmap& dialog) override {
    shown_images = dialog.Images();
    if (act) act(dialog);
    return ok;
  }
  void SetCaption(const std::string& value) override { caption = value; }
  void ShowImages(const std::vector<int>& value) override { images = value; }
  std::function<void(TfrmSelectBitmap&)> act;
  bool ok = true;
  std::string caption;
  std::vector<int> images, shown_images;
};

TEST(SelectBitmapTest, OffersTheCollectionImagesAndAllOnTheLabelsDoubleClick) {
  ScriptedView view;
  TfrmSelectBitmap dialog(view, 14);
  view.act = [&](TfrmSelectBitmap& d) {
    EXPECT_EQ(view.caption, "Select A Bitmap");
    EXPECT_EQ(view.images, (std::vector<int>{10, 11, 12, 13}));
    d.CellClick(3);
    EXPECT_EQ(d.Chosen(), 13);
    d.LabelDoubleClick();
    EXPECT_EQ(view.caption, "Now Showing ALL Images");
    EXPECT_EQ(view.images.front(), 0);
    EXPECT_EQ(view.images.size(), 14u);
    d.CellClick(3);
  };
  EXPECT_EQ(dialog.Execute(), 3);
}

TEST(SelectBitmapTest, NothingChosenOrCancelledReturnsNothing) {
  ScriptedView view;
  TfrmSelectBitmap dialog(view, 12);
  view.act = [](TfrmSelectBitmap& d) { d.CellClick(2); };  // no third image from 10 on
  EXPECT_EQ(dialog.Execute(), std::nullopt);
  view.act = [](TfrmSelectBitmap& d) { d.CellClick(0); };
  view.ok = false;
  EXPECT_EQ(dialog.Execute(), std::nullopt);
  view.ok = true;
  EXPECT_EQ(dialog.Execute(), 10);
}

}  // namespace
}  // namespace om
