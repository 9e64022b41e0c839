// The icon picker's window: a label, a grid of the collections' images, OK
// and Help. The behaviour (TfrmSelectBitmap) decides what the grid shows.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/dialogs/select_bitmap.h"

namespace om::win32 {

class SelectBitmapWindow final : public ISelectBitmapView {
 public:
  static constexpr int kLabelId = 100;
  static constexpr int kGridId = 101;
  static constexpr int kHelpId = 102;

  // `images`: the collections' image list (not owned). `owner` may change
  // before each showing.
  SelectBitmapWindow(HWND owner, HIMAGELIST images) : owner_(owner), images_(images) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  bool ShowModal(TfrmSelectBitmap& dialog) override;
  void SetCaption(const std::string& caption) override;
  void ShowImages(const std::vector<int>& images) override;

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void FillGrid();

  HWND owner_;
  HIMAGELIST images_;
  HWND dialog_ = nullptr;
  HWND tooltip_ = nullptr;
  TfrmSelectBitmap* behaviour_ = nullptr;
  std::string caption_;
  std::vector<int> shown_;
};

}  // namespace om::win32
