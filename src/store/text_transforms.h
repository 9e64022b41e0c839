// The text transforms: rewriting a clip's plain text in place (shifting it
// left or right by one column, removing line breaks inside paragraphs,
// changing its case four ways, or only stripping its other formats), and
// finding the web address nearest to a position in a text.
//
// Text is 8-bit in the ANSI code page. In these routines a line break is a
// pair of adjacent characters CR LF or LF CR; a lone CR or LF is not one
// (except where FormatCRLF says otherwise).
//
// Everything here is portable: letters and letter case come from the
// locale port, the Ctrl key's state from the caller, and showing status
// texts or opening an address is the caller's work.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/locale.h"
#include "store/store_errors.h"

namespace om {

class TClipObj;

// A shift routine could not get the memory for its result.
class EBadAlloc : public EProgramError {
 public:
  using EProgramError::EProgramError;
};

// The operations of XForm.
namespace xform {
constexpr std::uint32_t kShiftLeft = 1;
constexpr std::uint32_t kShiftRight = 2;
constexpr std::uint32_t kRemoveLineBreaks = 3;
constexpr std::uint32_t kLowerCase = 4;
constexpr std::uint32_t kUpperCase = 5;
constexpr std::uint32_t kMixedCase = 6;
constexpr std::uint32_t kSentenceCase = 7;
// Leaves the text as it is: only the other formats go.
constexpr std::uint32_t kStripNonText = 8;
}  // namespace xform

// Removes at most one character from the start of each line (the first line
// and every line after a line break): a blank or a tab, or, with Ctrl held,
// whatever character is there. An empty line passes the chance on to its
// first other character. Throws EBadAlloc when the result's buffer cannot
// be had.
std::string ShiftLeft(std::string_view text, bool ctrl_down);
// Puts one blank before every non-empty line (the first and every line
// after a line break); empty lines stay empty. Throws EBadAlloc when the
// buffer cannot be had (or, as a guard that never fires, when the result
// would outgrow it).
std::string ShiftRight(std::string_view text);

// The blanks pass of FlowText (blanks are character 32 only): drops the
// blanks at the start of the text and those that begin a line after an LF;
// of any other run it keeps one blank, two after a period.
std::string FormatBlanks(std::string_view text);
// The line-break pass of FlowText: every CR LF becomes one blank (none at
// position 0 or 1, and none when a blank comes before it), except, without
// `remove_all`, a CR LF followed by another CR LF (a paragraph break), whose
// whole run of CR and LF characters stays as it is.
std::string FormatCRLF(std::string_view text, bool remove_all);
// Removes line breaks inside paragraphs (every line break with
// `remove_all`): FormatBlanks, then FormatCRLF. Never throws: a pass that
// fails leaves the text as it was before it. The result ends before the
// first zero byte.
std::string FlowText(std::string_view text, bool remove_all);

// Lower-cases A-Z, then upper-cases every letter that follows a non-letter
// (words are runs of letters: "don't" becomes "Don'T").
void CaseMixed(std::string& text, ILocale& locale);
// Lower-cases A-Z, then upper-cases the first letter of the text and the
// first letter after each sentence end ('.', '!', '?', ':').
void CaseSentence(std::string& text, ILocale& locale);

// The selection to show after a transform, in characters of the clip's new
// text.
struct XFormSelection {
  std::int32_t start = 0;
  std::int32_t length = 0;
  bool operator==(const XFormSelection&) const = default;
};

// Applies one operation to the clip's CF_TEXT, or to the selected part of
// it (a length of 0 selects the whole text; a selection running past the
// text is cut to it), and writes the result back as the clip's only format.
// Lower, upper, mixed and sentence case also convert the clip's title.
// `ctrl_down` is the Ctrl key's state as the command found it.
//
// The new selection is returned rather than left in variables of the
// module: the same start, and the length of the transformed selection (the
// whole new text when there was no selection). nullopt, with the clip
// untouched, when the clip has no CF_TEXT.
//
// The clip's other formats go also when the operation throws; the clip then
// keeps its untransformed text and the exception goes on to the caller.
std::optional<XFormSelection> XForm(TClipObj& clip, std::uint32_t operation, std::int32_t sel_start,
                                    std::int32_t sel_length, bool ctrl_down);

// --- the web address nearest to the caret ---

// Status texts of opening the address found in a text.
inline constexpr char kUrlNotDetermined[] = "Could Not Determine URL.";
inline constexpr char kUrlLaunching[] = "Launching: ";
inline constexpr char kUrlError[] = "Error - Could Not Determine URL.";

// What the shell is handed holds at most this many characters.
constexpr std::size_t kMaxUrlLength = 255;

// The characters an address is made of: # % + - . / 0-9 : = @ A-Z \ _ a-z.
bool IsUrlChar(char c);

enum class UrlSearch {
  kFound,
  // No address around the position: the status is kUrlNotDetermined.
  kNotFound,
  // The position is outside the text: the status is kUrlError.
  kError,
};

struct CloseEnoughUrl {
  UrlSearch result = UrlSearch::kError;
  // The address (its first kMaxUrlLength characters) when found.
  std::string url;
};

// The run of address characters around the character at the one-based
// `position` (the character just before the caret). It counts only when it
// is at least two characters long and holds a period. A position outside
// the text (0 among them: no character before the caret) is an error.
CloseEnoughUrl FindCloseEnoughURL(std::string_view text, std::int32_t position);

// Where the clip list's "Launch as URL" looks: the one-based position of the
// text's first period; nullopt when the text is shorter than two characters
// or has no period (no address can be found then).
std::optional<std::int32_t> FirstPeriodPosition(std::string_view text);

}  // namespace om
