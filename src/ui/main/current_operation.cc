#include "ui/main/current_operation.h"

namespace om {

namespace {
constexpr std::size_t kMaxOperationName = 255;
}  // namespace

TCurrentOperation& CurrentOperation() {
  static TCurrentOperation operation;
  return operation;
}

void EnterOperation(std::string_view name) {
  TCurrentOperation& operation = CurrentOperation();
  operation.Name = std::string(name.substr(0, kMaxOperationName));
  operation.Step = 0;
}

void SetOperationStep(std::int32_t step) { CurrentOperation().Step = step; }

}  // namespace om
