// The find dialog's behaviour: the scope it opens on and the one it leaves,
// the text it shows and keeps.
#include "ui/dialogs/find.h"

#include <gtest/gtest.h>

#include <functional>

namespace om {
namespace {

class ScriptedFindView final : public IFindView {
 public:
  bool ShowModal(TfrmFind&, TFindFields& fields) override {
    shown = fields;
    if (user) user(fields);
    return ok;
  }
  std::function<void(TFindFields&)> user;
  bool ok = true;
  TFindFields shown;
};

TEST(FindDialogTest, OpensOnTheSavedScopeAndLeavesTheChosenOne) {
  struct Case {
    std::int32_t saved;
    bool traditional;
    FindChoice shown;
    bool within_clip_enabled;
  };
  const Case cases[] = {
      {0, false, FindChoice::kCurrColl, true},   {1, false, FindChoice::kCurrColl, true},
      {2, false, FindChoice::kAllColl, true},    {3, false, FindChoice::kWithinClip, true},
      {7, false, FindChoice::kCurrColl, true},   {-1, false, FindChoice::kCurrColl, true},
      // The traditional view has no text pane: no current-clip search.
      {3, true, FindChoice::kCurrColl, false},   {2, true, FindChoice::kAllColl, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.saved);
    ScriptedFindView view;
    std::string text = "kept";
    std::int32_t scope = c.saved;
    TfrmFind dialog(view);
    EXPECT_EQ(dialog.Show(text, scope, 255, c.traditional), TfrmFind::kOK);
    EXPECT_EQ(view.shown.Choice, c.shown);
    EXPECT_EQ(view.shown.WithinClipEnabled, c.within_clip_enabled);
    EXPECT_EQ(view.shown.Text, "kept");
    // Closed untouched: the scope is the shown button's.
    const std::int32_t expected = c.shown == FindChoice::kAllColl ? 2 : c.shown == FindChoice::kWithinClip ? 3 : 1;
    EXPECT_EQ(scope, expected);
  }

  const std::pair<FindChoice, std::int32_t> choices[] = {
      {FindChoice::kCurrColl, 1}, {FindChoice::kAllColl, 2}, {FindChoice::kWithinClip, 3}};
  for (const auto& [choice, scope_after] : choices) {
    ScriptedFindView view;
    view.user = [choice](TFindFields& fields) { fields.Choice = choice; };
    std::string text;
    std::int32_t scope = 0;
    TfrmFind(view).Show(text, scope, 255, false);
    EXPECT_EQ(scope, scope_after);
  }
}

TEST(FindDialogTest, CancelKeepsTheEditsAndTheTextIsCutToItsLength) {
  ScriptedFindView view;
  view.ok = false;
  view.user = [](TFindFields& fields) {
    EXPECT_EQ(fields.MaxLength, 5u);
    fields.Text = "abcdefgh";
    fields.Choice = FindChoice::kAllColl;
  };
  std::string text = "0123456789";
  std::int32_t scope = 1;
  EXPECT_EQ(TfrmFind(view).Show(text, scope, 5, false), TfrmFind::kCancel);
  EXPECT_EQ(view.shown.Text, "01234");
  EXPECT_EQ(text, "abcde");
  EXPECT_EQ(scope, 2);

  // A window that reports the disabled choice anyway gets the collection.
  view.user = [](TFindFields& fields) { fields.Choice = FindChoice::kWithinClip; };
  scope = 3;
  TfrmFind(view).Show(text, scope, 5, /*traditional_view=*/true);
  EXPECT_EQ(scope, 1);
}

}  // namespace
}  // namespace om
