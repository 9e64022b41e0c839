// For the tests of dragging text out: the user's hands (the mouse and keys
// through SendInput, as a person's arrive) and a window that takes drops
// the way a text editor does (an OLE drop target asking for CF_TEXT).
#pragma once

#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <cstring>
#include <string>

#include "child_process.h"

namespace om::test {

// --- Input as the user gives it ---------------------------------------

// Moves the pointer to a point of the screen.
inline void MouseTo(POINT at) {
  const int width = ::GetSystemMetrics(SM_CXSCREEN) - 1;
  const int height = ::GetSystemMetrics(SM_CYSCREEN) - 1;
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>(at.x * 65535 / (width > 0 ? width : 1));
  input.mi.dy = static_cast<LONG>(at.y * 65535 / (height > 0 ? height : 1));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &input, sizeof input);
}

inline void LeftButton(bool down) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &input, sizeof input);
}

inline void Key(WORD virtual_key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtual_key;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  ::SendInput(1, &input, sizeof input);
}

// Moves the pointer from `from` to `to` in steps, pumping this thread's
// messages between them (a drop target of this thread answers while the
// pointer passes over it).
inline void MouseAlong(POINT from, POINT to, int steps = 12) {
  for (int i = 1; i <= steps; ++i) {
    MouseTo(POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    PumpUntil([] { return false; }, 40);
  }
}

// --- A window that takes dropped text -----------------------------------

// A top-level window of this thread registered as a drop target that
// accepts CF_TEXT and keeps what was dropped. OLE must be initialised on
// the thread (OleInitialize) for as long as the window lives.
class DropWindow {
 public:
  DropWindow(int x, int y, int width, int height) {
    static const ATOM atom = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = ::DefWindowProcA;
      wc.hInstance = ::GetModuleHandleA(nullptr);
      wc.lpszClassName = "OmDropWindow";
      wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      return ::RegisterClassA(&wc);
    }();
    hwnd_ = ::CreateWindowExA(WS_EX_TOPMOST, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom)), "Drop Here",
                              WS_POPUP | WS_BORDER | WS_VISIBLE, x, y, width, height, nullptr, nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
    if (hwnd_ != nullptr) registered_ = SUCCEEDED(::RegisterDragDrop(hwnd_, &target_));
  }
  ~DropWindow() {
    if (registered_) ::RevokeDragDrop(hwnd_);
    if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
  }
  DropWindow(const DropWindow&) = delete;
  DropWindow& operator=(const DropWindow&) = delete;

  bool ok() const { return registered_; }
  HWND hwnd() const { return hwnd_; }
  POINT Centre() const {
    RECT rect{};
    ::GetWindowRect(hwnd_, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  // The CF_TEXT of the last drop; "" before one.
  const std::string& dropped() const { return target_.dropped; }
  int drops() const { return target_.drops; }
  // The effect chosen for the last drop (copy when the source allows it).
  DWORD last_effect() const { return target_.effect; }

  // The text of a data object's CF_TEXT; "" without one.
  static std::string AnsiOf(IDataObject* data) {
    FORMATETC format{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (data == nullptr || FAILED(data->GetData(&format, &medium))) return {};
    std::string text;
    if (const auto* bytes = static_cast<const char*>(::GlobalLock(medium.hGlobal))) {
      text.assign(bytes, ::strnlen(bytes, ::GlobalSize(medium.hGlobal)));
      ::GlobalUnlock(medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);
    return text;
  }

 private:
  // Lives inside the window object: its references are the window's.
  class Target final : public IDropTarget {
   public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
      if (out == nullptr) return E_POINTER;
      if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *out = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
      }
      *out = nullptr;
      return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD /*keys*/, POINTL /*at*/, DWORD* effect) override {
      FORMATETC format{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
      accepts = data != nullptr && data->QueryGetData(&format) == S_OK;
      *effect = Choose(*effect);
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD /*keys*/, POINTL /*at*/, DWORD* effect) override {
      *effect = Choose(*effect);
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD /*keys*/, POINTL /*at*/, DWORD* effect) override {
      *effect = Choose(*effect);
      if (*effect != DROPEFFECT_NONE) {
        dropped = AnsiOf(data);
        ++drops;
      }
      this->effect = *effect;
      return S_OK;
    }
    DWORD Choose(DWORD allowed) const {
      if (!accepts) return DROPEFFECT_NONE;
      return (allowed & DROPEFFECT_COPY) != 0 ? DROPEFFECT_COPY : allowed & DROPEFFECT_MOVE;
    }

    std::atomic<long> references{1};
    bool accepts = false;
    std::string dropped;
    int drops = 0;
    DWORD effect = DROPEFFECT_NONE;
  };

  HWND hwnd_ = nullptr;
  bool registered_ = false;
  Target target_;
};

}  // namespace om::test
