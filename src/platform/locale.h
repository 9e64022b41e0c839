// Port: the user's regional settings, as far as the program needs them:
// the date and time pictures used for the log, the decimal separator of
// floating-point settings such as the print margins, the order of texts
// when the clip list is sorted, and the letters and letter case of 8-bit
// text in the user's ANSI code page (the text transforms).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/datetime.h"

namespace om {

class ILocale {
 public:
  virtual ~ILocale() = default;

  // The user's short date and long time pictures in the system's picture
  // syntax, e.g. "M/d/yyyy" and "h:mm:ss tt".
  virtual std::string ShortDateFormat() = 0;
  virtual std::string LongTimeFormat() = 0;
  // The first character of the user's decimal separator.
  virtual char DecimalSeparator() = 0;

  // A date-time (days since 1899-12-30) as the short date, one space and the
  // long time, in the user's formats. Midnight keeps its time, so every log
  // line has the same shape.
  virtual std::string FormatDateTime(double value) = 0;

  // Negative, zero or positive as `a` sorts before, with or after `b` in the
  // user's locale, letter case counting (ANSI text). The locale's order is
  // not the bytes' order: "apple" < "Banana" < "cherry".
  virtual int CompareText(std::string_view a, std::string_view b) = 0;
  // Appends the text's sort key to `key`: two keys compared byte by byte
  // (as std::string compares) order as CompareText orders their texts. For
  // sorting many texts, where asking the system for every comparison would
  // cost too much; appending lets many keys share one buffer.
  virtual void AppendSortKey(std::string_view text, std::string& key) = 0;
  std::string SortKey(std::string_view text) {
    std::string key;
    AppendSortKey(text, key);
    return key;
  }

  // Letter case of 8-bit text in the ANSI code page, in place, as the
  // system converts it: letters only, everything else (digits, punctuation,
  // zero bytes) unchanged, the length unchanged.
  virtual void AnsiUpperCase(std::string& text) = 0;
  virtual void AnsiLowerCase(std::string& text) = 0;
  // Whether one character of the code page is a letter as the system
  // classifies characters: a single byte, or a lead byte and its trail
  // byte in a double-byte code page. False for anything longer or empty.
  virtual bool IsAnsiAlpha(std::string_view character) = 0;
  // Whether the byte starts a double-byte character in the code page
  // (never in a single-byte code page such as Windows-1252).
  virtual bool IsLeadByte(unsigned char byte) = 0;

  // General number format: up to 15 significant digits, no trailing zeros,
  // the locale's decimal separator, scientific form only for very large or
  // very small magnitudes ("0.5", "1", "1.25E-5").
  std::string FormatFloat(double value);
  // The locale's number parser: optional blanks, sign, digits with the
  // decimal separator, optional exponent. nullopt when the text is not a
  // number.
  std::optional<double> ParseFloat(std::string_view text);
};

// The number work behind ILocale, for a given separator.
std::string FormatGeneralFloat(double value, char decimal_separator);
// Accepts the given separator and also '.', so that text written under
// another locale (and the built-in defaults such as "+0.5") still reads.
std::optional<double> ParseLocaleFloat(std::string_view text, char decimal_separator);

// Renders a date-time picture in the system's syntax: d dd ddd dddd, M MM MMM
// MMMM, y yy yyyy, h hh H HH, m mm, s ss, t tt, 'quoted text'; any other
// character is copied. Day and month names are English. Used where the
// system's own formatter is not available (the simulated desktop, dates the
// system cannot format).
std::string FormatDateTimePicture(const DateTimeParts& parts, std::string_view picture);

}  // namespace om
