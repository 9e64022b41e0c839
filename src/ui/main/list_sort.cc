#include "ui/main/list_sort.h"

#include <array>
#include <cctype>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/datetime.h"

namespace om {

namespace {

constexpr std::array<const char*, 12> kMonthNames = {"January", "February", "March",     "April",
                                                     "May",     "June",     "July",      "August",
                                                     "September", "October", "November", "December"};

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[i]) != Lower(prefix[i])) return false;
  }
  return true;
}

// The first character of a picture that is not one of its field letters:
// the separator the user's format puts between the fields.
char Separator(std::string_view picture, std::string_view field_letters) {
  for (char c : picture) {
    if (field_letters.find(c) == std::string_view::npos && !IsSpace(c) && c != '\'') return c;
  }
  return '\0';
}

struct Fields {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
  int half = -1;  // -1: 24-hour clock; 0: AM; 1: PM
};

// Reads the text against a picture in the system's syntax (the one
// FormatDateTimePicture writes). True when the whole text was read.
class PictureReader {
 public:
  PictureReader(std::string_view text, Fields& fields) : text_(text), fields_(fields) {}

  bool Read(std::string_view picture) {
    std::size_t p = 0;
    while (p < picture.size()) {
      const char c = picture[p];
      if (c == '\'') {
        const std::size_t end = picture.find('\'', p + 1);
        const std::string_view literal =
            picture.substr(p + 1, (end == std::string_view::npos ? picture.size() : end) - p - 1);
        if (text_.substr(at_, literal.size()) != literal) return false;
        at_ += literal.size();
        p = end == std::string_view::npos ? picture.size() : end + 1;
        continue;
      }
      if (IsSpace(c)) {
        if (at_ >= text_.size() || !IsSpace(text_[at_])) return false;
        while (at_ < text_.size() && IsSpace(text_[at_])) ++at_;
        while (p < picture.size() && IsSpace(picture[p])) ++p;
        continue;
      }
      std::size_t run = 1;
      while (p + run < picture.size() && picture[p + run] == c) ++run;
      if (!Field(c, run)) return false;
      p += run;
    }
    return at_ == text_.size();
  }

 private:
  bool Number(int max_digits, int& value) {
    int digits = 0;
    value = 0;
    while (at_ < text_.size() && digits < max_digits && IsDigit(text_[at_])) {
      value = value * 10 + (text_[at_++] - '0');
      ++digits;
    }
    return digits > 0;
  }

  bool MonthName(bool full) {
    for (std::size_t m = 0; m < kMonthNames.size(); ++m) {
      const std::string_view name = full ? std::string_view(kMonthNames[m]) : std::string_view(kMonthNames[m], 3);
      if (StartsWithIgnoringCase(text_.substr(at_), name)) {
        at_ += name.size();
        fields_.month = static_cast<int>(m) + 1;
        return true;
      }
    }
    return false;
  }

  bool Field(char letter, std::size_t run) {
    switch (letter) {
      case 'd':
        if (run >= 3) {
          // A day name: letters only, checked by the date itself.
          const std::size_t start = at_;
          while (at_ < text_.size() && IsLetter(text_[at_])) ++at_;
          return at_ > start;
        }
        return Number(2, fields_.day);
      case 'M':
        if (run >= 3) return MonthName(run >= 4);
        return Number(2, fields_.month);
      case 'y': {
        int year = 0;
        const std::size_t start = at_;
        if (!Number(run <= 2 ? 2 : 4, year)) return false;
        if (at_ - start <= 2 && run <= 2) year += year < 50 ? 2000 : 1900;
        fields_.year = year;
        return true;
      }
      case 'h':
      case 'H':
        return Number(2, fields_.hour);
      case 'm':
        return Number(2, fields_.minute);
      case 's':
        return Number(2, fields_.second);
      case 't': {
        const std::string_view rest = text_.substr(at_);
        if (StartsWithIgnoringCase(rest, "AM") || StartsWithIgnoringCase(rest, "PM")) {
          fields_.half = Lower(rest[0]) == 'p' ? 1 : 0;
          at_ += run >= 2 ? 2 : (rest.size() > 1 && Lower(rest[1]) == 'm' ? 2 : 1);
          return true;
        }
        if (!rest.empty() && (Lower(rest[0]) == 'a' || Lower(rest[0]) == 'p')) {
          fields_.half = Lower(rest[0]) == 'p' ? 1 : 0;
          ++at_;
          return true;
        }
        return false;
      }
      default:
        // Any other character is a literal of the picture.
        for (std::size_t i = 0; i < run; ++i) {
          if (at_ >= text_.size() || text_[at_] != letter) return false;
          ++at_;
        }
        return true;
    }
  }

  std::string_view text_;
  Fields& fields_;
  std::size_t at_ = 0;
};

std::optional<double> Encode(const Fields& f) {
  int hour = f.hour;
  if (f.half >= 0) {
    if (hour < 1 || hour > 12) return std::nullopt;
    hour = hour % 12 + (f.half == 1 ? 12 : 0);
  }
  if (f.year < 1 || f.year > 9999 || f.month < 1 || f.month > 12 || f.day < 1 || f.day > 31 || hour > 23 ||
      f.minute > 59 || f.second > 59) {
    return std::nullopt;
  }
  const DateTimeParts parts{f.year, f.month, f.day, hour, f.minute, f.second, 0};
  const double value = EncodeDateTime(parts);
  const DateTimeParts back = DecodeDateTime(value);
  // 31 April and its kind do not survive the way back.
  if (back.year != f.year || back.month != f.month || back.day != f.day) return std::nullopt;
  return value;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

namespace {

// The user's date and time pictures and their separators, read once for
// many texts.
struct DateTimePictures {
  explicit DateTimePictures(ILocale& locale)
      : date(locale.ShortDateFormat()),
        time(locale.LongTimeFormat()),
        date_separator(Separator(date, "dMy")),
        time_separator(Separator(time, "hHmst")),
        both(date + " " + time) {}
  std::string date;
  std::string time;
  char date_separator;
  char time_separator;
  std::string both;
};

std::optional<double> ParseDateTime(std::string_view text, const DateTimePictures& pictures) {
  const auto count = [text](char c) {
    std::size_t n = 0;
    for (char t : text) n += c != '\0' && t == c ? 1 : 0;
    return n;
  };
  if (count(pictures.date_separator) < 2 && count(pictures.time_separator) == 0) return std::nullopt;

  text = Trim(text);
  for (const std::string* picture : {&pictures.both, &pictures.date, &pictures.time}) {
    Fields fields;
    if (PictureReader(text, fields).Read(*picture)) {
      if (auto value = Encode(fields)) return value;
    }
  }
  return std::nullopt;
}

template <typename T>
int Sign(const T& x, const T& y) {
  return x < y ? -1 : (y < x ? 1 : 0);
}

}  // namespace

std::optional<double> ParseListDateTime(std::string_view text, ILocale& locale) {
  return ParseDateTime(text, DateTimePictures(locale));
}

int CompareListTexts(std::string_view a, std::string_view b, ILocale& locale) {
  // One rule for a pair and for a whole column: the column's.
  return ListSortKeys(std::vector<std::string_view>{a, b}, locale).Compare(0, 1);
}

ListSortKeys::ListSortKeys(const std::vector<std::string_view>& texts, ILocale& locale) : keys_(texts.size()) {
  const DateTimePictures pictures(locale);
  bool all_dates = true, all_numbers = true;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    keys_[i].date_time = ParseDateTime(texts[i], pictures);
    keys_[i].number = locale.ParseFloat(texts[i]);
    all_dates = all_dates && keys_[i].date_time.has_value();
    all_numbers = all_numbers && keys_[i].number.has_value();
  }
  // When every text is a date-time, or every one a number, no two of them
  // compare as text: the system's sort keys (the dearest part) are not
  // needed.
  if (all_dates || all_numbers) return;
  // Columns repeat their texts ("Y" and "N", a few programs, ...): each
  // distinct text is keyed once. Equal texts meet in an open-addressing
  // table of indices (no allocation per text, which on a system heap costs
  // more than the keys it saves).
  std::size_t slots = 16;
  while (slots < texts.size() * 2) slots *= 2;
  constexpr std::uint32_t kEmpty = UINT32_MAX;
  std::vector<std::uint32_t> table(slots, kEmpty);
  const std::hash<std::string_view> hash;
  // A key is about two to three bytes per character.
  std::size_t text_bytes = 0;
  for (const std::string_view text : texts) text_bytes += text.size();
  text_keys_.reserve(text_bytes * 3 + texts.size() * 8);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string_view text = texts[i];
    std::size_t slot = hash(text) & (slots - 1);
    while (table[slot] != kEmpty && texts[table[slot]] != text) slot = (slot + 1) & (slots - 1);
    Key& key = keys_[i];
    if (table[slot] != kEmpty) {
      const Key& same = keys_[table[slot]];
      key.offset = same.offset;
      key.length = same.length;
      key.prefix = same.prefix;
      continue;
    }
    table[slot] = static_cast<std::uint32_t>(i);
    key.offset = text_keys_.size();
    locale.AppendSortKey(text, text_keys_);
    key.length = text_keys_.size() - key.offset;
    std::uint64_t prefix = 0;
    for (std::size_t b = 0; b < 8; ++b) {
      prefix = (prefix << 8) | (b < key.length ? static_cast<unsigned char>(text_keys_[key.offset + b]) : 0u);
    }
    key.prefix = prefix;
  }
}

int ListSortKeys::Compare(std::size_t a, std::size_t b) const {
  const Key& x = keys_[a];
  const Key& y = keys_[b];
  if (x.date_time && y.date_time) return Sign(*x.date_time, *y.date_time);
  if (x.number && y.number) return Sign(*x.number, *y.number);
  // Byte order of the keys: the prefixes decide unless they are equal.
  if (x.prefix != y.prefix) return Sign(x.prefix, y.prefix);
  const int order = TextKey(x).compare(TextKey(y));
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace om
