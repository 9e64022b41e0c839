// The HTML preview's behaviour: where the HTML starts in a clip's data, what
// goes into the buffer file, the clip's lock, and which navigations stay in
// the preview.
#include "ui/dialogs/web_browser.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "clipboard/format_names.h"
#include "platform/fake/fake_shell.h"
#include "platform/posix/file_system.h"
#include "store/clip_obj.h"
#include "store/store_fixture.h"

namespace om::testing {
namespace {

using Result = TfrmWebBrowser::DisplayResult;

// --- where the HTML starts ---

struct OffsetCase {
  const char* name;
  std::string text;
  std::optional<std::uint64_t> parsed;
  std::size_t offset;
};

// A clipboard HTML header whose StartHTML names the "<html>" after it.
std::string HeaderedHtml(const std::string& html) {
  const std::string head = "Version:0.9\r\nStartHTML:";
  const std::string tail = "\r\nEndHTML:0000000000\r\n";
  const std::size_t start = head.size() + 10 + tail.size();
  std::string number = std::to_string(start);
  number.insert(0, 10 - number.size(), '0');
  return head + number + tail + html;
}

TEST(StartHtmlOffsetTest, ReadsTheOffsetAndRefusesWhatWouldReadPastTheText) {
  const std::string page = HeaderedHtml("<html><body>hi</body></html>");
  const OffsetCase cases[] = {
      {"no header", "<html><body>plain</body></html>", std::nullopt, 0},
      {"header at the start", page, page.find("<html>"), page.find("<html>")},
      {"offset one past the end", "StartHTML:16\r\nx", 16, 0},
      {"offset at the end: an empty page", "StartHTML:15\r\nx", 15, 15},
      {"offset past the text", "StartHTML:0000099999\r\n<p>x</p>", 99999, 0},
      {"the largest ten digits", "StartHTML:9999999999\r\n<p>", 9999999999u, 0},
      {"non-digits", "StartHTML:12ab\r\n<p>x</p>", std::nullopt, 0},
      {"negative", "Version:1.0\r\nStartHTML:-1\r\nEndHTML:-1\r\n<p>x</p>", std::nullopt, 0},
      {"nothing after the marker", "StartHTML:\r\n<p>x</p>", std::nullopt, 0},
      {"marker at the end of the text", "Version:0.9\r\nStartHTML:", std::nullopt, 0},
      // Only ten characters count: the eleventh digit is not read.
      {"ten-character limit", "StartHTML:00000000123\r\n<p>x</p>", 12, 12},
      {"ends at CR", "StartHTML:23\rEndHTML:9\r<p>x</p>", 23, 23},
      {"ends at a lone LF", "StartHTML:23\nEndHTML:9\n<p>x</p>", 23, 23},
      {"without a line end within ten", "StartHTML:22<p>x</p>", std::nullopt, 0},
      {"blanks around the number", "StartHTML: 16 \r\n<p>x</p>", 16, 16},
  };
  for (const OffsetCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ParseStartHtml(c.text), c.parsed);
    EXPECT_EQ(HtmlStartOffset(c.text), c.offset);
  }
  EXPECT_EQ(std::string_view(page).substr(HtmlStartOffset(page)), "<html><body>hi</body></html>");
}

// --- the buffer's URL and the own-page test ---

TEST(BufferUrlTest, FileUrlsAreEscapedAndNameTheFileInEverySpelling) {
  struct UrlCase {
    const char* path;
    const char* url;
  };
  const UrlCase urls[] = {
      {R"(C:\Data\HTMLBuffer.htm)", "file:///C:/Data/HTMLBuffer.htm"},
      {R"(C:\My Data\C#\100%\HTMLBuffer.htm)", "file:///C:/My%20Data/C%23/100%25/HTMLBuffer.htm"},
      {"C:\\Caf\xE9\\HTMLBuffer.htm", "file:///C:/Caf%E9/HTMLBuffer.htm"},
      {R"(\\server\share\HTMLBuffer.htm)", "file://server/share/HTMLBuffer.htm"},
  };
  for (const UrlCase& c : urls) {
    EXPECT_EQ(FileUrlFromPath(c.path), c.url);
    EXPECT_TRUE(NamesLocalFile(c.url, c.path)) << c.url;
  }

  struct NameCase {
    const char* location;
    bool names;
  };
  const char* path = R"(C:\My Data\C#\HTMLBuffer.htm)";
  const NameCase names[] = {
      {R"(C:\My Data\C#\HTMLBuffer.htm)", true},
      {R"(file://C:\My Data\C#\HTMLBuffer.htm)", true},  // "file://" and the path as it stands
      {"file:///C:/My%20Data/C%23/HTMLBuffer.htm", true},
      {"FILE:///c:/my%20data/c%23/htmlbuffer.HTM#top", true},
      {"file://C:/My Data/C%23/HTMLBuffer.htm", true},
      {"file:///C:/My%20Data/C%23/Other.htm", false},
      {"file:///C:/My%20Data/C#/HTMLBuffer.htm", false},  // an unescaped '#' starts the fragment
      {R"(C:\My Data\C#\HTMLBuffer.htm.bak)", false},
      {"http://host/C:/My%20Data/C%23/HTMLBuffer.htm", false},
      {"file://host/My%20Data/C%23/HTMLBuffer.htm", false},
      {"", false},
  };
  for (const NameCase& c : names) EXPECT_EQ(NamesLocalFile(c.location, path), c.names) << c.location;

  const char* share = R"(\\server\share\HTMLBuffer.htm)";
  EXPECT_TRUE(NamesLocalFile("file:////server/share/HTMLBuffer.htm", share));
  EXPECT_TRUE(NamesLocalFile(R"(file://\\server\share\HTMLBuffer.htm)", share));
  EXPECT_FALSE(NamesLocalFile("file:///server/share/HTMLBuffer.htm", share));  // a folder at the root
}

// --- the window ---

class FakeBrowserView final : public IWebBrowserView {
 public:
  void SetEvents(IWebBrowserEvents* value) override { events = value; }
  void SetSourceUrl(const std::string& text) override { source_url = text; }
  std::string SourceUrl() const override { return source_url; }
  void EnableRevisit(bool enabled) override { revisit_enabled = enabled; }
  bool Navigate(const std::string& url) override {
    navigated.push_back(url);
    return navigate_answer;
  }

  IWebBrowserEvents* events = nullptr;
  std::string source_url = "<not set>";
  std::optional<bool> revisit_enabled;
  std::vector<std::string> navigated;
  bool navigate_answer = true;
};

class WebBrowserTest : public StoreTest {
 protected:
  // A clip in memory with these formats as memory blocks.
  std::unique_ptr<TClipObj> Clip(std::initializer_list<std::pair<std::uint32_t, Bytes>> formats,
                                 std::string source_url = "") {
    auto clip = std::make_unique<TClipObj>(7, "IEXPLORE");
    for (const auto& [number, bytes] : formats) {
      auto entry = std::make_unique<TClipData>(formattype::kHandle);
      entry->FormatNum = static_cast<std::uint16_t>(number);
      entry->Size = static_cast<std::uint32_t>(bytes.size());
      entry->Handle = bytes;
      clip->DataList->push_back(std::move(entry));
    }
    clip->Online = true;
    clip->SourceURL = std::move(source_url);
    return clip;
  }
  static Bytes Block(const std::string& text) { return Bytes(text.begin(), text.end()); }
  std::string Folder() const { return dir_.string() + "\\"; }
  std::string BufferText() const {
    const Bytes bytes = ReadFile(dir_ / "HTMLBuffer.htm");
    return std::string(bytes.begin(), bytes.end());
  }

  FakeBrowserView view_;
  posix::PosixFileSystem files_;
  fake::FakeShell shell_;
};

TEST_F(WebBrowserTest, ShowsTheHtmlFromItsOffsetUpToTheFirstZero) {
  ASSERT_NE(HTMLFormat, 0u);
  TfrmWebBrowser form(view_, files_, shell_, Folder(), HTMLFormat);
  EXPECT_EQ(view_.events, &form);
  EXPECT_EQ(form.BufferPath(), Folder() + "HTMLBuffer.htm");
  // A longer page shown before: the file is replaced, not overwritten in part.
  WriteFile(dir_ / "HTMLBuffer.htm", Bytes(5000, 'x'));

  const std::string page = HeaderedHtml("<html><body><b>bold</b></body></html>");
  auto clip = Clip({{cf::kText, TextBlock("bold")}, {HTMLFormat, Block(page + std::string("\0garbage", 8))}},
                   "http://example.com/page");
  EXPECT_EQ(form.Display(*clip), Result::kShown);

  EXPECT_EQ(BufferText(), "<html><body><b>bold</b></body></html>");
  EXPECT_EQ(view_.navigated, std::vector<std::string>{form.BufferURL()});
  EXPECT_TRUE(NamesLocalFile(form.BufferURL(), form.BufferPath()));
  EXPECT_EQ(view_.source_url, "http://example.com/page");
  EXPECT_EQ(view_.revisit_enabled, true);
  EXPECT_EQ(clip->LockedFormat, 0);
}

TEST_F(WebBrowserTest, FallsBackToThePlainTextAndLeavesTheClipUnlocked) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::uint32_t, Bytes>> formats;
    std::uint32_t html_format;
    std::string shown;
  };
  const Case cases[] = {
      {"text only", {{cf::kText, TextBlock("<i>just text</i>")}}, HTMLFormat, "<i>just text</i>"},
      // Locking an empty block marks the clip locked without giving bytes.
      {"empty html block", {{HTMLFormat, Bytes{}}, {cf::kText, TextBlock("the text")}}, HTMLFormat, "the text"},
      {"html format not registered", {{HTMLFormat, TextBlock("<p>html</p>")}, {cf::kText, TextBlock("text")}}, 0,
       "text"},
      // Text without a terminator is shown whole.
      {"text without its zero", {{cf::kText, Block("no zero")}}, HTMLFormat, "no zero"},
      {"a text with a header of its own", {{cf::kText, TextBlock("StartHTML:000005\r\nbody")}}, HTMLFormat,
       "HTML:000005\r\nbody"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view_.navigated.clear();
    TfrmWebBrowser form(view_, files_, shell_, Folder(), c.html_format);
    auto clip = Clip({});
    for (const auto& [number, bytes] : c.formats) {
      auto entry = std::make_unique<TClipData>(formattype::kHandle);
      entry->FormatNum = static_cast<std::uint16_t>(number);
      entry->Handle = bytes;
      clip->DataList->push_back(std::move(entry));
    }
    EXPECT_EQ(form.Display(*clip), Result::kShown);
    EXPECT_EQ(BufferText(), c.shown);
    EXPECT_EQ(view_.navigated.size(), 1u);
    EXPECT_EQ(clip->LockedFormat, 0);
    EXPECT_EQ(view_.source_url, "");
    EXPECT_EQ(view_.revisit_enabled, false);
  }
  EXPECT_EQ(LogCount("Already Locked"), 0u);
  EXPECT_EQ(LogCount("NOT Locked"), 0u);
}

TEST_F(WebBrowserTest, NothingReadableLeavesThePageAndTheClipUnlocked) {
  TfrmWebBrowser form(view_, files_, shell_, Folder(), HTMLFormat);

  // Neither HTML nor text: nothing to show, but the source is.
  auto other = Clip({{cf::kHDrop, Block("C:\\x.txt\0\0")}}, "http://example.com/");
  EXPECT_EQ(form.Display(*other), Result::kNothingToShow);
  EXPECT_EQ(view_.source_url, "http://example.com/");
  EXPECT_EQ(view_.revisit_enabled, true);
  EXPECT_EQ(other->LockedFormat, 0);

  // A clip whose data file is gone.
  TClipObj apart(3, "X");
  apart.SetColl(&coll_);
  apart.StoredApart = true;
  apart.FormatCount = 1;
  EXPECT_EQ(form.Display(apart), Result::kFailed);
  EXPECT_EQ(apart.LockedFormat, 0);

  // A data folder that is not there: the file cannot be written.
  TfrmWebBrowser lost(view_, files_, shell_, (dir_ / "missing").string() + "\\", HTMLFormat);
  auto clip = Clip({{HTMLFormat, TextBlock("<p>x</p>")}});
  EXPECT_EQ(lost.Display(*clip), Result::kFailed);
  EXPECT_EQ(clip->LockedFormat, 0);
  EXPECT_TRUE(Logged("TfrmWebBrowser.Display", "Could Not Write " + lost.BufferPath()));

  EXPECT_TRUE(view_.navigated.empty());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "HTMLBuffer.htm"));

  // The browser refusing is told apart: the caller gives it up.
  view_.navigate_answer = false;
  EXPECT_EQ(form.Display(*clip), Result::kBrowserFailed);
  EXPECT_EQ(clip->LockedFormat, 0);
}

TEST(WebBrowserPolicyTest, TheOwnPageAndItsFramesStayLinksGoToTheShell) {
  FakeBrowserView view;
  posix::PosixFileSystem files;
  fake::FakeShell shell;
  // The browser reports the page in a spelling of its own choice.
  const char* reported[] = {"file:///C:/Data%20Folder/HTMLBuffer.htm", R"(file://C:\Data Folder\HTMLBuffer.htm)",
                            R"(C:\Data Folder\HTMLBuffer.htm)"};
  for (const char* spelling : reported) {
    SCOPED_TRACE(spelling);
    shell.opened.clear();
    {
      TfrmWebBrowser form(view, files, shell, R"(C:\Data Folder\)", 0);
      ASSERT_EQ(view.events, &form);
      EXPECT_EQ(form.BufferPath(), R"(C:\Data Folder\HTMLBuffer.htm)");
      EXPECT_EQ(form.BufferURL(), "file:///C:/Data%20Folder/HTMLBuffer.htm");
      IWebBrowserEvents& browser = *view.events;

      // The page the program sent the browser to, then its frame and image.
      EXPECT_FALSE(browser.WebBrowser1BeforeNavigate2(form.BufferURL()));
      EXPECT_TRUE(form.OwnDocument());
      EXPECT_FALSE(browser.WebBrowser1BeforeNavigate2("http://ads.example/frame.html"));
      browser.WebBrowser1DocumentComplete("http://ads.example/frame.html");
      EXPECT_FALSE(browser.WebBrowser1BeforeNavigate2("http://ads.example/inner.html"));
      EXPECT_TRUE(shell.opened.empty());

      // The page is complete: a link the user clicks goes to the shell.
      browser.WebBrowser1DocumentComplete(spelling);
      EXPECT_FALSE(form.OwnDocument());
      EXPECT_TRUE(browser.WebBrowser1BeforeNavigate2("http://example.com/link"));
      EXPECT_EQ(shell.opened, std::vector<std::string>{"http://example.com/link"});
      // A jump within the page itself stays.
      EXPECT_FALSE(browser.WebBrowser1BeforeNavigate2("file:///C:/Data%20Folder/HTMLBuffer.htm#part2"));
      EXPECT_EQ(shell.opened.size(), 1u);
    }
    EXPECT_EQ(view.events, nullptr);
  }
}

TEST_F(WebBrowserTest, DisplayClearsTheOwnPageFlagAndRevisitOpensTheSource) {
  TfrmWebBrowser form(view_, files_, shell_, Folder(), HTMLFormat);
  // A page still loading when the next clip comes.
  form.WebBrowser1BeforeNavigate2(form.BufferURL());
  ASSERT_TRUE(form.OwnDocument());
  const std::string long_url = "http://example.com/?q=" + std::string(1500, 'a');
  auto clip = Clip({{cf::kText, TextBlock("t")}}, long_url);
  form.Display(*clip);
  EXPECT_FALSE(form.OwnDocument());
  EXPECT_EQ(view_.source_url, long_url);

  form.cmdLaunchClick();
  ASSERT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(shell_.opened[0], long_url.substr(0, 1023));
  // What the field holds when clicked is what opens.
  view_.source_url = "http://example.org/edited";
  form.cmdLaunchClick();
  EXPECT_EQ(shell_.opened.back(), "http://example.org/edited");
  view_.source_url.clear();
  form.cmdLaunchClick();
  EXPECT_EQ(shell_.opened.size(), 2u);
}

}  // namespace
}  // namespace om::testing
