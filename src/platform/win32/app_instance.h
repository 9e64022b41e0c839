// IAppInstance over the Win32 API.
//
// Construction: `Win32AppInstance instance;` at the start of the process
// entry, kept alive until the process ends: it holds the single-instance
// mutex (when CreateInstanceMutex created it) and closes it on
// destruction.
#pragma once

#include <vector>

#include "platform/app_instance.h"
#include "platform/win32/handles.h"

namespace om::win32 {

class Win32AppInstance final : public IAppInstance {
 public:
  Win32AppInstance() = default;
  Win32AppInstance(const Win32AppInstance&) = delete;
  Win32AppInstance& operator=(const Win32AppInstance&) = delete;

  std::string ProgramFileName() override;
  std::string ProgramFolder() override;
  bool CreateInstanceMutex(std::string_view name) override;
  bool ActivateRunningInstance(std::string_view window_class) override;
  bool CtrlAndShiftDown() override;
  int StartupShowState() override;
  std::vector<std::string> Arguments() override;

 private:
  std::vector<KernelHandle> mutexes_;  // the mutexes this process created, held
};

}  // namespace om::win32
