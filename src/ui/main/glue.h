// TGlue: joining the texts of clips. One button (cmdGlue, also the Edit
// menu's "Glue" and the tray's "&Glue") does both kinds:
//   - with two or more clips selected, a manual glue: a new clip holding
//     their texts joined by the glue separator, added to the shown
//     collection and put on the clipboard;
//   - with fewer, automatic glue on (or off again): an empty glue clip is
//     made, and every text copied from then on is appended to the clip
//     selected in the list instead of becoming a clip of its own. A copy
//     without text ends it, and so does every command that must not run
//     while texts are being glued (TfrmQL::EndAutoGlue).
// Only plain text (CF_TEXT) takes part; a glue clip holds that one format.
//
// The separator and the joining rules are plain functions below, so that
// they can be checked on their own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/app_settings.h"
#include "platform/prompts.h"
#include "ui/main/widgets.h"

namespace om {

class TClipColl;
class TClipObj;
class TClipView5;
class TClipboard;
class TPreviewPane;

// --- The rules ---------------------------------------------------------------

// The separator setting as the text put between glued texts: \n and \N are
// CR LF, \t and \T a tab, \\ one backslash, a backslash before any other
// character '?' (both characters used up); every other character is
// itself. At most kMaxGlueSeparator characters are written, 81 when the
// last one written is a line break.
inline constexpr std::size_t kMaxGlueSeparator = 80;
std::string ParseGlueSeparator(std::string_view setting);

// Where a glue starts a new piece: a result (or a clip's text) whose
// second-to-last character is CR or LF loses its last two characters,
// when it is at least `min_length` long, so that a text ending in a line
// break is not followed by a second one from the separator. Manual glue
// cuts from two characters on, appending from three.
inline constexpr std::size_t kManualGlueCutFrom = 2;
inline constexpr std::size_t kAutoGlueCutFrom = 3;
void CutTrailingBreak(std::string& text, std::size_t min_length);

// Adds `piece` to the glued text `result`: a non-empty result first loses
// a trailing break (with `omit_existing_break`, the GlueOmitExistingCRLF
// setting) and gets the separator.
void AppendGluePiece(std::string& result, std::string_view separator, std::string_view piece,
                     bool omit_existing_break, std::size_t cut_from);

// The order in which the selected rows (top to bottom) are glued, from the
// list's order hint: the two rows whose state changed last. A selection
// whose last step went down (previous <= last, both recorded) glues from
// the top; any other from the bottom up.
std::vector<int> GlueOrder(const std::vector<int>& selected_rows, int previous_row, int last_row);

// The glue clips' titles.
std::string ManualGlueTitle(int count);     // "Glue: (3 Items)"
std::string AutoGlueTitle(int count);       // "Glue: (3) Items"
std::string AutoGlueDoneTitle(int count);   // "Glue Complete: (3) Items"

// --- The feature -----------------------------------------------------------------

class IGlueHost {
 public:
  virtual ~IGlueHost() = default;
  // The collection the list shows; nullptr for none.
  virtual TClipColl* ShownCollection() const = 0;
  virtual TClipColl* SearchResults() const = 0;
  // The clip list's selected rows from the top, and its order hint: the
  // rows of the two most recent state changes (previous, last; -1 when
  // there are not so many since the list was filled).
  virtual std::vector<int> SelectedRows() const = 0;
  virtual std::pair<int, int> ListOrderHint() const = 0;
  virtual TClipObj* ClipAtRow(int row) const = 0;
  // Adds the clip, just filed at `position` of the shown collection, to
  // the list as its only selected row, previewed; the selection does not
  // put it on the clipboard.
  virtual void AddNewClipRow(TClipObj* clip, int position) = 0;
  virtual void SetClipboardClip(TClipObj* clip) = 0;
  // Puts the clip on the clipboard (TfrmQL::CopyItem).
  virtual std::int32_t CopyItem(TClipObj* clip) = 0;
  // The clip's row is drawn again (its caption shows the clip's title).
  virtual void RefreshClipRow(const TClipObj* clip) = 0;
  // The title header's first section (tag 1) shows `text`.
  virtual void SetHeaderText(std::string_view text) = 0;
  // The window's caption and the tray icon's hint.
  virtual void UpdateCaptions() = 0;
  virtual void ShowStatus(int level, bool busy, std::string_view text) = 0;
  // A message box with the window out of the always-on-top position.
  virtual MsgResult ShowMessageBox(std::string_view text, std::string_view caption, MsgButtons buttons,
                                   MsgIcon icon) = 0;
  // The glue tool button down (image 10, TB_GLUE_TIPPED) or up (image 2,
  // TB_GLUE).
  virtual void SetGlueButtonDown(bool down) = 0;
};

class TGlue {
 public:
  static constexpr char kSource[] = "Ottermoor - Glue";
  static constexpr char kNothingToGlue[] = "Sorry, there is nothing to GLUE!   (Only TEXT items may be glued.)";
  static constexpr char kNothingToGlueCaption[] = "Ottermoor GLUE Error";
  static constexpr char kCannotOpenClipboard[] = "Error - Could Not Open Clipboard";
  static constexpr char kNoCollection[] = "Glue Needs A Collection That Accepts New Clips.";

  TGlue(IGlueHost& host, IMenus& menus, TPreviewPane& preview, IPreviewWidget& pane, TAppSettings& settings,
        TClipView5& viewer, TClipboard& clipboard);
  TGlue(const TGlue&) = delete;
  TGlue& operator=(const TGlue&) = delete;

  // The button and both menu items: a manual glue with two or more clips
  // selected; otherwise automatic glue on, or off when it is on.
  void cmdGlueClick();
  void mnuEditGlueClick() { cmdGlueClick(); }

  // With `on`: appends the clipboard's text to the first selected clip
  // (capture calls it in place of capturing while automatic glue is on);
  // true when a text was appended. A clipboard without text ends automatic
  // glue and is not captured. Without `on`: ends automatic glue.
  bool AutoGlue(bool on);

  // The separator from the GlueSeparator setting: at start-up and after
  // the settings change.
  void ParseGlueSeparator();
  const std::string& Separator() const { return separator_; }

  bool AutoGlueOn() const { return auto_glue_; }
  int GlueCount() const { return glue_count_; }
  bool ButtonDown() const { return button_down_; }

 private:
  void ManualGlue(const std::vector<int>& rows);
  void StartAutoGlue();
  void EndAutoGlue();
  bool Append();
  // A new glue clip in the shown collection, in the list and the
  // clipboard clip; nullptr (with a status message) when the shown
  // collection cannot take it.
  TClipObj* AddGlueClip(const std::string& title, std::string_view text);
  void Retitle(TClipObj& clip, const std::string& title);
  void SetButton(bool down);
  void SyncMenus();

  IGlueHost& host_;
  IMenus& menus_;
  TPreviewPane& preview_;
  IPreviewWidget& pane_;
  TAppSettings& settings_;
  TClipView5& viewer_;
  TClipboard& clipboard_;

  std::string separator_ = "\r\n";
  bool auto_glue_ = false;
  int glue_count_ = 0;
  bool button_down_ = false;
};

}  // namespace om
