#include "ui/dialogs/find.h"

#include "app/app_log.h"

namespace om {

int TfrmFind::Show(std::string& text, std::int32_t& scope, std::size_t max_length, bool traditional_view) {
  TFindFields fields;
  fields.Text = text.substr(0, max_length);
  fields.MaxLength = max_length;
  switch (scope) {
    case findscope::kAllCollections:
      fields.Choice = FindChoice::kAllColl;
      break;
    case findscope::kCurrentClip:
      fields.Choice = traditional_view ? FindChoice::kCurrColl : FindChoice::kWithinClip;
      break;
    default:
      fields.Choice = FindChoice::kCurrColl;
      break;
  }
  fields.WithinClipEnabled = !traditional_view;
  const bool ok = view_.ShowModal(*this, fields);
  switch (fields.Choice) {
    case FindChoice::kAllColl:
      scope = findscope::kAllCollections;
      break;
    case FindChoice::kWithinClip:
      // A disabled button cannot be chosen; a window that reports it anyway
      // gets the current collection.
      scope = fields.WithinClipEnabled ? findscope::kCurrentClip : findscope::kCurrentCollection;
      break;
    case FindChoice::kCurrColl:
      scope = findscope::kCurrentCollection;
      break;
  }
  text = fields.Text.substr(0, max_length);
  return ok ? kOK : kCancel;
}

void TfrmFind::cmdHelpClick() {
  // The help pages come later.
  Log(loglevel::kDetail, "TfrmFind", "No help file to show yet.");
}

}  // namespace om
