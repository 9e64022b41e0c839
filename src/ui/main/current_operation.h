// The operation the program is in, for the error trap: commands record
// their qualified name when entered ("TfrmQL.CopyItem"), and long ones the
// step they have reached, so that an error nobody caught can say where it
// happened. One record per process; everything runs on the GUI thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace om {

struct TCurrentOperation {
  std::string Name;  // at most 255 characters
  std::int32_t Step = 0;
};

TCurrentOperation& CurrentOperation();
// Records the operation's name (cut to 255 characters) and step 0.
void EnterOperation(std::string_view name);
void SetOperationStep(std::int32_t step);

}  // namespace om
