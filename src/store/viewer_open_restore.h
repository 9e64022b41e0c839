// Puts the viewer's counted Open back where it stood when the guard was
// made, however the scope is left. Capture and copy-back open the clipboard
// through the viewer and close it at their end; an error in between must not
// leave the system clipboard open, or every other program would be locked
// out of it (and the change a copy made would never be announced).
#pragma once

#include <cstdint>

#include "clipboard/clip_view.h"

namespace om {

class ViewerOpenRestore {
 public:
  explicit ViewerOpenRestore(TClipView5& view) : view_(view), count_(view.OpenRefCount()) {}
  ~ViewerOpenRestore() {
    while (view_.OpenRefCount() > count_) view_.Close();
  }
  ViewerOpenRestore(const ViewerOpenRestore&) = delete;
  ViewerOpenRestore& operator=(const ViewerOpenRestore&) = delete;

 private:
  TClipView5& view_;
  std::int32_t count_;
};

}  // namespace om
