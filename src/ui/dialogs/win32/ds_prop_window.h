// The data-source properties dialog's window: the directory, ID and status
// shown, the title and the two check boxes edited, OK and Cancel.
#pragma once

#include <windows.h>

#include "ui/dialogs/ds_prop.h"

namespace om::win32 {

class DSPropWindow final : public IDSPropView {
 public:
  static constexpr int kDirectoryId = 100;
  static constexpr int kIdId = 101;
  static constexpr int kStatusId = 102;
  static constexpr int kTitleId = 103;
  static constexpr int kReadOnlyId = 104;
  static constexpr int kAutoLoadId = 105;

  explicit DSPropWindow(HWND owner) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  bool ShowModal(const std::string& caption, TDSPropFields& fields) override;

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

  HWND owner_;
};

}  // namespace om::win32
