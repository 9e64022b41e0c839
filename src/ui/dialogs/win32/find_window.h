// The find dialog's window: the search text, the three scopes, OK, Cancel
// and Help. A dialog border without system buttons, where the system
// places new windows.
#pragma once

#include <windows.h>

#include "ui/dialogs/find.h"

namespace om::win32 {

class FindDialogWindow final : public IFindView {
 public:
  static constexpr int kTextId = 100;        // txtFindText
  static constexpr int kGroupId = 101;       // "Scope Of Search"
  static constexpr int kCurrCollId = 102;    // rbCurrColl
  static constexpr int kAllCollId = 103;     // rbAllColl
  static constexpr int kWithinClipId = 104;  // rbWithinClip
  static constexpr int kHelpId = 105;

  explicit FindDialogWindow(HWND owner) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  bool ShowModal(TfrmFind& dialog, TFindFields& fields) override;

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

  HWND owner_;
};

}  // namespace om::win32
