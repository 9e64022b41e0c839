// The Pickdrop mode's tool bar (Toolbar3), shown below the main tool bar
// while the mode is active: the lock "PD" (cmdPDLock), "Tab" and "Enter"
// (cmdPDTab, cmdPDEnter: toggles while "Sticky?" is checked, plain buttons
// otherwise), the "Sticky?" box (chkPDStickyButtons), "Paste"
// (cmdPDPasteIt) and "Set" (cmdPickdropSetAlternate: the alternate
// collection's menu). Every button's state is the behaviour's to set: a click
// only reports the button.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace om::win32 {

class PickdropBar {
 public:
  // The bar's own control identifier in the main window.
  static constexpr int kControlId = 1010;
  static constexpr int kLockId = 2101;
  static constexpr int kTabId = 2102;
  static constexpr int kEnterId = 2103;
  static constexpr int kStickyId = 2104;
  static constexpr int kPasteId = 2105;
  static constexpr int kSetId = 2106;

  PickdropBar(HWND parent, int control_id);
  PickdropBar(const PickdropBar&) = delete;
  PickdropBar& operator=(const PickdropBar&) = delete;

  HWND hwnd() const { return hwnd_; }
  // 0 while hidden.
  int Height() const;
  void SetShown(bool shown);
  bool Shown() const;
  // The buttons' states; `sticky` makes Tab and Enter toggles.
  void SetStates(bool lock, bool tab, bool enter, bool sticky);
  bool Checked(int id) const;
  bool IsToggle(int id) const;
  // A button's rectangle in screen coordinates.
  RECT ButtonRect(int id) const;

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace om::win32
