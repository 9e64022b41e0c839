// The process entry's portable steps: the single-instance check, the
// emergency reset of all settings, loading the settings (with the first
// run's choice of a data folder), the start-up show state and the start-up
// delay. The Win32 entry point calls StartProgram, then creates the main
// window with the settings and runs the message loop.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_settings.h"
#include "platform/app_instance.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "store/store_services.h"

namespace om {

// The main window's class: a second instance looks for it.
inline constexpr char kMainWindowClass[] = "TfrmQL";

inline constexpr char kResetSettingsQuestion[] =
    "Ottermoor has detected that you have the SHIFT and CTRL keys pressed down, which signals the program that "
    "you want to clear all settings.  \r\nAre you sure you want to do this?";

struct ProgramEntryPorts {
  IAppInstance& instance;
  IPrompts& prompts;
  IClock& clock;
};

struct ProgramStart {
  // nullptr: another instance was running and has been brought to the
  // front; this process ends.
  std::unique_ptr<TAppSettings> settings;
  // Started with a minimized show state.
  bool started_minimized = false;
  // The command-line arguments after the program's name.
  std::vector<std::string> arguments;
};

// True for the minimized show states (SW_SHOWMINIMIZED, SW_MINIMIZE,
// SW_SHOWMINNOACTIVE).
bool IsMinimizedShowState(int show_state);

// Steps 1 to 7 of the process entry. The settings context's references
// must outlive the settings returned.
ProgramStart StartProgram(const ProgramEntryPorts& ports, const TAppSettingsContext& context);

}  // namespace om
