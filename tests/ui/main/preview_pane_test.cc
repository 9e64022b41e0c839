// The preview pane on the simulated desktop: which tabs a clip shows, what
// they hold, writing an edit back into the clip, the pin, drops of clips
// into the text pane, and the Binary tab's bytes.
#include <gtest/gtest.h>

#include "clipboard/graphics_data.h"
#include "store/clip_lock.h"
#include "ui/main/main_form_fixture.h"

namespace om::testing {
namespace {

// The HTML window as the pane sees it: it only records what it showed.
class RecordingHtml final : public IHtmlPreview {
 public:
  void Display(TClipObj& clip) override { shown.push_back(clip.Title); }
  std::vector<std::string> shown;
};

class PreviewPaneTest : public MainFormTest {
 protected:
  // Starts with a collection "Main" shown, the HTML window in place.
  void StartShowingMain() {
    WriteCollection("Main", 100);
    Loaded();
    // The simulated desktop has no browser: the first show says so and the
    // HTML tab stays away until a window is attached.
    EXPECT_FALSE(Form().HTMLViewerAvailable());
    EXPECT_TRUE(Logged("Main Startup", "IE4 HTML Viewer Not Available, non-fatal."));
    Form().AttachHtmlPreview(&html_);
    ShowColl("Main");
  }
  // The profile keeps `format` from the program (its executable's name in
  // capitals), as if the user had said so.
  void KeepFormat(const std::string& program, const std::string& format) {
    Put("Application Profile\\_FILTERS", program, "1");
    Put("Application Profile\\" + program, format, "1");
  }
  TClipObj* Top() { return Coll("Main")->Count() > 0 ? Coll("Main")->Items()[0].Clip : nullptr; }
  std::string TextOf(TClipObj& clip) {
    TClipLock lock(clip, cf::kText);
    return std::string(lock.Text());
  }
  std::vector<std::string> FormatNames(TClipObj& clip) {
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < clip.GetFormatCount(); ++i) names.push_back(clip.GetFormatName(i));
    return names;
  }

  RecordingHtml html_;
  FakePreview& pane_ = widgets_.preview;
};

TEST_F(PreviewPaneTest, EachKindOfClipShowsItsTabs) {
  using T = PreviewTab;
  struct Case {
    const char* name;
    std::vector<Item> items;
    bool show_binary;
    std::vector<PreviewTab> tabs;
    const char* html_caption;
  };
  const Case cases[] = {
      {"plain text", {{"1", TextBytes("just text")}}, false, {T::kText, T::kHtml}, "TEXT as &HTML"},
      {"rich text",
       {{"1", TextBytes("rich")}, {"Rich Text Format", TextBytes("{\\rtf1 rich}")}},
       false,
       {T::kText, T::kRtf, T::kHtml},
       "TEXT as &HTML"},
      {"html", {{"1", TextBytes("page")}, {"HTML Format", TextBytes("<b>page</b>")}}, false,
       {T::kText, T::kHtml}, "&HTML"},
      // The bitmap itself cannot be shown as bytes; with ShowBinary the
      // Binary tab lists the derived formats the clipboard offered too.
      {"bitmap", {{"2", SmallDib()}}, false, {T::kBitmap}, ""},
      {"text, ShowBinary on", {{"1", TextBytes("bytes too")}}, true, {T::kText, T::kHtml, T::kBinary}, "TEXT as &HTML"},
      {"only a format of its own", {{"Custom Data", Bytes{1, 2, 3}}}, false, {T::kBinary}, ""},
  };
  KeepFormat("APP6", "Custom Data");
  StartShowingMain();
  int program = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Settings().ShowBinary = c.show_binary;
    pane_.html_caption.clear();
    Advance(5000);
    // A program of its own each: the profile keeps what a program gives
    // the first time.
    Copy(Foreign("C:\\Apps\\app" + std::to_string(++program) + ".exe"), c.items);
    ASSERT_EQ(Form().ClipboardClip(), Top());
    EXPECT_TRUE(widgets_.shell.preview_visible);
    EXPECT_EQ(pane_.VisibleTabs(), c.tabs);
    EXPECT_EQ(pane_.html_caption, c.html_caption);
    EXPECT_EQ(pane_.ActiveTab(), c.tabs.front());
  }
}

TEST_F(PreviewPaneTest, TabsHoldTheClipsContent) {
  StartShowingMain();
  ForeignApp& app = Foreign("C:\\Apps\\paint.exe");
  Copy(app, {{"1", TextBytes("line one\r\nline two")}, {"Rich Text Format", TextBytes("{\\rtf1 rich}")}});
  EXPECT_EQ(pane_.text, "line one\r\nline two");
  EXPECT_FALSE(pane_.modified);
  // The caret waits at the end of the text.
  EXPECT_EQ(pane_.selection, (TextSelection{18, 0}));
  EXPECT_EQ(widgets_.status.panels[1], "18 Bytes");
  // The transform buttons follow the loaded text.
  EXPECT_TRUE(pane_.Enabled(PreviewButton::kShiftLeft));
  EXPECT_TRUE(pane_.main_line_break_enabled);

  // The rich text is loaded only when its tab is chosen, through the
  // buffer file beside the collections.
  EXPECT_TRUE(pane_.rtf_loaded_from.empty());
  pane_.SetActiveTab(PreviewTab::kRtf);
  pane_.rich_text_length = 4;
  Form().Preview().pcMagnifyChange();
  EXPECT_EQ(pane_.rtf_loaded_from, DataFolder() + "RTFBuffer.RTF");
  std::ifstream buffer(DataPath("RTFBuffer.RTF"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(buffer), {}), "{\\rtf1 rich}");
  EXPECT_EQ(widgets_.status.panels[1], "4 Bytes");

  // Rich text the control cannot take shows the error instead.
  pane_.rtf_load_ok = false;
  Form().Preview().pcMagnifyChange();
  EXPECT_EQ(pane_.rtf_plain, "Error - Could Not Retrieve Item.");

  // The Html tab hands the clip to the HTML window.
  pane_.SetActiveTab(PreviewTab::kHtml);
  Form().Preview().pcMagnifyChange();
  EXPECT_EQ(html_.shown, std::vector<std::string>{"line one line two"});
  EXPECT_EQ(widgets_.status.panels[1], "TEXT as HTML");

  // A bitmap: the image, its size in the panel beside "Stretch?", and the
  // status bar's middle panel.
  Advance(5000);
  Copy(Foreign("C:\\Apps\\draw.exe"), {{"2", SmallDib()}});
  ASSERT_TRUE(pane_.bitmap.has_value());
  EXPECT_EQ(pane_.bitmap->Width(), 2);
  EXPECT_EQ(pane_.bitmap_size_text, "2x1");
  EXPECT_EQ(widgets_.status.panels[1], "2 x 1 Pixels");
  // A double click toggles stretching.
  const bool stretched = pane_.bitmap_stretch;
  Form().Preview().imgMagnifyBitmapDblClick();
  EXPECT_NE(pane_.bitmap_stretch, stretched);
}

TEST_F(PreviewPaneTest, TheBinaryTabShowsTheBytesOfTheChosenFormat) {
  KeepFormat("PAINT", "Custom Data");
  KeepFormat("PAINT", "BITMAP");
  StartShowingMain();
  Settings().ShowBinary = true;
  ForeignApp& app = Foreign("C:\\Apps\\paint.exe");
  Copy(app, {{"Custom Data", Bytes{1, 2, 3}}, {"2", SmallDib()}});
  const std::uint32_t custom = desktop_.Clipboard().RegisterFormat("Custom Data");
  TClipObj* clip = Top();
  ASSERT_NE(clip, nullptr);
  std::vector<std::string> captions;
  for (const BinaryFormatEntry& entry : pane_.binary_formats) captions.push_back(entry.caption);
  ASSERT_FALSE(captions.empty());
  // Pictures are listed but carry no format to show.
  EXPECT_TRUE(std::find(captions.begin(), captions.end(), "BITMAP (Not Displayable)") != captions.end());
  for (const BinaryFormatEntry& entry : pane_.binary_formats) {
    if (entry.caption.find("(Not Displayable)") != std::string::npos) {
      EXPECT_EQ(entry.format, 0u) << entry.caption;
    }
  }
  EXPECT_EQ(pane_.binary_selected, 0);
  for (std::size_t i = 0; i < pane_.binary_formats.size(); ++i) {
    if (pane_.binary_formats[i].format == custom) pane_.binary_selected = static_cast<int>(i);
  }
  Form().Preview().cbBinaryDisplayFormatsChange();
  EXPECT_EQ(pane_.binary, (std::vector<std::uint8_t>{1, 2, 3}));
  // Choosing a picture entry shows an empty dump.
  for (std::size_t i = 0; i < pane_.binary_formats.size(); ++i) {
    if (pane_.binary_formats[i].format == 0) pane_.binary_selected = static_cast<int>(i);
  }
  Form().Preview().cbBinaryDisplayFormatsChange();
  EXPECT_TRUE(pane_.binary.empty());
}

TEST_F(PreviewPaneTest, AnEditLeavesOnlyTheEditedTextInTheClip) {
  StartShowingMain();
  ForeignApp& app = Foreign("C:\\Apps\\write.exe");
  Copy(app, {{"1", TextBytes("original")},
             {"Rich Text Format", TextBytes("{\\rtf1 original}")},
             {"2", SmallDib()}});
  Advance(5000);
  CopyText(app, "second");
  ASSERT_EQ(Coll("Main")->Count(), 2);
  // The rich clip is the second row now: the user clicks it and edits.
  ClickRow(1);
  TClipObj* edited = Form().Preview().PreviewedClip();
  ASSERT_NE(edited, nullptr);
  ASSERT_EQ(edited->Title, "original");
  ASSERT_GE(edited->GetFormatCount(), 2);
  const std::int32_t edits = Settings().Edits;
  pane_.Type("edited text");
  const int redrawn = widgets_.clips.rows_changed;

  // Moving on writes the edit back: only the text is left.
  ClickRow(0);
  EXPECT_EQ(FormatNames(*edited), std::vector<std::string>{"TEXT"});
  EXPECT_EQ(TextOf(*edited), "edited text");
  EXPECT_EQ(edited->IconFlags, iconflag::kText);
  EXPECT_EQ(Settings().Edits, edits + 1);
  EXPECT_GT(widgets_.clips.rows_changed, redrawn);
  EXPECT_TRUE(Logged("TfrmQL.RescueEditing", "Item #" + std::to_string(edited->SerialNbr) + " Edited"));
  EXPECT_TRUE(widgets_.status.Showed("Editing Changed Recorded"));

  // And so does its file, once saved.
  Form().mnuFileSaveClick();
  const std::vector<StoredClip> stored = StoredClips("Main");
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[1].formats, std::vector<std::string>{"TEXT"});
  EXPECT_EQ(stored[1].text, "edited text");
}

TEST_F(PreviewPaneTest, AnEmptiedPaneOrALoneLineBreakChangesNothing) {
  StartShowingMain();
  ForeignApp& app = Foreign("C:\\Apps\\write.exe");
  Copy(app, {{"1", TextBytes("keep me")}, {"Rich Text Format", TextBytes("{\\rtf1 keep}")}});
  Advance(5000);
  CopyText(app, "other");
  for (const char* typed : {"", "\r\n"}) {
    SCOPED_TRACE(typed);
    ClickRow(1);
    TClipObj* clip = Form().Preview().PreviewedClip();
    ASSERT_NE(clip, nullptr);
    pane_.Type(typed);
    ClickRow(0);
    EXPECT_EQ(TextOf(*clip), "keep me");
    EXPECT_EQ(clip->GetFormatCount(), 2);
  }
  EXPECT_FALSE(LogHas("TfrmQL.RescueEditing"));
}

TEST_F(PreviewPaneTest, APinnedPaneStaysOnItsClipUntilReleased) {
  StartShowingMain();
  ForeignApp& app = Foreign();
  for (const char* text : {"first", "second", "third"}) {
    Advance(5000);
    CopyText(app, text);
  }
  ClickRow(2);  // "first"
  TClipObj* pinned = Form().Preview().PreviewedClip();
  ASSERT_EQ(pinned->Title, "first");
  Form().Preview().cmdMag_PinClick(true);
  EXPECT_EQ(pane_.pin_image, pinimage::kDown);

  // Other rows go on the clipboard, the pane stays, and the pin blinks.
  ClickRow(0);
  EXPECT_EQ(ClipboardText(), "third");
  EXPECT_EQ(Form().Preview().PreviewedClip(), pinned);
  EXPECT_EQ(pane_.text, "first");
  EXPECT_EQ(pane_.pin_image, pinimage::kBlink);
  Advance(TPreviewPane::kPinBlinkMs + 50);
  EXPECT_EQ(pane_.pin_image, pinimage::kDown);

  // Several rows selected: the pane still shows the pinned clip.
  widgets_.clips.SetSelected(1, true);
  Form().ClipList().lvClipsChange(1, ListChange::kState);
  EXPECT_EQ(Form().Preview().PreviewedClip(), pinned);

  // Released, the pinned clip is selected again and goes on the clipboard.
  Form().Preview().cmdMag_PinClick(false);
  EXPECT_EQ(pane_.pin_image, pinimage::kUp);
  EXPECT_EQ(widgets_.clips.SelectedRows(), std::vector<int>{2});
  EXPECT_EQ(ClipboardText(), "first");
  EXPECT_EQ(Form().ClipboardClip(), pinned);
}

TEST_F(PreviewPaneTest, DroppedClipsAreInsertedAtTheCaretWithoutSeparators) {
  KeepFormat("OTHER", "Custom Data");
  StartShowingMain();
  ForeignApp& app = Foreign();
  for (const char* text : {"[target]", "one", "two", "three"}) {
    Advance(5000);
    CopyText(app, text);
  }
  Advance(5000);
  Copy(Foreign("C:\\Apps\\other.exe"), {{"Custom Data", Bytes{9}}});  // a clip without text adds nothing
  // Rows: <no text>, three, two, one, [target]. The user pins the target
  // and drags the other four onto its text.
  ClickRow(4);
  Form().Preview().cmdMag_PinClick(true);
  widgets_.clips.ClearSelection();
  for (int row = 0; row < 4; ++row) widgets_.clips.SetSelected(row, true);
  widgets_.clips.SetFocused(3);
  ASSERT_TRUE(Form().Preview().txtMagnifyTextDragOver());
  Form().Preview().txtMagnifyTextDragDrop(1);
  EXPECT_EQ(pane_.text, "[threetwoone" + std::string("target]"));
  EXPECT_TRUE(pane_.modified);
  EXPECT_EQ(pane_.selection, (TextSelection{1, 0}));
  EXPECT_EQ(widgets_.status.panels[0], "Dropped...");
  // The rows whose texts were taken are deselected; the focused one is
  // selected again; the one without text stays selected.
  EXPECT_EQ(widgets_.clips.SelectedRows(), (std::vector<int>{0, 3}));

  // At the end of the text the caret stays at the end.
  pane_.Select({static_cast<std::int32_t>(pane_.text.size()), 0});
  widgets_.clips.Click(1);
  Form().Preview().txtMagnifyTextDragDrop(static_cast<std::int32_t>(pane_.text.size()));
  EXPECT_EQ(pane_.text, "[threetwoonetarget]three");
  EXPECT_EQ(pane_.selection.start, static_cast<std::int32_t>(pane_.text.size()));
}

TEST_F(PreviewPaneTest, ThePaneHidesWithoutASingleClip) {
  StartShowingMain();
  ForeignApp& app = Foreign();
  CopyText(app, "a");
  Advance(5000);
  CopyText(app, "b");
  EXPECT_TRUE(widgets_.shell.preview_visible);
  widgets_.clips.SetSelected(1, true);
  Form().ClipList().lvClipsChange(1, ListChange::kState);
  EXPECT_FALSE(widgets_.shell.preview_visible);
  EXPECT_EQ(Form().Preview().PreviewedClip(), nullptr);
  widgets_.clips.ClearSelection();
  Form().ClipList().lvClipsChange(0, ListChange::kState);
  Advance(TfrmQL::kNoSelectionMs + 50);
  EXPECT_FALSE(widgets_.shell.preview_visible);
  EXPECT_EQ(widgets_.status.panels[1], "");
}

TEST_F(PreviewPaneTest, TextPaneCommandsKeepTheirSettings) {
  StartShowingMain();
  Form().Preview().cmdMag_WordWrapClick(true);
  EXPECT_TRUE(Settings().WrapText);
  EXPECT_TRUE(pane_.word_wrap);

  // The font dialog starts from the settings and leaves its choice there;
  // cancelled, the font stays.
  const TFontDesc chosen{"Courier New", 12, 0};
  pane_.chosen_font = chosen;
  Form().Preview().cmdMagFontClick();
  EXPECT_EQ(Settings().MagFont, chosen);
  EXPECT_EQ(pane_.font, chosen);
  pane_.chosen_font.reset();
  Form().Preview().cmdMagFontClick();
  EXPECT_EQ(pane_.font_dialog_started_with, chosen);
  EXPECT_EQ(Settings().MagFont, chosen);

  // Buttons and menu entries follow the text and its selection.
  ForeignApp& app = Foreign();
  CopyText(app, "some text");
  pane_.Select({0, 4});
  Form().Preview().txtMagnifyTextSelectionChange();
  for (PreviewButton button : {PreviewButton::kCase, PreviewButton::kShiftLeft, PreviewButton::kShiftRight,
                               PreviewButton::kRemoveCRLF, PreviewButton::kCopy, PreviewButton::kCut}) {
    EXPECT_TRUE(pane_.Enabled(button)) << static_cast<int>(button);
  }
  EXPECT_TRUE(pane_.menu_enabled[TextMenuItem::kMakeTitle]);
  EXPECT_TRUE(pane_.main_line_break_enabled);
  pane_.Select({0, 0});
  Form().Preview().txtMagnifyTextSelectionChange();
  EXPECT_FALSE(pane_.Enabled(PreviewButton::kCopy));
  EXPECT_FALSE(pane_.menu_enabled[TextMenuItem::kLaunchUrlExact]);

  // Expanding the preview is mirrored by the View menu's check mark.
  Form().MenuClick(MenuCommand::kExpandPreview);
  EXPECT_TRUE(pane_.expanded);
  EXPECT_TRUE(widgets_.menus.items[MenuItem::kExpandPreview].checked);
  Form().Preview().cmdMag_SizeWindowClick(false);
  EXPECT_FALSE(pane_.expanded);
  EXPECT_FALSE(widgets_.menus.items[MenuItem::kExpandPreview].checked);
}

}  // namespace
}  // namespace om::testing
