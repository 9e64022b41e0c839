// The simulated desktop's view of program instances: the named mutexes and
// main windows of the instances running, shared by the instances a test
// starts, and the keyboard, show state and command line of one start.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/app_instance.h"

namespace om::fake {

// What every instance sees: mutexes held and top-level window classes.
struct FakeInstanceWorld {
  std::set<std::string> mutexes;
  std::set<std::string> window_classes;
  // The classes whose window ActivateRunningInstance brought forward.
  std::vector<std::string> activated;
};

class FakeAppInstance final : public IAppInstance {
 public:
  explicit FakeAppInstance(FakeInstanceWorld& world) : world_(world) {}

  std::string program_file_name = "Ottermoor.exe";
  std::string program_folder = "C:\\Program Files\\Ottermoor\\";
  bool ctrl_and_shift_down = false;
  int show_state = 1;  // SW_SHOWNORMAL
  std::vector<std::string> arguments;

  std::string ProgramFileName() override { return program_file_name; }
  std::string ProgramFolder() override { return program_folder; }
  bool CreateInstanceMutex(std::string_view name) override {
    // Names compare as the system compares them: letter case counts.
    return !world_.mutexes.emplace(name).second;
  }
  bool ActivateRunningInstance(std::string_view window_class) override {
    if (world_.window_classes.count(std::string(window_class)) == 0) return false;
    world_.activated.emplace_back(window_class);
    return true;
  }
  bool CtrlAndShiftDown() override { return ctrl_and_shift_down; }
  int StartupShowState() override { return show_state; }
  std::vector<std::string> Arguments() override { return arguments; }

 private:
  FakeInstanceWorld& world_;
};

}  // namespace om::fake
