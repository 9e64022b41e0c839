#include "ui/dialogs/win32/choose_data_folder.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cwchar>
#include <vector>

#include "app/paths.h"
#include "app/win32/app_messages.h"
#include "platform/win32/os_error.h"

namespace om {
using win32::LogOsFailure;

namespace {

constexpr char kCaption[] = "Ottermoor - Choose Data Storage Location";
constexpr char kIntroText[] =
    "The program needs a place to store clipboard data.   This can be on any hard drive on your PC, or on a network "
    "drive.  The Windows registry recommends a location for this kind of data, but many users find this unsuitable.  ";
constexpr char kRecommendText[] = "The Windows registry recommends this location for storing the data.";
constexpr char kDefaultButtonText[] = "Use this &default data storage location";
constexpr char kOrText[] = "OR";
constexpr char kAnywhereText[] =
    "You can put your data anywhere else that you'd like, using the following button.  You can point to an existing "
    "data source folder, or create a new one.";
constexpr char kChooseButtonText[] = "Let me &choose my own data storage location";
constexpr char kOkText[] = "&Ok";
constexpr char kChooseExplanation[] =
    "Choose the directory using the following dialog.  You are NOT limited to existing directories - if the "
    "directory does not exist, simply type it into the path portion of the dialog, and it will be created.  We "
    "recommend putting \\data at the end.";
constexpr char kAddDataQuestion[] = "Would you like to add \"\\data\" to the end of that path?";
constexpr char kPickerTitle[] = "Choose Data Storage Location";
constexpr char kEol[] = "\r\n";

enum ControlId : int {
  kIntro = 100,
  kRecommendLabel,
  kRecommendedFolder,
  kDefaultButton,
  kOr,
  kAnywhereLabel,
  kChooseButton,
  kAlternateFolder,
};

// The layout, in dialog units.
constexpr int kWidth = 280;
constexpr int kMargin = 7;
constexpr int kInner = kWidth - 2 * kMargin;

HWND ToHwnd(std::uintptr_t window) { return reinterpret_cast<HWND>(window); }

// An in-memory dialog template without controls (they are made, and the
// dialog sized to them, in WM_INITDIALOG): caption, no system menu (so no
// close button), the dialog font, the system's default position (which
// only overlapped windows get: a pop-up would sit in the screen's corner).
std::vector<WORD> DialogTemplate() {
  std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD));
  auto* header = reinterpret_cast<DLGTEMPLATE*>(t.data());
  header->style = DS_MODALFRAME | DS_SETFONT | DS_SETFOREGROUND | WS_OVERLAPPED | WS_CAPTION;
  // No window of the program exists yet: the dialog needs a task-bar button.
  header->dwExtendedStyle = WS_EX_APPWINDOW;
  header->cdit = 0;
  // CW_USEDEFAULT in a template's 16 bits: the system places the dialog.
  header->x = static_cast<short>(0x8000);
  header->y = static_cast<short>(0x8000);
  header->cx = kWidth;
  header->cy = 100;
  t.push_back(0);  // no menu
  t.push_back(0);  // the standard dialog class
  for (const char* c = kCaption; *c; ++c) t.push_back(static_cast<WORD>(static_cast<unsigned char>(*c)));
  t.push_back(0);
  t.push_back(8);  // point size
  for (const wchar_t* c = L"MS Shell Dlg"; *c; ++c) t.push_back(static_cast<WORD>(*c));
  t.push_back(0);
  return t;
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) ::SetWindowLongPtrA(hwnd, DWLP_USER, lparam);
  auto* form = reinterpret_cast<TfrmChooseDataFolder*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
  if (form == nullptr) return FALSE;
  // Nothing may unwind through the dialog manager's frames; what goes wrong
  // here is a failure of the system's calls, which the handler logs.
  try {
    return form->OnMessage(reinterpret_cast<std::uintptr_t>(hwnd), message, wparam, lparam);
  } catch (...) {
    ::OutputDebugStringA("Ottermoor: data-folder dialog handler failed\n");
    return FALSE;
  }
}

bool IsAbsolute(const std::string& path) {
  return (path.size() >= 2 && path[1] == ':') || path.rfind("\\\\", 0) == 0;
}

// State of one folder chooser while it is open.
struct BrowseState {
  std::string start;
  std::string selected;               // the folder selected in the tree
  std::optional<std::string> typed;  // a name typed that is no folder yet
};

int CALLBACK BrowseCallback(HWND hwnd, UINT message, LPARAM lparam, LPARAM data) {
  auto* state = reinterpret_cast<BrowseState*>(data);
  switch (message) {
    case BFFM_INITIALIZED:
      if (!state->start.empty()) {
        ::SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(state->start.c_str()));
      }
      break;
    case BFFM_SELCHANGED: {
      char path[MAX_PATH] = {};
      state->selected = ::SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lparam), path) ? path : "";
      break;
    }
    case BFFM_VALIDATEFAILEDA:
      // A folder that does not exist yet was typed: taken, to be created.
      state->typed = reinterpret_cast<const char*>(lparam);
      return 0;  // closes the chooser
    default:
      break;
  }
  return 0;
}

}  // namespace

std::optional<std::string> BrowseForFolder(std::uintptr_t owner, std::string_view title, std::string_view start) {
  // The new-style chooser needs COM on this thread; S_FALSE (already
  // initialised) is balanced by CoUninitialize too.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  BrowseState state;
  state.start = ExcludeTrailingBackslash(start);
  const std::string title_z(title);
  BROWSEINFOA info{};
  info.hwndOwner = ToHwnd(owner);
  info.lpszTitle = title_z.c_str();
  info.ulFlags = BIF_NEWDIALOGSTYLE | BIF_EDITBOX | BIF_RETURNONLYFSDIRS | BIF_VALIDATE;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(&state);
  std::optional<std::string> result;
  if (LPITEMIDLIST chosen = ::SHBrowseForFolderA(&info)) {
    char path[MAX_PATH] = {};
    if (::SHGetPathFromIDListA(chosen, path)) result = std::string(path);
    ::CoTaskMemFree(chosen);
  } else if (state.typed && !state.typed->empty()) {
    // The edit box holds a full path or a name below the selected folder.
    result = IsAbsolute(*state.typed) || state.selected.empty()
                 ? *state.typed
                 : IncludeTrailingBackslash(state.selected) + *state.typed;
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  return result;
}

TfrmChooseDataFolder::TfrmChooseDataFolder(IPrompts& prompts, IFileSystem& files, FolderPicker picker)
    : prompts_(prompts), files_(files), picker_(std::move(picker)) {
  if (!picker_) {
    picker_ = [](std::uintptr_t owner, std::string_view start) { return BrowseForFolder(owner, kPickerTitle, start); };
  }
}

std::optional<std::string> TfrmChooseDataFolder::ChooseDataFolder(std::string_view recommended) {
  recommended_ = recommended;
  chosen_.clear();
  own_ = false;
  dialog_ = 0;
  const std::vector<WORD> dialog_template = DialogTemplate();
  const INT_PTR result =
      ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialog_template.data()),
                                nullptr, DialogProc, reinterpret_cast<LPARAM>(this));
  dialog_ = 0;
  if (result == 1) return chosen_;
  if (result == -1 || result == 0) {
    // The dialog could not be shown at all. Asking again would fail again,
    // for ever, and the program cannot start without a folder: the
    // recommended one is taken.
    LogOsFailure("DialogBoxIndirectParamA");
    return recommended_;
  }
  return std::nullopt;
}

std::intptr_t TfrmChooseDataFolder::OnMessage(std::uintptr_t dialog, unsigned message, std::uintptr_t wparam,
                                              std::intptr_t) {
  switch (message) {
    case WM_INITDIALOG:
      dialog_ = dialog;
      CreateControls();
      return TRUE;  // the focus goes to the first control that takes it
    case WM_COMMAND:
      if (HIWORD(wparam) != BN_CLICKED) return FALSE;
      switch (LOWORD(wparam)) {
        case kDefaultButton: UseRecommended(); return TRUE;
        case kChooseButton: ChooseOwnFolder(); return TRUE;
        case IDOK:
          // Enter reaches here even while "&Ok" is disabled.
          if (!chosen_.empty()) ::EndDialog(ToHwnd(dialog), 1);
          return TRUE;
        case IDCANCEL:
          // Escape: there is no Cancel button to press, and without a folder
          // the program asks again at once; it does nothing.
          return TRUE;
        default: return FALSE;
      }
    case WM_CLOSE:
      // Alt+F4 (there is no close button): closed without a folder.
      ::EndDialog(ToHwnd(dialog), 2);
      return TRUE;
    default:
      return FALSE;
  }
}

void TfrmChooseDataFolder::CreateControls() {
  HWND dialog = ToHwnd(dialog_);
  const HFONT font = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
  int y = kMargin;
  // One control in dialog units, placed at the running `y`.
  auto add = [&](const char* window_class, const char* text, DWORD style, int id, int height, DWORD ex_style = 0,
                 int x = kMargin, int width = kInner) {
    RECT r{x, y, x + width, y + height};
    ::MapDialogRect(dialog, &r);
    HWND control = ::CreateWindowExA(ex_style, window_class, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                     r.right - r.left, r.bottom - r.top, dialog,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr),
                                     nullptr);
    if (control == nullptr) LogOsFailure("CreateWindowExA (data-folder dialog)");
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
  };
  // Folder names are shown as they are (an "&" is no accelerator), with an
  // ellipsis in the middle when they are too long for the frame.
  constexpr DWORD kFolderStyle = SS_SUNKEN | SS_LEFTNOWORDWRAP | SS_PATHELLIPSIS | SS_NOPREFIX | SS_CENTERIMAGE;

  add("STATIC", kIntroText, SS_LEFT, kIntro, 34);
  y += 38;
  add("STATIC", kRecommendText, SS_LEFT, kRecommendLabel, 10);
  y += 12;
  add("STATIC", recommended_.c_str(), kFolderStyle, kRecommendedFolder, 12);
  y += 16;
  add("BUTTON", kDefaultButtonText, BS_RADIOBUTTON | BS_PUSHLIKE | WS_TABSTOP | WS_GROUP, kDefaultButton, 16);
  y += 22;
  add("STATIC", kOrText, SS_CENTER, kOr, 10);
  y += 16;
  add("STATIC", kAnywhereText, SS_LEFT, kAnywhereLabel, 26);
  y += 30;
  add("BUTTON", kChooseButtonText, BS_RADIOBUTTON | BS_PUSHLIKE | WS_TABSTOP, kChooseButton, 16);
  y += 20;
  add("STATIC", "", kFolderStyle, kAlternateFolder, 12);
  y += 22;
  // Disabled until a folder is chosen.
  add("BUTTON", kOkText, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP | WS_DISABLED, IDOK, 14, 0, kWidth - kMargin - 50,
      50);
  y += 14 + kMargin;

  // The window around the controls.
  RECT client{0, 0, kWidth, y};
  ::MapDialogRect(dialog, &client);
  ::AdjustWindowRectEx(&client, static_cast<DWORD>(::GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongA(dialog, GWL_EXSTYLE)));
  ::SetWindowPos(dialog, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmChooseDataFolder::UseRecommended() {
  chosen_ = recommended_;
  own_ = false;
  ShowChosen();
}

void TfrmChooseDataFolder::ChooseOwnFolder() {
  const auto owner = dialog_;
  prompts_.ShowMessage(kChooseExplanation, kApplicationTitle, MsgButtons::kOk, MsgIcon::kInformation, owner);
  char current[MAX_PATH] = {};
  const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, current);
  std::optional<std::string> picked = picker_(owner, length > 0 && length < MAX_PATH ? current : "");
  if (!picked || picked->empty()) {
    // Cancelled: the choice stays as it was (the button shows it).
    ShowChosen();
    return;
  }
  std::string path = *picked;
  // Case-sensitive, as it always was: "Data" is asked about.
  if (path.find("data") == std::string::npos &&
      prompts_.ShowMessage(kAddDataQuestion, kApplicationTitle, MsgButtons::kYesNo, MsgIcon::kQuestion, owner) ==
          MsgResult::kYes) {
    path = IncludeTrailingBackslash(path) + "data";
  }
  files_.MakeDirectories(path);
  if (!files_.DirectoryExists(path)) {
    prompts_.ShowMessage(std::string("Could not create directory - ") + path + kEol +
                             "Check the path, permissions, etc., and try again.",
                         kApplicationTitle, MsgButtons::kOk, MsgIcon::kError, owner);
    ShowChosen();
    return;
  }
  chosen_ = IncludeTrailingBackslash(path);
  own_ = true;
  ::SetDlgItemTextA(ToHwnd(dialog_), kAlternateFolder, chosen_.c_str());
  ShowChosen();
}

// The two buttons stay pressed to show which folder "&Ok" confirms; "&Ok"
// is enabled once there is one.
void TfrmChooseDataFolder::ShowChosen() {
  HWND dialog = ToHwnd(dialog_);
  const bool any = !chosen_.empty();
  ::CheckDlgButton(dialog, kDefaultButton, any && !own_ ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(dialog, kChooseButton, any && own_ ? BST_CHECKED : BST_UNCHECKED);
  ::EnableWindow(::GetDlgItem(dialog, IDOK), any ? TRUE : FALSE);
}

}  // namespace om
