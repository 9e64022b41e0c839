// What the main window forwards to its behaviour: every user action and
// window event, one call each, nothing decided in the window itself. TfrmQL
// implements it; the Win32 window and the tests' fake window call it.
#pragma once

#include "mainform/widgets.h"

namespace om {

// The commands of the menus that exist so far (main menu and tray menu).
enum class MenuCommand {
  kFileSave,          // "&Save All Clips To Disk" (Ctrl+S)
  kFileReload,        // "Reload All Clips From Disk"
  kExit,              // "E&xit" and the tray's "E&xit Program (Shut Down)"
  kAutoCapture,       // "&Auto Capture" (F12)
  kTrayAutoCapture,   // the tray's "Aut&o Capture"
  kLocateLastClip,    // "&Locate Last Captured Clip"
};

// How a list row changed (the list view's change notification).
enum class ListChange { kState, kText, kImage };

class IMainFormEvents {
 public:
  virtual ~IMainFormEvents() = default;
  // The window is shown (every time; the behaviour acts on the first).
  virtual void FormShow() = 0;
  // The user or the system asks the window to close: true lets it close.
  virtual bool FormCloseQuery() = 0;
  // The window closes (after FormCloseQuery allowed it).
  virtual void FormClose() = 0;
  // The system's end-of-session query: the answer is always true.
  virtual bool WMQueryEndSession() = 0;
  virtual void MenuClick(MenuCommand command) = 0;
  // The user selected a node (the tree's selection-change notification).
  virtual void tvCollectionsChange(TreeNode node) = 0;
  // A row of the clip list changed (selection or focus, by the user).
  virtual void lvClipsChange(int index, ListChange change) = 0;
  // A key of the clip list went up (arrow keys copy only on release).
  virtual void lvClipsKeyUp(int virtual_key) = 0;
  // The user clicked a column header of the clip list.
  virtual void lvClipsColumnClick(int column) = 0;
};

}  // namespace om
