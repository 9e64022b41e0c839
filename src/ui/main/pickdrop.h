// TPickdrop: pick-and-paste. The user presses the Pickdrop hot key inside
// any program; the main window comes up over it with the clip list, every
// clip the user moves to goes on the clipboard, and Enter (or a double
// click) pastes the chosen clip into the program that was in front: the
// program makes that window the foreground window again and types the
// paste keys into it (Ctrl+V; Alt+E, P where Ctrl+V is not wanted; the
// system menu's Edit, Paste in a console window), optionally followed by
// Tab or Enter. Then the mode ends, unless the lock button (cmdPDLock,
// "PD") keeps it for the next pick.
//
// The mode's own tool bar (Toolbar3) holds the Tab and Enter buttons
// (cmdPDTab, cmdPDEnter: with "Sticky?" checked they are toggles that say
// "send this key after every paste", otherwise they send the key at once),
// the "Sticky?" box and "Paste" (paste and stay).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_settings.h"
#include "platform/prompts.h"
#include "platform/types.h"

namespace om {

class IPickdropHost {
 public:
  virtual ~IPickdropHost() = default;
  virtual void EndAutoGlue() = 0;
  // Ends sequential paste, the clip on the clipboard put back as data.
  virtual void SequentialPasteOff() = 0;
  // The main window's own handle.
  virtual WindowHandle MainWindowHandle() const = 0;
  // Other programs' windows.
  virtual WindowHandle ForegroundWindow() = 0;
  virtual std::string WindowTitle(WindowHandle window, std::size_t max_chars) = 0;
  // The file name of the window's program (without path or extension),
  // as source identification finds it.
  virtual std::string WindowModuleName(WindowHandle window) = 0;
  // The window with the keyboard focus inside the window's thread, read
  // by attaching to that thread's input for a moment; 0 when none.
  virtual WindowHandle FocusedControlOf(WindowHandle window) = 0;
  virtual void SetForegroundWindow(WindowHandle window) = 0;
  virtual void BringWindowToTop(WindowHandle window) = 0;
  // Types the key string into the window (made the foreground window and
  // given the focus first). Errors of the key string are thrown.
  virtual void SendKeysTo(std::string_view keys, WindowHandle window) = 0;
  virtual void Wait(std::uint32_t ms) = 0;
  // Milliseconds on the system's clock.
  virtual std::uint32_t TickCount() = 0;
  virtual MsgResult Message(std::string_view text, MsgButtons buttons, MsgIcon icon) = 0;
  virtual void ShowStatus(int level, bool busy, std::string_view text) = 0;
  // The mode's layout: its tool bar and lock button shown, the main tool
  // bar disabled and the second status panel hidden; or all back.
  virtual void ShowPickdropLayout(bool shown) = 0;
  virtual void SetPickdropButtons(bool lock, bool tab, bool enter, bool sticky) = 0;
  // The main window: shown over the others; whether it is shown; hidden.
  virtual void ShowMe() = 0;
  virtual bool MainWindowVisible() const = 0;
  virtual void HideMainWindow() = 0;
  // The clip list: focused; its selection in single-selection mode for the
  // mode, multiple again after it; its selected row deselected and
  // selected again so that its selection handling runs.
  virtual void FocusClipList() = 0;
  virtual void SetListMultiSelect(bool multi) = 0;
  virtual void ReselectSelectedRow() = 0;
  // The fragments of window titles into which Ctrl+V is not sent.
  virtual std::vector<std::string> NoCtrlVFragments() = 0;
  // The alternate list: shown in place of the preview, or the preview
  // back; filled again from its collection; focused, its selection
  // handling run for its selected row.
  virtual void ShowAlternates(bool shown) = 0;
  virtual void RefillAlternates() = 0;
  virtual void FocusAlternates() = 0;
};

class TPickdrop {
 public:
  // How long after the hot key (and after the end) the program's losing
  // activation and clicks in the list are ignored.
  static constexpr std::uint32_t kGuardMs = 500;
  static constexpr std::size_t kTitleChars = 39;
  static constexpr char kIntoItself[] =
      "You tried to Pickdrop INTO Ottermoor, which is not possible.\r\n"
      "Please invoke the Pickdrop hotkey from WITHIN the application which you want to paste into.";
  // The paste keys: Ctrl+V; Alt+E then P (the Edit menu); Alt+Space, E, P
  // (a console window's system menu).
  static constexpr char kCtrlV[] = "^V";
  static constexpr char kAltSpace[] = "@ ";
  static constexpr char kAltE[] = "@e";

  TPickdrop(IPickdropHost& host, TAppSettings& settings);
  TPickdrop(const TPickdrop&) = delete;
  TPickdrop& operator=(const TPickdrop&) = delete;

  // The buttons' states from the settings (at start-up).
  void LoadButtonStates();

  // The hot key: enters the mode over the program in front.
  void Pickdrop();
  // Enter or a double click in the list: pastes and leaves the mode
  // unless locked.
  void ProcessPickdropSelection();
  // Sends the paste keys (and Tab/Enter after them) to the target.
  void PasteInto();
  // Leaves the mode.
  void PDTerminate();
  // Escape in the list: leaves the mode, the target in front again.
  void EscapePressed();
  // The program lost activation: the mode ends, unless the keys are being
  // sent, the lock is down, or it is too soon after the hot key.
  void AppDeactivate();
  // The clip list's clicks are ignored until a moment after the end.
  bool ClicksIgnored();
  // The moment after the hot key is over.
  bool GuardPassed();

  // A list got the keyboard focus: the next Pickdrop focuses that one.
  void ListEntered(bool alternate) { alternate_focused_ = alternate; }
  // "Show Alternate Collections in Pickdrop": the setting toggled, the
  // list shown or hidden at once while the mode is active.
  void mnuShowPDAlternatesClick();

  // The tool bar's buttons.
  void cmdPDTabClick(bool down);
  void cmdPDEnterClick(bool down);
  void chkPDStickyButtonsClick(bool checked);
  void cmdPDPasteItClick();
  void cmdPDLockClick(bool down);

  bool Active() const { return active_; }
  bool Sending() const { return sending_; }
  WindowHandle TargetWindow() const { return target_window_; }
  WindowHandle TargetControl() const { return target_control_; }
  const std::string& TargetTitle() const { return target_title_; }
  const std::string& TargetModule() const { return target_module_; }
  bool LockDown() const { return lock_; }
  bool TabDown() const { return tab_; }
  bool EnterDown() const { return enter_; }
  bool Sticky() const { return sticky_; }

 private:
  void ShowButtons();
  void SendToTarget(std::string_view keys, WindowHandle window);
  // After a Tab or Enter sent at once: the main window in front again.
  void SendKeyNow(std::string_view keys);
  bool CtrlVAllowed();
  // PasteInto; keys that could not be sent are logged and shown.
  void PasteReportingFailure();
  // Tab or Enter clicked: a toggle's new state (kept in `setting`) when
  // sticky, else the key sent at once.
  void KeyButtonClick(bool down, bool& state, bool& setting, std::string_view keys);

  IPickdropHost& host_;
  TAppSettings& settings_;
  bool active_ = false;
  bool sending_ = false;
  bool was_hidden_ = false;
  WindowHandle target_window_ = 0;
  WindowHandle target_control_ = 0;
  std::string target_title_;
  std::string target_module_;
  std::uint32_t guard_until_ = 0;
  std::uint32_t clicks_ignored_until_ = 0;
  bool guard_set_ = false;
  bool clicks_guard_set_ = false;
  bool lock_ = false;
  bool tab_ = false;
  bool enter_ = false;
  bool sticky_ = true;
  bool alternate_focused_ = false;
};

}  // namespace om
