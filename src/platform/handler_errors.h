// Exceptions that escape a window's message handler.
//
// The system calls window procedures from its own code, and a C++ exception
// must not unwind through those frames. The Win32 window system therefore
// catches whatever a handler throws at the window procedure and reports it
// here, the exception itself (std::current_exception()), so that the
// application's sink can still tell its own error classes from foreign ones;
// the sink tells the user and lets them carry on. (The simulated desktop
// lets exceptions through to the test.)
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace om {

using HandlerErrorSink = std::function<void(std::exception_ptr error)>;

// Installs the sink and returns the one it replaces (empty: none).
HandlerErrorSink SetHandlerErrorSink(HandlerErrorSink sink);
// Passes the exception to the sink; without a sink the error is dropped
// (the Win32 layer has already written it to the debugger output).
void ReportHandlerError(std::exception_ptr error);

// The exception's message: what() of a std::exception, "Unknown error" for
// anything else (and for no exception).
std::string HandlerErrorText(std::exception_ptr error);

}  // namespace om
