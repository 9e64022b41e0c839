// The application profile: what it keeps on first sight of an application
// and of a format, what it stores, and the profile editor over it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/app_settings.h"
#include "app/settings_fixture.h"
#include "clipboard/format_names.h"
#include "clipboard/graphics_data.h"
#include "clipboard_store_fixture.h"
#include "store/filter.h"
#include "ui/dialogs/filter_editor.h"

namespace om::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;
using Dump = std::map<std::string, std::string>;

// A clipboard that offers exactly the formats a case names; registration
// goes to the simulated desktop, so "HTML Format" has the number the
// program registered at start-up.
class OfferedFormats final : public IClipboardSystem {
 public:
  explicit OfferedFormats(IClipboardSystem& registry) : registry_(registry) {}
  std::set<std::uint32_t> offered;

  bool IsFormatAvailable(std::uint32_t format) override { return offered.count(format) != 0; }
  std::uint32_t RegisterFormat(std::string_view name) override { return registry_.RegisterFormat(name); }
  std::optional<std::string> FormatName(std::uint32_t format) override { return registry_.FormatName(format); }

  ClipStatus Open(WindowHandle) override { return ClipStatus::kFailed; }
  ClipStatus Close() override { return ClipStatus::kFailed; }
  ClipStatus Empty() override { return ClipStatus::kFailed; }
  int CountFormats() override { return static_cast<int>(offered.size()); }
  std::uint32_t EnumFormats(std::uint32_t) override { return 0; }
  ClipData GetData(std::uint32_t) override { return {}; }
  ClipStatus SetData(std::uint32_t, const Bytes&) override { return ClipStatus::kFailed; }
  ClipStatus Promise(std::uint32_t) override { return ClipStatus::kFailed; }
  WindowHandle Owner() override { return 0; }
  WindowHandle OpenWindow() override { return 0; }
  WindowHandle Viewer() override { return 0; }
  std::uint32_t SequenceNumber() override { return 0; }
  WindowHandle SetViewer(WindowHandle) override { return 0; }
  bool ChangeChain(WindowHandle, WindowHandle) override { return false; }

 private:
  IClipboardSystem& registry_;
};

const std::string kProfile = std::string(kRegistryKey) + "\\Application Profile";

class FilterTest : public ClipboardStoreTest {
 protected:
  FilterTest() : offered_(desktop_.Clipboard()) {}

  // A profile over the simulated registry that sees the clipboard through
  // `clipboard` (the formats a case offers, unless told otherwise).
  Tfilter& Profile(IClipboardSystem* clipboard = nullptr) {
    filter_ = std::make_unique<Tfilter>(Store(), kRegistryKey, clipboard ? *clipboard : offered_);
    return *filter_;
  }
  fake::FakeKeyValueStore& Store() { return desktop_.Store(); }
  void Set(const std::string& key, const std::string& name, const std::string& value) {
    ASSERT_TRUE(Store().WriteString(kProfile + "\\" + key, name, value));
  }
  // The profile's values as "KEY|NAME" -> text, the marker left out.
  Dump Values() {
    Dump dump = DumpTree(Store(), kProfile);
    dump.erase("|");
    return dump;
  }

  OfferedFormats offered_;
  std::unique_ptr<Tfilter> filter_;
};

TEST_F(FilterTest, CreatingTheProfileWritesItsMarker) {
  Profile();
  EXPECT_EQ(Store().ReadString(kProfile, ""), "5102114");
  EXPECT_THAT(Values(), IsEmpty());
  // Every time, over whatever the key held, and nothing else is touched.
  Set("", "", "changed");
  Set("_FILTERS", "NOTEPAD", "1");
  Profile();
  EXPECT_EQ(Store().ReadString(kProfile, ""), "5102114");
  EXPECT_EQ(Values(), (Dump{{"_FILTERS|NOTEPAD", "1"}}));
}

TEST_F(FilterTest, HasFilterReadsTheApplicationsValue) {
  Set("_FILTERS", "ON", "1");
  Set("_FILTERS", "OFF", "0");
  Set("_FILTERS", "ODD", "7");
  Set("_FILTERS", "JUNK", "yes");  // unreadable: the default, unseen
  Tfilter& filter = Profile();
  const struct {
    const char* app;
    bool known, enabled;
  } cases[] = {{"ON", true, true},  {"on", true, true},     {"OFF", true, false},
               {"ODD", false, false}, {"JUNK", false, false}, {"NEVER", false, false}};
  for (const auto& c : cases) {
    filter.AppEnabled = !c.enabled;
    EXPECT_EQ(filter.HasFilter(c.app), c.known) << c.app;
    EXPECT_EQ(filter.AppEnabled, c.enabled) << c.app;
  }
}

// What the profile answers and stores on first sight: each case starts
// from the values given, offers the formats given, asks the questions in
// order and ends with exactly the values expected.
struct FirstSightCase {
  const char* name;
  Dump before;  // "KEY|NAME" -> text
  std::set<std::uint32_t> offered;
  std::string app;
  std::vector<std::pair<std::string, bool>> questions;  // format, answer
  Dump after;
};

void PrintTo(const FirstSightCase& c, std::ostream* os) { *os << c.name; }

class FirstSightTest : public FilterTest, public ::testing::WithParamInterface<FirstSightCase> {};

constexpr std::uint32_t kHtml = 0xFFFF'FFFF;  // stands for the registered "HTML Format"

const FirstSightCase kFirstSightCases[] = {
    {"UnseenWithTextAndRichText", {}, {cf::kText}, "NOTEPAD",
     {{"TEXT", true}, {"Rich Text Format", true}},
     {{"_FILTERS|NOTEPAD", "1"}, {"NOTEPAD|TEXT", "1"}, {"NOTEPAD|Rich Text Format", "1"}}},
    {"UnseenWithOnlyAFileList", {}, {cf::kHDrop}, "FILER",
     {{"HDROP", false}, {"HDROP", false}},
     {{"_FILTERS|FILER", "1"}, {"FILER|HDROP", "0"}}},
    {"DisabledApplication", {{"_FILTERS|NOTEPAD", "0"}}, {cf::kText}, "NOTEPAD",
     {{"TEXT", false}, {"Rich Text Format", false}, {"BITMAP", false}},
     {{"_FILTERS|NOTEPAD", "0"}}},
    {"StoredNoAndStoredYes", {{"_FILTERS|NOTEPAD", "1"}, {"NOTEPAD|TEXT", "0"}, {"NOTEPAD|HDROP", "1"}},
     {cf::kText}, "NOTEPAD",
     {{"TEXT", false}, {"text", false}, {"HDROP", true}},
     {{"_FILTERS|NOTEPAD", "1"}, {"NOTEPAD|TEXT", "0"}, {"NOTEPAD|HDROP", "1"}}},
    {"OwnDataOnlyText", {{"_FILTERS|OTTERMOOR", "1"}, {"OTTERMOOR|BITMAP", "1"}, {"OTTERMOOR|TEXT", "0"}},
     {cf::kText, cf::kBitmap}, "OTTERMOOR",
     {{"TEXT", true}, {"BITMAP", false}, {"Rich Text Format", false}},
     {{"_FILTERS|OTTERMOOR", "1"}, {"OTTERMOOR|BITMAP", "1"}, {"OTTERMOOR|TEXT", "0"}}},
    {"OwnChangeMark", {}, {cf::kText}, "Quillark",
     {{"TEXT", true}, {"PICTURE", false}},
     {}},
    {"NeverCapturedFormats", {{"_FILTERS|NOTEPAD", "1"}, {"NOTEPAD|OEMTEXT", "1"}}, {cf::kText}, "NOTEPAD",
     {{"OEMTEXT", false}, {"Quillark Ping", false}, {"LOCALE", false}, {"unicodtext", false},
      {"Borland IDE Block Type", false}, {"DSPTEXT", false}, {"PALETTE", false}, {"", false}},
     {{"_FILTERS|NOTEPAD", "1"}, {"NOTEPAD|OEMTEXT", "1"}}},
    {"NamelessFormats", {}, {cf::kText}, "NOTEPAD",
     {{"UNKNOWN", false}, {"UNKN_PUBLIC", false}, {"UNKN_PUBLIC:700", false}},
     {}},
    {"NewTextFormatsNeedPlainText", {{"_FILTERS|AMI", "1"}}, {cf::kBitmap}, "AMI",
     {{"TEXT", false}, {"Ami Text Format", false}, {"Rich Text Format", true}, {"BITMAP", false}},
     {{"_FILTERS|AMI", "1"}, {"AMI|TEXT", "0"}, {"AMI|Ami Text Format", "0"}, {"AMI|Rich Text Format", "1"},
      {"AMI|BITMAP", "0"}}},
    {"NewTextFormatsWithPlainText", {{"_FILTERS|AMI", "1"}}, {cf::kText}, "AMI",
     {{"Ami Text Format", true}, {"HTML Format", false}},
     {{"_FILTERS|AMI", "1"}, {"AMI|Ami Text Format", "1"}, {"AMI|HTML Format", "0"}}},
    // The application's name is looked for inside the word "PICTURE".
    {"PictureFromANameInsideTheWord", {{"_FILTERS|Pict", "1"}}, {}, "Pict",
     {{"PICTURE", true}}, {{"_FILTERS|Pict", "1"}, {"Pict|PICTURE", "1"}}},
    {"PictureFromAnyOtherName", {{"_FILTERS|PAINT", "1"}}, {}, "PAINT",
     {{"PICTURE", false}}, {{"_FILTERS|PAINT", "1"}, {"PAINT|PICTURE", "0"}}},
    // The OLE libraries' rich text is dropped; the name is compared as is.
    {"RichTextFromOle", {{"_FILTERS|OLE", "1"}}, {}, "OLE",
     {{"Rich Text Format", false}}, {{"_FILTERS|OLE", "1"}, {"OLE|Rich Text Format", "0"}}},
    {"RichTextFromLowerCaseOle", {{"_FILTERS|ole32", "1"}}, {}, "ole32",
     {{"Rich Text Format", true}}, {{"_FILTERS|ole32", "1"}, {"ole32|Rich Text Format", "1"}}},
    {"UnreadableValuesAreDefaults", {{"_FILTERS|NOTEPAD", "on"}, {"NOTEPAD|TEXT", "yes"}}, {cf::kText},
     "NOTEPAD", {{"TEXT", true}},
     {{"_FILTERS|NOTEPAD", "1"}, {"NOTEPAD|TEXT", "1"}}},
    // Entries of an unseen application, by what the clipboard offers.
    {"QuickieWithHtml", {}, {cf::kText, kHtml}, "BROWSER",
     {{"HTML Format", true}},
     {{"_FILTERS|BROWSER", "1"}, {"BROWSER|TEXT", "1"}, {"BROWSER|HTML Format", "1"}}},
    {"QuickiePictureAndBitmap", {}, {cf::kMetafilePict, cf::kBitmap, cf::kDib}, "DRAW",
     {{"PICTURE", true}, {"DIB", false}},
     {{"_FILTERS|DRAW", "1"}, {"DRAW|PICTURE", "1"}, {"DRAW|BITMAP", "1"}, {"DRAW|DIB", "0"}}},
    {"QuickieDibOnly", {}, {cf::kDib}, "SCAN",
     {{"DIB", true}}, {{"_FILTERS|SCAN", "1"}, {"SCAN|DIB", "1"}}},
    {"QuickieWindows", {}, {cf::kHDrop}, "WINDOWS",
     {{"HDROP", false}, {"BITMAP", true}},
     {{"_FILTERS|WINDOWS", "1"}, {"WINDOWS|TEXT", "1"}, {"WINDOWS|BITMAP", "1"}}},
    {"QuickieWordPerfect", {}, {cf::kText}, "WordPerfect",
     {{"Rich Text Format", true}},
     {{"_FILTERS|WordPerfect", "1"}, {"WordPerfect|TEXT", "1"}, {"WordPerfect|Rich Text Format", "1"}}},
    // The file manager's first file list is kept (see MakeQuickieFilter).
    {"QuickieFileManager", {}, {cf::kHDrop}, "EXPLORER",
     {{"HDROP", true}, {"Shell IDList Array", false}},
     {{"_FILTERS|EXPLORER", "1"}, {"EXPLORER|TEXT", "1"}, {"EXPLORER|HDROP", "1"}, {"EXPLORER|Filename", "1"},
      {"EXPLORER|BITMAP", "1"}, {"EXPLORER|Rich Text Format", "1"}, {"EXPLORER|Shell IDList Array", "0"}}},
    // A source without a name is the unknown one.
    {"NamelessSource", {}, {cf::kText}, "",
     {{"TEXT", true}}, {{"_FILTERS|UNKNOWN", "1"}, {"UNKNOWN|TEXT", "1"}}},
    // A name from a window title may hold a backslash, which a key name cannot.
    {"BackslashInTheName", {}, {cf::kText}, "C:\\NOTES",
     {{"TEXT", true}, {"Rich Text Format", true}},
     {{"_FILTERS|C:\\NOTES", "1"}, {"C:/NOTES|TEXT", "1"}, {"C:/NOTES|Rich Text Format", "1"}}},
};

TEST_P(FirstSightTest, AnswersAndStores) {
  const FirstSightCase& c = GetParam();
  for (const auto& [where, text] : c.before) {
    const auto bar = where.find('|');
    Set(where.substr(0, bar), where.substr(bar + 1), text);
  }
  for (std::uint32_t format : c.offered) offered_.offered.insert(format == kHtml ? HTMLFormat : format);
  Tfilter& filter = Profile();
  for (const auto& [format, answer] : c.questions) EXPECT_EQ(filter.IsCoffee(c.app, format), answer) << format;
  EXPECT_EQ(Values(), c.after);
}

INSTANTIATE_TEST_SUITE_P(Profile, FirstSightTest, ::testing::ValuesIn(kFirstSightCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FilterTest, ABrowserEntryKeepsHtmlWhenPagesCanBePreviewed) {
  Tfilter& filter = Profile();
  filter.HtmlPreviewAvailable = true;
  EXPECT_TRUE(filter.MakeQuickieFilter("IEXPLORE"));
  EXPECT_EQ(Values(), (Dump{{"_FILTERS|IEXPLORE", "1"}, {"IEXPLORE|TEXT", "1"}, {"IEXPLORE|HDROP", "1"},
                            {"IEXPLORE|Filename", "1"}, {"IEXPLORE|BITMAP", "1"}, {"IEXPLORE|HTML Format", "1"}}));
}

TEST_F(FilterTest, QuestionsAndFirstSightsAreLogged) {
  offered_.offered = {cf::kMetafilePict, cf::kBitmap};
  Tfilter& filter = Profile();
  EXPECT_TRUE(filter.IsCoffee("PAINT", "BITMAP"));
  EXPECT_FALSE(filter.IsCoffee("PAINT", "OEMTEXT"));
  EXPECT_TRUE(Logged(">IsCoffee", "PAINT : BITMAP"));
  EXPECT_TRUE(Logged(">QuickieFilter", "PAINT"));
  EXPECT_TRUE(Logged("<QuickieFilter ", "2"));
  EXPECT_TRUE(Logged("<IsCoffee", "1"));
  EXPECT_EQ(LogCount("IsCoffee"), 2u);  // the excluded format is not logged
}

TEST_F(FilterTest, ARegistryThatRefusesWritesStillAnswers) {
  offered_.offered = {cf::kText};
  Store().SetReadOnly(true);
  Tfilter& filter = Profile();
  for (int round = 0; round < 2; ++round) {
    EXPECT_TRUE(filter.IsCoffee("NOTEPAD", "TEXT"));
    EXPECT_TRUE(filter.IsCoffee("NOTEPAD", "Rich Text Format"));
    EXPECT_FALSE(filter.IsCoffee("NOTEPAD", "HDROP"));
  }
  EXPECT_FALSE(Store().KeyExists(kProfile));
}

// The profile deciding real captures: the first from an unseen program
// learns it, the user's change decides the next.
TEST_F(FilterTest, CapturesFollowTheProfile) {
  Tfilter& filter = Profile(&desktop_.Clipboard());
  const auto capture = [&](ForeignApp& app, const std::vector<Item>& items) {
    std::unique_ptr<TClipObj> clip;
    View().OnCBChange = [&](TClipView5& view) {
      clip = std::make_unique<TClipObj>(0, view.Creator());
      clip->Paste(view, filter, &preview_);
    };
    app.Put(items);
    Advance(1000);
    View().OnCBChange = nullptr;
    return clip ? Entries(*clip) : std::vector<std::pair<std::uint32_t, std::string>>{};
  };
  ForeignApp& writer = Foreign("C:\\Apps\\wordpad.exe");
  const std::vector<Item> rich = {{"1", TextBytes("plain")}, {"Rich Text Format", TextBytes("{\\rtf1 rich}")}};
  EXPECT_THAT(capture(writer, rich), ElementsAre(Pair(cf::kText, "TEXT"), Pair(RTFFormat, "Rich Text Format")));
  // The system's copies of the text were asked about and neither kept nor stored.
  EXPECT_EQ(Values(), (Dump{{"_FILTERS|WORDPAD", "1"}, {"WORDPAD|TEXT", "1"}, {"WORDPAD|Rich Text Format", "1"}}));

  ASSERT_TRUE(filter.SetFormatValue("WORDPAD", "Rich Text Format", 0));
  EXPECT_THAT(capture(writer, rich), ElementsAre(Pair(cf::kText, "TEXT")));

  ForeignApp& painter = Foreign("C:\\Apps\\mspaint.exe");
  const auto dib = SmallDib();
  const auto kept = capture(painter, {{"8", dib}});
  EXPECT_THAT(kept, ElementsAre(Pair(cf::kBitmap, "BITMAP")));
  EXPECT_EQ(Values().at("MSPAINT|BITMAP"), "1");
}

// --- the profile editor ---

class FilterEditorTest : public FilterTest {
 protected:
  FilterEditorTest() {
    Set("_FILTERS", "NOTEPAD", "1");
    Set("_FILTERS", "WORDPAD", "0");
    Set("_FILTERS", "UNKNOWN", "1");
    Set("NOTEPAD", "TEXT", "1");
    Set("NOTEPAD", "OEMTEXT", "1");
    Set("NOTEPAD", "COMMENT", "1");
    Set("NOTEPAD", "UNKN_PUBLIC:700", "0");
    Set("NOTEPAD", "Rich Text Format", "0");
    Set("NOTEPAD", "HDROP", "1");
    Set("NOTEPAD", "Object Descriptor", "0");
    Set("NOTEPAD", "Custom Thing", "1");
    Set("NOTEPAD", "HTML Format", "01");
    Set("WORDPAD", "Rich Text Format", "1");
  }
  static std::vector<std::string> Names(const std::vector<TFilterItem>& items) {
    std::vector<std::string> names;
    for (const TFilterItem& item : items) names.push_back(item.Name);
    return names;
  }
};

TEST_F(FilterEditorTest, ShowsTheApplicationsAndSelectsTheShownClipsCreator) {
  TfrmFilter editor(Profile());
  editor.FormShow("notepad");
  ASSERT_THAT(Names(editor.Applications()), ElementsAre("NOTEPAD", "WORDPAD", "UNKNOWN"));
  EXPECT_TRUE(editor.Applications()[0].Checked);
  EXPECT_FALSE(editor.Applications()[1].Checked);
  EXPECT_THAT(editor.SelectedApplications(), ElementsAre(0u));
  EXPECT_EQ(editor.FormatsApplication(), "NOTEPAD");
  EXPECT_EQ(editor.StatusText(), "Loaded formats for application: NOTEPAD");

  // Hidden: the never-captured, the notes and the nameless formats.
  std::vector<std::tuple<std::string, bool, std::int32_t>> rows;
  for (const TFilterItem& f : editor.Formats()) rows.emplace_back(f.Name, f.Checked, f.ImageIndex);
  EXPECT_THAT(rows, ElementsAre(std::tuple("TEXT", true, 0), std::tuple("Rich Text Format", false, 1),
                                std::tuple("HDROP", true, 6), std::tuple("Object Descriptor", false, 4),
                                std::tuple("Custom Thing", true, 5), std::tuple("HTML Format", true, 7)));

  editor.FormShow("");  // no clip shown: the unknown application
  EXPECT_THAT(editor.SelectedApplications(), ElementsAre(2u));
  editor.FormShow("CALC");  // not in the profile: the first one
  EXPECT_THAT(editor.SelectedApplications(), ElementsAre(0u));
}

// Icons go by the exact name: another spelling is "any other format".
TEST(FormatImageIndex, MatchesExactNamesOnly) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"FileName", 6}, {"Filename", 5}, {"text", 5}, {"ENHMETAFILE", 3}, {"", 5}};
  for (const auto& [name, index] : cases) EXPECT_EQ(FormatImageIndex(name), index) << name;
}

TEST_F(FilterEditorTest, TheFormatsListIsEnabledForOneTickedApplication) {
  TfrmFilter editor(Profile());
  editor.FormShow("NOTEPAD");
  EXPECT_TRUE(editor.FormatsEnabled());
  editor.SelectApplications({1});
  EXPECT_EQ(editor.FormatsApplication(), "WORDPAD");
  EXPECT_THAT(Names(editor.Formats()), ElementsAre("Rich Text Format"));
  EXPECT_FALSE(editor.FormatsEnabled());  // not ticked
  editor.SelectApplications({2, 0});
  EXPECT_FALSE(editor.FormatsEnabled());
  EXPECT_THAT(editor.Formats(), IsEmpty());
  EXPECT_EQ(editor.FormatsApplication(), "");
  editor.SelectApplications({});
  EXPECT_FALSE(editor.FormatsEnabled());
}

TEST_F(FilterEditorTest, TickingWritesOnlyWhatDiffers) {
  TfrmFilter editor(Profile());
  editor.FormShow("WORDPAD");
  editor.ApplicationClickCheck(1, true);
  EXPECT_EQ(Values().at("_FILTERS|WORDPAD"), "1");
  EXPECT_EQ(editor.StatusText(), "Enabled Application: WORDPAD.");
  EXPECT_TRUE(editor.FormatsEnabled());
  editor.FormatClickCheck(0, false);
  EXPECT_EQ(Values().at("WORDPAD|Rich Text Format"), "0");
  EXPECT_EQ(editor.StatusText(), "Disabled Format: Rich Text Format for application: WORDPAD.");

  editor.SelectApplications({0});
  // "01" reads as 1: ticking it again writes nothing and says nothing.
  editor.FormatClickCheck(5, true);
  EXPECT_EQ(Values().at("NOTEPAD|HTML Format"), "01");
  EXPECT_EQ(editor.StatusText(), "Loaded formats for application: NOTEPAD");
  editor.FormatClickCheck(1, true);
  EXPECT_EQ(Values().at("NOTEPAD|Rich Text Format"), "1");
  EXPECT_EQ(editor.StatusText(), "Enabled Format: Rich Text Format for application: NOTEPAD.");

  editor.ApplicationClickCheck(0, false);
  EXPECT_EQ(Values().at("_FILTERS|NOTEPAD"), "0");
  EXPECT_EQ(editor.StatusText(), "Disabled Application: NOTEPAD.");
  EXPECT_FALSE(editor.FormatsEnabled());
  // A disabled list takes no clicks; positions outside the lists are ignored.
  const Dump before = Values();
  editor.FormatClickCheck(0, false);
  editor.FormatClickCheck(99, false);
  editor.ApplicationClickCheck(99, true);
  EXPECT_EQ(Values(), before);
}

TEST_F(FilterEditorTest, OpeningAndClosingAreLogged) {
  {
    TfrmFilter editor(Profile());
    EXPECT_TRUE(Logged("Filter", "FormCreate"));
    EXPECT_FALSE(Logged("Filter", "FormClose"));
    editor.FormClose();
  }
  EXPECT_TRUE(Logged("Filter", "FormClose"));
}

}  // namespace
}  // namespace om::testing
