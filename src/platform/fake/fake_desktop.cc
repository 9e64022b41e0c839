#include "platform/fake/fake_desktop.h"

namespace om::fake {

FakeDesktop::FakeDesktop()
    : windows_(kOwnProcessId), clipboard_(windows_), clock_(windows_), processes_(windows_) {
  processes_.AddProcess(kOwnProcessId, {kOwnModulePath});
}

}  // namespace om::fake
