#include "ui/main/glue.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "app/app_log.h"
#include "app/app_messages.h"
#include "clipboard/clip_view.h"
#include "clipboard/clipboard.h"
#include "store/clip_coll.h"
#include "store/clip_lock.h"
#include "store/clip_obj.h"
#include "ui/main/current_operation.h"
#include "ui/main/preview_pane.h"

namespace om {

std::string ParseGlueSeparator(std::string_view setting) {
  std::string separator;
  std::size_t at = 0;
  while (at < setting.size() && separator.size() < kMaxGlueSeparator) {
    const char c = setting[at++];
    if (c != '\\') {
      separator += c;
      continue;
    }
    if (at == setting.size()) {
      // A backslash at the very end escapes nothing: it is kept as the
      // user typed it.
      separator += '\\';
      break;
    }
    switch (setting[at++]) {
      case 'n':
      case 'N':
        separator += "\r\n";
        break;
      case 't':
      case 'T':
        separator += '\t';
        break;
      case '\\':
        separator += '\\';
        break;
      default:
        separator += '?';
        break;
    }
  }
  return separator;
}

void CutTrailingBreak(std::string& text, std::size_t min_length) {
  // Only the second-to-last character counts: CR LF, LF CR and a break
  // followed by any one character all go; a lone LF after a letter stays.
  if (text.size() < std::max<std::size_t>(min_length, 2)) return;
  const char before_last = text[text.size() - 2];
  if (before_last == '\r' || before_last == '\n') text.resize(text.size() - 2);
}

void AppendGluePiece(std::string& result, std::string_view separator, std::string_view piece,
                     bool omit_existing_break, std::size_t cut_from) {
  if (!result.empty()) {
    if (omit_existing_break) CutTrailingBreak(result, cut_from);
    result += separator;
  }
  result += piece;
}

std::vector<int> GlueOrder(const std::vector<int>& selected_rows, int previous_row, int last_row) {
  std::vector<int> order = selected_rows;
  std::sort(order.begin(), order.end());
  const bool top_down = previous_row >= 0 && last_row >= 0 && previous_row <= last_row;
  if (!top_down) std::reverse(order.begin(), order.end());
  return order;
}

std::string ManualGlueTitle(int count) { return "Glue: (" + std::to_string(count) + " Items)"; }
std::string AutoGlueTitle(int count) { return "Glue: (" + std::to_string(count) + ") Items"; }
std::string AutoGlueDoneTitle(int count) { return "Glue Complete: (" + std::to_string(count) + ") Items"; }

namespace {

// One Open of the viewer's counted clipboard, closed on every way out.
class ViewerOpen {
 public:
  explicit ViewerOpen(TClipView5& viewer) : viewer_(viewer), open_(viewer.Open()) {}
  ~ViewerOpen() {
    if (open_) viewer_.Close();
  }
  ViewerOpen(const ViewerOpen&) = delete;
  ViewerOpen& operator=(const ViewerOpen&) = delete;
  bool IsOpen() const { return open_; }

 private:
  TClipView5& viewer_;
  bool open_;
};

}  // namespace

TGlue::TGlue(IGlueHost& host, IMenus& menus, TPreviewPane& preview, IPreviewWidget& pane, TAppSettings& settings,
             TClipView5& viewer, TClipboard& clipboard)
    : host_(host),
      menus_(menus),
      preview_(preview),
      pane_(pane),
      settings_(settings),
      viewer_(viewer),
      clipboard_(clipboard) {}

void TGlue::ParseGlueSeparator() { separator_ = om::ParseGlueSeparator(settings_.GlueSeparator); }

void TGlue::cmdGlueClick() {
  EnterOperation("TfrmQL.cmdGlueClick");
  const std::vector<int> rows = host_.SelectedRows();
  if (rows.size() >= 2) {
    ManualGlue(rows);
  } else if (!auto_glue_) {
    StartAutoGlue();
  } else {
    EndAutoGlue();
  }
  SyncMenus();
  host_.UpdateCaptions();
}

bool TGlue::AutoGlue(bool on) {
  EnterOperation("TfrmQL.AutoGlue");
  if (!on) {
    if (auto_glue_) EndAutoGlue();
    return false;
  }
  const bool appended = Append();
  // The menus follow the button; automatic glue may have ended here.
  SyncMenus();
  return appended;
}

void TGlue::ManualGlue(const std::vector<int>& rows) {
  // The button shows whether automatic glue is on: a manual glue while it
  // runs leaves it running (and the button down), so that the button never
  // hides that copied texts are still being glued.
  try {
    std::vector<TClipObj*> texts;
    for (const int row : GlueOrder(rows, host_.ListOrderHint().first, host_.ListOrderHint().second)) {
      TClipObj* const clip = host_.ClipAtRow(row);
      if (clip != nullptr && clip->HasFormat(cf::kText)) texts.push_back(clip);
    }
    if (texts.empty()) {
      SetButton(auto_glue_);
      host_.ShowMessageBox(kNothingToGlue, kNothingToGlueCaption, MsgButtons::kOk, MsgIcon::kError);
      return;
    }
    std::string result;
    for (TClipObj* clip : texts) {
      TClipLock lock(*clip, cf::kText);
      AppendGluePiece(result, separator_, lock.Text(), settings_.GlueOmitExistingCRLF, kManualGlueCutFrom);
    }
    if (TClipObj* const glue = AddGlueClip(ManualGlueTitle(static_cast<int>(texts.size())), result)) {
      host_.CopyItem(glue);
      pane_.FocusText();
    }
  } catch (...) {
    SetButton(auto_glue_);
    throw;
  }
  SetButton(auto_glue_);
}

void TGlue::StartAutoGlue() {
  if (AddGlueClip(ManualGlueTitle(0), "") == nullptr) {
    SetButton(false);
    return;
  }
  auto_glue_ = true;
  glue_count_ = 0;
  SetButton(true);
}

void TGlue::EndAutoGlue() {
  // Ended whether or not a clip is selected: a command that ends it (a
  // change of collection, say) must not leave it appending to whatever
  // clip is selected next. The title goes to the selected clip, normally
  // the glue clip.
  auto_glue_ = false;
  const std::vector<int> rows = host_.SelectedRows();
  if (TClipObj* const clip = rows.empty() ? nullptr : host_.ClipAtRow(rows.front())) {
    Retitle(*clip, AutoGlueDoneTitle(glue_count_));
  }
  glue_count_ = 0;
  SetButton(false);
}

bool TGlue::Append() {
  const std::vector<int> rows = host_.SelectedRows();
  if (rows.empty()) return false;
  // The first selected clip: normally the glue clip, but whichever the
  // user selected since.
  TClipObj* const target = host_.ClipAtRow(rows.front());
  std::int32_t entry = -1;
  if (target == nullptr || !target->HasFormat(cf::kText, entry)) {
    SetButton(button_down_);
    return false;
  }
  ViewerOpen open(viewer_);
  if (!open.IsOpen()) {
    host_.ShowMessageBox(kCannotOpenClipboard, kApplicationTitle, MsgButtons::kOk, MsgIcon::kInformation);
    Log(loglevel::kError, "Auto-Glue", std::string(kCannotOpenClipboard) + ": " + viewer_.ErrMsg());
    return false;
  }
  if (!clipboard_.HasFormat(cf::kText)) {
    // A picture or the like: automatic glue ends, and the data is not
    // captured.
    EndAutoGlue();
    return false;
  }
  const ClipData data = clipboard_.GetData(cf::kText);
  if (data.status != ClipStatus::kOk) {
    Log(loglevel::kError, "Auto-Glue", "The clipboard's text could not be read; nothing was glued.");
    return false;
  }
  const auto end = std::find(data.bytes.begin(), data.bytes.end(), std::uint8_t{0});
  const std::string_view copied(reinterpret_cast<const char*>(data.bytes.data()),
                                static_cast<std::size_t>(end - data.bytes.begin()));
  // What was typed into the pane belongs to the text it is glued to.
  if (preview_.PreviewedClip() == target) preview_.RescueEditing();
  std::string text;
  {
    TClipLock lock(*target, cf::kText);
    text = lock.Text();
  }
  AppendGluePiece(text, separator_, copied, settings_.GlueOmitExistingCRLF, kAutoGlueCutFrom);
  target->PutText(text, entry);
  // Counted only once the text is in: a failed append leaves the count.
  ++glue_count_;
  host_.CopyItem(target);
  Retitle(*target, AutoGlueTitle(glue_count_));
  if (TClipObj* const previewed = preview_.PreviewedClip()) preview_.ViewTEXT(true, previewed);
  SetButton(button_down_);
  return true;
}

TClipObj* TGlue::AddGlueClip(const std::string& title, std::string_view text) {
  TClipColl* const coll = host_.ShownCollection();
  // Search Results only refers to other collections' clips: it cannot own
  // one. A read-only collection takes none.
  if (coll == nullptr || coll->ReadOnly || coll == host_.SearchResults()) {
    host_.ShowStatus(2, false, kNoCollection);
    return nullptr;
  }
  auto clip = std::make_unique<TClipObj>(coll->GetNextSerialNum(), kSource);
  clip->SetColl(coll);
  clip->SortKey = coll->GetNextClipSortKey();
  clip->SetTitle(title);
  clip->PutText(text, -1);
  clip->SetIcon(cf::kText);
  TClipObj* const glue = clip.get();
  const std::optional<std::int32_t> position = coll->MyAddObject(glue->Title, glue);
  if (!position) {
    host_.ShowStatus(2, false, kNoCollection);
    return nullptr;
  }
  clip.release();  // the collection owns it now
  host_.AddNewClipRow(glue, *position);
  host_.SetClipboardClip(glue);
  return glue;
}

void TGlue::Retitle(TClipObj& clip, const std::string& title) {
  clip.SetTitle(title);
  host_.RefreshClipRow(&clip);
  host_.SetHeaderText(clip.Title);
  host_.UpdateCaptions();
}

void TGlue::SetButton(bool down) {
  button_down_ = down;
  host_.SetGlueButtonDown(down);
}

void TGlue::SyncMenus() {
  menus_.SetChecked(MenuItem::kGlue, button_down_);
  menus_.SetChecked(MenuItem::kTrayGlue, button_down_);
}

}  // namespace om
