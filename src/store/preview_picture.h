// The preview pane's picture as capture and copy-back use it: a captured or
// placed bitmap is shown there at once, so the pane already shows what the
// clipboard holds.
#pragma once

#include "clipboard/graphics.h"

namespace om {

class IPreviewPicture {
 public:
  virtual ~IPreviewPicture() = default;
  // Empties the picture and enables the image (a bitmap is being captured).
  virtual void ClearPicture() = 0;
  // Shows the bitmap and repaints the image.
  virtual void ShowBitmap(const TBitmap& bitmap) = 0;
};

}  // namespace om
