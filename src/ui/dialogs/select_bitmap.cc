#include "ui/dialogs/select_bitmap.h"

namespace om {

std::optional<int> TfrmSelectBitmap::Execute() {
  chosen_.reset();
  view_.SetCaption(kCaption);
  Fill(kFirstCollectionImage);
  if (!view_.ShowModal(*this)) return std::nullopt;
  return chosen_;
}

void TfrmSelectBitmap::LabelDoubleClick() {
  view_.SetCaption(kAllCaption);
  Fill(0);
}

void TfrmSelectBitmap::CellClick(int cell) {
  if (cell < 0 || static_cast<std::size_t>(cell) >= images_.size()) return;
  chosen_ = images_[static_cast<std::size_t>(cell)];
}

void TfrmSelectBitmap::Fill(int first) {
  images_.clear();
  chosen_.reset();
  for (int image = first; image < image_count_; ++image) images_.push_back(image);
  view_.ShowImages(images_);
}

}  // namespace om
