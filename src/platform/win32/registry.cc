#include "platform/win32/registry.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/handles.h"
#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

RegistryKey OpenKey(std::string_view key, REGSAM access) {
  const std::string path(key);
  HKEY hkey = nullptr;
  const LONG rc = ::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &hkey);
  if (rc != ERROR_SUCCESS) {
    // A missing key is an ordinary answer, not a failure of the system.
    if (rc != ERROR_FILE_NOT_FOUND && rc != ERROR_PATH_NOT_FOUND) LogOsFailure("RegOpenKeyExA", rc);
    return RegistryKey();
  }
  return RegistryKey(hkey);
}

RegistryKey CreateOrOpenKey(std::string_view key, REGSAM access) {
  const std::string path(key);
  HKEY hkey = nullptr;
  const LONG rc = ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    access, nullptr, &hkey, nullptr);
  if (rc != ERROR_SUCCESS) {
    LogOsFailure("RegCreateKeyExA", rc);
    return RegistryKey();
  }
  return RegistryKey(hkey);
}

// Enumerates names with RegEnumValueA / RegEnumKeyExA, whose buffers are
// sized from RegQueryInfoKeyA (lengths without the terminator).
template <typename Enumerate>
std::vector<std::string> EnumerateNames(HKEY hkey, DWORD max_length, Enumerate enumerate) {
  std::vector<std::string> names;
  std::string buffer(static_cast<std::size_t>(max_length) + 1, '\0');
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(buffer.size());
    const LONG rc = enumerate(hkey, index, buffer.data(), &length);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_MORE_DATA) {  // a name added since the size was taken
      buffer.resize(buffer.size() * 2 + 256);
      --index;
      continue;
    }
    if (rc != ERROR_SUCCESS) {
      LogOsFailure("registry enumeration", rc);
      break;
    }
    names.emplace_back(buffer.data(), std::min<std::size_t>(length, buffer.size()));
  }
  return names;
}

}  // namespace

std::optional<std::string> Win32Registry::ReadString(std::string_view key, std::string_view name) {
  RegistryKey hkey = OpenKey(key, KEY_QUERY_VALUE);
  if (!hkey) return std::nullopt;
  const std::string value_name(name);
  std::string data(256, '\0');
  for (;;) {
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size());
    const LONG rc = ::RegQueryValueExA(hkey.get(), value_name.c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(data.data()), &size);
    if (rc == ERROR_MORE_DATA) {
      data.assign(static_cast<std::size_t>(size) + 1, '\0');
      continue;
    }
    if (rc != ERROR_SUCCESS) {
      if (rc != ERROR_FILE_NOT_FOUND) LogOsFailure("RegQueryValueExA", rc);
      return std::nullopt;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    // The stored bytes need not end with a terminator, and may hold more
    // than one: the string is what comes before the first.
    data.resize(std::min<std::size_t>(size, data.size()));
    data.resize(std::min(data.find('\0'), data.size()));
    return data;
  }
}

bool Win32Registry::WriteString(std::string_view key, std::string_view name, std::string_view value) {
  RegistryKey hkey = CreateOrOpenKey(key, KEY_SET_VALUE);
  if (!hkey) return false;
  const std::string value_name(name);
  const std::string data(value);  // c_str() adds the terminator REG_SZ stores
  const LONG rc = ::RegSetValueExA(hkey.get(), value_name.c_str(), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(data.c_str()),
                                   static_cast<DWORD>(data.size() + 1));
  if (rc != ERROR_SUCCESS) {
    LogOsFailure("RegSetValueExA", rc);
    return false;
  }
  return true;
}

bool Win32Registry::KeyExists(std::string_view key) { return static_cast<bool>(OpenKey(key, KEY_READ)); }

bool Win32Registry::CreateKey(std::string_view key) {
  return static_cast<bool>(CreateOrOpenKey(key, KEY_READ));
}

std::vector<std::string> Win32Registry::ValueNames(std::string_view key) {
  RegistryKey hkey = OpenKey(key, KEY_QUERY_VALUE);
  if (!hkey) return {};
  DWORD max_name = 0;
  ::RegQueryInfoKeyA(hkey.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &max_name,
                     nullptr, nullptr, nullptr);
  return EnumerateNames(hkey.get(), max_name, [](HKEY h, DWORD index, char* buffer, DWORD* length) {
    return ::RegEnumValueA(h, index, buffer, length, nullptr, nullptr, nullptr, nullptr);
  });
}

std::vector<std::string> Win32Registry::SubKeyNames(std::string_view key) {
  RegistryKey hkey = OpenKey(key, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE);
  if (!hkey) return {};
  DWORD max_name = 0;
  ::RegQueryInfoKeyA(hkey.get(), nullptr, nullptr, nullptr, nullptr, &max_name, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
  return EnumerateNames(hkey.get(), max_name, [](HKEY h, DWORD index, char* buffer, DWORD* length) {
    return ::RegEnumKeyExA(h, index, buffer, length, nullptr, nullptr, nullptr, nullptr);
  });
}

bool Win32Registry::DeleteValue(std::string_view key, std::string_view name) {
  RegistryKey hkey = OpenKey(key, KEY_SET_VALUE);
  if (!hkey) return !KeyExists(key);
  const std::string value_name(name);
  const LONG rc = ::RegDeleteValueA(hkey.get(), value_name.c_str());
  if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) return true;
  LogOsFailure("RegDeleteValueA", rc);
  return false;
}

bool Win32Registry::DeleteTree(std::string_view key) {
  // The empty path is HKEY_CURRENT_USER itself, which is never ours to wipe.
  if (key.find_first_not_of('\\') == std::string_view::npos) return false;
  const std::string path(key);
  const LONG rc = ::RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND && rc != ERROR_PATH_NOT_FOUND) {
    LogOsFailure("RegDeleteTreeA", rc);
  }
  return !KeyExists(key);
}

}  // namespace om::win32
