// Windows-style path text as the settings store it ("C:\Data\"), and its
// bridge to std::filesystem.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace om {

std::string IncludeTrailingBackslash(std::string_view path);
// Removes one trailing backslash, except from a drive root such as "C:\".
std::string ExcludeTrailingBackslash(std::string_view path);
// The folder of a file, with trailing backslash ("C:\Prog\a.exe" -> "C:\Prog\").
std::string DirectoryOf(std::string_view file);
// The path for std::filesystem. Where the separator is not the backslash
// (the native test build) backslashes become the native separator, so the
// same path text works on both sides.
std::filesystem::path ToFsPath(std::string_view path);

}  // namespace om
