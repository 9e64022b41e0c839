#include "platform/handler_errors.h"

#include <utility>

namespace om {
namespace {

HandlerErrorSink& Sink() {
  static HandlerErrorSink sink;
  return sink;
}

}  // namespace

HandlerErrorSink SetHandlerErrorSink(HandlerErrorSink sink) { return std::exchange(Sink(), std::move(sink)); }

void ReportHandlerError(std::exception_ptr error) {
  // A copy: the sink may install another one while it runs.
  if (HandlerErrorSink sink = Sink()) sink(std::move(error));
}

std::string HandlerErrorText(std::exception_ptr error) {
  try {
    if (error) std::rethrow_exception(std::move(error));
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
  }
  return "Unknown error";
}

}  // namespace om
