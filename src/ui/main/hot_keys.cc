#include "ui/main/hot_keys.h"

#include <optional>

#include "app/app_log.h"
#include "app/shortcut_text.h"
#include "ui/main/current_operation.h"

namespace om {

namespace {

// What each hot key is for, as the messages name it.
constexpr const char* kPurposes[THotKeys::kActionCount] = {"Activate Ottermoor", "Select Next Clip",
                                                           "Select Prev Clip", "Pickdrop"};

std::uint32_t Modifiers(const ShortCut& shortcut) {
  std::uint32_t modifiers = 0;
  if (shortcut.shift) modifiers |= hotkeymod::kShift;
  if (shortcut.ctrl) modifiers |= hotkeymod::kControl;
  if (shortcut.alt) modifiers |= hotkeymod::kAlt;
  return modifiers;
}

}  // namespace

std::string HotKeyTakenText(std::string_view shortcut, std::string_view purpose) {
  return std::string("Warning: Could not reserve the following hotkey:\r\n") + std::string(shortcut) +
         "\r\nwhich Ottermoor wants to use for: [" + std::string(purpose) +
         "]\r\nIt is recommended that you use User Preferences to change this setting to something else.";
}

THotKeys::THotKeys(IHotKeysHost& host, IHotKeys& hot_keys, TAppSettings& settings)
    : host_(host), hot_keys_(hot_keys), settings_(settings) {}

const std::string& THotKeys::SettingOf(Action action) const {
  switch (action) {
    case kActivate:
      return settings_.HKActivate;
    case kSelectNext:
      return settings_.HKSelectNext;
    case kSelectPrev:
      return settings_.HKSelectPrev;
    default:
      return settings_.HKPickdrop;
  }
}

void THotKeys::SetHotKeys() {
  RegisterHotKeys(false);
  RegisterHotKeys(true);
}

bool THotKeys::RegisterHotKeys(bool do_register) {
  const std::string status = std::string(do_register ? "" : "Un-") + "Registering Hot Keys...";
  host_.ShowStatus(2, false, status);
  int failures = 0;
  if (do_register) {
    count_ = 0;
    ids_.fill(0);
    for (int action = 0; action < kActionCount; ++action) {
      const std::string& text = SettingOf(static_cast<Action>(action));
      if (text.empty()) continue;
      const int id = ++count_;
      const std::optional<ShortCut> shortcut = ParseShortCut(text);
      // A text that names no key is refused like a key another program
      // holds: the user is told which setting to change.
      if (shortcut && hot_keys_.Register(host_.HotKeyWindow(), id, Modifiers(*shortcut), shortcut->key)) {
        ids_[action] = id;
        continue;
      }
      ++failures;
      Log(loglevel::kError, "RegisterHotKeys", "Could not reserve the hotkey " + text + " for " + kPurposes[action]);
      host_.Message(HotKeyTakenText(text, kPurposes[action]), MsgButtons::kOk, MsgIcon::kInformation);
    }
    if (failures > 1) {
      host_.ShowMessageBox(kMultipleFailures, kMultipleFailuresCaption, MsgButtons::kOk, MsgIcon::kWarning);
    }
  } else {
    ReleaseAll();
  }
  host_.ShowStatus(2, false, "");
  return failures == 0;
}

void THotKeys::ReleaseAll() {
  for (int id = 1; id <= count_; ++id) hot_keys_.Unregister(host_.HotKeyWindow(), id);
  ids_.fill(0);
  count_ = 0;
}

void THotKeys::WMHotKey(int id) {
  if (host_.SettingsDialogOpen()) {
    host_.ShowStatus(2, false, kIgnoredWhileEditing);
    return;
  }
  EnterOperation("TfrmQL.WMHotKey");
  if (id == 0) return;
  if (id == ids_[kActivate]) host_.ActivateMainWindow();
  if (id == ids_[kSelectNext]) host_.SelectNextClip(/*up=*/false);
  if (id == ids_[kSelectPrev]) host_.SelectNextClip(/*up=*/true);
  if (id == ids_[kPickdrop]) host_.StartPickdrop();
}

}  // namespace om
