// THotKeys: the program's four system-wide hot keys (the HotKeys settings,
// shortcut texts such as "Ctrl+Alt+C"): bring the main window up, select
// the next or the previous clip (each puts its clip on the clipboard), and
// start Pickdrop. An empty setting registers nothing; the others get the
// identifiers 1, 2, 3, ... in that order.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/app_settings.h"
#include "platform/hot_keys.h"
#include "platform/prompts.h"
#include "platform/types.h"

namespace om {

class IHotKeysHost {
 public:
  virtual ~IHotKeysHost() = default;
  // The window the hot-key messages go to.
  virtual WindowHandle HotKeyWindow() const = 0;
  virtual void ShowStatus(int level, bool busy, std::string_view text) = 0;
  virtual MsgResult ShowMessageBox(std::string_view text, std::string_view caption, MsgButtons buttons,
                                   MsgIcon icon) = 0;
  virtual MsgResult Message(std::string_view text, MsgButtons buttons, MsgIcon icon) = 0;
  // The settings dialog is open: hot keys wait.
  virtual bool SettingsDialogOpen() const = 0;
  // The actions.
  virtual void ActivateMainWindow() = 0;
  virtual void SelectNextClip(bool up) = 0;
  virtual void StartPickdrop() = 0;
};

class THotKeys {
 public:
  enum Action { kActivate, kSelectNext, kSelectPrev, kPickdrop, kActionCount };
  static constexpr char kMultipleFailures[] =
      "Warning:  Multiple Hotkey Failures Is An Indication That Ottermoor Might Be Running Twice - Check Your "
      "Startup Folder";
  static constexpr char kMultipleFailuresCaption[] = "Ottermoor Hotkey Initialization";
  static constexpr char kIgnoredWhileEditing[] = "Hotkey Ignored While Editing Settings.";

  THotKeys(IHotKeysHost& host, IHotKeys& hot_keys, TAppSettings& settings);
  THotKeys(const THotKeys&) = delete;
  THotKeys& operator=(const THotKeys&) = delete;

  // Unregisters and registers again (start-up, after the settings).
  void SetHotKeys();
  // Registers the settings' keys, or unregisters every identifier handed
  // out; true when nothing failed.
  bool RegisterHotKeys(bool do_register);
  // Gives every identifier back, without a word (the window goes).
  void ReleaseAll();
  // The system's hot-key message.
  void WMHotKey(int id);

  // The identifier an action was registered under; 0 for none.
  int IdOf(Action action) const { return ids_[action]; }
  int Count() const { return count_; }

 private:
  const std::string& SettingOf(Action action) const;

  IHotKeysHost& host_;
  IHotKeys& hot_keys_;
  TAppSettings& settings_;
  std::array<int, kActionCount> ids_{};
  int count_ = 0;
};

// The box for a hot key another program holds.
std::string HotKeyTakenText(std::string_view shortcut, std::string_view purpose);

}  // namespace om
