#include "platform/locale.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace om {

std::string ILocale::FormatFloat(double value) { return FormatGeneralFloat(value, DecimalSeparator()); }

std::optional<double> ILocale::ParseFloat(std::string_view text) {
  return ParseLocaleFloat(text, DecimalSeparator());
}

std::string FormatGeneralFloat(double value, char decimal_separator) {
  if (value == 0.0) return "0";  // also -0
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  std::string text = buffer;
  // The exponent without "+" and leading zeros: "1E20", "1.25E-5".
  if (const auto e = text.find('E'); e != std::string::npos) {
    std::string mantissa = text.substr(0, e);
    std::string exponent = text.substr(e + 1);
    const bool negative = !exponent.empty() && exponent[0] == '-';
    if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+')) exponent.erase(0, 1);
    exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
    text = mantissa + "E" + (negative ? "-" : "") + exponent;
  }
  for (char& c : text) {
    if (c == '.') c = decimal_separator;
  }
  return text;
}

std::optional<double> ParseLocaleFloat(std::string_view text, char decimal_separator) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);

  std::string plain;  // the same number in the form from_chars reads
  std::size_t i = 0;
  auto digit = [&](std::size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') plain += '-';
    ++i;
  }
  int mantissa_digits = 0;
  while (digit(i)) plain += text[i++], ++mantissa_digits;
  if (i < text.size() && (text[i] == decimal_separator || text[i] == '.')) {
    plain += '.';
    ++i;
    while (digit(i)) plain += text[i++], ++mantissa_digits;
  }
  if (mantissa_digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
    if (!digit(i)) return std::nullopt;
    while (digit(i)) plain += text[i++];
  }
  if (i != text.size()) return std::nullopt;

  double value = 0;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

namespace {

constexpr const char* kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr const char* kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                       "July",    "August",   "September", "October", "November", "December"};

std::string Number(int value, int min_digits) {
  std::string text = std::to_string(value);
  while (static_cast<int>(text.size()) < min_digits) text.insert(text.begin(), '0');
  return text;
}

int DayOfWeek(const DateTimeParts& parts) {  // 0 = Sunday
  DateTimeParts date = parts;
  date.hour = date.minute = date.second = date.millisecond = 0;
  const auto days = static_cast<long long>(EncodeDateTime(date));  // exact: whole days
  return static_cast<int>(((days % 7) + 7 + 6) % 7);               // 1899-12-30 was a Saturday
}

}  // namespace

std::string FormatDateTimePicture(const DateTimeParts& p, std::string_view picture) {
  std::string out;
  std::size_t i = 0;
  while (i < picture.size()) {
    const char c = picture[i];
    if (c == '\'') {  // quoted text; '' inside stands for one quote
      ++i;
      while (i < picture.size()) {
        if (picture[i] == '\'') {
          if (i + 1 < picture.size() && picture[i + 1] == '\'') {
            out += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        out += picture[i++];
      }
      continue;
    }
    std::size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    const int n = static_cast<int>(run);
    const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
    switch (c) {
      case 'd':
        if (n <= 2) out += Number(p.day, n);
        else if (n == 3) out += std::string(kDayNames[DayOfWeek(p)]).substr(0, 3);
        else out += kDayNames[DayOfWeek(p)];
        break;
      case 'M':
        if (n <= 2) out += Number(p.month, n);
        else if (n == 3) out += std::string(kMonthNames[p.month - 1]).substr(0, 3);
        else out += kMonthNames[p.month - 1];
        break;
      case 'y':
        if (n == 1) out += std::to_string(p.year % 100);
        else if (n == 2) out += Number(p.year % 100, 2);
        else out += Number(p.year, 4);
        break;
      case 'g':
        out += "A.D.";
        break;
      case 'h': out += Number(hour12, n > 1 ? 2 : 1); break;
      case 'H': out += Number(p.hour, n > 1 ? 2 : 1); break;
      case 'm': out += Number(p.minute, n > 1 ? 2 : 1); break;
      case 's': out += Number(p.second, n > 1 ? 2 : 1); break;
      case 't': out += n == 1 ? (p.hour < 12 ? "A" : "P") : (p.hour < 12 ? "AM" : "PM"); break;
      default: out.append(run, c); break;
    }
    i += run;
  }
  return out;
}

}  // namespace om
