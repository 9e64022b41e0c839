#include "ui/main/win32/rich_edit_text.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

// EM_STREAMIN from a string.
struct StringSource {
  std::string_view text;
  std::size_t at = 0;
};
DWORD CALLBACK ReadFromString(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
  auto* source = reinterpret_cast<StringSource*>(cookie);
  const std::size_t count =
      std::min<std::size_t>(static_cast<std::size_t>(std::max<LONG>(wanted, 0)), source->text.size() - source->at);
  std::memcpy(buffer, source->text.data() + source->at, count);
  source->at += count;
  *got = static_cast<LONG>(count);
  return 0;
}

// EM_STREAMIN from an open file.
DWORD CALLBACK ReadFromFile(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
  DWORD read = 0;
  if (!::ReadFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(std::max<LONG>(wanted, 0)), &read,
                  nullptr)) {
    *got = 0;
    return ::GetLastError() != 0 ? ::GetLastError() : 1;
  }
  *got = static_cast<LONG>(read);
  return 0;
}

}  // namespace

std::int32_t ControlOffsetOf(std::string_view text, std::int32_t text_offset) {
  const std::size_t end = static_cast<std::size_t>(std::clamp<std::int64_t>(text_offset, 0, text.size()));
  std::int32_t count = 0;
  for (std::size_t i = 0; i < end; ++i) {
    // The LF of a CR LF is part of the one paragraph mark its CR counted.
    if (text[i] == '\n' && i > 0 && text[i - 1] == '\r') continue;
    ++count;
  }
  return count;
}

std::int32_t TextOffsetOf(std::string_view text, std::int32_t control_offset) {
  std::size_t i = 0;
  for (std::int32_t count = 0; count < control_offset && i < text.size(); ++count) {
    i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
  }
  return static_cast<std::int32_t>(i);
}

void StreamInPlain(HWND control, std::string_view text) {
  StringSource source{text};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = &ReadFromString;
  ::SendMessageA(control, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
  CHARRANGE start{0, 0};
  ::SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
}

bool StreamInRtfFile(HWND control, std::string_view path) {
  const std::string name(path);
  KernelHandle file = OwnFileHandle(::CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    LogOsFailure(("CreateFileA(" + name + ")").c_str());
    StreamInPlain(control, "");
    return false;
  }
  // Rich text starts with its signature; the control would take anything
  // else as plain text.
  char signature[5] = {};
  DWORD read = 0;
  const bool is_rtf = ::ReadFile(file.get(), signature, sizeof signature, &read, nullptr) && read == sizeof signature &&
                      std::memcmp(signature, "{\\rtf", sizeof signature) == 0;
  if (!is_rtf || ::SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
    StreamInPlain(control, "");
    return false;
  }
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(file.get());
  stream.pfnCallback = &ReadFromFile;
  ::SendMessageA(control, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  if (stream.dwError != 0) {
    StreamInPlain(control, "");
    return false;
  }
  CHARRANGE start{0, 0};
  ::SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
  return true;
}

}  // namespace om::win32
