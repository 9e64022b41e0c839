// What the main window forwards to its behaviour: every user action and
// window event, one call each, nothing decided in the window itself. TfrmQL
// implements it and hands each feature's events to that feature (the tree's
// to TCollectionsTree, the clip list's to TClipList); the Win32 window and
// the tests call it.
#pragma once

#include "ui/main/preview_widget.h"
#include "ui/main/widgets.h"

namespace om {

// The commands of the menus that exist so far (main menu and tray menu).
enum class MenuCommand {
  kFileSave,          // "&Save All Clips To Disk" (Ctrl+S)
  kFileReload,        // "Reload All Clips From Disk"
  kExit,              // "E&xit" and the tray's "E&xit Program (Shut Down)"
  kAutoCapture,       // "&Auto Capture" (F12)
  kTrayAutoCapture,   // the tray's "Aut&o Capture"
  kLocateLastClip,    // "&Locate Last Captured Clip"
  kRenameTitle,       // Edit, "Rename &Title" (Ctrl+T)
  kSelectAll,         // Edit, "Select All Items" (Ctrl+A)
  kSelectPrevious,    // Edit, "Select &Previous Item (Up)"
  kSelectNext,        // Edit, "Select &Next Item (Down)"
  kOpenSourceUrl,     // View, "Open Source URL In Browser" (Ctrl+O)
  kNewCollection,         // File, "Add New Collection"
  kCollectionProperties,  // File, "Collection Properties"
  kSwitchToLastCollection,      // "Switch To &Last Collection" (F5)
  kSwitchToFavoriteCollection,  // "Switch To Fa&vorite Collection " (F6)
  kLargeIcons,        // "Large Icons": the clip list's thumbnails
  kViewDetails,       // "View Details": the clip list's columns
  // The text transforms (Edit menu, and their tray counterparts).
  kShiftLeft,         // "<< Shift &Left"
  kShiftRight,        // ">> Shift &Right"
  kRemoveLineBreaks,  // "Remove Line&breaks" (Ctrl+Alt+B); also cmdMainToolbarNOCRLF
  kLowerCase,         // "&Lower Case" (Ctrl+Alt+L)
  kUpperCase,         // "&Upper Case" (Ctrl+Alt+U)
  kMixedCase,         // "&Mixed Case" (Ctrl+Alt+M)
  kSentenceCase,      // "&Sentence Case" (Ctrl+Alt+S)
  kStripNonText,      // "Strip Out Non-TEXT Data Formats" (Ctrl+Alt+T)
  kExpandPreview,     // View, "Expand Preview Window" (Ctrl+Alt+X)
  kGlue,              // Edit, "Glue" (Ctrl+G); the tray's "&Glue"
  kFind,              // View, "&Find (Search)..." (Ctrl+F)
  kFindNext,          // View, "Find Ne&xt" (F3)
  kDeleteSelected,    // Edit, "&Delete Selected Items"
  kEmptyTrash,        // File, "Empty &Trash"
  kNewClip,           // File, "Create &New, Empty Clip"
  kMoveToCollection,  // Edit, "Move Item To Collection"
  kCopyToCollection,  // Edit, "Copy Item To Collection"
  kMoveClips,         // the tool button cmdMoveClips
  kMoveClipsMenu,     // cmdMoveClips's drop-down arrow: the collection menu
  kStepfeedUp,        // Edit, "Stepfeed &Up" (Ctrl+U); the tray's; the tool button cmdSFUp
  kStepfeedDown,      // Edit, "Stepfeed &Down" (Ctrl+D); the tray's; the tool button cmdSFDown
  // The Pickdrop tool bar's buttons.
  kPickdropLock,      // cmdPDLock, "PD"
  kPickdropTab,       // cmdPDTab, "Tab"
  kPickdropEnter,     // cmdPDEnter, "Enter"
  kPickdropSticky,    // chkPDStickyButtons, "Sticky?"
  kPickdropPaste,     // cmdPDPasteIt, "Paste"
  kPickdropSetAlternate,  // cmdPickdropSetAlternate, "Set": the alternate collection's menu
  kShowPDAlternates,  // View, "Show Alternate Collections in Pickdrop" (Ctrl+F11)
};

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
  // The program lost activation: another program came to the front.
  virtual void AppDeactivate() = 0;
  // Each feature's control reports to the feature itself; nullptr while it
  // has nobody to report to (before the behaviour exists).
  virtual ITreeEvents* TreeEvents() = 0;
  virtual IClipListEvents* ClipListEvents() = 0;
  // Pickdrop's alternate list (lvPD).
  virtual IClipListEvents* AlternateListEvents() { return nullptr; }
  virtual IPreviewEvents* PreviewEvents() = 0;
};

}  // namespace om
