#include "platform/win32/locale.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

namespace om::win32 {
namespace {

std::string LocaleInfo(LCTYPE type, const char* fallback) {
  char buffer[128];
  const int length = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
  if (length <= 1) return fallback;  // the count includes the terminating zero
  return std::string(buffer, static_cast<std::size_t>(length - 1));
}

}  // namespace

std::string Win32Locale::ShortDateFormat() { return LocaleInfo(LOCALE_SSHORTDATE, "M/d/yyyy"); }

std::string Win32Locale::LongTimeFormat() { return LocaleInfo(LOCALE_STIMEFORMAT, "h:mm:ss tt"); }

char Win32Locale::DecimalSeparator() { return LocaleInfo(LOCALE_SDECIMAL, ".")[0]; }

std::string Win32Locale::FormatDateTime(double value) {
  const DateTimeParts parts = DecodeDateTime(value);
  // The system formats only dates it can hold in a SYSTEMTIME; anything else
  // (a corrupt clock value) goes through the same pictures by hand.
  if (parts.year >= 1601 && parts.year <= 9999) {
    DateTimeParts date_only = parts;
    date_only.hour = date_only.minute = date_only.second = date_only.millisecond = 0;
    const auto days = static_cast<long long>(std::floor(EncodeDateTime(date_only)));
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(parts.year);
    st.wMonth = static_cast<WORD>(parts.month);
    st.wDay = static_cast<WORD>(parts.day);
    st.wDayOfWeek = static_cast<WORD>(((days % 7) + 7 + 6) % 7);  // 1899-12-30 was a Saturday
    st.wHour = static_cast<WORD>(parts.hour);
    st.wMinute = static_cast<WORD>(parts.minute);
    st.wSecond = static_cast<WORD>(parts.second);
    st.wMilliseconds = static_cast<WORD>(parts.millisecond);
    char date[128];
    char time[128];
    if (::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date) > 0 &&
        ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time) > 0) {
      return std::string(date) + " " + time;
    }
  }
  return FormatDateTimePicture(parts, ShortDateFormat()) + " " + FormatDateTimePicture(parts, LongTimeFormat());
}

int Win32Locale::CompareText(std::string_view a, std::string_view b) {
  constexpr std::size_t kMaxLength = 0x7fffffff;
  if (a.size() <= kMaxLength && b.size() <= kMaxLength) {
    // Explicit lengths: the texts may hold zero bytes and need no terminator.
    const int result = ::CompareStringA(LOCALE_USER_DEFAULT, 0, a.data(), static_cast<int>(a.size()), b.data(),
                                        static_cast<int>(b.size()));
    if (result != 0) return result - CSTR_EQUAL;
  }
  // The system could not compare them: byte order, so that sorting still
  // has a consistent order.
  const int bytes = a.compare(b);
  return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}

void Win32Locale::AppendSortKey(std::string_view text, std::string& out) {
  constexpr std::size_t kMaxLength = 0x7fffffff / 8;
  if (text.size() <= kMaxLength) {
    const int length = static_cast<int>(text.size());
    // One call into a buffer that holds the key of almost any text (a key
    // is a few bytes per character); asking for the size first only when
    // it does not. The key ends with a zero byte, which is left out: keys
    // compare as strings.
    // The key goes through a buffer kept from call to call, so that each
    // key costs one copy of its own bytes.
    const std::size_t room = text.size() * 4 + 16;
    if (sort_key_buffer_.size() < room) sort_key_buffer_.resize(room);
    int written = ::LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, text.data(), length,
                                 reinterpret_cast<LPSTR>(sort_key_buffer_.data()),
                                 static_cast<int>(sort_key_buffer_.size()));
    if (written == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
      const int size = ::LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, text.data(), length, nullptr, 0);
      if (size > 0) {
        sort_key_buffer_.resize(static_cast<std::size_t>(size));
        written = ::LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, text.data(), length,
                                 reinterpret_cast<LPSTR>(sort_key_buffer_.data()), size);
      }
    }
    if (written > 0) {
      std::size_t size = static_cast<std::size_t>(written);
      while (size > 0 && sort_key_buffer_[size - 1] == '\0') --size;
      out.append(sort_key_buffer_.data(), size);
      return;
    }
  }
  // The system could not make one: the bytes, as CompareText then compares.
  out.append(text);
}

namespace {

// The system's conversions take a DWORD count; a longer text goes through
// in pieces (no text of the program comes near that size).
template <typename Convert>
void ConvertInPieces(std::string& text, Convert convert) {
  constexpr std::size_t kPiece = 0x40000000;
  for (std::size_t at = 0; at < text.size(); at += kPiece) {
    const std::size_t length = std::min(kPiece, text.size() - at);
    convert(text.data() + at, static_cast<DWORD>(length));
  }
}

}  // namespace

void Win32Locale::AnsiUpperCase(std::string& text) {
  // Counted, not zero-terminated: a zero byte inside stays and the rest is
  // converted all the same.
  ConvertInPieces(text, [](char* data, DWORD length) { ::CharUpperBuffA(data, length); });
}

void Win32Locale::AnsiLowerCase(std::string& text) {
  ConvertInPieces(text, [](char* data, DWORD length) { ::CharLowerBuffA(data, length); });
}

bool Win32Locale::IsAnsiAlpha(std::string_view character) {
  if (character.size() == 1) return ::IsCharAlphaA(character[0]) != FALSE;
  if (character.size() != 2) return false;
  // A double-byte character: the system classifies it as the one UTF-16
  // character it stands for.
  WCHAR wide[2];
  const int count = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, character.data(), 2, wide, 2);
  return count == 1 && ::IsCharAlphaW(wide[0]) != FALSE;
}

bool Win32Locale::IsLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

}  // namespace om::win32
