#include "app/app_messages.h"
#include "ui/main/program_entry.h"

namespace om {

bool IsMinimizedShowState(int show_state) { return show_state == 2 || show_state == 6 || show_state == 7; }

ProgramStart StartProgram(const ProgramEntryPorts& ports, const TAppSettingsContext& context) {
  IAppInstance& instance = ports.instance;
  ProgramStart start;

  // One instance per program file: the mutex is named after it.
  const bool previous_instance = instance.CreateInstanceMutex(instance.ProgramFileName());
  // A previous instance whose window does not exist yet (its first run's
  // data-folder dialog is still open, say) cannot be brought forward; this
  // one then starts as well.
  if (previous_instance && instance.ActivateRunningInstance(kMainWindowClass)) return start;

  auto settings = std::make_unique<TAppSettings>(kRegistryKey, context);

  if (instance.CtrlAndShiftDown()) {
    const MsgResult answer = ports.prompts.ShowMessage(kResetSettingsQuestion, kApplicationTitle,
                                                       MsgButtons::kYesNo, MsgIcon::kQuestion);
    // The reset sets the no-save flag; Load clears it again, so this run
    // starts from the defaults and saves normally at its end.
    if (answer == MsgResult::kYes) settings->ResetAll();
  }

  settings->Load();
  start.started_minimized = IsMinimizedShowState(instance.StartupShowState());
  if (settings->PhantomDelay > 0) ports.clock.Sleep(static_cast<std::uint32_t>(settings->PhantomDelay));

  start.settings = std::move(settings);
  start.arguments = instance.Arguments();
  return start;
}

}  // namespace om
