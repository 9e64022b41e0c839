// The preview pane's text panes: the plain-text pane's content, selection,
// undo, clipboard and font (with the font dialog), the rich-text pane, and
// where a drag over the text pane would drop.
#include "ui/main/win32/preview_pane_widget.h"

#include <commdlg.h>
#include <richedit.h>
// The dialog's macro would rename the widget's method of the same name.
#undef ChooseFont

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "platform/win32/os_error.h"
#include "ui/main/win32/rich_edit_text.h"

namespace om::win32 {
namespace {

int ScreenDpi() {
  WindowDc screen;
  const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : 96;
}

// A font description as a LOGFONT for the screen: points become the
// (negative) character height in pixels.
LOGFONTA LogFontOf(const TFontDesc& font) {
  LOGFONTA log{};
  log.lfHeight = -::MulDiv(font.Size, ScreenDpi(), 72);
  log.lfWeight = FW_NORMAL;
  log.lfCharSet = static_cast<BYTE>(std::clamp(font.Charset, 0, 255));
  log.lfOutPrecision = OUT_DEFAULT_PRECIS;
  log.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  log.lfQuality = DEFAULT_QUALITY;
  log.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::size_t length = std::min(font.Name.size(), std::size(log.lfFaceName) - 1);
  std::memcpy(log.lfFaceName, font.Name.data(), length);
  return log;
}

}  // namespace

// --- the text pane ---

void PreviewPaneWidget::SetText(std::string_view text) {
  if (text_ == nullptr) return;
  QuietScope quiet(quiet_);
  StreamInPlain(text_, text);
  ::SendMessageA(text_, EM_SETMODIFY, FALSE, 0);
  ::SendMessageA(text_, EM_EMPTYUNDOBUFFER, 0, 0);
}

std::string PreviewPaneWidget::Text() const {
  if (text_ == nullptr) return {};
  GETTEXTLENGTHEX length{GTL_USECRLF | GTL_PRECISE | GTL_NUMBYTES, CP_ACP};
  const LRESULT bytes = ::SendMessageA(text_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  if (bytes <= 0) return {};
  std::string text(static_cast<std::size_t>(bytes) + 1, '\0');
  GETTEXTEX get{};
  get.cb = static_cast<DWORD>(text.size());
  get.flags = GT_USECRLF;
  get.codepage = CP_ACP;
  const LRESULT got =
      ::SendMessageA(text_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, bytes)));
  return text;
}

int PreviewPaneWidget::LineCount() const {
  if (text_ == nullptr) return 0;
  // The control counts an empty last line (after a final line break, or
  // in an empty pane); a list of lines does not.
  const auto count = static_cast<int>(::SendMessageA(text_, EM_GETLINECOUNT, 0, 0));
  if (count <= 0) return 0;
  const LRESULT last_start = ::SendMessageA(text_, EM_LINEINDEX, static_cast<WPARAM>(count - 1), 0);
  const bool last_empty =
      last_start < 0 || ::SendMessageA(text_, EM_LINELENGTH, static_cast<WPARAM>(last_start), 0) == 0;
  return last_empty ? count - 1 : count;
}

bool PreviewPaneWidget::Modified() const { return text_ != nullptr && ::SendMessageA(text_, EM_GETMODIFY, 0, 0) != 0; }

void PreviewPaneWidget::SetModified(bool modified) {
  if (text_ != nullptr) ::SendMessageA(text_, EM_SETMODIFY, modified ? TRUE : FALSE, 0);
}

TextSelection PreviewPaneWidget::Selection() const {
  if (text_ == nullptr) return {};
  CHARRANGE range{};
  ::SendMessageA(text_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  const std::string text = Text();
  const std::int32_t start = TextOffsetOf(text, std::min(range.cpMin, range.cpMax));
  const std::int32_t end = TextOffsetOf(text, std::max(range.cpMin, range.cpMax));
  return {start, end - start};
}

void PreviewPaneWidget::Select(TextSelection selection) {
  if (text_ == nullptr) return;
  const std::string text = Text();
  const std::int32_t start = std::max(selection.start, 0);
  CHARRANGE range{ControlOffsetOf(text, start), ControlOffsetOf(text, start + std::max(selection.length, 0))};
  QuietScope quiet(quiet_);
  ::SendMessageA(text_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  ::SendMessageA(text_, EM_SCROLLCARET, 0, 0);
}

void PreviewPaneWidget::FocusText() {
  if (text_ != nullptr && ::IsWindowVisible(text_)) ::SetFocus(text_);
}

void PreviewPaneWidget::SetWordWrap(bool wrap) {
  // Line width 0 wraps at the window's edge; 1 never wraps.
  if (text_ != nullptr) ::SendMessageA(text_, EM_SETTARGETDEVICE, 0, wrap ? 0 : 1);
}

void PreviewPaneWidget::SetTextFont(const TFontDesc& font) {
  if (text_ == nullptr) return;
  const LOGFONTA log = LogFontOf(font);
  Font created(::CreateFontIndirectA(&log));
  if (!created) {
    LogOsFailure("CreateFontIndirectA(txtMagnifyText)");
    return;
  }
  QuietScope quiet(quiet_);
  ::SendMessageA(text_, WM_SETFONT, reinterpret_cast<WPARAM>(created.get()), TRUE);
  // The font the control had is freed once it has the new one.
  text_font_ = std::move(created);
}

bool PreviewPaneWidget::CanUndo() const { return text_ != nullptr && ::SendMessageA(text_, EM_CANUNDO, 0, 0) != 0; }

void PreviewPaneWidget::Undo() {
  if (text_ == nullptr) return;
  QuietScope quiet(quiet_);
  ::SendMessageA(text_, EM_UNDO, 0, 0);
}

void PreviewPaneWidget::EmptyUndoBuffer() {
  if (text_ != nullptr) ::SendMessageA(text_, EM_EMPTYUNDOBUFFER, 0, 0);
}

void PreviewPaneWidget::CutToClipboard() {
  if (text_ == nullptr) return;
  QuietScope quiet(quiet_);
  ::SendMessageA(text_, WM_CUT, 0, 0);
}

void PreviewPaneWidget::CopyToClipboard() {
  if (text_ != nullptr) ::SendMessageA(text_, WM_COPY, 0, 0);
}

void PreviewPaneWidget::PasteFromClipboard() {
  if (text_ == nullptr) return;
  QuietScope quiet(quiet_);
  ::SendMessageA(text_, WM_PASTE, 0, 0);
}

// --- the rich-text pane ---

bool PreviewPaneWidget::LoadRichTextFile(std::string_view path) {
  if (rich_ == nullptr) return false;
  QuietScope quiet(quiet_);
  if (!StreamInRtfFile(rich_, path)) return false;
  ::SendMessageA(rich_, EM_SCROLLCARET, 0, 0);
  return true;
}

void PreviewPaneWidget::SetRichTextPlain(std::string_view text) {
  if (rich_ == nullptr) return;
  QuietScope quiet(quiet_);
  StreamInPlain(rich_, text);
}

int PreviewPaneWidget::RichTextLength() const {
  if (rich_ == nullptr) return 0;
  GETTEXTLENGTHEX length{GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, CP_ACP};
  return static_cast<int>(
      std::max<LRESULT>(::SendMessageA(rich_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0), 0));
}

// --- the font dialog ---

std::optional<TFontDesc> PreviewPaneWidget::ChooseFont(const TFontDesc& font) {
  LOGFONTA log = LogFontOf(font);
  CHOOSEFONTA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd_ != nullptr ? ::GetAncestor(hwnd_, GA_ROOT) : nullptr;
  dialog.lpLogFont = &log;
  dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  if (!::ChooseFontA(&dialog)) return std::nullopt;
  TFontDesc chosen;
  chosen.Name = log.lfFaceName;
  // The dialog's size in tenths of a point, rounded to whole points.
  chosen.Size =
      dialog.iPointSize > 0 ? (dialog.iPointSize + 5) / 10 : ::MulDiv(std::abs(log.lfHeight), 72, ScreenDpi());
  chosen.Charset = log.lfCharSet;
  return chosen;
}

// --- the in-program drag ---

bool PreviewPaneWidget::TextPaneContains(POINT screen) const {
  if (text_ == nullptr || !::IsWindowVisible(text_)) return false;
  RECT bounds{};
  ::GetWindowRect(text_, &bounds);
  return ::PtInRect(&bounds, screen) != 0;
}

std::int32_t PreviewPaneWidget::CaretAt(POINT screen) const {
  if (text_ == nullptr) return 0;
  POINT client = screen;
  ::ScreenToClient(text_, &client);
  POINTL at{client.x, client.y};
  const auto index = static_cast<std::int32_t>(::SendMessageA(text_, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&at)));
  return TextOffsetOf(Text(), std::max(index, 0));
}

}  // namespace om::win32
