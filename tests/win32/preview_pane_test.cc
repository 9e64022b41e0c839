// The preview pane in the real main window: its tabs, the text pane's text,
// offsets and flags, the rich-text pane, the tool bar, the text pane's menu,
// the transform commands of the menus and their shortcuts, the layout under
// the clip list and the drag of list rows onto the text pane. The user's
// actions are driven as the mouse and keyboard would; what the behaviour
// sets is not reported back.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "ui/main/win32/main_window.h"

namespace om::test {
namespace {

using win32::MainWindow;
using win32::PictureView;
using win32::PreviewPaneWidget;

// Records the window's and the pane's events, in order, as text.
class PaneRecorder final : public IMainFormEvents, public IPreviewEvents {
 public:
  std::vector<std::string> calls;
  bool accept_drag = true;
  // Runs inside pcMagnifyChange (to look at the pane at that moment).
  std::function<void()> on_tab_change;

  void FormShow() override {}
  bool FormCloseQuery() override { return true; }
  void FormClose() override {}
  bool WMQueryEndSession() override { return true; }
  void AppDeactivate() override {}
  void MenuClick(MenuCommand command) override { Add("MenuClick", static_cast<int>(command)); }
  ITreeEvents* TreeEvents() override { return nullptr; }
  IClipListEvents* ClipListEvents() override { return nullptr; }
  IPreviewEvents* PreviewEvents() override { return this; }

  void pcMagnifyChange() override {
    calls.push_back("pcMagnifyChange");
    if (on_tab_change) on_tab_change();
  }
  void txtMagnifyTextSelectionChange() override { calls.push_back("txtMagnifyTextSelectionChange"); }
  void txtMagnifyTextChange() override { calls.push_back("txtMagnifyTextChange"); }
  bool txtMagnifyTextDragOver() override {
    calls.push_back("txtMagnifyTextDragOver");
    return accept_drag;
  }
  void txtMagnifyTextDragDrop(std::int32_t caret) override { Add("txtMagnifyTextDragDrop", caret); }
  void cmdMag_PinClick(bool down) override { Add("cmdMag_PinClick", down); }
  void cmdMag_WordWrapClick(bool down) override { Add("cmdMag_WordWrapClick", down); }
  void cmdMag_SizeWindowClick(bool down) override { Add("cmdMag_SizeWindowClick", down); }
  void cmdMagFontClick() override { calls.push_back("cmdMagFontClick"); }
  void cmdMag_NewClipClick() override { calls.push_back("cmdMag_NewClipClick"); }
  void cmdMag_CutClick() override { calls.push_back("cmdMag_CutClick"); }
  void cmdMag_CopyClick() override { calls.push_back("cmdMag_CopyClick"); }
  void cmdMag_PasteClick() override { calls.push_back("cmdMag_PasteClick"); }
  void cmdMag_ShiftLeftClick() override { calls.push_back("cmdMag_ShiftLeftClick"); }
  void cmdMag_ShiftRightClick() override { calls.push_back("cmdMag_ShiftRightClick"); }
  void cmdMag_RemoveCRLFClick() override { calls.push_back("cmdMag_RemoveCRLFClick"); }
  void cmdMag_CaseClick() override { calls.push_back("cmdMag_CaseClick"); }
  void mnuMagCaseClick(int case_index) override { Add("mnuMagCaseClick", case_index); }
  void mnuMag_UndoClick() override { calls.push_back("mnuMag_UndoClick"); }
  void mnuMag_MakeTitleClick() override { calls.push_back("mnuMag_MakeTitleClick"); }
  void mnuMag_LaunchURLClick() override { calls.push_back("mnuMag_LaunchURLClick"); }
  void mnuLaunchURLCloseEnoughClick() override { calls.push_back("mnuLaunchURLCloseEnoughClick"); }
  void cbBinaryDisplayFormatsChange() override { calls.push_back("cbBinaryDisplayFormatsChange"); }
  void cb_MagBitmapStretchClick() override { calls.push_back("cb_MagBitmapStretchClick"); }
  void imgMagnifyBitmapDblClick() override { calls.push_back("imgMagnifyBitmapDblClick"); }
  void imgMagnifyPictureDblClick() override { calls.push_back("imgMagnifyPictureDblClick"); }

  bool Has(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }

 private:
  void Add(const char* name, int value) { calls.push_back(std::string(name) + " " + std::to_string(value)); }
};

std::string Call(MenuCommand command) { return "MenuClick " + std::to_string(static_cast<int>(command)); }

// Runs this thread's message loop as the program does, shortcuts included,
// until `condition` holds (or 10 s pass).
bool RunLoopUntil(MainWindow& window, const std::function<bool()>& condition) {
  const DWORD start = ::GetTickCount();
  while (!condition()) {
    if (::GetTickCount() - start > 10000) return false;
    MSG m;
    while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (window.TranslateAccelerators(m)) continue;
      ::TranslateMessage(&m);
      ::DispatchMessageA(&m);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

bool Visible(HWND window) { return (::GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

RECT ClientRectIn(HWND control, HWND ancestor) {
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, ancestor, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A click at the centre of `rect` (client coordinates of `control`).
void Click(HWND control, const RECT& rect) {
  const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  ::SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(control, WM_LBUTTONUP, 0, at);
}

std::vector<std::string> MenuCaptions(HMENU menu) {
  std::vector<std::string> captions;
  for (int i = 0, n = ::GetMenuItemCount(menu); i < n; ++i) {
    char text[256] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    captions.push_back(text);
  }
  return captions;
}

// Keys for a pop-up menu once it is up (its own loop reads them from this
// thread's queue); the menu is closed after 5 s should they not arrive.
// What the menu showed is noted first: its captions, and which are greyed.
std::vector<WPARAM> menu_keys;
std::function<HMENU()> shown_menu;
std::vector<std::string> menu_captions;
std::vector<bool> menu_greyed;
void ChooseFromMenu(std::vector<WPARAM> keys, std::function<HMENU()> menu_of) {
  menu_keys = std::move(keys);
  shown_menu = std::move(menu_of);
  menu_captions.clear();
  menu_greyed.clear();
  ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    const HMENU menu = shown_menu ? shown_menu() : nullptr;
    menu_captions = MenuCaptions(menu);
    for (int i = 0; i < static_cast<int>(menu_captions.size()); ++i) {
      const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
      menu_greyed.push_back((state & MF_GRAYED) != 0 && (state & MF_SEPARATOR) == 0);
    }
    HWND window = ::FindWindowA("#32768", nullptr);
    for (WPARAM key : menu_keys) {
      ::PostMessageA(window, WM_KEYDOWN, key, 0);
      ::PostMessageA(window, WM_KEYUP, key, 0);
    }
  });
  ::SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::EndMenu();
  });
}

class PreviewPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.Created());
    window.SetEvents(&events);
    ::SetWindowPos(window.hwnd(), nullptr, 0, 0, 900, 700, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void TearDown() override { window.SetEvents(nullptr); }
  // Shows the pane with its Text tab.
  void ShowTextPane() {
    window.Widgets().shell.SetPreviewVisible(true);
    pane().SetTabVisible(PreviewTab::kText, true);
    pane().SetActiveTab(PreviewTab::kText);
    pane().FixPageControl();
  }
  IPreviewWidget& pane() { return window.Widgets().preview; }
  PreviewPaneWidget& controls() { return window.preview(); }
  std::vector<std::string> TabCaptions() {
    std::vector<std::string> captions;
    for (int i = 0, n = TabCtrl_GetItemCount(controls().tabs()); i < n; ++i) {
      char text[64] = {};
      TCITEMA item{};
      item.mask = TCIF_TEXT | TCIF_IMAGE;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      TabCtrl_GetItem(controls().tabs(), i, &item);
      captions.push_back(std::string(text) + " " + std::to_string(item.iImage));
    }
    return captions;
  }
  CHARRANGE ControlSelection() {
    CHARRANGE range{};
    ::SendMessageA(controls().text_edit(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
  }

  MainWindow window{::GetModuleHandleA(nullptr), ExecutableDir()};
  PaneRecorder events;
};

TEST_F(PreviewPaneTest, TabsKeepTheirOrderAndTheActiveTabAndReportTheUsersChoice) {
  EXPECT_EQ(pane().ActiveTab(), std::nullopt);
  EXPECT_EQ(TabCtrl_GetItemCount(controls().tabs()), 0);

  pane().SetHtmlCaption("TEXT as &HTML");
  for (PreviewTab tab : {PreviewTab::kBinary, PreviewTab::kHtml, PreviewTab::kBitmap, PreviewTab::kText}) {
    pane().SetTabVisible(tab, true);
  }
  // The first tab shown became the active one; the images are the clip
  // types' (text 0, bitmap 2, HTML 7, binary 8).
  EXPECT_EQ(TabCaptions(), (std::vector<std::string>{"&Text 0", "&Bitmap 2", "TEXT as &HTML 7", "B&inary 8"}));
  EXPECT_EQ(pane().ActiveTab(), PreviewTab::kBinary);
  EXPECT_EQ(TabCtrl_GetCurSel(controls().tabs()), 3);

  pane().SetActiveTab(PreviewTab::kBitmap);
  EXPECT_EQ(TabCtrl_GetCurSel(controls().tabs()), 1);
  EXPECT_TRUE(Visible(controls().page(PreviewTab::kBitmap)));
  EXPECT_FALSE(Visible(controls().page(PreviewTab::kBinary)));
  // A tab shown or hidden elsewhere leaves the active one active.
  pane().SetTabVisible(PreviewTab::kRtf, true);
  pane().SetTabVisible(PreviewTab::kText, false);
  EXPECT_EQ(TabCaptions(), (std::vector<std::string>{"&Rich Text 1", "&Bitmap 2", "TEXT as &HTML 7", "B&inary 8"}));
  EXPECT_EQ(pane().ActiveTab(), PreviewTab::kBitmap);
  EXPECT_EQ(TabCtrl_GetCurSel(controls().tabs()), 1);
  // A hidden tab cannot be activated; the active one hidden gives way to
  // the first visible tab.
  pane().SetActiveTab(PreviewTab::kPicture);
  EXPECT_EQ(pane().ActiveTab(), PreviewTab::kBitmap);
  pane().SetTabVisible(PreviewTab::kBitmap, false);
  EXPECT_EQ(pane().ActiveTab(), PreviewTab::kRtf);
  EXPECT_EQ(TabCtrl_GetCurSel(controls().tabs()), 0);
  EXPECT_TRUE(Visible(controls().page(PreviewTab::kRtf)));
  EXPECT_FALSE(Visible(controls().page(PreviewTab::kBitmap)));
  pane().SetHtmlCaption("&HTML");
  EXPECT_EQ(TabCaptions()[1], "&HTML 7");
  EXPECT_TRUE(events.calls.empty()) << events.calls.front();

  // The user clicks the Binary tab: its page is shown before the report.
  window.Widgets().shell.SetPreviewVisible(true);
  bool page_shown_first = false;
  events.on_tab_change = [&] { page_shown_first = Visible(controls().page(PreviewTab::kBinary)); };
  RECT binary{};
  ASSERT_TRUE(TabCtrl_GetItemRect(controls().tabs(), 2, &binary));
  Click(controls().tabs(), binary);
  EXPECT_EQ(events.calls, (std::vector<std::string>{"pcMagnifyChange"}));
  EXPECT_EQ(pane().ActiveTab(), PreviewTab::kBinary);
  EXPECT_TRUE(page_shown_first);
  EXPECT_FALSE(Visible(controls().page(PreviewTab::kRtf)));

  for (PreviewTab tab : {PreviewTab::kRtf, PreviewTab::kHtml, PreviewTab::kBinary}) pane().SetTabVisible(tab, false);
  EXPECT_EQ(pane().ActiveTab(), std::nullopt);
  EXPECT_EQ(TabCtrl_GetItemCount(controls().tabs()), 0);
}

TEST_F(PreviewPaneTest, TheTextPaneSpeaksCrLfTextAndOffsets) {
  ShowTextPane();
  const std::string text = "one\r\ntwo\r\n\r\nthree";
  pane().SetText(text);
  EXPECT_EQ(pane().Text(), text);
  EXPECT_EQ(pane().LineCount(), 4);

  // Offsets into the CR LF text, and where the control (one character per
  // line break) puts them.
  struct Case {
    TextSelection selection;
    CHARRANGE control;
  };
  const Case cases[] = {
      {{0, 3}, {0, 3}},     // "one"
      {{5, 3}, {4, 7}},     // "two", after one line break
      {{3, 2}, {3, 4}},     // the first line break alone
      {{8, 4}, {7, 9}},     // two line breaks
      {{12, 5}, {9, 14}},   // "three"
      {{0, 17}, {0, 14}},   // everything
      {{17, 0}, {14, 14}},  // the caret at the end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.selection.start) + "+" + std::to_string(c.selection.length));
    pane().Select(c.selection);
    const CHARRANGE shown = ControlSelection();
    EXPECT_EQ(shown.cpMin, c.control.cpMin);
    EXPECT_EQ(shown.cpMax, c.control.cpMax);
    EXPECT_EQ(pane().Selection(), c.selection);
  }
  EXPECT_TRUE(events.calls.empty()) << events.calls.front();
  // A selection made in the control itself (as the user's is) is reported,
  // and read back as CR LF offsets.
  CHARRANGE user{4, 10};
  ::SendMessageA(controls().text_edit(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&user));
  EXPECT_EQ(events.calls, (std::vector<std::string>{"txtMagnifyTextSelectionChange"}));
  EXPECT_EQ(pane().Selection(), (TextSelection{5, 8}));
  events.calls.clear();
  // Past the end: the end.
  pane().Select({30, 4});
  EXPECT_EQ(pane().Selection(), (TextSelection{17, 0}));

  // Lines as a list of lines counts them: a last line break adds none.
  const std::pair<const char*, int> lines[] = {{"", 0}, {"abc", 1}, {"abc\r\n", 1}, {"a\r\n\r\nb", 3}};
  for (const auto& [value, count] : lines) {
    pane().SetText(value);
    EXPECT_EQ(pane().LineCount(), count) << value;
  }
  // A text that looks like rich text is shown as it is.
  pane().SetText("{\\rtf1 not \\b rich}");
  EXPECT_EQ(pane().Text(), "{\\rtf1 not \\b rich}");
  EXPECT_TRUE(events.calls.empty()) << events.calls.front();
}

TEST_F(PreviewPaneTest, TypingSetsModifiedAndIsReportedLoadingClearsItAndTheUndo) {
  ShowTextPane();
  pane().SetText("abc\r\ndef");
  EXPECT_FALSE(pane().Modified());
  EXPECT_FALSE(pane().CanUndo());
  pane().Select({5, 0});
  // Typed where the caret is: after the line break.
  ::SendMessageA(controls().text_edit(), WM_CHAR, 'X', 1);
  EXPECT_EQ(pane().Text(), "abc\r\nXdef");
  EXPECT_TRUE(pane().Modified());
  EXPECT_TRUE(pane().CanUndo());
  EXPECT_TRUE(events.Has("txtMagnifyTextChange"));
  EXPECT_TRUE(events.Has("txtMagnifyTextSelectionChange"));
  EXPECT_EQ(pane().Selection(), (TextSelection{6, 0}));

  events.calls.clear();
  pane().Undo();
  EXPECT_EQ(pane().Text(), "abc\r\ndef");
  pane().SetModified(true);
  EXPECT_TRUE(pane().Modified());
  pane().SetText("new");
  EXPECT_FALSE(pane().Modified());
  EXPECT_FALSE(pane().CanUndo());
  EXPECT_TRUE(events.calls.empty()) << events.calls.front();
}

TEST_F(PreviewPaneTest, WordWrapAndFontReachTheTextPane) {
  ShowTextPane();
  std::string line;
  for (int i = 0; i < 80; ++i) line += "word ";
  pane().SetText(line);
  EXPECT_EQ(pane().LineCount(), 1);
  pane().SetWordWrap(true);
  EXPECT_GT(pane().LineCount(), 2);
  pane().SetWordWrap(false);
  EXPECT_EQ(pane().LineCount(), 1);

  // 12 points are 240 twips whatever the screen's resolution.
  pane().SetTextFont(TFontDesc{"Courier New", 12, 0});
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  ::SendMessageA(controls().text_edit(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  EXPECT_STREQ(format.szFaceName, "Courier New");
  EXPECT_EQ(format.yHeight, 240);
}

// A file in the temporary folder, removed at the end of the test.
class TempFile {
 public:
  TempFile(const char* name, const std::string& content) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    path_ = std::string(folder) + name;
    if (FILE* f = std::fopen(path_.c_str(), "wb")) {
      std::fwrite(content.data(), 1, content.size(), f);
      std::fclose(f);
    }
  }
  ~TempFile() { ::DeleteFileA(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

TEST_F(PreviewPaneTest, TheRichTextPaneLoadsRichTextFilesOnly) {
  const TempFile rtf("om_preview_test.rtf", "{\\rtf1 Hello \\b bold\\b0 }");
  ASSERT_TRUE(pane().LoadRichTextFile(rtf.path()));
  EXPECT_EQ(pane().RichTextLength(), 10);  // "Hello bold"
  // Read as rich text: "bold" is bold, "Hello" is not.
  const HWND rich = controls().rich_edit();
  auto bold_at = [&](LONG start) {
    CHARRANGE range{start, start + 1};
    ::SendMessageA(rich, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    ::SendMessageA(rich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return (format.dwMask & CFM_BOLD) && (format.dwEffects & CFE_BOLD);
  };
  EXPECT_TRUE(bold_at(7));
  EXPECT_FALSE(bold_at(1));

  // What cannot be read as rich text leaves the pane empty.
  const TempFile plain("om_preview_test.txt", "just some text");
  const std::string missing = rtf.path() + ".missing";
  for (const std::string& path : {plain.path(), missing}) {
    ASSERT_TRUE(pane().LoadRichTextFile(rtf.path()));
    EXPECT_FALSE(pane().LoadRichTextFile(path)) << path;
    EXPECT_EQ(pane().RichTextLength(), 0) << path;
  }
  pane().SetRichTextPlain("Error - Could Not Retrieve Item.");
  EXPECT_EQ(pane().RichTextLength(), 32);
  pane().SetRichTextPlain("");
  EXPECT_EQ(pane().RichTextLength(), 0);
  EXPECT_TRUE(events.calls.empty()) << events.calls.front();
}

TEST_F(PreviewPaneTest, TheToolBarsButtonsReachTheirEventsInTheirOrder) {
  ShowTextPane();
  const HWND bar = controls().tool_bar();
  struct Button {
    int id;  // 0: a separator
    const char* first_click;
    const char* second_click;
  };
  const Button buttons[] = {
      {PreviewPaneWidget::kPinButtonId, "cmdMag_PinClick 1", "cmdMag_PinClick 0"},
      {PreviewPaneWidget::kWordWrapButtonId, "cmdMag_WordWrapClick 1", "cmdMag_WordWrapClick 0"},
      {PreviewPaneWidget::kSizeWindowButtonId, "cmdMag_SizeWindowClick 1", "cmdMag_SizeWindowClick 0"},
      {PreviewPaneWidget::kFontButtonId, "cmdMagFontClick", "cmdMagFontClick"},
      {0, nullptr, nullptr},
      {PreviewPaneWidget::kNewClipButtonId, "cmdMag_NewClipClick", "cmdMag_NewClipClick"},
      {PreviewPaneWidget::kCutButtonId, "cmdMag_CutClick", "cmdMag_CutClick"},
      {PreviewPaneWidget::kCopyButtonId, "cmdMag_CopyClick", "cmdMag_CopyClick"},
      {PreviewPaneWidget::kPasteButtonId, "cmdMag_PasteClick", "cmdMag_PasteClick"},
      {0, nullptr, nullptr},
      {PreviewPaneWidget::kShiftLeftButtonId, "cmdMag_ShiftLeftClick", "cmdMag_ShiftLeftClick"},
      {PreviewPaneWidget::kShiftRightButtonId, "cmdMag_ShiftRightClick", "cmdMag_ShiftRightClick"},
      {PreviewPaneWidget::kRemoveCrLfButtonId, "cmdMag_RemoveCRLFClick", "cmdMag_RemoveCRLFClick"},
      {PreviewPaneWidget::kCaseButtonId, "cmdMag_CaseClick", "cmdMag_CaseClick"},
  };
  ASSERT_EQ(::SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), static_cast<LRESULT>(std::size(buttons)));
  const HWND tips = reinterpret_cast<HWND>(::SendMessageA(bar, TB_GETTOOLTIPS, 0, 0));
  ASSERT_NE(tips, nullptr);
  for (int i = 0; i < static_cast<int>(std::size(buttons)); ++i) {
    const Button& b = buttons[i];
    TBBUTTON button{};
    ASSERT_TRUE(::SendMessageA(bar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button)));
    if (b.id == 0) {
      EXPECT_TRUE(button.fsStyle & BTNS_SEP) << i;
      continue;
    }
    SCOPED_TRACE(b.first_click);
    EXPECT_EQ(button.idCommand, b.id);
    // Every button has its tool-tip.
    char tip[80] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = bar;
    tool.uId = static_cast<UINT_PTR>(b.id);
    tool.lpszText = tip;
    ::SendMessageA(tips, TTM_GETTEXTA, sizeof tip, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(tip, PreviewPaneWidget::ButtonTip(b.id));
    EXPECT_STRNE(tip, "");
    // Two clicks; a check button is down after the first, up after the
    // second. The case button's click is left of its arrow.
    RECT rect{};
    ::SendMessageA(bar, TB_GETRECT, static_cast<WPARAM>(b.id), reinterpret_cast<LPARAM>(&rect));
    if (b.id == PreviewPaneWidget::kCaseButtonId) rect.right -= 14;
    events.calls.clear();
    Click(bar, rect);
    Click(bar, rect);
    EXPECT_EQ(events.calls, (std::vector<std::string>{b.first_click, b.second_click}));
  }

  // What the behaviour sets shows and is not reported.
  events.calls.clear();
  pane().SetButtonDown(PreviewButton::kWordWrap, true);
  EXPECT_TRUE(::SendMessageA(bar, TB_ISBUTTONCHECKED, PreviewPaneWidget::kWordWrapButtonId, 0));
  pane().SetButtonEnabled(PreviewButton::kShiftLeft, false);
  EXPECT_FALSE(::SendMessageA(bar, TB_ISBUTTONENABLED, PreviewPaneWidget::kShiftLeftButtonId, 0));
  for (int image : {pinimage::kDown, pinimage::kBlink, pinimage::kUp}) {
    pane().SetPinImage(image);
    EXPECT_EQ(::SendMessageA(bar, TB_GETBITMAP, PreviewPaneWidget::kPinButtonId, 0), image);
  }
  // The clipboard's text enables the Paste button (and the menu's Paste).
  window.Widgets().menus.SetEnabled(MenuItem::kMagPaste, false);
  EXPECT_FALSE(::SendMessageA(bar, TB_ISBUTTONENABLED, PreviewPaneWidget::kPasteButtonId, 0));
  window.Widgets().menus.SetEnabled(MenuItem::kMagPaste, true);
  EXPECT_TRUE(::SendMessageA(bar, TB_ISBUTTONENABLED, PreviewPaneWidget::kPasteButtonId, 0));
  EXPECT_TRUE(events.calls.empty()) << events.calls.front();

  // The case button's arrow: the four conversions; the fourth chosen.
  ::ShowWindow(window.hwnd(), SW_SHOW);
  ::SetForegroundWindow(window.hwnd());
  ChooseFromMenu({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, [this] { return controls().shown_menu(); });
  RECT arrow{};
  ::SendMessageA(bar, TB_GETRECT, PreviewPaneWidget::kCaseButtonId, reinterpret_cast<LPARAM>(&arrow));
  arrow.left = arrow.right - 6;
  Click(bar, arrow);
  EXPECT_EQ(menu_captions, (std::vector<std::string>{"&lower case", "&UPPER CASE", "&Mixed Case", "&Sentence case."}));
  EXPECT_EQ(events.calls, (std::vector<std::string>{"mnuMagCaseClick 3"}));
}

TEST_F(PreviewPaneTest, TheTextPanesMenuShowsItsStatesAndReportsTheChoice) {
  ShowTextPane();
  ::ShowWindow(window.hwnd(), SW_SHOW);
  ::SetForegroundWindow(window.hwnd());
  pane().SetTextMenuEnabled(TextMenuItem::kUndo, false);
  pane().SetTextMenuEnabled(TextMenuItem::kCopy, false);
  // Down from the top, the separators skipped: Undo, Cut, Copy, Paste,
  // Set As Title, ...
  struct Case {
    int downs;
    const char* call;
  };
  const Case cases[] = {{2, "cmdMag_CutClick"},
                        {4, "cmdMag_PasteClick"},
                        {5, "mnuMag_MakeTitleClick"},
                        {6, "mnuMag_LaunchURLClick"},
                        {7, "mnuLaunchURLCloseEnoughClick"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    std::vector<WPARAM> keys(static_cast<std::size_t>(c.downs), VK_DOWN);
    keys.push_back(VK_RETURN);
    ChooseFromMenu(keys, [this] { return controls().shown_menu(); });
    events.calls.clear();
    // What the control does on a right click: its parent gets the request.
    POINT at{20, 20};
    ::ClientToScreen(controls().text_edit(), &at);
    ::SendMessageA(controls().page(PreviewTab::kText), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(controls().text_edit()),
                   MAKELPARAM(at.x, at.y));
    EXPECT_EQ(events.calls, (std::vector<std::string>{c.call}));
  }
  EXPECT_EQ(menu_captions, (std::vector<std::string>{"Undo", "", "Cut", "Copy", "Paste", "", "Set As Title",
                                                     "Launch As URL (Exact Text)", "Launch As URL (Smart)"}));
  // Undo and Copy greyed as the behaviour set them.
  EXPECT_EQ(menu_greyed, (std::vector<bool>{true, false, false, true, false, false, false, false, false}));
}

TEST_F(PreviewPaneTest, TheBitmapPictureAndBinaryTabsKeepWhatTheyAreGivenAndReportTheUser) {
  window.Widgets().shell.SetPreviewVisible(true);
  pane().SetTabVisible(PreviewTab::kBinary, true);
  const std::vector<BinaryFormatEntry> formats = {
      {"CF_TEXT", 1}, {"CF_BITMAP (Not Displayable)", 0}, {"Ottermoor Picture", 49300}};
  pane().SetBinaryFormats(formats, 2);
  const HWND list = controls().binary_formats();
  EXPECT_EQ(::SendMessageA(list, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(pane().SelectedBinaryFormat(), 49300u);
  // The user steps up the list.
  ::SendMessageA(list, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(pane().SelectedBinaryFormat(), 0u);
  EXPECT_EQ(events.calls, (std::vector<std::string>{"cbBinaryDisplayFormatsChange"}));
  pane().SetBinaryFormats(formats, -1);
  EXPECT_EQ(pane().SelectedBinaryFormat(), std::nullopt);
  // The dump shows the caller's bytes, no copy.
  const std::uint8_t bytes[] = {1, 2, 3};
  pane().ShowBinary(bytes, sizeof bytes);
  ASSERT_NE(controls().hex_dump(), nullptr);
  EXPECT_EQ(controls().hex_dump()->Buffer().data(), bytes);
  EXPECT_EQ(controls().hex_dump()->Buffer().size(), 3u);
  EXPECT_FALSE(controls().hex_dump()->ShowAddress());
  pane().ShowBinary(nullptr, 0);
  EXPECT_TRUE(controls().hex_dump()->Buffer().empty());

  // The bitmap's stretch box: the behaviour's setting is not reported, the
  // user's click is; the view follows the box either way.
  events.calls.clear();
  PictureView& bitmap_view = *controls().bitmap_view();
  pane().SetBitmapStretch(true);
  EXPECT_TRUE(pane().BitmapStretch());
  EXPECT_TRUE(bitmap_view.Stretch());
  ::SendMessageA(controls().stretch_box(), BM_CLICK, 0, 0);
  EXPECT_FALSE(pane().BitmapStretch());
  EXPECT_FALSE(bitmap_view.Stretch());
  pane().SetBitmapSizeText("640x480");
  char size[32] = {};
  ::GetWindowTextA(controls().size_panel(), size, sizeof size);
  EXPECT_STREQ(size, "640x480");
  // The view keeps a copy of the bitmap: the caller's may go.
  {
    Bytes dib(sizeof(BITMAPINFOHEADER) + 4, 0);
    BITMAPINFOHEADER header{sizeof header, 1, 1, 1, 32, BI_RGB, 4, 0, 0, 0, 0};
    std::memcpy(dib.data(), &header, sizeof header);
    TBitmap bitmap(dib);
    pane().ShowBitmap(&bitmap);
  }
  EXPECT_TRUE(bitmap_view.HasPicture());
  // A double-click on the bitmap is the user's.
  const RECT shown = bitmap_view.PictureRect();
  ::SendMessageA(bitmap_view.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(shown.left, shown.top));
  pane().ShowBitmap(nullptr);
  EXPECT_FALSE(bitmap_view.HasPicture());
  pane().ShowPicture(nullptr);
  EXPECT_FALSE(controls().picture_view()->HasPicture());
  EXPECT_EQ(events.calls, (std::vector<std::string>{"cb_MagBitmapStretchClick", "imgMagnifyBitmapDblClick"}));
}

TEST_F(PreviewPaneTest, TheTransformCommandsAndTheirShortcutsReachTheBehaviour) {
  const HMENU bar = ::GetMenu(window.hwnd());
  const HMENU edit = ::GetSubMenu(bar, 1);
  const std::vector<std::string> captions = MenuCaptions(edit);
  ASSERT_GE(captions.size(), 11u);
  EXPECT_EQ(std::vector<std::string>(captions.begin(), captions.begin() + 11),
            (std::vector<std::string>{
                "Rename &Title\tCtrl+T", "", "<< Shift &Left", ">> Shift &Right", "Remove Line&breaks\tCtrl+Alt+B",
                "&Lower Case\tCtrl+Alt+L", "&Upper Case\tCtrl+Alt+U", "&Mixed Case\tCtrl+Alt+M",
                "&Sentence Case\tCtrl+Alt+S", "Strip Out Non-TEXT Data Formats\tCtrl+Alt+T", ""}));

  // Each command's entry, and its shortcut pressed while the focus is in
  // the preview's text pane (which must not take the key as text).
  struct Case {
    MenuCommand command;
    char key;  // 0: none
  };
  const Case cases[] = {
      {MenuCommand::kShiftLeft, 0},      {MenuCommand::kShiftRight, 0},     {MenuCommand::kRemoveLineBreaks, 'B'},
      {MenuCommand::kLowerCase, 'L'},    {MenuCommand::kUpperCase, 'U'},    {MenuCommand::kMixedCase, 'M'},
      {MenuCommand::kSentenceCase, 'S'}, {MenuCommand::kStripNonText, 'T'}, {MenuCommand::kExpandPreview, 'X'}};
  ShowTextPane();
  pane().SetText("text");
  ::ShowWindow(window.hwnd(), SW_SHOW);
  ::SetForegroundWindow(window.hwnd());
  ::SetFocus(controls().text_edit());
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.command));
    const UINT id = win32::MainMenus::IdOfCommand(c.command);
    ASSERT_NE(id, 0u);
    events.calls.clear();
    ::SendMessageA(window.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    EXPECT_EQ(events.calls, (std::vector<std::string>{Call(c.command)}));
    if (c.key == 0) continue;
    events.calls.clear();
    BYTE held[256];
    std::memcpy(held, keys, sizeof held);
    held[VK_CONTROL] = held[VK_MENU] = 0x80;
    ::SetKeyboardState(held);
    ::PostMessageA(controls().text_edit(), WM_KEYDOWN, static_cast<WPARAM>(c.key), 1);
    const bool arrived = RunLoopUntil(window, [&] { return !events.calls.empty(); });
    ::SetKeyboardState(keys);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(events.calls, (std::vector<std::string>{Call(c.command)}));
  }
  EXPECT_EQ(pane().Text(), "text");

  // The tray menu's transforms send the same commands.
  const HMENU tray = window.menus().TrayMenu();
  const std::pair<const char*, MenuCommand> tray_cases[] = {{"<< Shift &Left", MenuCommand::kShiftLeft},
                                                            {">> Shift &Right", MenuCommand::kShiftRight},
                                                            {"Remove Line&breaks", MenuCommand::kRemoveLineBreaks},
                                                            {"&Lower Case", MenuCommand::kLowerCase},
                                                            {"&Upper Case", MenuCommand::kUpperCase},
                                                            {"&Mixed Case", MenuCommand::kMixedCase},
                                                            {"&Sentence Case", MenuCommand::kSentenceCase}};
  const std::vector<std::string> tray_captions = MenuCaptions(tray);
  for (const auto& [caption, command] : tray_cases) {
    const auto at = std::find(tray_captions.begin(), tray_captions.end(), caption);
    ASSERT_NE(at, tray_captions.end()) << caption;
    events.calls.clear();
    const UINT id = ::GetMenuItemID(tray, static_cast<int>(at - tray_captions.begin()));
    ::SendMessageA(window.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    EXPECT_EQ(events.calls, (std::vector<std::string>{Call(command)})) << caption;
  }

  // "Expand Preview Window" shows its check mark; the main tool bar's
  // line-break button follows the pane's and sends the command.
  window.Widgets().menus.SetChecked(MenuItem::kExpandPreview, true);
  const UINT expand = win32::MainMenus::IdOfCommand(MenuCommand::kExpandPreview);
  EXPECT_TRUE(::GetMenuState(bar, expand, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_FALSE(window.tool_bar().LineBreaksEnabled());
  pane().SetMainLineBreakButtonEnabled(true);
  EXPECT_TRUE(window.tool_bar().LineBreaksEnabled());
  events.calls.clear();
  ::SendMessageA(window.hwnd(), WM_COMMAND, MAKEWPARAM(win32::ToolBar::kLineBreaksButtonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(window.tool_bar().hwnd()));
  EXPECT_EQ(events.calls, (std::vector<std::string>{Call(MenuCommand::kRemoveLineBreaks)}));

  // The line-break and search buttons are shown as the settings say; the
  // search button opens the find dialog.
  const win32::ToolBar& bar_buttons = window.tool_bar();
  EXPECT_FALSE(bar_buttons.ButtonVisible(win32::ToolBar::kSearchButtonId));
  window.Widgets().shell.ShowToolButtons(/*search=*/true, /*line_breaks=*/false);
  EXPECT_TRUE(bar_buttons.ButtonVisible(win32::ToolBar::kSearchButtonId));
  EXPECT_FALSE(bar_buttons.ButtonVisible(win32::ToolBar::kLineBreaksButtonId));
  window.Widgets().shell.ShowToolButtons(/*search=*/false, /*line_breaks=*/true);
  EXPECT_FALSE(bar_buttons.ButtonVisible(win32::ToolBar::kSearchButtonId));
  EXPECT_TRUE(bar_buttons.ButtonVisible(win32::ToolBar::kLineBreaksButtonId));
  events.calls.clear();
  ::SendMessageA(window.hwnd(), WM_COMMAND, MAKEWPARAM(win32::ToolBar::kSearchButtonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(window.tool_bar().hwnd()));
  EXPECT_EQ(events.calls, (std::vector<std::string>{Call(MenuCommand::kFind)}));
}

// Pickdrop's layout: its tool bar below the main one, and its alternate
// list with the caption in the preview's place while the mode shows them.
TEST_F(PreviewPaneTest, PickdropsBarAndAlternateListTakeTheirPlacesAndGiveThemBack) {
  const HWND list = window.clips().hwnd();
  const HWND alternate = window.alternate_clips().hwnd();
  const HWND shown_pane = controls().hwnd();
  IFormShell& shell = window.Widgets().shell;
  shell.SetPreviewVisible(true);
  const RECT list_before = ClientRectIn(list, window.hwnd());
  EXPECT_FALSE(Visible(alternate));
  EXPECT_FALSE(window.pickdrop_bar().Shown());

  shell.ShowPickdropLayout(true);
  shell.ShowAlternates(true);
  shell.SetAlternateCaption("Alternate Collection: Long-Term");
  EXPECT_TRUE(window.pickdrop_bar().Shown());
  EXPECT_FALSE(::IsWindowEnabled(window.tool_bar().hwnd()));
  EXPECT_TRUE(Visible(alternate));
  EXPECT_FALSE(Visible(shown_pane));
  const RECT bar = ClientRectIn(window.pickdrop_bar().hwnd(), window.hwnd());
  const RECT list_during = ClientRectIn(list, window.hwnd());
  const RECT alternate_below = ClientRectIn(alternate, window.hwnd());
  EXPECT_LE(bar.bottom, list_during.top);
  EXPECT_LT(list_during.bottom, alternate_below.top);
  EXPECT_EQ(list_during.left, alternate_below.left);
  EXPECT_GT(alternate_below.bottom - alternate_below.top, 50);
  const HWND caption = ::GetDlgItem(window.hwnd(), 1011);
  char text[64] = {};
  ::GetWindowTextA(caption, text, sizeof text);
  EXPECT_STREQ(text, "Alternate Collection: Long-Term");

  // Sticky off: Tab and Enter are plain buttons, raised.
  shell.SetPickdropButtons(/*lock=*/true, /*tab=*/true, /*enter=*/false, /*sticky=*/false);
  EXPECT_TRUE(window.pickdrop_bar().Checked(win32::PickdropBar::kLockId));
  EXPECT_FALSE(window.pickdrop_bar().IsToggle(win32::PickdropBar::kTabId));
  EXPECT_FALSE(window.pickdrop_bar().Checked(win32::PickdropBar::kTabId));
  shell.SetPickdropButtons(false, true, false, true);
  EXPECT_TRUE(window.pickdrop_bar().IsToggle(win32::PickdropBar::kTabId));
  EXPECT_TRUE(window.pickdrop_bar().Checked(win32::PickdropBar::kTabId));
  EXPECT_TRUE(window.pickdrop_bar().Checked(win32::PickdropBar::kStickyId));
  // A click on a bar button only reports it.
  events.calls.clear();
  ::SendMessageA(window.hwnd(), WM_COMMAND, MAKEWPARAM(win32::PickdropBar::kSetId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(window.pickdrop_bar().hwnd()));
  EXPECT_EQ(events.calls, (std::vector<std::string>{Call(MenuCommand::kPickdropSetAlternate)}));

  shell.ShowAlternates(false);
  shell.ShowPickdropLayout(false);
  EXPECT_FALSE(Visible(alternate));
  EXPECT_TRUE(Visible(shown_pane));
  EXPECT_TRUE(::IsWindowEnabled(window.tool_bar().hwnd()));
  const RECT list_after = ClientRectIn(list, window.hwnd());
  EXPECT_TRUE(::EqualRect(&list_after, &list_before));
}

TEST_F(PreviewPaneTest, ThePaneLiesBelowTheListAndExpandsOverTheListAndTree) {
  const HWND list = window.clips().hwnd();
  const HWND tree = window.tree().hwnd();
  const HWND shown_pane = controls().hwnd();
  const RECT list_alone = ClientRectIn(list, window.hwnd());
  EXPECT_FALSE(Visible(shown_pane));

  window.Widgets().shell.SetPreviewVisible(true);
  EXPECT_TRUE(Visible(shown_pane));
  const RECT list_above = ClientRectIn(list, window.hwnd());
  const RECT below = ClientRectIn(shown_pane, window.hwnd());
  const RECT tree_beside = ClientRectIn(tree, window.hwnd());
  EXPECT_LT(list_above.bottom, below.top);
  EXPECT_EQ(list_above.left, below.left);
  EXPECT_EQ(list_above.right, below.right);
  EXPECT_EQ(below.bottom, list_alone.bottom);
  EXPECT_GT(below.bottom - below.top, 100);

  // Expanded: list and tree one pixel each, the pane nearly all the window.
  pane().SetPreviewExpanded(true);
  EXPECT_EQ(ClientRectIn(list, window.hwnd()).bottom - ClientRectIn(list, window.hwnd()).top, 1);
  EXPECT_EQ(ClientRectIn(tree, window.hwnd()).right - ClientRectIn(tree, window.hwnd()).left, 1);
  EXPECT_GT(ClientRectIn(shown_pane, window.hwnd()).right - ClientRectIn(shown_pane, window.hwnd()).left,
            below.right - below.left);
  pane().SetPreviewExpanded(false);
  const RECT back = ClientRectIn(list, window.hwnd());
  EXPECT_TRUE(::EqualRect(&back, &list_above));
  const RECT tree_back = ClientRectIn(tree, window.hwnd());
  EXPECT_TRUE(::EqualRect(&tree_back, &tree_beside));

  // The settings' sizes, when the window is given them.
  window.SetSplitters(200, 150);
  EXPECT_EQ(ClientRectIn(tree, window.hwnd()).right - ClientRectIn(tree, window.hwnd()).left, 200);
  EXPECT_EQ(ClientRectIn(list, window.hwnd()).bottom - ClientRectIn(list, window.hwnd()).top, 150);

  window.Widgets().shell.SetPreviewVisible(false);
  EXPECT_FALSE(Visible(shown_pane));
  const RECT list_again = ClientRectIn(list, window.hwnd());
  EXPECT_EQ(list_again.bottom, list_alone.bottom);
  EXPECT_EQ(list_again.top, list_alone.top);
}

TEST_F(PreviewPaneTest, TheHtmlWindowIsPlacedInsideItsPageWithAMargin) {
  window.Widgets().shell.SetPreviewVisible(true);
  pane().SetTabVisible(PreviewTab::kHtml, true);
  const HWND html = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, window.hwnd(), nullptr,
                                      ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(html, nullptr);
  controls().SetHtmlWindow(html);
  EXPECT_EQ(::GetParent(html), controls().HtmlPage());
  pane().SetActiveTab(PreviewTab::kHtml);
  pane().FixPageControl();
  RECT page{}, placed{};
  ::GetClientRect(controls().HtmlPage(), &page);
  placed = ClientRectIn(html, controls().HtmlPage());
  EXPECT_EQ(placed.left, 2);
  EXPECT_EQ(placed.top, 2);
  EXPECT_EQ(placed.right, page.right - 2);
  EXPECT_EQ(placed.bottom, page.bottom - 2);
  EXPECT_TRUE(Visible(html));
  EXPECT_TRUE(Visible(controls().HtmlPage()));
}

// Counts the wheel messages that reach the main window.
int wheels_at_window = 0;
WNDPROC window_proc = nullptr;
LRESULT CALLBACK CountWheels(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_MOUSEWHEEL) ++wheels_at_window;
  return ::CallWindowProcA(window_proc, hwnd, message, wparam, lparam);
}

TEST_F(PreviewPaneTest, TheTextPanesKeepTheirMouseWheel) {
  ShowTextPane();
  std::string lines;
  for (int i = 0; i < 200; ++i) lines += "line " + std::to_string(i) + "\r\n";
  pane().SetText(lines);
  wheels_at_window = 0;
  window_proc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(window.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountWheels)));
  const WPARAM down = MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));
  // The control scrolls; what it passes on to its parent stops at the
  // pages of the text and rich-text panes...
  ::SendMessageA(controls().text_edit(), WM_MOUSEWHEEL, down, 0);
  EXPECT_GT(::SendMessageA(controls().text_edit(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  for (PreviewTab tab : {PreviewTab::kText, PreviewTab::kRtf}) {
    ::SendMessageA(controls().page(tab), WM_MOUSEWHEEL, down, 0);
  }
  EXPECT_EQ(wheels_at_window, 0);
  // ...and not at the other pages.
  ::SendMessageA(controls().page(PreviewTab::kBinary), WM_MOUSEWHEEL, down, 0);
  EXPECT_EQ(wheels_at_window, 1);
  ::SetWindowLongPtrA(window.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(window_proc));
}

// Drags of list rows: the window is told a drag began, as the list tells
// it, then the mouse moves and is released (or Esc is pressed).
class RowDragTest : public PreviewPaneTest {
 protected:
  void SetUp() override {
    PreviewPaneTest::SetUp();
    ShowTextPane();
    pane().SetText("alpha\r\nbeta");
    ::ShowWindow(window.hwnd(), SW_SHOW);
    ::UpdateWindow(window.hwnd());
  }
  void BeginDrag() {
    NMLISTVIEW begin{};
    begin.hdr.hwndFrom = window.clips().hwnd();
    begin.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(window.clips().hwnd()));
    begin.hdr.code = LVN_BEGINDRAG;
    ::SendMessageA(window.hwnd(), WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
  }
  // A point of the main window's client area: at character `offset` of
  // the text pane (control count), or at the middle of `control`.
  POINT AtCharacter(LONG offset) {
    POINTL at{};
    ::SendMessageA(controls().text_edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), offset);
    POINT p{at.x + 1, at.y + 3};
    ::MapWindowPoints(controls().text_edit(), window.hwnd(), &p, 1);
    return p;
  }
  POINT AtMiddleOf(HWND control) {
    RECT r = ClientRectIn(control, window.hwnd());
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Mouse(UINT message, POINT at) { ::SendMessageA(window.hwnd(), message, 0, MAKELPARAM(at.x, at.y)); }
  HCURSOR Cursor(LPCSTR id) { return ::LoadCursorA(nullptr, id); }
};

TEST_F(RowDragTest, RowsDroppedOnTheTextPaneGoInAtTheCaretUnderTheMouse) {
  BeginDrag();
  EXPECT_TRUE(window.dragging_rows());
  EXPECT_EQ(::GetCapture(), window.hwnd());
  // Over the tree: not taken (yet), and the text pane is not asked.
  Mouse(WM_MOUSEMOVE, AtMiddleOf(window.tree().hwnd()));
  EXPECT_EQ(::GetCursor(), Cursor(IDC_NO));
  EXPECT_TRUE(events.calls.empty());
  // Over the text pane: asked, and the cursor says what it answered.
  events.accept_drag = false;
  Mouse(WM_MOUSEMOVE, AtCharacter(2));
  EXPECT_EQ(::GetCursor(), Cursor(IDC_NO));
  events.accept_drag = true;
  Mouse(WM_MOUSEMOVE, AtCharacter(2));
  EXPECT_EQ(::GetCursor(), Cursor(IDC_ARROW));
  EXPECT_EQ(events.calls, (std::vector<std::string>{"txtMagnifyTextDragOver", "txtMagnifyTextDragOver"}));
  // Released before the "t" of "beta" (control offset 8): offset 9 of the
  // CR LF text.
  events.calls.clear();
  Mouse(WM_LBUTTONUP, AtCharacter(8));
  EXPECT_EQ(events.calls, (std::vector<std::string>{"txtMagnifyTextDragOver", "txtMagnifyTextDragDrop 9"}));
  EXPECT_FALSE(window.dragging_rows());
  EXPECT_EQ(::GetCapture(), nullptr);
}

// Rows for the list, so that there is something to drag.
class TwoRows final : public IClipRowSource {
 public:
  std::string CellText(int row, int column) const override { return column == 0 ? "row " + std::to_string(row) : ""; }
  int RowImage(int) const override { return 0; }
  void RowDrawn(int) override {}
};

TEST_F(RowDragTest, TheListStartsTheDragWhenTheUserDragsARow) {
  TwoRows rows;
  window.Widgets().clips.SetRowSource(&rows);
  window.Widgets().clips.SetRowCount(2);
  const HWND list = window.clips().hwnd();
  RECT row{};
  ListView_GetItemRect(list, 0, &row, LVIR_LABEL);
  const POINT from{row.left + 10, (row.top + row.bottom) / 2};
  // Pressed on the row and moved away with the button held: the list
  // follows the press in a loop of its own, reading the queue.
  ::PostMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 30, from.y + 30));
  ::PostMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 40, from.y + 40));
  ::SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
  ASSERT_TRUE(RunLoopUntil(window, [&] { return window.dragging_rows(); }));
  EXPECT_EQ(::GetCapture(), window.hwnd());
  // (Where the system's cursor happens to be, the drag may have been over
  // the text pane before: only the drop counts here.)
  events.calls.clear();
  Mouse(WM_LBUTTONUP, AtCharacter(3));
  EXPECT_EQ(events.calls, (std::vector<std::string>{"txtMagnifyTextDragOver", "txtMagnifyTextDragDrop 3"}));
  EXPECT_EQ(::GetCapture(), nullptr);
  // The list is done with the press: moving over it starts nothing.
  events.calls.clear();
  ::SendMessageA(list, WM_MOUSEMOVE, 0, MAKELPARAM(from.x + 5, from.y));
  ::SendMessageA(list, WM_MOUSEMOVE, 0, MAKELPARAM(from.x + 50, from.y + 50));
  const DWORD until = ::GetTickCount() + 300;
  RunLoopUntil(window, [&] { return ::GetTickCount() > until; });
  EXPECT_FALSE(window.dragging_rows());
  window.Widgets().clips.SetRowCount(0);
  window.Widgets().clips.SetRowSource(nullptr);
}

TEST_F(RowDragTest, ADragEndsWithoutADropOnEscElsewhereOrWhenRefused) {
  struct Case {
    const char* name;
    std::function<void()> end;
  };
  const Case cases[] = {
      {"released over the tree", [&] { Mouse(WM_LBUTTONUP, AtMiddleOf(window.tree().hwnd())); }},
      {"released over the list", [&] { Mouse(WM_LBUTTONUP, AtMiddleOf(window.clips().hwnd())); }},
      {"refused over the text pane",
       [&] {
         events.accept_drag = false;
         Mouse(WM_LBUTTONUP, AtCharacter(1));
       }},
      {"Esc in the list",
       [&] {
         ::PostMessageA(window.clips().hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
         ASSERT_TRUE(RunLoopUntil(window, [&] { return !window.dragging_rows(); }));
       }},
      {"the capture taken away", [&] { ::ReleaseCapture(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    events.accept_drag = true;
    events.calls.clear();
    BeginDrag();
    ASSERT_EQ(::GetCapture(), window.hwnd());
    c.end();
    EXPECT_FALSE(window.dragging_rows());
    EXPECT_EQ(::GetCapture(), nullptr);
    for (const std::string& call : events.calls) EXPECT_EQ(call.rfind("txtMagnifyTextDragDrop", 0), std::string::npos);
    // The mouse moving afterwards is no drag.
    events.calls.clear();
    Mouse(WM_MOUSEMOVE, AtCharacter(1));
    EXPECT_TRUE(events.calls.empty());
  }
}

// Presses a button of the font dialog once it is up.
int font_dialog_button = IDOK;
bool font_dialog_seen = false;

TEST_F(PreviewPaneTest, TheFontDialogStartsAtTheFontAndGivesTheChoiceBack) {
  ::ShowWindow(window.hwnd(), SW_SHOW);
  for (int button : {IDOK, IDCANCEL}) {
    font_dialog_button = button;
    font_dialog_seen = false;
    ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
      HWND dialog = ::FindWindowA("#32770", "Font");
      if (dialog == nullptr || !::IsWindowVisible(dialog)) return;
      ::KillTimer(nullptr, id);
      font_dialog_seen = true;
      ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(font_dialog_button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(dialog, font_dialog_button)));
    });
    const std::optional<TFontDesc> chosen = pane().ChooseFont(TFontDesc{"Tahoma", 14, 0});
    EXPECT_TRUE(font_dialog_seen);
    if (button == IDOK) {
      EXPECT_EQ(chosen, (TFontDesc{"Tahoma", 14, 0}));
    } else {
      EXPECT_EQ(chosen, std::nullopt);
    }
  }
}

}  // namespace
}  // namespace om::test
