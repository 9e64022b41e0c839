#include "ui/main/pickdrop.h"

#include <exception>

#include "app/app_log.h"
#include "platform/text_case.h"
#include "ui/main/current_operation.h"

namespace om {

namespace {

constexpr char kTab[] = "{TAB}";
constexpr char kEnter[] = "{ENTER}";

// Console windows take no Ctrl+V: their system menu's Edit, Paste is used.
// Besides the command interpreter's own module (and the old DOS box's),
// today's consoles belong to the console host process, which is what the
// window's module names here (under Wine as well).
bool IsConsoleModule(const std::string& module) {
  return module == "CMD" || module == "WINOA386" || module == "CONHOST";
}

// True while `now` lies before `until` on the wrapping millisecond clock.
bool Before(std::uint32_t now, std::uint32_t until) { return static_cast<std::int32_t>(now - until) < 0; }

}  // namespace

TPickdrop::TPickdrop(IPickdropHost& host, TAppSettings& settings) : host_(host), settings_(settings) {}

void TPickdrop::LoadButtonStates() {
  sticky_ = settings_.PDStickyButtons;
  tab_ = sticky_ && settings_.PDTabButtonDown;
  enter_ = sticky_ && settings_.PDEnterButtonDown;
  lock_ = settings_.PDLock;
  ShowButtons();
}

void TPickdrop::ShowButtons() { host_.SetPickdropButtons(lock_, tab_, enter_, sticky_); }

void TPickdrop::Pickdrop() {
  EnterOperation("TfrmQL.Pickdrop");
  host_.EndAutoGlue();
  host_.SequentialPasteOff();
  target_control_ = 0;
  target_window_ = host_.ForegroundWindow();
  guard_until_ = host_.TickCount() + kGuardMs;
  guard_set_ = true;
  if (target_window_ == host_.MainWindowHandle()) {
    host_.Message(kIntoItself, MsgButtons::kOk, MsgIcon::kQuestion);
    PDTerminate();
    return;
  }
  Log(loglevel::kDetail, "TfrmQL.Pickdrop", "Beginning Pickdrop");
  target_title_ = host_.WindowTitle(target_window_, kTitleChars);
  target_module_ = AsciiUpperCase(host_.WindowModuleName(target_window_));
  host_.ShowStatus(1, false, "Pickdrop -->" + target_title_);
  Log(loglevel::kDetail, "TfrmQL.Pickdrop", "Pickdrop -->" + target_title_);
  // The control that has the focus in the target, so that the paste goes
  // into it; a console has none worth the name.
  if (!IsConsoleModule(target_module_)) target_control_ = host_.FocusedControlOf(target_window_);
  // The mode's layout: its tool bar and the lock, shown as the setting left
  // the lock.
  lock_ = settings_.PDLock;
  ShowButtons();
  host_.ShowPickdropLayout(true);
  if (settings_.ShowPDAlternates) host_.ShowAlternates(true);
  active_ = true;
  was_hidden_ = !host_.MainWindowVisible();
  host_.ShowMe();
  // The alternate list may have changed since it was last shown.
  if (settings_.ShowPDAlternates) host_.RefillAlternates();
  // The list that had the focus last gets it again.
  if (settings_.ShowPDAlternates && alternate_focused_) {
    host_.FocusAlternates();
  } else {
    host_.FocusClipList();
  }
  Log(loglevel::kDetail, "TfrmQL.Pickdrop", "Pickdrop Ending");
}

void TPickdrop::ProcessPickdropSelection() {
  Log(loglevel::kDetail, "TfrmQL.ProcessPickdropSelection", ">");
  host_.ShowStatus(1, false, "Pasting Into -->" + target_title_);
  // The mode ends all the same (unless locked) when the keys could not be
  // sent.
  PasteReportingFailure();
  if (!lock_) PDTerminate();
  Log(loglevel::kDetail, "TfrmQL.ProcessPickdropSelection", "<");
}

void TPickdrop::PasteReportingFailure() {
  try {
    PasteInto();
  } catch (const std::exception& e) {
    // The user is told why nothing arrived.
    sending_ = false;
    Log(loglevel::kError, "TfrmQL.PasteInto", std::string("The paste could not be sent: ") + e.what());
    host_.ShowStatus(1, false, std::string("Pickdrop: the paste could not be sent (") + e.what() + ")");
  }
}

bool TPickdrop::CtrlVAllowed() {
  for (const std::string& fragment : host_.NoCtrlVFragments()) {
    if (!fragment.empty() && target_title_.find(fragment) != std::string::npos) return false;
  }
  return true;
}

void TPickdrop::SendToTarget(std::string_view keys, WindowHandle window) { host_.SendKeysTo(keys, window); }

void TPickdrop::PasteInto() {
  Log(loglevel::kDetail, "TfrmQL.PasteInto", ">");
  sending_ = true;
  const bool ctrl_v = CtrlVAllowed();
  const WindowHandle into = target_control_ != 0 ? target_control_ : target_window_;
  if (IsConsoleModule(target_module_)) {
    // The console's system menu: Alt+Space, Edit, Paste.
    SendToTarget(kAltSpace, into);
    host_.Wait(100);
    SendToTarget("e", into);
    host_.Wait(100);
    SendToTarget("p", into);
    host_.Wait(100);
    Log(loglevel::kDetail, "TfrmQL.PasteInto", "Sent @ep to CMD Window");
  } else if (ctrl_v) {
    SendToTarget(kCtrlV, into);
    Log(loglevel::kDetail, "TfrmQL.PasteInto", "sent ^V");
    host_.BringWindowToTop(into);
    host_.SetForegroundWindow(into);
    host_.Wait(100);
  } else {
    // The window's Edit menu, Paste.
    SendToTarget(kAltE, target_window_);
    host_.Wait(100);
    SendToTarget("p", target_window_);
    Log(loglevel::kDetail, "TfrmQL.PasteInto", "sent @ep");
  }
  host_.SetForegroundWindow(target_window_);
  host_.Wait(200);
  // The keys that follow every paste.
  if (tab_) {
    host_.Wait(200);
    SendToTarget(kTab, target_window_);
    host_.Wait(200);
  }
  if (enter_) {
    host_.Wait(200);
    SendToTarget(kEnter, target_window_);
    host_.Wait(200);
  }
  sending_ = false;
  // Locked: back in front, ready for the next pick.
  if (lock_) host_.SetForegroundWindow(host_.MainWindowHandle());
  Log(loglevel::kDetail, "TfrmQL.PasteInto", "<");
}

void TPickdrop::PDTerminate() {
  if (!active_) return;
  host_.ShowStatus(1, false, "");
  host_.ShowPickdropLayout(false);
  host_.ShowAlternates(false);
  settings_.PDLock = lock_;
  active_ = false;
  host_.SetListMultiSelect(true);
  if (was_hidden_ && !lock_) host_.HideMainWindow();
  clicks_ignored_until_ = host_.TickCount() + kGuardMs;
  clicks_guard_set_ = true;
  Log(loglevel::kDetail, "TfrmQL.PDTerminate", "End Pickdrop");
  host_.ReselectSelectedRow();
}

void TPickdrop::EscapePressed() {
  if (!active_) return;
  PDTerminate();
  host_.SetForegroundWindow(target_window_);
}

void TPickdrop::AppDeactivate() {
  if (!active_ || sending_ || lock_) return;
  const std::uint32_t now = host_.TickCount();
  if (guard_set_ && Before(now, guard_until_)) {
    const std::uint32_t since = now - (guard_until_ - kGuardMs);
    Log(loglevel::kDetail, "AppDeactivate",
        "Deactivate Ignored - Too soon after invoking PD: " + std::to_string(since) + "ms ago.");
    return;
  }
  PDTerminate();
}

// The guards count only once set: the clock's value means nothing before.
bool TPickdrop::ClicksIgnored() { return clicks_guard_set_ && Before(host_.TickCount(), clicks_ignored_until_); }

bool TPickdrop::GuardPassed() { return !guard_set_ || !Before(host_.TickCount(), guard_until_); }

void TPickdrop::SendKeyNow(std::string_view keys) {
  sending_ = true;
  try {
    SendToTarget(keys, target_window_);
  } catch (...) {
    sending_ = false;
    throw;
  }
  host_.Wait(100);
  sending_ = false;
  host_.SetForegroundWindow(host_.MainWindowHandle());
}

void TPickdrop::KeyButtonClick(bool down, bool& state, bool& setting, std::string_view keys) {
  if (sticky_) {
    // A toggle: its state says whether the key follows every paste.
    state = down;
    setting = down;
    return;
  }
  // A plain button: the key goes now.
  state = false;
  ShowButtons();
  SendKeyNow(keys);
}

void TPickdrop::cmdPDTabClick(bool down) { KeyButtonClick(down, tab_, settings_.PDTabButtonDown, kTab); }

void TPickdrop::cmdPDEnterClick(bool down) { KeyButtonClick(down, enter_, settings_.PDEnterButtonDown, kEnter); }

void TPickdrop::chkPDStickyButtonsClick(bool checked) {
  sticky_ = checked;
  settings_.PDStickyButtons = checked;
  if (sticky_) {
    tab_ = settings_.PDTabButtonDown;
    enter_ = settings_.PDEnterButtonDown;
  } else {
    // Plain buttons are up.
    tab_ = enter_ = false;
  }
  ShowButtons();
}

void TPickdrop::cmdPDPasteItClick() {
  // Locked for the paste, so that the mode stays and the window comes back.
  const bool was_locked = lock_;
  lock_ = true;
  PasteReportingFailure();
  lock_ = was_locked;
  ShowButtons();
}

void TPickdrop::mnuShowPDAlternatesClick() {
  settings_.ShowPDAlternates = !settings_.ShowPDAlternates;
  if (!active_) return;
  host_.ShowAlternates(settings_.ShowPDAlternates);
  if (settings_.ShowPDAlternates) {
    host_.RefillAlternates();
  } else {
    alternate_focused_ = false;
    host_.FocusClipList();
  }
}

void TPickdrop::cmdPDLockClick(bool down) {
  lock_ = down;
  settings_.PDLock = down;
}

}  // namespace om
