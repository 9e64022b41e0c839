// Finding clips on the simulated desktop: in the collection shown, in every
// collection, inside the text pane; Search Results never keeping a clip
// that is gone; a long search that shows progress and stops on Esc.
#include <gtest/gtest.h>

#include "store/clip_text.h"
#include "ui/main/main_form_fixture.h"

namespace om::testing {
namespace {

class FindTest : public MainFormTest {
 protected:
  // A text clip filed at the end of `coll` (written before start-up).
  static void AddClip(TClipColl& coll, const std::string& title, const std::string& text) {
    coll.NewClipPosition = 0;
    AddTextClip(coll, title, text);
  }
  void WriteClips(const std::string& coll, std::int32_t key,
                  const std::vector<std::pair<std::string, std::string>>& clips) {
    WriteCollection(coll, key, [&](TClipColl& c) {
      for (const auto& [title, text] : clips) AddClip(c, title, text);
    });
  }
  // The dialog closes with OK on this text and scope.
  void Answer(const std::string& text, FindChoice choice, bool ok = true) {
    widgets_.shell.find.ok = ok;
    widgets_.shell.find.edit = [text, choice](TfrmFind&, TFindFields& fields) {
      fields.Text = text;
      fields.Choice = choice;
    };
  }
  std::vector<std::string> Found() { return Titles(*Form().SearchResults()); }
  TreeNode ResultsNode() { return widgets_.tree.NodeOf(Form().SearchResults()); }
  bool HeaderShowed(const std::string& text) {
    const auto& h = widgets_.shell.header_history;
    return std::find(h.begin(), h.end(), text) != h.end();
  }
};

TEST_F(FindTest, AllCollectionsGathersTheMatchesOfEveryCollectionAndTheTreeSelectsThem) {
  WriteClips("Alpha", 100, {{"Zebra crossing", "road"}, {"lion", "cat"}});
  WriteClips("Beta", 200, {{"a zebra herd", "stripes"}, {"plain", "nothing here"}});
  Loaded();
  ShowColl("Alpha");
  const int topmost = widgets_.shell.left_topmost;
  const int restored = widgets_.shell.restored_visibility;
  Answer("ZEBRA", FindChoice::kAllColl);
  Form().MenuClick(MenuCommand::kFind);

  EXPECT_EQ(Settings().FindScope, findscope::kAllCollections);
  EXPECT_EQ(Form().Find().SearchText(), "ZEBRA");
  // New entries at the top: the later collection's first.
  EXPECT_EQ(Found(), (std::vector<std::string>{"a zebra herd", "Zebra crossing"}));
  EXPECT_EQ(widgets_.tree.Selected(), ResultsNode());
  EXPECT_EQ(Form().ShownCollection(), Form().SearchResults());
  EXPECT_EQ(widgets_.clips.Count(), 2);
  EXPECT_TRUE(HeaderShowed("Searching..."));
  EXPECT_TRUE(HeaderShowed("Searching Alpha..."));
  EXPECT_TRUE(HeaderShowed("Searching Beta..."));
  EXPECT_FALSE(HeaderShowed("Searching Search Results..."));
  EXPECT_EQ(widgets_.shell.header, "Found It!");
  EXPECT_FALSE(widgets_.shell.busy);
  // Out of the always-on-top position while the dialog is up, and back.
  EXPECT_EQ(widgets_.shell.left_topmost, topmost + 1);
  EXPECT_EQ(widgets_.shell.restored_visibility, restored + 1);
  // The clips stay their collections'.
  EXPECT_EQ(Coll("Alpha")->Count(), 2);
  EXPECT_EQ(Coll("Alpha")->Clip(0)->Coll, Coll("Alpha"));

  // Nothing found: Search Results empty, the tree where it was.
  ShowColl("Beta");
  const TreeNode beta = widgets_.tree.Selected();
  Answer("giraffe", FindChoice::kAllColl);
  Form().MenuClick(MenuCommand::kFind);
  EXPECT_TRUE(Found().empty());
  EXPECT_EQ(widgets_.tree.Selected(), beta);
  EXPECT_EQ(widgets_.shell.header, "Not Found.");

  // Cancel searches nothing, but keeps the text and scope chosen.
  Answer("zebra", FindChoice::kCurrColl, /*ok=*/false);
  Form().MenuClick(MenuCommand::kFind);
  EXPECT_EQ(Settings().FindScope, findscope::kCurrentCollection);
  EXPECT_EQ(widgets_.shell.header, "Not Found.");
  EXPECT_EQ(widgets_.shell.find.shown.back().Text, "giraffe");
}

TEST_F(FindTest, TheCurrentCollectionMatchesTitlesAndTextsOnce) {
  WriteClips("Alpha", 100,
             {{"first", "the needle in the text"}, {"needle", "needle again"}, {"other", "hay"}});
  WriteClips("Beta", 200, {{"needle elsewhere", "needle"}});
  Loaded();
  ShowColl("Alpha");
  Settings().FindScope = findscope::kCurrentCollection;
  Form().Find().SetSearchText("Needle");
  Form().MenuClick(MenuCommand::kFindNext);
  EXPECT_EQ(Found(), (std::vector<std::string>{"needle", "first"}));
  EXPECT_EQ(widgets_.tree.Selected(), ResultsNode());
  EXPECT_EQ(widgets_.shell.header, "Found It!");
  // Again from Search Results itself: there is nothing to search there.
  Form().MenuClick(MenuCommand::kFindNext);
  EXPECT_TRUE(Found().empty());
  EXPECT_EQ(widgets_.shell.header, "Not Found.");
}

TEST_F(FindTest, FindNextBeforeAnySearchFindsNothing) {
  WriteClips("Alpha", 100, {{"anything", "anything"}});
  Loaded();
  ShowColl("Alpha");
  const TreeNode alpha = widgets_.tree.Selected();
  ASSERT_EQ(Settings().FindScope, findscope::kNone);
  Form().Find().SetSearchText("anything");
  Form().MenuClick(MenuCommand::kFindNext);
  EXPECT_EQ(widgets_.shell.header, "Not Found.");
  EXPECT_EQ(widgets_.tree.Selected(), alpha);
  // And an empty text matches no clip.
  Settings().FindScope = findscope::kAllCollections;
  Form().Find().SetSearchText("");
  Form().MenuClick(MenuCommand::kFindNext);
  EXPECT_TRUE(Found().empty());
  EXPECT_EQ(widgets_.shell.header, "Not Found.");
}

TEST_F(FindTest, InsideTheClipEachFindNextSelectsTheNextOccurrence) {
  Loaded();
  FakePreview& pane = widgets_.preview;
  pane.text = "One Word,\r\nanother word.";
  Settings().FindScope = findscope::kCurrentClip;
  Form().Find().SetSearchText("WORD");
  Form().MenuClick(MenuCommand::kFindNext);
  EXPECT_EQ(pane.selection, (TextSelection{4, 4}));
  EXPECT_EQ(pane.text_focused, 1);
  EXPECT_EQ(widgets_.status.panels[0], "Found It!");
  Form().MenuClick(MenuCommand::kFindNext);
  EXPECT_EQ(pane.selection, (TextSelection{19, 4}));
  Form().MenuClick(MenuCommand::kFindNext);
  EXPECT_EQ(pane.selection, (TextSelection{19, 4}));
  EXPECT_EQ(pane.text_focused, 2);
  // The pane's own "Not Found", then the search's overall result.
  const auto& history = widgets_.status.history;
  ASSERT_GE(history.size(), 2u);
  EXPECT_EQ(history[history.size() - 2], "Not Found");
  EXPECT_EQ(history.back(), "Not Found.");
  // OK on the dialog puts the caret at the start: the search begins again.
  Answer("word", FindChoice::kWithinClip);
  Form().MenuClick(MenuCommand::kFind);
  EXPECT_EQ(pane.selection, (TextSelection{4, 4}));
}

TEST_F(FindTest, SearchResultsIsEmptiedBeforeAPurgeDestroysItsClips) {
  // A length collection of one clip holding three: the save purges the two
  // older ones (new clips go to its end).
  WriteCollection("Short", 100, [](TClipColl& c) {
    AddClip(c, "gone one", "x");
    AddClip(c, "gone two", "x");
    AddClip(c, "kept one", "x");
    c.MaxItems = 1;
    c.CollType = colltype::kLength;
  });
  Loaded();
  Settings().FindScope = findscope::kAllCollections;
  Form().Find().SetSearchText("ONE");
  Form().MenuClick(MenuCommand::kFindNext);
  ASSERT_EQ(Found().size(), 3u);
  ASSERT_EQ(Form().ShownCollection(), Form().SearchResults());
  Form().MenuClick(MenuCommand::kFileSave);
  EXPECT_EQ(Coll("Short")->Count(), 1);
  EXPECT_TRUE(Found().empty());
  // The list shows what is left, reading no clip that is gone (the
  // sanitizers watch).
  EXPECT_EQ(widgets_.clips.Count(), 0);
  Form().MenuClick(MenuCommand::kFindNext);
  EXPECT_EQ(Found(), std::vector<std::string>{"kept one"});
}

class LongFindTest : public FindTest {
 protected:
  static constexpr int kClips = 2000;
  void SetUp() override {
    WriteCollection("Big", 100, [](TClipColl& c) {
      for (int i = 0; i < kClips; ++i) AddClip(c, "clip " + std::to_string(i), "text");
    });
    Loaded();
    Settings().FindScope = findscope::kAllCollections;
    Form().Find().SetSearchText("clip");
  }
};

TEST_F(LongFindTest, ALongSearchShowsProgressAndStopsOnEscWithWhatItFound) {
  // Every look around takes 300 ms of the clock; at the third, Esc is down.
  widgets_.shell.on_escape_query = [this] {
    desktop_.Clock().SetTickCount(desktop_.Clock().TickCount() + 300);
    widgets_.shell.escape_down = widgets_.shell.escape_queries >= 3;
  };
  EXPECT_TRUE(Form().Find().FindNextClip());
  const int looked_at = 3 * TFind::kPollEveryClips - 1;
  EXPECT_EQ(static_cast<int>(Found().size()), looked_at);
  EXPECT_EQ(widgets_.shell.header, TFind::StoppedText(static_cast<std::size_t>(looked_at)));
  EXPECT_EQ(widgets_.shell.header, "Search Stopped (Esc) - 767 Found So Far.");
  EXPECT_EQ(widgets_.tree.Selected(), ResultsNode());
  EXPECT_FALSE(widgets_.shell.busy);
  // Progress from the first look past half a second on.
  EXPECT_TRUE(widgets_.status.Showed("Searching Big... 511 of 2000 Clips"));
  EXPECT_FALSE(widgets_.status.Showed("Searching Big... 255 of 2000 Clips"));
  EXPECT_FALSE(Form().Find().Searching());

  // Without Esc it runs to the end.
  widgets_.shell.on_escape_query = nullptr;
  widgets_.shell.escape_down = false;
  EXPECT_TRUE(Form().Find().FindNextClip());
  EXPECT_EQ(static_cast<int>(Found().size()), kClips);
  EXPECT_EQ(widgets_.shell.header, "Found It!");
}

TEST_F(LongFindTest, ASearchStopsWhenTheClipsItWalksGo) {
  // While the search looks around, the user reloads everything.
  bool reloaded = false;
  widgets_.shell.on_escape_query = [&] {
    if (reloaded) return;
    reloaded = true;
    Form().ReloadAllData();
  };
  EXPECT_FALSE(Form().Find().FindNextClip());
  EXPECT_TRUE(reloaded);
  EXPECT_FALSE(Form().Find().Searching());
  // Nothing of the old collections was kept, and the new ones search.
  ASSERT_NE(Form().SearchResults(), nullptr);
  EXPECT_TRUE(Found().empty());
  widgets_.shell.on_escape_query = nullptr;
  EXPECT_TRUE(Form().Find().FindNextClip());
  EXPECT_EQ(static_cast<int>(Found().size()), kClips);
}

}  // namespace
}  // namespace om::testing
