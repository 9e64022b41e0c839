// The page URL asked of a browser over DDE: the reply's form, and one
// conversation kept open across captures.
#include <gtest/gtest.h>

#include "ui/main/browser_url.h"
#include "ui/main/main_form_fixture.h"

namespace om::testing {
namespace {

TEST(BrowserUrlReply, UrlIsTheFirstQuotedField) {
  const std::string long_url = "http://example.com/" + std::string(300, 'x');
  struct Case {
    std::string reply;
    std::string url;
  };
  const Case cases[] = {
      {R"("http://a.example/page","A Page","")", "http://a.example/page"},
      {R"("http://a.example/","")", "http://a.example/"},
      {R"("","Untitled")", ""},
      {R"("http://no-title-field")", ""},
      {"", ""},
      {"\"", ""},
      {R"(http://a.example/","Not quoted")", ""},
      {"\"" + long_url + R"(","Long")", long_url.substr(0, 255)},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseBrowserUrlReply(c.reply), c.url) << c.reply;
}

class BrowserUrlTest : public MainFormTest {
 protected:
  static constexpr char kIEReply[] = R"("http://ie.example/","IE Page",)";
  static constexpr char kNetscapeReply[] = R"("http://ns.example/","NS Page",)";

  void SetUp() override {
    dde_.AddServer("IEXPLORE", "WWW_GetWindowInfo", kIEReply);
    dde_.AddServer("NETSCAPE", "WWW_GetWindowInfo", kNetscapeReply);
    Loaded();
  }
  std::string CaptureUrl(ForeignApp& app, const std::vector<Item>& items) {
    Copy(app, items);
    TClipColl* coll = Coll("Short-Term");
    return coll->Count() > 0 ? coll->Clip(0)->SourceURL : "<no clip>";
  }
  std::vector<Item> Text(const std::string& text) { return {{"1", TextBytes(text)}}; }
};

TEST_F(BrowserUrlTest, OneConversationServesConsecutiveCapturesUntilTheServerEndsIt) {
  ForeignApp& ie = Foreign("C:\\Program Files\\Internet Explorer\\iexplore.exe");
  EXPECT_EQ(CaptureUrl(ie, Text("one")), "http://ie.example/");
  EXPECT_EQ(CaptureUrl(ie, Text("two")), "http://ie.example/");
  EXPECT_EQ(dde_.Connects(), 1);
  EXPECT_EQ(dde_.Requests().size(), 2u);
  EXPECT_EQ(dde_.Requests().front(), (std::pair<std::string, std::string>{"IEXPLORE", "0xFFFFFFFF"}));
  EXPECT_TRUE(Form().DDELinkOpen());
  EXPECT_EQ(Form().LastDDEBrowser(), "IEXPLORE");
  EXPECT_TRUE(Logged("GetURLDDE", "Openlink Successful:http://ie.example/"));
  // The URL shows in the list's last column.
  EXPECT_EQ(widgets_.clips.Text(0, listcolumn::kSourceUrl), "http://ie.example/");

  dde_.ServerCloses();
  EXPECT_FALSE(Form().DDELinkOpen());
  EXPECT_TRUE(Logged("DdeClientConv1Close", "Connection Closed!"));
  EXPECT_EQ(CaptureUrl(ie, Text("three")), "http://ie.example/");
  EXPECT_EQ(dde_.Connects(), 2);

  // Another browser: the open conversation is closed first.
  ForeignApp& netscape = Foreign("C:\\Netscape\\NETSCAPE.EXE");
  EXPECT_EQ(CaptureUrl(netscape, Text("four")), "http://ns.example/");
  EXPECT_EQ(dde_.Closes(), 1);
  EXPECT_EQ(dde_.Connects(), 3);
  EXPECT_EQ(Form().LastDDEBrowser(), "NETSCAPE");
  EXPECT_TRUE(Logged("GetURLDDE", "Browser Switch or First Time.  LastDDEBrowser: [IEXPLORE]"));

  // Shutdown closes it.
  Form().FormCloseQuery();
  EXPECT_FALSE(dde_.IsOpen());
}

TEST_F(BrowserUrlTest, WhoIsAskedDependsOnTheSourceAndItsFormats) {
  ForeignApp& shell = Foreign("C:\\Windows\\explorer.exe");
  const std::uint32_t html = HTMLFormat;
  ASSERT_NE(html, 0u);
  EXPECT_EQ(CaptureUrl(shell, Text("plain from explorer")), "");
  EXPECT_TRUE(dde_.Requests().empty());
  EXPECT_EQ(CaptureUrl(shell, {{"1", TextBytes("page text")}, {"HTML Format", TextBytes("<b>page</b>")}}),
            "http://ie.example/");
  EXPECT_EQ(dde_.Requests().size(), 1u);

  // A browser that does not answer leaves the URL empty; capture goes on,
  // and the dead conversation is not asked again.
  dde_.SetReply("IEXPLORE", std::nullopt);
  ForeignApp& ie = Foreign("C:\\IE\\IEXPLORE.EXE");
  EXPECT_EQ(CaptureUrl(ie, Text("no answer")), "");
  EXPECT_EQ(Coll("Short-Term")->Clip(0)->Title, "no answer");
  EXPECT_FALSE(Form().DDELinkOpen());
  dde_.RemoveServer("IEXPLORE");
  EXPECT_EQ(CaptureUrl(ie, Text("no server")), "");
  EXPECT_EQ(Coll("Short-Term")->Clip(0)->Title, "no server");

  // Any other source is not asked at all.
  const std::size_t asked = dde_.Requests().size();
  EXPECT_EQ(CaptureUrl(Foreign("C:\\Apps\\firefox.exe"), Text("other")), "");
  EXPECT_EQ(dde_.Requests().size(), asked);
}

}  // namespace
}  // namespace om::testing
