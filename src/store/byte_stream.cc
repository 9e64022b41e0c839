#include "store/byte_stream.h"

#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/paths.h"
#include "platform/file_system.h"
#include "store/store_errors.h"
#include "store/store_services.h"

namespace om {

namespace {
constexpr char kReadError[] = "Stream read error";
// The new bytes of a file being replaced, beside it.
constexpr char kReplacingSuffix[] = ".new";
}  // namespace

void TStreamReader::Seek(std::size_t position) {
  if (position > bytes_.size()) throw EMyStreamError(kReadError);
  position_ = position;
}

void TStreamReader::Skip(std::size_t count) { Take(count); }

const std::uint8_t* TStreamReader::Take(std::size_t count) {
  if (count > Remaining()) throw EMyStreamError(kReadError);
  const std::uint8_t* at = bytes_.data() + position_;
  position_ += count;
  return at;
}

std::uint8_t TStreamReader::ReadU8() { return *Take(1); }

std::uint16_t TStreamReader::ReadU16() {
  const std::uint8_t* p = Take(2);
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t TStreamReader::ReadU32() {
  const std::uint8_t* p = Take(4);
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t TStreamReader::ReadI32() { return static_cast<std::int32_t>(ReadU32()); }

double TStreamReader::ReadDouble() {
  const std::uint8_t* p = Take(8);
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
  return std::bit_cast<double>(bits);
}

std::string TStreamReader::ReadShortString() {
  const std::size_t length = ReadU8();
  const std::uint8_t* p = Take(length);
  return std::string(reinterpret_cast<const char*>(p), length);
}

Bytes TStreamReader::ReadBytes(std::size_t count) {
  const std::uint8_t* p = Take(count);
  return Bytes(p, p + count);
}

std::span<const std::uint8_t> TStreamReader::Peek(std::size_t count) const {
  if (count > Remaining()) throw EMyStreamError(kReadError);
  return bytes_.subspan(position_, count);
}

void TStreamWriter::WriteU16(std::uint16_t value) {
  bytes_.push_back(static_cast<std::uint8_t>(value));
  bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
}

void TStreamWriter::WriteU32(std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void TStreamWriter::WriteDouble(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

void TStreamWriter::WriteShortString(std::string_view text) {
  if (text.size() > 255) text = text.substr(0, 255);
  bytes_.push_back(static_cast<std::uint8_t>(text.size()));
  bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void TStreamWriter::WriteBytes(std::span<const std::uint8_t> bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

std::optional<Bytes> ReadFileBytes(std::string_view file) {
  if (IFileSystem* files = StoreServices().Files) return files->ReadWholeFile(file);
  std::ifstream in(ToFsPath(file), std::ios::binary);
  if (!in) return std::nullopt;
  std::error_code error;
  const auto size = std::filesystem::file_size(ToFsPath(file), error);
  if (error) return std::nullopt;
  Bytes bytes(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
    return std::nullopt;
  }
  return bytes;
}

bool WriteFileBytes(std::string_view file, std::span<const std::uint8_t> bytes) {
  if (IFileSystem* files = StoreServices().Files) {
    // A file that exists is replaced, not rewritten in place: the new bytes
    // go beside it and take its name in one step, so that a crash leaves
    // the old file or the new one, never half of either.
    if (!files->FileExists(file)) return files->WriteWholeFile(file, bytes, /*durable=*/false) == FsStatus::kOk;
    const std::string temp = std::string(file) + kReplacingSuffix;
    return files->WriteWholeFile(temp, bytes, /*durable=*/false) == FsStatus::kOk &&
           files->RenameReplacing(temp, file) == FsStatus::kOk;
  }
  std::ofstream out(ToFsPath(file), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

bool FileExists(std::string_view file) {
  if (IFileSystem* files = StoreServices().Files) return files->FileExists(file);
  std::error_code error;
  return std::filesystem::is_regular_file(ToFsPath(file), error);
}

}  // namespace om
