// What the main window's behaviour reaches the system through. Start-up
// (the process entry, or a test's simulated desktop) fills it; every
// reference must outlive the main window.
#pragma once

#include "clipboard/clipboard.h"
#include "platform/app_instance.h"
#include "platform/clipboard_system.h"
#include "platform/clock.h"
#include "platform/dde_client.h"
#include "platform/file_system.h"
#include "platform/hot_keys.h"
#include "platform/keyboard.h"
#include "platform/key_value_store.h"
#include "platform/locale.h"
#include "platform/process_info.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/window_system.h"

namespace om {

struct MainFormPorts {
  IWindowSystem& windows;
  IClock& clock;
  IProcessInfo& processes;
  IPrompts& prompts;
  ISound& sound;
  ILocale& locale;
  // The clipboard object over `clipboard_system` (normally TheClipboard()).
  TClipboard& clipboard;
  IClipboardSystem& clipboard_system;
  // The settings' registry root (the application profile lives below it).
  IKeyValueStore& store;
  IFileSystem& files;
  IDdeClient& dde;
  IAppInstance& instance;
  // The shell's "open" (source URLs, exported files).
  IShell& shell;
  // Typing into other programs (Pickdrop's paste) and the hot keys.
  IKeyboard& keyboard;
  IHotKeys& hot_keys;
};

}  // namespace om
