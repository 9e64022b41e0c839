#include "ui/main/pickdrop_alternates.h"

#include "store/clip_coll.h"

namespace om {

TPickdropAlternates::TPickdropAlternates(IClipListHost& main, IAlternatesHost& host, IClipListWidget& widget,
                                         IMenus& menus, TAppSettings& settings, ILocale& locale,
                                         IKeyValueStore& store, IClock& clock)
    : main_(main), host_(host), widget_(widget), settings_(settings) {
  list_ = std::make_unique<TClipList>(static_cast<IClipListHost&>(*this), widget, menus, settings, locale, store,
                                      clock, "lvPD");
}

void TPickdropAlternates::SetAlternate(TClipColl* coll) {
  if (coll == nullptr) return;
  coll_ = coll;
  host_.SetAlternateCaption(std::string(kCaptionPrefix) + coll->Title);
  settings_.PDAlternateColl = coll->Title;
  Refill();
}

void TPickdropAlternates::FindAlternate(const std::vector<TClipColl*>& tree_order) {
  for (TClipColl* coll : tree_order) {
    if (coll != nullptr && coll->Title == settings_.PDAlternateColl) {
      SetAlternate(coll);
      return;
    }
  }
}

void TPickdropAlternates::Forget(const TClipColl* coll) {
  if (coll != coll_ && coll != nullptr) return;
  coll_ = nullptr;
  host_.SetAlternateCaption(kCaptionPrefix);
  Refill();
}

void TPickdropAlternates::Refill() {
  filling_ = true;
  list_->UpdateLVClips();
  filling_ = false;
}

void TPickdropAlternates::SelectionChanged() {
  const std::vector<int> rows = widget_.SelectedRows();
  if (rows.size() == 1) list_->lvClipsChange(rows.front(), ListChange::kState);
}

}  // namespace om
