// The main window's widgets as its behaviour sees them. The behaviour
// (TfrmQL) owns the state and decides; these interfaces only show it. The
// Win32 layer implements them over the real controls, the tests over plain
// fakes that record what they were told.
//
// Every call happens on the user-interface thread. None of them raises the
// behaviour's own events: selecting a node or a row from here does not call
// back into the handlers (the behaviour calls its handler itself where it
// needs to). Only the user's own actions, forwarded by the window, do.
//
// The tree and the clip list have headers of their own (tree_widget.h,
// clip_list_widget.h); the rest, shared by every feature, is here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/dialogs/ds_prop.h"
#include "ui/dialogs/find.h"
#include "ui/dialogs/select_bitmap.h"
#include "ui/dialogs/web_browser.h"
#include "ui/main/clip_list_widget.h"
#include "ui/main/preview_widget.h"
#include "ui/main/tree_widget.h"

namespace om {

// The main window's menu items and buttons whose state the behaviour sets.
enum class MenuItem {
  kAutoCapture,        // Config, "&Auto Capture" (F12)
  kTrayAutoCapture,    // tray, "Aut&o Capture"
  kFileSave,           // File, "&Save All Clips To Disk" (Ctrl+S)
  kFileReload,         // File, "Reload All Clips From Disk"
  kImportCollections,  // File, "Import Collections (v4.x or v5.x)"
  kCheckForUpdates,    // the update-check entry
  kExit,               // File, "E&xit"
  kTrayExit,           // tray, "E&xit Program (Shut Down)"
  kLocateLastClip,     // View, "&Locate Last Captured Clip"
  kMagPaste,           // the preview's Paste button and the text pane's "Paste"
  // The clip commands, enabled for the clips selected in the list
  // (TClipList::UpdateMenusForSelection); the entries of the commands that
  // exist yet are in the menus, the others arrive with their commands.
  kRenameTitle,        // Edit, "Rename &Title" (Ctrl+T)
  kShiftLeft,          // Edit, "<< Shift &Left"
  kShiftRight,         // Edit, ">> Shift &Right"
  kRemoveLineBreaks,   // Edit, "Remove Line&breaks"
  kLowerCase,          // Edit, "&Lower Case"
  kUpperCase,          // Edit, "&Upper Case"
  kMixedCase,          // Edit, "&Mixed Case"
  kSentenceCase,       // Edit, "&Sentence Case"
  kCopyToCollection,   // Edit, "Copy Item To Collection"
  kDeleteSelected,     // Edit, "&Delete Selected Items"
  // Their counterparts in the tray icon's menu.
  kTrayRenameTitle,
  kTrayShiftLeft,
  kTrayShiftRight,
  kTrayRemoveLineBreaks,
  kTrayLowerCase,
  kTrayUpperCase,
  kTrayMixedCase,
  kTraySentenceCase,
  kExpandPreview,      // View, "Expand Preview Window" (Ctrl+Alt+X): checked while expanded
  kGlue,               // Edit, "Glue": checked while the glue button is down
  kTrayGlue,           // tray, "&Glue": the same
  kMoveToCollection,   // Edit, "Move Item To Collection"
  kStepfeedUp,         // Edit, "Stepfeed &Up": checked while a run goes up
  kStepfeedDown,       // Edit, "Stepfeed &Down": checked while a run goes down
  kTrayStepfeedUp,     // tray, "Stepfeed &Up"
  kTrayStepfeedDown,   // tray, "Stepfeed &Down"
  kShowPDAlternates,   // View, "Show Alternate Collections in Pickdrop" (Ctrl+F11)
};

class IMenus {
 public:
  virtual ~IMenus() = default;
  virtual void SetChecked(MenuItem item, bool checked) = 0;
  virtual void SetEnabled(MenuItem item, bool enabled) = 0;
  virtual void SetVisible(MenuItem item, bool visible) = 0;
};

class IStatusBar {
 public:
  virtual ~IStatusBar() = default;
  // The three panels, 0 .. 2. Panel 0 carries the status messages.
  virtual void SetPanelText(int panel, std::string_view text) = 0;
};

enum class TrayImage { kNormal, kDisabled };

class ITrayIcon {
 public:
  virtual ~ITrayIcon() = default;
  // Shows or removes the icon in the notification area.
  virtual void SetActive(bool active) = 0;
  virtual void SetImage(TrayImage image) = 0;
};

// The window itself.
class IFormShell {
 public:
  virtual ~IFormShell() = default;
  // The window's handle for owning message boxes (0 before it exists).
  virtual std::uintptr_t Handle() const = 0;
  // The hourglass while the behaviour works; off again when false.
  virtual void SetBusy(bool busy) = 0;
  // The text of the title header above the list (the drop-down header of
  // the traditional view); section 0 carries status messages.
  virtual void SetHeaderText(std::string_view text) = 0;
  // Shows or hides the preview pane.
  virtual void SetPreviewVisible(bool visible) = 0;
  // Shows or hides the right-hand panel (the list and the preview).
  virtual void SetClipPanelVisible(bool visible) = 0;
  // Takes the window out of the always-on-top position, and puts it back
  // as the visibility mode says.
  virtual void LeaveTopmost() = 0;
  virtual void RestoreVisibility() = 0;
  virtual void Minimize() = 0;
  // The Ctrl key is held down at this moment (the keyboard state of the
  // message being handled).
  virtual bool CtrlKeyDown() const = 0;
  // The Esc key is down at this moment (asked while a long search runs).
  virtual bool EscapeKeyDown() const = 0;
  // Makes the HTML preview window inside the preview's Html tab, or gives
  // nullptr when the system's web browser cannot show a document there
  // (`error` then says what failed). The window lives until
  // DestroyHtmlView or the main window's end.
  virtual IWebBrowserView* CreateHtmlView(std::string& error) = 0;
  virtual void DestroyHtmlView() = 0;
  // Asks the window to close (it then asks the behaviour's FormCloseQuery).
  virtual void Close() = 0;
  // The collections tool button shows image `image` of the collections'
  // images.
  virtual void SetCollectionButtonImage(int image) = 0;
  // The glue tool button cmdGlue down (its tipped glue pot) or up.
  virtual void SetGlueButtonDown(bool down) = 0;
  // Pickdrop's layout: its tool bar (Toolbar3, with the lock) shown and
  // the main tool bar disabled, or the other way round; the states of its
  // buttons (`sticky`: Tab and Enter are toggles).
  virtual void ShowPickdropLayout(bool shown) = 0;
  virtual void SetPickdropButtons(bool lock, bool tab, bool enter, bool sticky) = 0;
  // Brings the window up over the other programs (restored when
  // minimized) and makes it the foreground window.
  virtual void ShowMe() = 0;
  virtual bool Visible() const = 0;
  virtual void Hide() = 0;
  // The keyboard focus in the clip list.
  virtual void FocusClipList() = 0;
  // Pickdrop's alternate list (lvPD) with its caption shown in place of
  // the preview, or the preview back; the caption; the focus in the list;
  // its "Set" menu below the button (the chosen entry, nullopt for none).
  virtual void ShowAlternates(bool shown) = 0;
  virtual void SetAlternateCaption(std::string_view caption) = 0;
  virtual void FocusAlternateList() = 0;
  virtual std::optional<int> PopupAlternateMenu(const std::vector<CollectionMenuEntry>& entries) = 0;
  // The sequential-paste buttons cmdSFUp and cmdSFDown down or up.
  virtual void SetStepfeedButtons(bool up, bool down) = 0;
  // Shows or hides the optional tool buttons: "Initiate Search" (the find
  // dialog) and "Remove Line Breaks".
  virtual void ShowToolButtons(bool search, bool line_breaks) = 0;
  // How many images the collections' image list holds.
  virtual int CollectionImageCount() const = 0;
  // The windows of the dialogs the collections tree opens.
  virtual ISelectBitmapView& SelectBitmapView() = 0;
  virtual IDSPropView& DSPropView() = 0;
  virtual IFindView& FindView() = 0;
  // The folder picker, starting at `proposed`; it may create the folder.
  // nullopt when cancelled.
  virtual std::optional<std::string> PickDirectory(std::string_view proposed) = 0;
  // How many menu entries fit one above the other on the screen (0: no
  // limit known): where a collection menu starts a new column.
  virtual int MenuEntriesPerColumn() const = 0;
  // The move/copy target menu PopupMenuFileClip below the tool button
  // cmdMoveClips: the chosen entry's position, nullopt when it was closed
  // without a choice.
  virtual std::optional<int> PopupFileClipMenu(const std::vector<CollectionMenuEntry>& entries) = 0;
  // The tool tip of cmdMoveClips.
  virtual void SetMoveClipsHint(std::string_view hint) = 0;
};

// Everything above, handed to the behaviour at creation. The references
// must outlive it.
struct MainFormWidgets {
  ITreeWidget& tree;
  IClipListWidget& clips;
  // Pickdrop's alternate list, the same kind of control.
  IClipListWidget& alternate_clips;
  IMenus& menus;
  IStatusBar& status;
  ITrayIcon& tray;
  IFormShell& shell;
  IPreviewWidget& preview;
};

}  // namespace om
