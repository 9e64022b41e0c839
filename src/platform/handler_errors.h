// Exceptions that escape a window's message handler.
//
// The system calls window procedures from its own code, and a C++ exception
// must not unwind through those frames. The Win32 window system therefore
// catches whatever a handler throws at the window procedure and reports it
// here; the application installs the sink that tells the user and lets them
// carry on. (The simulated desktop lets exceptions through to the test.)
#pragma once

#include <functional>
#include <string>

namespace om {

using HandlerErrorSink = std::function<void(const std::string& what)>;

// Installs the sink and returns the one it replaces (empty: none).
HandlerErrorSink SetHandlerErrorSink(HandlerErrorSink sink);
// Passes the message to the sink; without a sink the error is dropped
// (the Win32 layer has already written it to the debugger output).
void ReportHandlerError(const std::string& what);

}  // namespace om
