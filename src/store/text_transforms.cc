#include "store/text_transforms.h"

#include <algorithm>
#include <array>
#include <limits>
#include <new>
#include <stdexcept>

#include "app/app_log.h"
#include "platform/types.h"
#include "store/clip_obj.h"
#include "store/store_services.h"

namespace om {

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kBlank = ' ';
constexpr char kTab = '\t';

bool IsCrOrLf(char c) { return c == kCr || c == kLf; }

// CR LF or LF CR at `k`.
bool LineBreakAt(std::string_view text, std::size_t k) {
  if (k + 1 >= text.size()) return false;
  return (text[k] == kCr && text[k + 1] == kLf) || (text[k] == kLf && text[k + 1] == kCr);
}

// The result buffer of a shift routine. The only way to run out of memory
// here is the buffer's own allocation failing; the user gets the routine's
// message instead of the runtime's.
std::string ReserveBuffer(std::size_t size, std::string_view routine, std::size_t reported_size) {
  const auto failed = [&] {
    return EBadAlloc("Error Allocating Memory In " + std::string(routine) + ":" + std::to_string(reported_size));
  };
  std::string buffer;
  try {
    buffer.reserve(size);
  } catch (const std::bad_alloc&) {
    throw failed();
  } catch (const std::length_error&) {  // more than a string can ever hold
    throw failed();
  }
  return buffer;
}

// The code page as the case walks see it. The locale is asked about each
// single byte once per text, not once per character: a long text would
// otherwise cost the system a few calls per byte.
class CodePage {
 public:
  explicit CodePage(ILocale& locale) : locale_(locale) {
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      lead_[b] = locale.IsLeadByte(static_cast<unsigned char>(b));
      letter_[b] = locale.IsAnsiAlpha(std::string_view(&byte, 1));
    }
  }

  // The length of the character at `at`: two bytes for a lead byte with a
  // byte after it, else one.
  std::size_t CharLength(std::string_view text, std::size_t at) const {
    return at + 1 < text.size() && lead_[static_cast<unsigned char>(text[at])] ? 2 : 1;
  }

  bool IsLetter(std::string_view character) const {
    if (character.size() == 1) return letter_[static_cast<unsigned char>(character[0])];
    return locale_.IsAnsiAlpha(character);
  }

  // Only A-Z: capitals of other scripts keep their case. Trail bytes of
  // double-byte characters are not letters and stay as they are.
  void LowerAsciiCapitals(std::string& text) const {
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t length = CharLength(text, at);
      if (length == 1 && text[at] >= 'A' && text[at] <= 'Z') text[at] = static_cast<char>(text[at] - 'A' + 'a');
      at += length;
    }
  }

  void UpperCharAt(std::string& text, std::size_t at, std::size_t length) {
    if (length == 1) {
      text[at] = UpperOf(text[at]);
      return;
    }
    std::string character = text.substr(at, length);
    locale_.AnsiUpperCase(character);
    // The system converts in place; a conversion that changed the length
    // would shift everything after it, so it is not taken.
    if (character.size() == length) text.replace(at, length, character);
  }

 private:
  // The upper case of every single-byte character, from one conversion of
  // them all, made when first needed.
  char UpperOf(char c) {
    if (!upper_) {
      std::string singles;
      for (int b = 0; b < 256; ++b) {
        if (!lead_[b]) singles += static_cast<char>(b);
      }
      std::string upper = singles;
      locale_.AnsiUpperCase(upper);
      upper_.emplace();
      for (int b = 0; b < 256; ++b) (*upper_)[static_cast<std::size_t>(b)] = static_cast<char>(b);
      if (upper.size() == singles.size()) {
        for (std::size_t i = 0; i < singles.size(); ++i) {
          (*upper_)[static_cast<unsigned char>(singles[i])] = upper[i];
        }
      }
    }
    return (*upper_)[static_cast<unsigned char>(c)];
  }

  ILocale& locale_;
  bool lead_[256] = {};
  bool letter_[256] = {};
  std::optional<std::array<char, 256>> upper_;
};

bool IsSentenceEnd(char c) { return c == '.' || c == '!' || c == '?' || c == ':'; }

void ConvertCase(std::uint32_t operation, std::string& text, ILocale& locale) {
  switch (operation) {
    case xform::kLowerCase: locale.AnsiLowerCase(text); break;
    case xform::kUpperCase: locale.AnsiUpperCase(text); break;
    case xform::kMixedCase: CaseMixed(text, locale); break;
    case xform::kSentenceCase: CaseSentence(text, locale); break;
    default: break;
  }
}

bool IsCaseOperation(std::uint32_t operation) {
  return operation >= xform::kLowerCase && operation <= xform::kSentenceCase;
}

// The transformed selection; `selection` itself stays as it was when the
// operation throws.
std::string Apply(std::uint32_t operation, const std::string& selection, bool ctrl_down, ILocale* locale) {
  switch (operation) {
    case xform::kShiftLeft: return ShiftLeft(selection, ctrl_down);
    case xform::kShiftRight: return ShiftRight(selection);
    case xform::kRemoveLineBreaks: return FlowText(selection, ctrl_down);
    default: break;
  }
  std::string converted = selection;
  if (IsCaseOperation(operation)) ConvertCase(operation, converted, *locale);
  return converted;
}

// The text goes back as the clip's only format: whatever else it held
// would no longer match it.
void WriteBack(TClipObj& clip, const std::string& text, std::int32_t text_index) {
  if (clip.LockedFormat != 0) clip.Unlock();
  clip.NukeNonText();
  clip.PutText(text, text_index);
}

std::int32_t ToInt32(std::size_t value) {
  constexpr auto kLargest = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
  return static_cast<std::int32_t>(std::min(value, kLargest));
}

}  // namespace

std::string ShiftLeft(std::string_view text, bool ctrl_down) {
  Log(loglevel::kData, ">Shift Left", "");
  std::string out = ReserveBuffer(text.size() + 1, "ShiftLeft", text.size() + 1);
  bool at_line_start = true;
  for (std::size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    if (LineBreakAt(text, k)) at_line_start = true;
    if (IsCrOrLf(c)) {
      out += c;
    } else if (at_line_start) {
      at_line_start = false;
      if (!(c == kBlank || c == kTab || ctrl_down)) out += c;
    } else {
      out += c;
    }
  }
  Log(loglevel::kData, "<Shift Left", "");
  return out;
}

std::string ShiftRight(std::string_view text) {
  Log(loglevel::kData, ">Shift Right", "");
  // Room for a blank at every line start: two bytes for each position
  // where a line break starts, more than enough.
  std::size_t breaks = 0;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (LineBreakAt(text, k)) breaks += 2;
  }
  const std::size_t size = text.size() + breaks + 10;
  std::string out = ReserveBuffer(size, "ShiftRight", text.size() + 1);
  const auto put = [&](char c) {
    if (out.size() + 1 > size) {
      throw EBadAlloc("Ran Off End Of Allocated Memory In ShiftRight:  NewLen: " + std::to_string(size) +
                      " j:" + std::to_string(out.size()));
    }
    out += c;
  };
  bool at_line_start = true;
  for (std::size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    if (LineBreakAt(text, k)) at_line_start = true;
    if (!IsCrOrLf(c) && at_line_start) {
      at_line_start = false;
      put(kBlank);
    }
    put(c);
  }
  Log(loglevel::kData, "<Shift Right", "");
  return out;
}

std::string FormatBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != kBlank) {
      out += text[i++];
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && text[end] == kBlank) ++end;
    // Blanks that start the text or a line go; in a run anywhere else one
    // stays, and a second one after a period (the end of a sentence).
    if (i > 0 && text[i - 1] != kLf) {
      const bool after_period = text[i - 1] == '.' && end - i >= 2;
      out.append(after_period ? 2 : 1, kBlank);
    }
    i = end;
  }
  return out;
}

std::string FormatCRLF(std::string_view text, bool remove_all) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const bool crlf = i + 1 < text.size() && text[i] == kCr && text[i + 1] == kLf;
    if (!crlf) {
      out += text[i++];
      continue;
    }
    const bool paragraph_break = i + 3 < text.size() && text[i + 2] == kCr && text[i + 3] == kLf;
    if (!remove_all && paragraph_break) {
      std::size_t end = i;
      while (end < text.size() && IsCrOrLf(text[end])) ++end;
      out.append(text.substr(i, end - i));
      i = end;
      continue;
    }
    // The two words the break separated stay apart, unless a blank already
    // does it (or the break is at the very start).
    if (i > 1 && text[i - 1] != kBlank) out += kBlank;
    i += 2;
  }
  return out;
}

std::string FlowText(std::string_view text, bool remove_all) {
  Log(loglevel::kData, ">Flow Text", "");
  std::string result(text);
  try {
    result = FormatBlanks(result);
    result = FormatCRLF(result, remove_all);
  } catch (const std::exception&) {
    // Taken as far as the passes got.
  }
  Log(loglevel::kData, "<FlowText", "");
  if (const std::size_t zero = result.find('\0'); zero != std::string::npos) result.resize(zero);
  return result;
}

void CaseMixed(std::string& text, ILocale& locale) {
  CodePage code_page(locale);
  code_page.LowerAsciiCapitals(text);
  bool after_letter = false;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = code_page.CharLength(text, at);
    const bool letter = code_page.IsLetter(std::string_view(text).substr(at, length));
    if (letter && !after_letter) code_page.UpperCharAt(text, at, length);
    after_letter = letter;
    at += length;
  }
}

void CaseSentence(std::string& text, ILocale& locale) {
  CodePage code_page(locale);
  code_page.LowerAsciiCapitals(text);
  bool capitalise = true;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = code_page.CharLength(text, at);
    if (length == 1 && IsSentenceEnd(text[at])) {
      capitalise = true;
    } else if (code_page.IsLetter(std::string_view(text).substr(at, length))) {
      if (capitalise) code_page.UpperCharAt(text, at, length);
      capitalise = false;
    }
    at += length;
  }
}

std::optional<XFormSelection> XForm(TClipObj& clip, std::uint32_t operation, std::int32_t sel_start,
                                    std::int32_t sel_length, bool ctrl_down) {
  Log(loglevel::kData, "", "XForm>");
  std::int32_t text_index = -1;
  if (!clip.HasFormat(cf::kText, text_index)) return std::nullopt;
  ILocale* locale = nullptr;
  if (IsCaseOperation(operation)) {
    locale = StoreServices().Locale;
    if (locale == nullptr) throw std::logic_error("XForm: no locale installed (ScopedStoreServices)");
  }

  // The text is the block up to its first zero byte.
  std::string text;
  const std::int32_t size = clip.Lock(cf::kText);
  if (size > 0 && clip.LockedText != nullptr) {
    const std::string_view block(reinterpret_cast<const char*>(clip.LockedText), static_cast<std::size_t>(size));
    text = std::string(block.substr(0, block.find('\0')));
  }

  // No selection is the whole text; a selection is cut to the text, so
  // that nothing past its end is ever read.
  std::size_t start = 0;
  std::size_t length = text.size();
  if (sel_length != 0) {
    start = std::min<std::size_t>(static_cast<std::size_t>(std::max(sel_start, 0)), text.size());
    length = std::min<std::size_t>(static_cast<std::size_t>(std::max(sel_length, 0)), text.size() - start);
  }
  const std::string prefix = text.substr(0, start);
  std::string selection = text.substr(start, length);
  const std::string suffix = text.substr(start + length);

  XFormSelection result;
  try {
    if (!text.empty()) selection = Apply(operation, selection, ctrl_down, locale);
    // The title follows the case of the text, whole, whatever was selected.
    if (locale != nullptr) {
      std::string title = clip.Title;
      ConvertCase(operation, title, *locale);
      clip.SetTitle(title);
    }
    result.start = ToInt32(start);
    result.length = length > 0 ? ToInt32(selection.size()) : 0;
  } catch (...) {
    WriteBack(clip, prefix + selection + suffix, text_index);
    throw;
  }
  WriteBack(clip, prefix + selection + suffix, text_index);
  Log(loglevel::kData, "", "<XForm");
  return result;
}

bool IsUrlChar(char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  switch (c) {
    case '#': case '%': case '+': case '-': case '.': case '/':
    case ':': case '=': case '@': case '\\': case '_':
      return true;
    default: return false;
  }
}

CloseEnoughUrl FindCloseEnoughURL(std::string_view text, std::int32_t position) {
  const auto length = static_cast<std::int64_t>(text.size());
  // Positions count from 1. Without a character before the caret there is
  // nothing to start from.
  if (position < 1 || position > length) return {UrlSearch::kError, {}};
  const auto char_at = [&](std::int64_t p) { return text[static_cast<std::size_t>(p - 1)]; };
  std::int64_t start = position;
  std::int64_t stop = position;
  int periods = 0;
  // Back from the character before the caret to the first one that cannot
  // be in an address (start ends on it, or at 0)...
  while (start > 0 && IsUrlChar(char_at(start))) {
    if (char_at(start) == '.') ++periods;
    --start;
  }
  // ...and forward from it to the first one that cannot, or to the last
  // character of the text.
  while (stop < length && IsUrlChar(char_at(stop))) {
    if (char_at(stop) == '.') ++periods;
    ++stop;
  }
  if (!IsUrlChar(char_at(stop))) --stop;
  if (stop - start < 2 || periods == 0) return {UrlSearch::kNotFound, {}};
  std::string url(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(stop - start)));
  if (url.size() > kMaxUrlLength) url.resize(kMaxUrlLength);
  return {UrlSearch::kFound, std::move(url)};
}

std::optional<std::int32_t> FirstPeriodPosition(std::string_view text) {
  const std::size_t period = text.find('.');
  if (text.size() < 2 || period == std::string_view::npos) return std::nullopt;
  return ToInt32(period + 1);
}

}  // namespace om
