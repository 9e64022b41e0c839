#include "ui/main/win32/preview_pane_widget.h"

#include <richedit.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <iterator>

#include "platform/handler_errors.h"
#include "platform/win32/os_error.h"
#include "ui/main/win32/image_lists.h"

namespace om::win32 {
namespace {

constexpr char kPaneClass[] = "OttermoorPreviewPane";
constexpr char kPageClass[] = "OttermoorPreviewPage";

// Control identifiers inside the pane and its pages.
constexpr int kTabsId = 1;
constexpr int kToolBarId = 10;
constexpr int kTextId = 11;
constexpr int kRichId = 12;
constexpr int kStretchId = 13;
constexpr int kSizePanelId = 14;
constexpr int kBitmapViewId = 15;
constexpr int kPictureViewId = 16;
constexpr int kBinaryLabelId = 17;
constexpr int kBinaryFormatsId = 18;
constexpr int kHexDumpId = 19;

// "CF_BINARY" in ilClips (ClipImageNames).
constexpr int kBinaryImage = 8;
// The Html tab's caption comes from SetHtmlCaption.
struct TabInfo {
  const char* caption;
  int image;
};
constexpr TabInfo kTabs[kPreviewTabCount] = {
    {"&Text", clipimage::kText},   {"&Rich Text", clipimage::kRtf}, {"&Bitmap", clipimage::kBitmap},
    {"&Picture", clipimage::kWmf}, {nullptr, clipimage::kHtml},     {"B&inary", kBinaryImage},
};

// ToolBar2's buttons from the left; a separator follows `separator_after`.
struct ButtonInfo {
  PreviewButton button;
  int id;
  int image;
  BYTE style;
  const char* tip;
  bool separator_after;
};
constexpr ButtonInfo kButtons[] = {
    {PreviewButton::kPin, PreviewPaneWidget::kPinButtonId, magimage::kPinUp, BTNS_CHECK,
     "Pin: keep the preview on this clip", false},
    {PreviewButton::kWordWrap, PreviewPaneWidget::kWordWrapButtonId, magimage::kWordWrap, BTNS_CHECK, "Word Wrap",
     false},
    {PreviewButton::kSizeWindow, PreviewPaneWidget::kSizeWindowButtonId, magimage::kSizeWindow, BTNS_CHECK,
     "Expand Preview Window", false},
    {PreviewButton::kFont, PreviewPaneWidget::kFontButtonId, magimage::kFont, BTNS_BUTTON, "Font", true},
    {PreviewButton::kNewClip, PreviewPaneWidget::kNewClipButtonId, magimage::kNew, BTNS_BUTTON, "New Clip", false},
    {PreviewButton::kCut, PreviewPaneWidget::kCutButtonId, magimage::kCut, BTNS_BUTTON, "Cut", false},
    {PreviewButton::kCopy, PreviewPaneWidget::kCopyButtonId, magimage::kCopy, BTNS_BUTTON, "Copy", false},
    {PreviewButton::kPaste, PreviewPaneWidget::kPasteButtonId, magimage::kPaste, BTNS_BUTTON, "Paste", true},
    {PreviewButton::kShiftLeft, PreviewPaneWidget::kShiftLeftButtonId, magimage::kShiftLeft, BTNS_BUTTON, "Shift Left",
     false},
    {PreviewButton::kShiftRight, PreviewPaneWidget::kShiftRightButtonId, magimage::kShiftRight, BTNS_BUTTON,
     "Shift Right", false},
    {PreviewButton::kRemoveCRLF, PreviewPaneWidget::kRemoveCrLfButtonId, magimage::kNoCrLf, BTNS_BUTTON,
     "Remove Line Breaks", false},
    {PreviewButton::kCase, PreviewPaneWidget::kCaseButtonId, magimage::kCase, BTNS_DROPDOWN, "Change Case", false},
};

// The text pane's context menu; separators have no item.
struct TextMenuEntry {
  std::optional<TextMenuItem> item;
  const char* caption;
};
const TextMenuEntry kTextMenu[] = {
    {TextMenuItem::kUndo, "Undo"},
    {std::nullopt, nullptr},
    {TextMenuItem::kCut, "Cut"},
    {TextMenuItem::kCopy, "Copy"},
    {TextMenuItem::kPaste, "Paste"},
    {std::nullopt, nullptr},
    {TextMenuItem::kMakeTitle, "Set As Title"},
    {TextMenuItem::kLaunchUrlExact, "Launch As URL (Exact Text)"},
    {TextMenuItem::kLaunchUrlSmart, "Launch As URL (Smart)"},
};

// The case button's drop-down, in the order of mnuMagCaseClick's index.
constexpr const char* kCaseMenu[] = {"&lower case", "&UPPER CASE", "&Mixed Case", "&Sentence case."};

// The rich-edit control's limit for the text pane: as much as a clip holds.
constexpr LPARAM kTextLimit = 0x7FFFFFFE;
// The rich-text pane's limit.
constexpr LPARAM kRichTextLimit = 2000000;

void ReportEscaped() {
  const std::exception_ptr error = std::current_exception();
  ::OutputDebugStringA(("Ottermoor: preview pane handler failed: " + HandlerErrorText(error) + "\n").c_str());
  ReportHandlerError(error);
}

bool RegisterClasses(HINSTANCE module, WNDPROC procedure) {
  for (const char* name : {kPaneClass, kPageClass}) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExA(module, name, &existing)) continue;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = module;
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    if (!::RegisterClassExA(&wc)) {
      LogOsFailure("RegisterClassExA(preview pane)");
      return false;
    }
  }
  return true;
}

HWND CreateChild(DWORD ex_style, const char* class_name, const char* text, DWORD style, HWND parent, int id,
                 void* param = nullptr) {
  HWND hwnd = ::CreateWindowExA(ex_style, class_name, text, WS_CHILD | style, 0, 0, 10, 10, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), param);
  if (hwnd == nullptr) {
    LogOsFailure((std::string("CreateWindowExA(") + class_name + ")").c_str());
    return nullptr;
  }
  ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return hwnd;
}

}  // namespace

// --- the buttons ---

int PreviewPaneWidget::ButtonId(PreviewButton button) {
  for (const ButtonInfo& b : kButtons)
    if (b.button == button) return b.id;
  return 0;
}

const char* PreviewPaneWidget::ButtonTip(int id) {
  for (const ButtonInfo& b : kButtons)
    if (b.id == id) return b.tip;
  return "";
}

// --- creation ---

PreviewPaneWidget::PreviewPaneWidget(HWND parent, int control_id, HIMAGELIST tab_images, PreviewPaneHost& host)
    : host_(host), tab_images_(tab_images) {
  // Until the behaviour says otherwise every entry can be chosen.
  text_menu_enabled_.fill(true);
  const HINSTANCE module = ::GetModuleHandleA(nullptr);
  if (parent == nullptr || !RegisterClasses(module, &PreviewPaneWidget::WindowProc)) return;
  // The 8-bit rich-edit class; the Unicode one of the newer library where
  // the older is missing (its text still goes through the ANSI messages).
  rich_edit_library_.reset(::LoadLibraryA("Riched20.dll"));
  rich_edit_class_ = RICHEDIT_CLASSA;
  if (!rich_edit_library_) {
    LogOsFailure("LoadLibraryA(Riched20.dll)");
    rich_edit_library_.reset(::LoadLibraryA("Msftedit.dll"));
    rich_edit_class_ = "RICHEDIT50W";
    if (!rich_edit_library_) LogOsFailure("LoadLibraryA(Msftedit.dll)");
  }
  tool_images_ = MakePaneToolImages();

  hwnd_ = CreateChild(WS_EX_CONTROLPARENT, kPaneClass, "", WS_CLIPCHILDREN, parent, control_id, this);
  if (hwnd_ == nullptr) return;
  // The pages are children of the tab control, which draws around them.
  tabs_ = CreateChild(0, WC_TABCONTROLA, "", WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TCS_TABS, hwnd_, kTabsId);
  if (tabs_ == nullptr) return;
  TabCtrl_SetImageList(tabs_, tab_images_);
  for (HWND& page : pages_) page = CreatePage();
  CreateTextPage();
  CreateRichTextPage();
  CreateBitmapPage();
  CreatePicturePage();
  CreateBinaryPage();
  Layout();
}

PreviewPaneWidget::~PreviewPaneWidget() {
  // The controls go before the rich-edit library and the images they use.
  if (hwnd_ != nullptr && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

HWND PreviewPaneWidget::CreatePage() {
  return CreateChild(WS_EX_CONTROLPARENT, kPageClass, "", WS_CLIPCHILDREN | WS_CLIPSIBLINGS, tabs_, 0, this);
}

HWND PreviewPaneWidget::CreateRichEdit(HWND page, DWORD style) {
  if (page == nullptr || !rich_edit_library_) return nullptr;
  return CreateChild(WS_EX_CLIENTEDGE, rich_edit_class_.c_str(), "", WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | style,
                     page, page == pages_[Index(PreviewTab::kText)] ? kTextId : kRichId);
}

void PreviewPaneWidget::CreateTextPage() {
  const HWND page = pages_[Index(PreviewTab::kText)];
  if (page == nullptr) return;
  tool_bar_ = CreateChild(0, TOOLBARCLASSNAMEA, "",
                          WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER, page, kToolBarId);
  if (tool_bar_ != nullptr) {
    ::SendMessageA(tool_bar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(tool_bar_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    ::SendMessageA(tool_bar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(tool_images_.get()));
    std::vector<TBBUTTON> buttons;
    for (const ButtonInfo& b : kButtons) {
      TBBUTTON button{};
      button.iBitmap = b.image;
      button.idCommand = b.id;
      button.fsState = TBSTATE_ENABLED;
      button.fsStyle = b.style;
      button.iString = -1;
      buttons.push_back(button);
      if (b.separator_after) {
        TBBUTTON separator{};
        separator.fsStyle = BTNS_SEP;
        buttons.push_back(separator);
      }
    }
    ::SendMessageA(tool_bar_, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    ::SendMessageA(tool_bar_, TB_AUTOSIZE, 0, 0);
  }
  text_ =
      CreateRichEdit(page, WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL);
  if (text_ == nullptr) return;
  // Plain text, set while the control is still empty (it refuses later).
  if (::SendMessageA(text_, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_SINGLECODEPAGE, 0) != 0) {
    LogOsFailure("EM_SETTEXTMODE(txtMagnifyText)", 0);
  }
  ::SendMessageA(text_, EM_EXLIMITTEXT, 0, kTextLimit);
  ::SendMessageA(text_, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
  // No wrapping until the word-wrap button says so.
  ::SendMessageA(text_, EM_SETTARGETDEVICE, 0, 1);
}

void PreviewPaneWidget::CreateRichTextPage() {
  const HWND page = pages_[Index(PreviewTab::kRtf)];
  rich_ = CreateRichEdit(page, WS_VSCROLL | ES_AUTOVSCROLL | ES_READONLY | ES_NOHIDESEL);
  if (rich_ == nullptr) return;
  ::SendMessageA(rich_, EM_EXLIMITTEXT, 0, kRichTextLimit);
}

void PreviewPaneWidget::CreateBitmapPage() {
  const HWND page = pages_[Index(PreviewTab::kBitmap)];
  if (page == nullptr) return;
  stretch_box_ = CreateChild(0, "BUTTON", "&Stretch?", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, page, kStretchId);
  size_panel_ = CreateChild(0, "STATIC", "", WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN, page, kSizePanelId);
  bitmap_view_ = std::make_unique<PictureView>(page, kBitmapViewId);
  bitmap_view_->SetOnDoubleClick([this] {
    if (IPreviewEvents* const events = quiet() ? nullptr : host_.PaneEvents()) events->imgMagnifyBitmapDblClick();
  });
}

void PreviewPaneWidget::CreatePicturePage() {
  const HWND page = pages_[Index(PreviewTab::kPicture)];
  if (page == nullptr) return;
  picture_view_ = std::make_unique<PictureView>(page, kPictureViewId);
  picture_view_->SetOnDoubleClick([this] {
    if (IPreviewEvents* const events = quiet() ? nullptr : host_.PaneEvents()) events->imgMagnifyPictureDblClick();
  });
}

void PreviewPaneWidget::CreateBinaryPage() {
  const HWND page = pages_[Index(PreviewTab::kBinary)];
  if (page == nullptr) return;
  binary_label_ = CreateChild(0, "STATIC", "Format To Display As Binary:", WS_VISIBLE, page, kBinaryLabelId);
  binary_formats_ =
      CreateChild(0, "COMBOBOX", "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, page, kBinaryFormatsId);
  hex_dump_ = std::make_unique<HexDumpControl>(page, kHexDumpId);
  // No address column; addresses red, bytes black, characters navy.
  hex_dump_->SetShowAddress(false);
  hex_dump_->SetColors(RGB(255, 0, 0), RGB(0, 0, 0), RGB(0, 0, 128));
}

// --- messages ---

LRESULT CALLBACK PreviewPaneWidget::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<PreviewPaneWidget*>(reinterpret_cast<const CREATESTRUCTA*>(lparam)->lpCreateParams);
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<PreviewPaneWidget*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    if (self != nullptr && hwnd == self->hwnd_) self->hwnd_ = nullptr;
    return ::DefWindowProcA(hwnd, message, wparam, lparam);
  }
  if (self == nullptr) return ::DefWindowProcA(hwnd, message, wparam, lparam);
  try {
    return self->OnMessage(hwnd, message, wparam, lparam);
  } catch (...) {
    ReportEscaped();
    return 0;
  }
}

LRESULT PreviewPaneWidget::OnMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      if (hwnd == hwnd_) {
        Layout();
      } else {
        for (int i = 0; i < kPreviewTabCount; ++i)
          if (pages_[static_cast<std::size_t>(i)] == hwnd) LayoutPage(static_cast<PreviewTab>(i));
      }
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
    case WM_COMMAND:
      if (lparam != 0) {
        OnCommand(reinterpret_cast<HWND>(lparam), LOWORD(wparam), HIWORD(wparam));
        return 0;
      }
      break;
    case WM_CONTEXTMENU:
      if (text_ != nullptr && reinterpret_cast<HWND>(wparam) == text_) {
        POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        if (lparam == -1) {
          // From the keyboard: at the caret.
          ::GetCaretPos(&at);
          ::ClientToScreen(text_, &at);
        }
        ShowTextMenu(at);
        return 0;
      }
      break;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      // The text and rich-text panes keep their wheel: what they do not
      // use does not go on to the main window.
      if (hwnd == pages_[Index(PreviewTab::kText)] || hwnd == pages_[Index(PreviewTab::kRtf)]) return 0;
      break;
    default:
      break;
  }
  return ::DefWindowProcA(hwnd, message, wparam, lparam);
}

LRESULT PreviewPaneWidget::OnNotify(const NMHDR& header) {
  IPreviewEvents* const events = quiet() ? nullptr : host_.PaneEvents();
  if (header.hwndFrom == tabs_ && header.code == TCN_SELCHANGE) {
    active_ = TabAtItem(TabCtrl_GetCurSel(tabs_));
    // The new tab's page is shown before the behaviour fills it.
    ShowActivePage();
    if (events != nullptr) events->pcMagnifyChange();
    return 0;
  }
  if (header.hwndFrom == text_ && header.code == EN_SELCHANGE) {
    if (events != nullptr) events->txtMagnifyTextSelectionChange();
    return 0;
  }
  if (header.hwndFrom == tool_bar_ && header.code == TBN_DROPDOWN) {
    if (reinterpret_cast<const NMTOOLBARA&>(header).iItem == kCaseButtonId) ShowCaseMenu();
    return TBDDRET_DEFAULT;
  }
  // The tool bar's tool-tips ask for their texts.
  if (header.code == TTN_GETDISPINFOA) {
    auto& info = reinterpret_cast<NMTTDISPINFOA&>(const_cast<NMHDR&>(header));
    info.lpszText = const_cast<char*>(ButtonTip(static_cast<int>(header.idFrom)));
    return 0;
  }
  if (header.code == TTN_GETDISPINFOW) {
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(const_cast<NMHDR&>(header));
    ::MultiByteToWideChar(CP_ACP, 0, ButtonTip(static_cast<int>(header.idFrom)), -1, info.szText,
                          static_cast<int>(std::size(info.szText)));
    info.lpszText = info.szText;
    return 0;
  }
  return 0;
}

void PreviewPaneWidget::OnCommand(HWND from, UINT id, UINT code) {
  IPreviewEvents* const events = quiet() ? nullptr : host_.PaneEvents();
  if (events == nullptr) return;
  if (from == tool_bar_) {
    // Check buttons have their new state when the command comes.
    const bool down = ::SendMessageA(tool_bar_, TB_ISBUTTONCHECKED, id, 0) != 0;
    switch (id) {
      case kPinButtonId:
        events->cmdMag_PinClick(down);
        return;
      case kWordWrapButtonId:
        events->cmdMag_WordWrapClick(down);
        return;
      case kSizeWindowButtonId:
        events->cmdMag_SizeWindowClick(down);
        return;
      case kFontButtonId:
        events->cmdMagFontClick();
        return;
      case kNewClipButtonId:
        events->cmdMag_NewClipClick();
        return;
      case kCutButtonId:
        events->cmdMag_CutClick();
        return;
      case kCopyButtonId:
        events->cmdMag_CopyClick();
        return;
      case kPasteButtonId:
        events->cmdMag_PasteClick();
        return;
      case kShiftLeftButtonId:
        events->cmdMag_ShiftLeftClick();
        return;
      case kShiftRightButtonId:
        events->cmdMag_ShiftRightClick();
        return;
      case kRemoveCrLfButtonId:
        events->cmdMag_RemoveCRLFClick();
        return;
      case kCaseButtonId:
        events->cmdMag_CaseClick();
        return;
      default:
        return;
    }
  }
  if (from == text_ && code == EN_CHANGE) {
    events->txtMagnifyTextChange();
  } else if (from == stretch_box_ && code == BN_CLICKED) {
    // The view follows its box at once; the behaviour hears of the click.
    if (bitmap_view_) bitmap_view_->SetStretch(BitmapStretch());
    events->cb_MagBitmapStretchClick();
  } else if (from == binary_formats_ && code == CBN_SELCHANGE) {
    events->cbBinaryDisplayFormatsChange();
  }
}

void PreviewPaneWidget::ShowTextMenu(POINT at) {
  Menu menu(::CreatePopupMenu());
  if (!menu) {
    LogOsFailure("CreatePopupMenu(txtMagnifyText)");
    return;
  }
  // Identifiers from 1: TrackPopupMenu returns 0 for "nothing chosen".
  for (std::size_t i = 0; i < std::size(kTextMenu); ++i) {
    const TextMenuEntry& entry = kTextMenu[i];
    if (!entry.item) {
      ::AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const bool enabled = text_menu_enabled_[static_cast<std::size_t>(*entry.item)];
    ::AppendMenuA(menu.get(), MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), i + 1, entry.caption);
  }
  shown_menu_ = menu.get();
  const auto chosen =
      static_cast<std::size_t>(::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y,
                                                0, ::GetAncestor(hwnd_, GA_ROOT), nullptr));
  shown_menu_ = nullptr;
  if (chosen < 1 || chosen > std::size(kTextMenu) || !kTextMenu[chosen - 1].item) return;
  IPreviewEvents* const events = host_.PaneEvents();
  if (events == nullptr) return;
  switch (*kTextMenu[chosen - 1].item) {
    case TextMenuItem::kUndo:
      events->mnuMag_UndoClick();
      break;
    case TextMenuItem::kCut:
      events->cmdMag_CutClick();
      break;
    case TextMenuItem::kCopy:
      events->cmdMag_CopyClick();
      break;
    case TextMenuItem::kPaste:
      events->cmdMag_PasteClick();
      break;
    case TextMenuItem::kMakeTitle:
      events->mnuMag_MakeTitleClick();
      break;
    case TextMenuItem::kLaunchUrlExact:
      events->mnuMag_LaunchURLClick();
      break;
    case TextMenuItem::kLaunchUrlSmart:
      events->mnuLaunchURLCloseEnoughClick();
      break;
  }
}

void PreviewPaneWidget::ShowCaseMenu() {
  Menu menu(::CreatePopupMenu());
  if (!menu || tool_bar_ == nullptr) return;
  for (std::size_t i = 0; i < std::size(kCaseMenu); ++i) ::AppendMenuA(menu.get(), MF_STRING, i + 1, kCaseMenu[i]);
  RECT button{};
  ::SendMessageA(tool_bar_, TB_GETRECT, kCaseButtonId, reinterpret_cast<LPARAM>(&button));
  ::MapWindowPoints(tool_bar_, nullptr, reinterpret_cast<POINT*>(&button), 2);
  shown_menu_ = menu.get();
  const auto chosen =
      static_cast<std::size_t>(::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_LEFTBUTTON | TPM_NONOTIFY, button.left,
                                                button.bottom, 0, ::GetAncestor(hwnd_, GA_ROOT), nullptr));
  shown_menu_ = nullptr;
  if (chosen < 1 || chosen > std::size(kCaseMenu)) return;
  if (IPreviewEvents* const events = host_.PaneEvents()) events->mnuMagCaseClick(static_cast<int>(chosen - 1));
}

// --- layout ---

void PreviewPaneWidget::Layout() {
  if (hwnd_ == nullptr || tabs_ == nullptr) return;
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  ::MoveWindow(tabs_, 0, 0, client.right, client.bottom, TRUE);
  // The pages fill the tab control's display area, every one of them, so
  // that a change of tab shows its page at once.
  RECT area{};
  ::GetClientRect(tabs_, &area);
  TabCtrl_AdjustRect(tabs_, FALSE, &area);
  const int width = std::max(0, static_cast<int>(area.right - area.left));
  const int height = std::max(0, static_cast<int>(area.bottom - area.top));
  for (HWND page : pages_) {
    if (page != nullptr) ::MoveWindow(page, area.left, area.top, width, height, TRUE);
  }
}

void PreviewPaneWidget::LayoutPage(PreviewTab tab) {
  const HWND page = pages_[Index(tab)];
  if (page == nullptr) return;
  RECT client{};
  ::GetClientRect(page, &client);
  const int width = client.right;
  const int height = client.bottom;
  switch (tab) {
    case PreviewTab::kText: {
      int top = 0;
      if (tool_bar_ != nullptr) {
        ::SendMessageA(tool_bar_, TB_AUTOSIZE, 0, 0);
        RECT bar{};
        ::GetWindowRect(tool_bar_, &bar);
        top = bar.bottom - bar.top;
      }
      if (text_ != nullptr) ::MoveWindow(text_, 0, top, width, std::max(0, height - top), TRUE);
      return;
    }
    case PreviewTab::kRtf:
      if (rich_ != nullptr) ::MoveWindow(rich_, 0, 0, width, height, TRUE);
      return;
    case PreviewTab::kBitmap: {
      constexpr int kRow = 28;
      if (stretch_box_ != nullptr) ::MoveWindow(stretch_box_, 4, 4, 80, 20, TRUE);
      if (size_panel_ != nullptr) ::MoveWindow(size_panel_, 90, 4, 110, 20, TRUE);
      if (bitmap_view_ && bitmap_view_->hwnd() != nullptr) {
        ::MoveWindow(bitmap_view_->hwnd(), 0, kRow, width, std::max(0, height - kRow), TRUE);
      }
      return;
    }
    case PreviewTab::kPicture:
      if (picture_view_ && picture_view_->hwnd() != nullptr) ::MoveWindow(picture_view_->hwnd(), 0, 0, width, height, TRUE);
      return;
    case PreviewTab::kHtml:
      if (html_window_ != nullptr) {
        ::MoveWindow(html_window_, 2, 2, std::max(0, width - 4), std::max(0, height - 4), TRUE);
      }
      return;
    case PreviewTab::kBinary: {
      constexpr int kRow = 30;
      if (binary_label_ != nullptr) ::MoveWindow(binary_label_, 4, 8, 170, 16, TRUE);
      // A drop-down list's height is that of its list when it is open.
      if (binary_formats_ != nullptr)
        ::MoveWindow(binary_formats_, 178, 4, std::clamp(width - 182, 80, 300), 200, TRUE);
      if (hex_dump_ && hex_dump_->hwnd() != nullptr) {
        ::MoveWindow(hex_dump_->hwnd(), 0, kRow, width, std::max(0, height - kRow), TRUE);
      }
      return;
    }
  }
}

void PreviewPaneWidget::FixPageControl() {
  Layout();
  if (!active_) return;
  LayoutPage(*active_);
  if (*active_ == PreviewTab::kHtml && html_window_ != nullptr) ::ShowWindow(html_window_, SW_SHOWNA);
}

void PreviewPaneWidget::SetHtmlWindow(HWND window) {
  html_window_ = window;
  const HWND page = HtmlPage();
  if (window == nullptr || page == nullptr) return;
  if (::GetParent(window) != page) ::SetParent(window, page);
  LayoutPage(PreviewTab::kHtml);
}

// --- the tabs ---

std::optional<PreviewTab> PreviewPaneWidget::TabAtItem(int item) const {
  if (item < 0) return std::nullopt;
  for (int i = 0; i < kPreviewTabCount; ++i) {
    if (!visible_[static_cast<std::size_t>(i)]) continue;
    if (item-- == 0) return static_cast<PreviewTab>(i);
  }
  return std::nullopt;
}

void PreviewPaneWidget::RebuildTabs() {
  if (tabs_ == nullptr) return;
  QuietScope quiet(quiet_);
  TabCtrl_DeleteAllItems(tabs_);
  int item = 0;
  int active_item = -1;
  for (int i = 0; i < kPreviewTabCount; ++i) {
    if (!visible_[static_cast<std::size_t>(i)]) continue;
    std::string caption = kTabs[i].caption != nullptr ? kTabs[i].caption : html_caption_;
    TCITEMA entry{};
    entry.mask = TCIF_TEXT | TCIF_IMAGE;
    entry.pszText = caption.data();
    entry.iImage = kTabs[i].image;
    TabCtrl_InsertItem(tabs_, item, &entry);
    if (active_ && Index(*active_) == i) active_item = item;
    ++item;
  }
  TabCtrl_SetCurSel(tabs_, active_item);
  ShowActivePage();
  // The tabs may take another height.
  Layout();
}

void PreviewPaneWidget::ShowActivePage() {
  for (int i = 0; i < kPreviewTabCount; ++i) {
    const HWND page = pages_[static_cast<std::size_t>(i)];
    if (page == nullptr) continue;
    const bool shown = active_ && Index(*active_) == i;
    ::ShowWindow(page, shown ? SW_SHOWNA : SW_HIDE);
  }
}

void PreviewPaneWidget::SetTabVisible(PreviewTab tab, bool visible) {
  if (visible_[Index(tab)] == visible) return;
  visible_[Index(tab)] = visible;
  if (!visible && active_ == tab) {
    // As a tab control does: the first visible tab takes over.
    active_.reset();
    for (int i = 0; i < kPreviewTabCount && !active_; ++i)
      if (visible_[static_cast<std::size_t>(i)]) active_ = static_cast<PreviewTab>(i);
  }
  if (visible && !active_) active_ = tab;
  RebuildTabs();
}

void PreviewPaneWidget::SetActiveTab(PreviewTab tab) {
  if (!TabVisible(tab)) return;
  active_ = tab;
  int item = 0;
  for (int i = 0; i < Index(tab); ++i) item += visible_[static_cast<std::size_t>(i)] ? 1 : 0;
  QuietScope quiet(quiet_);
  if (tabs_ != nullptr) TabCtrl_SetCurSel(tabs_, item);
  ShowActivePage();
}

void PreviewPaneWidget::SetHtmlCaption(std::string_view caption) {
  html_caption_ = std::string(caption);
  if (!TabVisible(PreviewTab::kHtml) || tabs_ == nullptr) return;
  int item = 0;
  for (int i = 0; i < Index(PreviewTab::kHtml); ++i) item += visible_[static_cast<std::size_t>(i)] ? 1 : 0;
  TCITEMA entry{};
  entry.mask = TCIF_TEXT;
  entry.pszText = html_caption_.data();
  TabCtrl_SetItem(tabs_, item, &entry);
}

// --- the Bitmap, Picture and Binary tabs ---

void PreviewPaneWidget::ShowBitmap(const TBitmap* bitmap) {
  if (!bitmap_view_) return;
  // The view keeps a copy of its own.
  if (bitmap != nullptr) {
    bitmap_view_->ShowBitmap(*bitmap);
  } else {
    bitmap_view_->Clear();
  }
}

void PreviewPaneWidget::SetBitmapStretch(bool stretch) {
  if (stretch_box_ != nullptr) Button_SetCheck(stretch_box_, stretch ? BST_CHECKED : BST_UNCHECKED);
  if (bitmap_view_) bitmap_view_->SetStretch(stretch);
}

bool PreviewPaneWidget::BitmapStretch() const {
  return stretch_box_ != nullptr && Button_GetCheck(stretch_box_) == BST_CHECKED;
}

void PreviewPaneWidget::SetBitmapSizeText(std::string_view text) {
  if (size_panel_ != nullptr) ::SetWindowTextA(size_panel_, std::string(text).c_str());
}

void PreviewPaneWidget::ShowPicture(const TMetafile* picture) {
  if (!picture_view_) return;
  if (picture != nullptr) {
    picture_view_->ShowMetafile(*picture);
  } else {
    picture_view_->Clear();
  }
}

void PreviewPaneWidget::SetBinaryFormats(const std::vector<BinaryFormatEntry>& entries, int selected) {
  binary_entries_ = entries;
  if (binary_formats_ == nullptr) return;
  QuietScope quiet(quiet_);
  ::SendMessageA(binary_formats_, CB_RESETCONTENT, 0, 0);
  for (const BinaryFormatEntry& entry : entries) {
    ::SendMessageA(binary_formats_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.caption.c_str()));
  }
  ::SendMessageA(binary_formats_, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

std::optional<std::uint32_t> PreviewPaneWidget::SelectedBinaryFormat() const {
  if (binary_formats_ == nullptr) return std::nullopt;
  const auto index = static_cast<int>(::SendMessageA(binary_formats_, CB_GETCURSEL, 0, 0));
  if (index < 0 || index >= static_cast<int>(binary_entries_.size())) return std::nullopt;
  return binary_entries_[static_cast<std::size_t>(index)].format;
}

void PreviewPaneWidget::ShowBinary(const std::uint8_t* data, std::size_t size) {
  // The dump shows the caller's bytes, from its first line.
  if (hex_dump_) hex_dump_->SetBuffer(size > 0 ? data : nullptr, data != nullptr ? size : 0);
}

// --- the tool bar and the window around the pane ---

void PreviewPaneWidget::SetButtonEnabled(PreviewButton button, bool enabled) {
  if (tool_bar_ != nullptr) {
    ::SendMessageA(tool_bar_, TB_ENABLEBUTTON, static_cast<WPARAM>(ButtonId(button)), MAKELPARAM(enabled, 0));
  }
}

void PreviewPaneWidget::SetButtonDown(PreviewButton button, bool down) {
  if (tool_bar_ != nullptr) {
    ::SendMessageA(tool_bar_, TB_CHECKBUTTON, static_cast<WPARAM>(ButtonId(button)), MAKELPARAM(down, 0));
  }
}

void PreviewPaneWidget::SetPinImage(int image) {
  if (tool_bar_ == nullptr || image < pinimage::kUp || image > pinimage::kBlink) return;
  // The pin's images are the first three of the tool bar's, in pin-image
  // order.
  ::SendMessageA(tool_bar_, TB_CHANGEBITMAP, kPinButtonId, MAKELPARAM(magimage::kPinUp + image, 0));
}

void PreviewPaneWidget::SetTextMenuEnabled(TextMenuItem item, bool enabled) {
  text_menu_enabled_[static_cast<std::size_t>(item)] = enabled;
}

void PreviewPaneWidget::SetMainLineBreakButtonEnabled(bool enabled) { host_.EnableMainLineBreakButton(enabled); }

void PreviewPaneWidget::SetPreviewExpanded(bool expanded) { host_.ExpandPane(expanded); }

}  // namespace om::win32
