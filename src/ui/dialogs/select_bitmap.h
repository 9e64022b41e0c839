// The icon picker (TfrmSelectBitmap): a grid of the collections' images to
// choose a collection's icon from. Its behaviour; the window shows the grid
// and reports the user's actions.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace om {

class TfrmSelectBitmap;

class ISelectBitmapView {
 public:
  virtual ~ISelectBitmapView() = default;
  // Shows the dialog modally; while it is up the window reports to
  // `dialog` and shows what it is told. True when closed with OK.
  virtual bool ShowModal(TfrmSelectBitmap& dialog) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // The grid's cells, row by row: the image index of each.
  virtual void ShowImages(const std::vector<int>& images) = 0;
};

class TfrmSelectBitmap {
 public:
  static constexpr char kCaption[] = "Select A Bitmap";
  static constexpr char kAllCaption[] = "Now Showing ALL Images";
  static constexpr char kHint[] = "Just pick any bitmap for your toolbar icon.";
  static constexpr char kLabel[] = "Double-click here to show all images.";
  // The collections' own images begin here; the ones before are the
  // program's (folders, trash, search results).
  static constexpr int kFirstCollectionImage = 10;

  // `image_count`: how many images the collections' image list holds.
  TfrmSelectBitmap(ISelectBitmapView& view, int image_count) : view_(view), image_count_(image_count) {}

  // Shows the dialog. The chosen image on OK; nullopt when it was closed
  // otherwise or nothing was chosen.
  std::optional<int> Execute();

  // --- the window's reports ---
  // A double click on the label above the grid: every image from 0 on.
  void LabelDoubleClick();
  // A click on a cell (its position in the grid); cells without an image
  // cannot be chosen.
  void CellClick(int cell);

  const std::vector<int>& Images() const { return images_; }
  std::optional<int> Chosen() const { return chosen_; }

 private:
  void Fill(int first);

  ISelectBitmapView& view_;
  int image_count_;
  std::vector<int> images_;
  std::optional<int> chosen_;
};

}  // namespace om
