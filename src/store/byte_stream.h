// Little-endian binary records in memory, as the clip and collection files
// hold them. The reader checks every read against the bytes it has: a record
// that is cut short or claims more than is there raises EMyStreamError and
// never reads past the end or allocates more than the bytes that remain.
// Files are read whole and written whole through ReadFileBytes and
// WriteFileBytes, so the records themselves never touch the file system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace om {

class TStreamReader {
 public:
  // The reader keeps a view of the bytes; they must outlive it.
  explicit TStreamReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Position() const { return position_; }
  std::size_t Size() const { return bytes_.size(); }
  std::size_t Remaining() const { return bytes_.size() - position_; }
  // Beyond the end raises EMyStreamError.
  void Seek(std::size_t position);
  void Skip(std::size_t count);

  std::uint8_t ReadU8();
  std::uint16_t ReadU16();
  std::uint32_t ReadU32();
  std::int32_t ReadI32();
  double ReadDouble();
  // One length byte, then that many bytes of 8-bit text.
  std::string ReadShortString();
  // Exactly `count` bytes, or EMyStreamError before anything is allocated.
  Bytes ReadBytes(std::size_t count);
  // A view of the next `count` bytes without moving.
  std::span<const std::uint8_t> Peek(std::size_t count) const;

 private:
  const std::uint8_t* Take(std::size_t count);

  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

class TStreamWriter {
 public:
  void WriteU8(std::uint8_t value) { bytes_.push_back(value); }
  void WriteU16(std::uint16_t value);
  void WriteU32(std::uint32_t value);
  void WriteI32(std::int32_t value) { WriteU32(static_cast<std::uint32_t>(value)); }
  void WriteDouble(double value);
  // Texts longer than 255 bytes are cut to 255: the length is one byte.
  void WriteShortString(std::string_view text);
  void WriteBytes(std::span<const std::uint8_t> bytes);

  const Bytes& Data() const { return bytes_; }
  Bytes& Data() { return bytes_; }
  std::size_t Size() const { return bytes_.size(); }

 private:
  Bytes bytes_;
};

// The whole file, or nullopt when it cannot be opened or read. `file` is a
// path in the program's form (backslashes; see app/paths.h). These three go
// through the store's file-system port once it is installed.
std::optional<Bytes> ReadFileBytes(std::string_view file);
// Creates or replaces the file. False when it cannot be created or written.
// Through the port an existing file is replaced in one step (the new bytes
// are written beside it first), never rewritten in place.
[[nodiscard]] bool WriteFileBytes(std::string_view file, std::span<const std::uint8_t> bytes);
bool FileExists(std::string_view file);

}  // namespace om
