// Port: what the process entry asks of the system about this process and
// the instances of the program: the single-instance mutex, the running
// instance's window, the keyboard at start-up, the start-up show state and
// the command line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace om {

class IAppInstance {
 public:
  virtual ~IAppInstance() = default;
  // The program's own file name without its folder ("Ottermoor.exe").
  virtual std::string ProgramFileName() = 0;
  // The program's own folder, with trailing backslash.
  virtual std::string ProgramFolder() = 0;
  // Creates the named mutex, owned. True when it already existed (another
  // instance holds it; the handle is closed at once); otherwise the handle
  // is held until the process ends.
  virtual bool CreateInstanceMutex(std::string_view name) = 0;
  // Finds a top-level window of class `window_class` (any title); when it
  // exists, takes its last active pop-up instead when it has one, shows
  // that window normally, brings it to the top and gives it the focus.
  // False when no such window exists.
  virtual bool ActivateRunningInstance(std::string_view window_class) = 0;
  // Both Ctrl and Shift are held down at this moment.
  virtual bool CtrlAndShiftDown() = 0;
  // The show state the process was started with (SW_* number: 2, 6 and 7
  // are the minimized ones).
  virtual int StartupShowState() = 0;
  // The command-line arguments after the program's name.
  virtual std::vector<std::string> Arguments() = 0;
};

}  // namespace om
