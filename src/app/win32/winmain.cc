// Process entry of Ottermoor.exe: the portable start-up steps (single
// instance, settings), the ports over the Win32 API, the main window with
// its behaviour, and the message loop until the window is closed.
#include <windows.h>

#include "app/win32/app_messages.h"
#include "ui/dialogs/win32/choose_data_folder.h"
#include "app/win32/sound_events.h"
#include "clipboard/clipboard.h"
#include "ui/main/main_form.h"
#include "ui/main/program_entry.h"
#include "ui/main/win32/main_window.h"
#include "platform/win32/app_instance.h"
#include "platform/win32/clipboard_system.h"
#include "platform/win32/clock.h"
#include "platform/win32/dde_client.h"
#include "platform/win32/file_system.h"
#include "platform/win32/hot_keys.h"
#include "platform/win32/keyboard.h"
#include "platform/win32/locale.h"
#include "platform/win32/process_info.h"
#include "platform/win32/prompts.h"
#include "platform/win32/shell.h"
#include "platform/win32/registry.h"
#include "platform/win32/screen.h"
#include "platform/win32/shell_folders.h"
#include "platform/win32/sound.h"
#include "platform/win32/window_system.h"

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int show) {
  using namespace om;
  using namespace om::win32;

  // Held to the end: it owns the single-instance mutex.
  Win32AppInstance instance;
  Win32Prompts prompts;
  Win32Clock clock;
  Win32Registry registry;
  Win32Locale locale;
  Win32ShellFolders folders;
  Win32Screen screen;
  Win32FileSystem files;
  TfrmChooseDataFolder chooser(prompts, files);
  Win32AppMessages messages;
  const std::string program_folder = instance.ProgramFolder();
  const TAppSettingsContext context{registry, locale,   folders,
                                    screen,   chooser,  messages,
                                    program_folder + instance.ProgramFileName()};
  ProgramStart start = StartProgram({instance, prompts, clock}, context);
  // Another instance was running and has been brought forward.
  if (!start.settings) return 0;
  // A failure only leaves the user without sounds of their own choosing.
  RegisterSoundEvents(registry);

  Win32WindowSystem windows;
  Win32ProcessInfo processes;
  Win32Sound sound;
  Win32ClipboardSystem clipboard_system;
  Win32DdeClient dde;
  Win32Shell shell;
  Win32Keyboard keyboard;
  Win32HotKeys hot_keys;
  TClipboard clipboard(clipboard_system);
  TheClipboardInstallation installed_clipboard(clipboard);

  MainWindow window(module, program_folder);
  if (!window.Created()) return 1;
  window.OnDestroyed = [] { ::PostQuitMessage(0); };
  const MainFormPorts ports{windows, clock,     processes, prompts, sound, locale,  clipboard,
                            clipboard_system, registry, files, dde, instance, shell, keyboard, hot_keys};
  TfrmQL form(ports, *start.settings, window.Widgets(), start.arguments);
  window.SetEvents(&form);
  // A minimized start shows the window minimized; the behaviour's start-up
  // tick then does what the settings ask.
  ::ShowWindow(window.hwnd(), show);
  ::UpdateWindow(window.hwnd());

  MSG message{};
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (window.TranslateAccelerators(message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  window.SetEvents(nullptr);
  return static_cast<int>(message.wParam);
}
