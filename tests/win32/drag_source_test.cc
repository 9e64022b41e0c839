// Dragging a clip's text out: the data object other programs read and the
// drop source's rules.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/com_ref.h"
#include "ui/components/win32/drag_source.h"

namespace om::test {
namespace {

using win32::ComRef;

// The text of a data object's CF_TEXT; "<none>" without one.
std::string AnsiOf(IDataObject* data) {
  FORMATETC format{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (FAILED(data->GetData(&format, &medium))) return "<none>";
  std::string text;
  if (const auto* bytes = static_cast<const char*>(::GlobalLock(medium.hGlobal))) {
    text.assign(bytes, ::strnlen(bytes, ::GlobalSize(medium.hGlobal)));
    ::GlobalUnlock(medium.hGlobal);
  }
  ::ReleaseStgMedium(&medium);
  return text;
}

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
  EXPECT_EQ(AnsiOf(data.get()), "Caf\xE9 au lait\r\nline two");
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
  EXPECT_EQ(AnsiOf(empty.get()), "");
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

}  // namespace
}  // namespace om::test
