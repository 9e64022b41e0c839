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

void ReportHandlerError(const std::string& what) {
  // A copy: the sink may install another one while it runs.
  if (HandlerErrorSink sink = Sink()) sink(what);
}

}  // namespace om
