// Dragging a clip's text out: the data object other programs read, the
// drop source's rules, and whole drags with the mouse onto a drop target.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "drop_window.h"
#include "platform/win32/com_ref.h"
#include "ui/components/win32/drag_source.h"

namespace om::test {
namespace {

using win32::ComRef;

std::wstring WideOf(IDataObject* data) {
  FORMATETC format{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (FAILED(data->GetData(&format, &medium))) return L"<none>";
  std::wstring text;
  if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(medium.hGlobal))) {
    text.assign(chars, ::wcsnlen(chars, ::GlobalSize(medium.hGlobal) / sizeof(wchar_t)));
    ::GlobalUnlock(medium.hGlobal);
  }
  ::ReleaseStgMedium(&medium);
  return text;
}

class OleThread : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr))); }
  void TearDown() override { ::OleUninitialize(); }
};

using DragSource = OleThread;

TEST_F(DragSource, TheDataObjectOffersTheTextAsAnsiAndWideTextOnly) {
  // "Caf\xE9" is "Café" in the ANSI code page of an English system.
  ComRef<IDataObject> data(win32::NewTextDataObject("Caf\xE9 au lait\r\nline two"));
  ASSERT_TRUE(data);
  EXPECT_EQ(DropWindow::AnsiOf(data.get()), "Caf\xE9 au lait\r\nline two");
  EXPECT_EQ(WideOf(data.get()), L"Caf\u00E9 au lait\r\nline two");

  FORMATETC bitmap{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
  EXPECT_NE(data->QueryGetData(&bitmap), S_OK);
  FORMATETC stream{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
  EXPECT_EQ(data->QueryGetData(&stream), DV_E_TYMED);
  STGMEDIUM medium{};
  EXPECT_NE(data->GetData(&bitmap, &medium), S_OK);

  // The formats a target lists before it asks.
  ComRef<IEnumFORMATETC> formats;
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, formats.out_typed()), S_OK);
  std::vector<CLIPFORMAT> listed;
  FORMATETC one{};
  while (formats->Next(1, &one, nullptr) == S_OK) listed.push_back(one.cfFormat);
  EXPECT_EQ(listed, (std::vector<CLIPFORMAT>{CF_UNICODETEXT, CF_TEXT}));
  EXPECT_NE(data->EnumFormatEtc(DATADIR_SET, formats.out_typed()), S_OK);

  // An empty text is offered as an empty text, terminator and all.
  ComRef<IDataObject> empty(win32::NewTextDataObject(""));
  EXPECT_EQ(DropWindow::AnsiOf(empty.get()), "");
  EXPECT_EQ(WideOf(empty.get()), L"");
}

TEST_F(DragSource, TheLeftButtonsReleaseDropsEscAndTheRightButtonCancel) {
  ComRef<IDropSource> source(win32::NewLeftButtonDropSource());
  ASSERT_TRUE(source);
  struct Case {
    BOOL escape;
    DWORD keys;
    HRESULT expected;
  };
  const Case cases[] = {
      {FALSE, MK_LBUTTON, S_OK},
      {FALSE, MK_LBUTTON | MK_CONTROL, S_OK},
      {FALSE, 0, DRAGDROP_S_DROP},
      {FALSE, MK_SHIFT, DRAGDROP_S_DROP},
      {TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
      {TRUE, 0, DRAGDROP_S_CANCEL},
      {FALSE, MK_LBUTTON | MK_RBUTTON, DRAGDROP_S_CANCEL},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(source->QueryContinueDrag(c.escape, c.keys), c.expected) << c.escape << " " << c.keys;
  }
  EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
}

// A drag from a point outside the drop window onto it, the button
// released there (or Esc pressed on the way with `cancel`), as the user
// does it; the input comes from another thread while DoDragDrop waits here.
HRESULT DragOnto(const DropWindow& window, const std::string& text, bool cancel, DWORD& effect) {
  const POINT start{60, 60};
  MouseTo(start);
  PumpUntil([] { return false; }, 100);
  LeftButton(true);
  std::thread hands([&] {
    ::Sleep(300);
    const POINT target = window.Centre();
    for (int i = 1; i <= 12; ++i) {
      MouseTo(POINT{start.x + (target.x - start.x) * i / 12, start.y + (target.y - start.y) * i / 12});
      ::Sleep(40);
    }
    if (cancel) {
      Key(VK_ESCAPE, true);
      ::Sleep(150);
      Key(VK_ESCAPE, false);
      ::Sleep(100);
    }
    LeftButton(false);
    // Nudges the drag loop, which looks at the buttons as the pointer moves.
    ::Sleep(100);
    MouseTo(POINT{target.x + 1, target.y + 1});
  });
  const HRESULT result = win32::DragTextOut(text, effect);
  hands.join();
  return result;
}

TEST_F(DragSource, ADragWithTheMouseDropsTheTextOntoATargetOrIsCancelledWithEsc) {
  DropWindow window(700, 100, 300, 200);
  ASSERT_TRUE(window.ok());
  PumpUntil([] { return false; }, 200);

  DWORD effect = DROPEFFECT_NONE;
  EXPECT_EQ(DragOnto(window, "Otters juggle stones", /*cancel=*/false, effect), DRAGDROP_S_DROP);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(window.drops(), 1);
  EXPECT_EQ(window.dropped(), "Otters juggle stones");

  EXPECT_EQ(DragOnto(window, "never dropped", /*cancel=*/true, effect), DRAGDROP_S_CANCEL);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(window.drops(), 1);
  EXPECT_EQ(window.dropped(), "Otters juggle stones");
}

}  // namespace
}  // namespace om::test
