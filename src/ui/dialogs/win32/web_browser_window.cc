#include "ui/dialogs/win32/web_browser_window.h"

#include <ole2.h>
#include <commctrl.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>

#include <atomic>
#include <cstdio>
#include <utility>

#include "app/app_log.h"
#include "platform/win32/com_ref.h"

namespace om::win32 {

namespace {

constexpr int kMargin = 4;
constexpr int kRowHeight = 26;
constexpr int kLabelWidth = 44;
constexpr int kButtonWidth = 75;

std::atomic<long> live_sites{0};

// A BSTR owned until it is freed here.
class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : text_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { ::SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return text_; }

 private:
  BSTR text_;
};

// The program's text is ANSI; the browser speaks UTF-16.
std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

std::string Ansi(const wchar_t* text, std::size_t length) {
  if (text == nullptr || length == 0) return {};
  const int size =
      ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), out.data(), size, nullptr, nullptr);
  return out;
}

std::string Failure(const char* what, HRESULT result) {
  char text[160];
  std::snprintf(text, sizeof text, "%s failed: 0x%08lX", what, static_cast<unsigned long>(result));
  return text;
}

// The event's argument at `position` as the event declares them (the
// arguments arrive last first), a reference followed.
const VARIANT* Argument(const DISPPARAMS* params, UINT position) {
  if (params == nullptr || position >= params->cArgs) return nullptr;
  const VARIANT* value = &params->rgvarg[params->cArgs - 1 - position];
  if (V_VT(value) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(value) != nullptr) value = V_VARIANTREF(value);
  return value;
}

std::string StringArgument(const DISPPARAMS* params, UINT position) {
  const VARIANT* value = Argument(params, position);
  if (value == nullptr) return {};
  if (V_VT(value) == VT_BSTR) return Ansi(V_BSTR(value), ::SysStringLen(V_BSTR(value)));
  if (V_VT(value) == (VT_BSTR | VT_BYREF) && V_BSTRREF(value) != nullptr)
    return Ansi(*V_BSTRREF(value), ::SysStringLen(*V_BSTRREF(value)));
  return {};
}

long LongArgument(const DISPPARAMS* params, UINT position) {
  const VARIANT* value = Argument(params, position);
  if (value == nullptr) return 0;
  if (V_VT(value) == VT_I4) return V_I4(value);
  if (V_VT(value) == (VT_I4 | VT_BYREF) && V_I4REF(value) != nullptr) return *V_I4REF(value);
  return 0;
}

void SetCancel(const DISPPARAMS* params, UINT position, bool cancel) {
  if (params == nullptr || position >= params->cArgs) return;
  VARIANT& value = params->rgvarg[params->cArgs - 1 - position];
  if (V_VT(&value) == (VT_BOOL | VT_BYREF) && V_BOOLREF(&value) != nullptr)
    *V_BOOLREF(&value) = cancel ? VARIANT_TRUE : VARIANT_FALSE;
}

void AddTool(HWND tooltips, HWND owner, HWND control, const char* text) {
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<char*>(text);
  ::SendMessageA(tooltips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

// What the embedded browser sees of its container: the client site, the
// in-place site and frame (one window, no menus, no tool space), and the
// receiver of its events. Reference counted as COM wants it; the window
// holds one reference and the browser the others until it is closed. The
// window detaches itself before it goes, so a late call from the browser
// finds no window and does nothing.
class BrowserSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame, public IDispatch {
 public:
  BrowserSite(WebBrowserWindow* owner, HWND window) : owner_(owner), window_(window) { ++live_sites; }
  BrowserSite(const BrowserSite&) = delete;
  BrowserSite& operator=(const BrowserSite&) = delete;
  void Detach() { owner_ = nullptr; }

  // --- IUnknown ---
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
      *out = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
      *out = static_cast<IOleInPlaceSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame)) {
      *out = static_cast<IOleInPlaceFrame*>(this);
    } else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_DWebBrowserEvents2)) {
      *out = static_cast<IDispatch*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --references_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // --- IOleClientSite ---
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker != nullptr) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (container != nullptr) *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // --- IOleWindow (of the in-place site and the frame alike) ---
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (window == nullptr) return E_POINTER;
    *window = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // --- IOleInPlaceSite ---
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                             LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    if (frame != nullptr) {
      *frame = static_cast<IOleInPlaceFrame*>(this);
      AddRef();
    }
    // No document window of its own: the frame is the only one.
    if (document != nullptr) *document = nullptr;
    RECT area{};
    if (owner_ != nullptr) {
      area = owner_->BrowserRect();
    } else {
      ::GetClientRect(window_, &area);
    }
    if (position != nullptr) *position = area;
    if (clip != nullptr) *clip = area;
    if (info != nullptr) {
      info->cb = sizeof *info;
      info->fMDIApp = FALSE;
      info->hwndFrame = window_;
      info->haccel = nullptr;
      info->cAccelEntries = 0;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

  // --- IOleInPlaceUIWindow: no tool space to give ---
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return OLE_E_INVALIDRECT; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }

  // --- IOleInPlaceFrame: no menus to merge ---
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // --- IDispatch: the browser's events (DWebBrowserEvents2) ---
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count != nullptr) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    if (owner_ == nullptr) return S_OK;
    // Keeps the site alive should the handler end the window.
    AddRef();
    switch (id) {
      case DISPID_BEFORENAVIGATE2:  // pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel
        SetCancel(params, 6, owner_->OnBeforeNavigate(StringArgument(params, 1)));
        break;
      case DISPID_DOCUMENTCOMPLETE:  // pDisp, URL
        owner_->OnDocumentComplete(StringArgument(params, 1));
        break;
      case DISPID_NAVIGATEERROR:  // pDisp, URL, Frame, StatusCode, Cancel
        owner_->OnNavigateError(StringArgument(params, 1), LongArgument(params, 3));
        break;
      case DISPID_NEWWINDOW3:  // ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl
        SetCancel(params, 1, true);
        owner_->OnNewWindow(StringArgument(params, 4));
        break;
      case DISPID_NEWWINDOW2:  // ppDisp, Cancel: older systems raise it in its place, without the URL
        SetCancel(params, 1, true);
        break;
      default:
        break;
    }
    Release();
    return S_OK;
  }

 private:
  ~BrowserSite() { --live_sites; }

  std::atomic<long> references_{1};
  WebBrowserWindow* owner_;
  HWND window_;
};

// --- OLE for the window's lifetime ---

HRESULT WebBrowserWindow::OleScope::Enter() {
  const HRESULT result = ::OleInitialize(nullptr);
  // S_FALSE: OLE was up already on this thread; it still counts once.
  entered_ = SUCCEEDED(result);
  return result;
}

WebBrowserWindow::OleScope::~OleScope() {
  if (entered_) ::OleUninitialize();
}

// --- creation and teardown ---

WebBrowserWindow::Created WebBrowserWindow::Create(HWND parent, Browser browser) {
  Created result;
  std::unique_ptr<WebBrowserWindow> window(new WebBrowserWindow());
  if (!window->CreateControls(parent)) {
    result.error = Failure("CreateWindowExA(web browser window)", HRESULT_FROM_WIN32(::GetLastError()));
    return result;
  }
  if (browser == Browser::kEmbedded) {
    std::string error = window->EmbedBrowser();
    if (error.empty()) error = window->WaitForFirstDocument();
    if (!error.empty()) {
      result.error = std::move(error);
      return result;  // the window undoes itself
    }
  }
  result.window = std::move(window);
  return result;
}

WebBrowserWindow::~WebBrowserWindow() {
  events_ = nullptr;
  CloseBrowser();
  if (window_ != nullptr) ::DestroyWindow(window_);
}

bool WebBrowserWindow::CreateControls(HWND parent) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSEXA type{};
  type.cbSize = sizeof type;
  if (!::GetClassInfoExA(instance, kClassName, &type)) {
    type = WNDCLASSEXA{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = &Proc;
    type.hInstance = instance;
    type.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = kClassName;
    if (::RegisterClassExA(&type) == 0) return false;
  }
  // Borderless and hidden: the pane places it and shows it with its tab.
  if (::CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, "", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                        400, 300, parent, nullptr, instance, this) == nullptr) {
    return false;
  }
  const auto font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
  label_ = ::CreateWindowExA(0, "STATIC", TfrmWebBrowser::kSourceLabel, WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 0,
                             window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSourceLabelId)), instance,
                             nullptr);
  source_url_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                  0, 0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSourceUrlId)),
                                  instance, nullptr);
  revisit_ = ::CreateWindowExA(0, "BUTTON", TfrmWebBrowser::kRevisitCaption,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON, 0, 0, 0, 0, window_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRevisitId)), instance, nullptr);
  if (label_ == nullptr || source_url_ == nullptr || revisit_ == nullptr) return false;
  for (HWND control : {label_, source_url_, revisit_}) ::SendMessageA(control, WM_SETFONT, font, FALSE);

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  tooltips_ = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance, nullptr);
  if (tooltips_ != nullptr) {
    AddTool(tooltips_, window_, source_url_, TfrmWebBrowser::kSourceUrlHint);
    AddTool(tooltips_, window_, revisit_, TfrmWebBrowser::kRevisitHint);
  }
  Layout();
  return true;
}

std::string WebBrowserWindow::EmbedBrowser() {
  HRESULT result = ole_.Enter();
  if (FAILED(result)) return Failure("OleInitialize", result);
  ComRef<IOleObject> object;
  result = ::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object.out());
  if (FAILED(result)) return Failure("CoCreateInstance(CLSID_WebBrowser)", result);
  object_ = object.release();
  site_ = new BrowserSite(this, window_);
  result = object_->SetClientSite(static_cast<IOleClientSite*>(site_));
  if (FAILED(result)) return Failure("IOleObject::SetClientSite", result);
  ::OleSetContainedObject(object_, TRUE);
  RECT area = BrowserRect();
  result = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site_), 0, window_, &area);
  if (FAILED(result)) return Failure("IOleObject::DoVerb(OLEIVERB_INPLACEACTIVATE)", result);
  result = object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_));
  if (FAILED(result)) return Failure("QueryInterface(IWebBrowser2)", result);
  // Script errors of a clip's page are no business of the user's; a file
  // dropped on the preview is not to be opened in it.
  browser_->put_Silent(VARIANT_TRUE);
  browser_->put_RegisterAsDropTarget(VARIANT_FALSE);

  ComRef<IConnectionPointContainer> points;
  result = object_->QueryInterface(IID_IConnectionPointContainer, points.out());
  if (FAILED(result)) return Failure("QueryInterface(IConnectionPointContainer)", result);
  result = points->FindConnectionPoint(DIID_DWebBrowserEvents2, &events_point_);
  if (FAILED(result)) return Failure("FindConnectionPoint(DWebBrowserEvents2)", result);
  result = events_point_->Advise(static_cast<IDispatch*>(site_), &events_cookie_);
  if (FAILED(result)) {
    events_cookie_ = 0;
    return Failure("IConnectionPoint::Advise", result);
  }
  return {};
}

// Making the control is not enough to know that it can show a page: under
// Wine with its HTML engine switched off (as the tests run it, so that it
// never offers to download one) everything up to here succeeds, since the
// control itself lives apart from the engine: CoCreateInstance of
// CLSID_WebBrowser, the client site, in-place activation, IWebBrowser2 and
// the event connection. Navigate answers S_OK too, and BeforeNavigate2
// arrives. Only then does it fail, at once and without a prompt:
// NavigateError with MK_E_SYNTAX (0x800401E4) for "about:blank",
// REGDB_E_CLASSNOTREG (0x80040154) for a file (the HTML document class is
// missing: creating CLSID_HTMLDocument gives E_ACCESSDENIED), no
// DocumentComplete, get_Document S_FALSE with no document, the ready state
// stuck at loading. So the window counts as able to show a page only once
// an empty page has actually arrived as an HTML document.
std::string WebBrowserWindow::WaitForFirstDocument() {
  probing_ = true;
  probe_complete_ = false;
  probe_error_.clear();
  Bstr blank(L"about:blank");
  VARIANT none;
  ::VariantInit(&none);
  HRESULT result = browser_->Navigate(blank.get(), &none, &none, &none, &none);
  if (FAILED(result)) {
    probing_ = false;
    return Failure("IWebBrowser2::Navigate(about:blank)", result);
  }
  const DWORD start = ::GetTickCount();
  bool quit = false;
  WPARAM quit_code = 0;
  while (!probe_complete_ && probe_error_.empty()) {
    const DWORD waited = ::GetTickCount() - start;
    if (waited >= kFirstDocumentTimeoutMs) break;
    MSG message;
    if (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        quit_code = message.wParam;
        break;
      }
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
      continue;
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kFirstDocumentTimeoutMs - waited, QS_ALLINPUT);
  }
  probing_ = false;
  if (quit) ::PostQuitMessage(static_cast<int>(quit_code));
  if (!probe_error_.empty()) return probe_error_;
  if (!probe_complete_) return "The web browser showed no document within the time allowed";

  // The page must have arrived as an HTML document, the kind a clip's page
  // will be shown in.
  ComRef<IDispatch> document;
  result = browser_->get_Document(document.out_typed());
  if (FAILED(result) || !document) return Failure("IWebBrowser2::get_Document", FAILED(result) ? result : E_POINTER);
  ComRef<IHTMLDocument2> html;
  result = document->QueryInterface(IID_IHTMLDocument2, html.out());
  if (FAILED(result)) return Failure("QueryInterface(IHTMLDocument2)", result);
  return {};
}

void WebBrowserWindow::CloseBrowser() {
  if (site_ != nullptr) site_->Detach();
  if (events_point_ != nullptr) {
    if (events_cookie_ != 0) events_point_->Unadvise(events_cookie_);
    events_cookie_ = 0;
    std::exchange(events_point_, nullptr)->Release();
  }
  if (browser_ != nullptr) {
    browser_->Stop();
    std::exchange(browser_, nullptr)->Release();
  }
  if (object_ != nullptr) {
    ComRef<IOleInPlaceObject> in_place;
    if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, in_place.out()))) in_place->InPlaceDeactivate();
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    std::exchange(object_, nullptr)->Release();
  }
  if (site_ != nullptr) std::exchange(site_, nullptr)->Release();
}

long WebBrowserWindow::LiveBrowserSites() { return live_sites.load(); }

// --- placement ---

RECT WebBrowserWindow::BrowserRect() const {
  RECT area{};
  if (window_ != nullptr) ::GetClientRect(window_, &area);
  area.top = kRowHeight;
  if (area.bottom < area.top) area.bottom = area.top;
  return area;
}

void WebBrowserWindow::SetBounds(int x, int y, int width, int height) {
  if (window_ != nullptr) ::MoveWindow(window_, x, y, width, height, TRUE);
}

void WebBrowserWindow::Show(bool visible) {
  if (window_ != nullptr) ::ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

void WebBrowserWindow::Layout() {
  RECT client{};
  ::GetClientRect(window_, &client);
  const int width = client.right;
  int field = width - kMargin - kLabelWidth - kMargin - kMargin - kButtonWidth - kMargin;
  if (field < 0) field = 0;
  ::MoveWindow(label_, kMargin, 6, kLabelWidth, 16, TRUE);
  ::MoveWindow(source_url_, kMargin + kLabelWidth + kMargin, 3, field, 20, TRUE);
  ::MoveWindow(revisit_, width - kMargin - kButtonWidth, 2, kButtonWidth, 22, TRUE);
  if (object_ != nullptr) {
    ComRef<IOleInPlaceObject> in_place;
    if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, in_place.out()))) {
      const RECT area = BrowserRect();
      in_place->SetObjectRects(&area, &area);
    }
  }
}

bool WebBrowserWindow::TranslateAccelerator(MSG& message) {
  if (object_ == nullptr || message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  // Only keys meant for the browser's own windows (not the source field).
  HWND browser_window = nullptr;
  ComRef<IOleWindow> window;
  if (SUCCEEDED(object_->QueryInterface(IID_IOleWindow, window.out()))) window->GetWindow(&browser_window);
  if (browser_window == nullptr ||
      (message.hwnd != browser_window && !::IsChild(browser_window, message.hwnd))) {
    return false;
  }
  ComRef<IOleInPlaceActiveObject> active;
  if (FAILED(object_->QueryInterface(IID_IOleInPlaceActiveObject, active.out()))) return false;
  return active->TranslateAccelerator(&message) == S_OK;
}

// --- IWebBrowserView ---

void WebBrowserWindow::SetSourceUrl(const std::string& text) {
  ::SetWindowTextA(source_url_, text.c_str());
}

std::string WebBrowserWindow::SourceUrl() const {
  const int length = ::GetWindowTextLengthA(source_url_);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = ::GetWindowTextA(source_url_, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

void WebBrowserWindow::EnableRevisit(bool enabled) { ::EnableWindow(revisit_, enabled ? TRUE : FALSE); }

bool WebBrowserWindow::Navigate(const std::string& url) {
  if (browser_ == nullptr || failed_) return false;
  Bstr target(Wide(url));
  VARIANT flags;
  ::VariantInit(&flags);
  V_VT(&flags) = VT_I4;
  // The buffer's URL stays the same from clip to clip: never from a cache.
  V_I4(&flags) = navNoHistory | navNoReadFromCache | navNoWriteToCache;
  VARIANT none;
  ::VariantInit(&none);
  const HRESULT result = browser_->Navigate(target.get(), &flags, &none, &none, &none);
  if (FAILED(result)) {
    failed_ = true;
    Log(loglevel::kError, "TfrmWebBrowser", Failure("IWebBrowser2::Navigate", result));
    return false;
  }
  return true;
}

// --- the browser's reports ---

bool WebBrowserWindow::OnBeforeNavigate(const std::string& url) {
  // The window's own empty page while Create waits for it.
  if (probing_ || events_ == nullptr) return false;
  return events_->WebBrowser1BeforeNavigate2(url);
}

void WebBrowserWindow::OnDocumentComplete(const std::string& url) {
  if (probing_) {
    probe_complete_ = true;
    return;
  }
  if (events_ != nullptr) events_->WebBrowser1DocumentComplete(url);
}

void WebBrowserWindow::OnNavigateError(const std::string& url, long status) {
  char text[64];
  std::snprintf(text, sizeof text, " (status 0x%08lX)", static_cast<unsigned long>(status));
  if (probing_) {
    probe_error_ = "The web browser could not show " + url + text;
    return;
  }
  Log(loglevel::kError, "TfrmWebBrowser", "Could Not Show " + url + text);
}

void WebBrowserWindow::OnNewWindow(const std::string& url) {
  // The preview never opens windows of its own: a link aimed at a new
  // window goes where any other link goes, and a window the page opens by
  // itself while it loads is dropped.
  if (probing_ || events_ == nullptr || url.empty()) return;
  events_->WebBrowser1BeforeNavigate2(url);
}

// --- window procedure ---

LRESULT CALLBACK WebBrowserWindow::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<WebBrowserWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<WebBrowserWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcA(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return ::DefWindowProcA(window, message, wparam, lparam);
  }
  return self->OnMessage(message, wparam, lparam);
}

LRESULT WebBrowserWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == kRevisitId && HIWORD(wparam) == BN_CLICKED) {
        if (events_ != nullptr) events_->cmdLaunchClick();
        return 0;
      }
      break;
    case WM_DESTROY:
      // The parent went first: the browser's windows go with this one, so
      // it is closed now rather than in the destructor.
      events_ = nullptr;
      CloseBrowser();
      if (tooltips_ != nullptr) ::DestroyWindow(std::exchange(tooltips_, nullptr));
      label_ = source_url_ = revisit_ = nullptr;
      return 0;
    default:
      break;
  }
  return ::DefWindowProcA(window_, message, wparam, lparam);
}

}  // namespace om::win32
