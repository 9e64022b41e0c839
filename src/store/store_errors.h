// The exceptions of the clip store. Each carries only its message; the
// program's error trap shows them as non-fatal errors (the user carries on),
// which is why they share a base the trap can recognise.
#pragma once

#include <stdexcept>

namespace om {

// The program's own errors, as opposed to errors of the system or the
// runtime.
class EProgramError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Putting a clip on the clipboard failed.
class EBadCopy : public EProgramError {
 public:
  using EProgramError::EProgramError;
};

// Kept for the error trap's vocabulary: capture problems are logged, never
// raised.
class EBadPaste : public EProgramError {
 public:
  using EProgramError::EProgramError;
};

// A clip's formats could not be read: their file is missing or cannot be
// opened, or a record is cut short or corrupt.
class EMyStreamError : public EProgramError {
 public:
  using EProgramError::EProgramError;
};

// Kept for the error trap's vocabulary; nothing raises it.
class EDataOffLine : public EProgramError {
 public:
  using EProgramError::EProgramError;
};

// A format entry whose way of holding its data is none of the three known.
class EInvalidFormatType : public EProgramError {
 public:
  using EProgramError::EProgramError;
};

// A data-source directory that could not be created. Not one of the
// program's own errors for the error trap: like a failure of the system, it
// asks the user whether to carry on.
class ECreateDirectory : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace om
