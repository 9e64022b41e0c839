#include "ui/components/win32/drag_source.h"

#include <shlobj.h>

#include <iterator>
#include <new>
#include <cstring>
#include <string>

#include "platform/win32/com_ref.h"

namespace om::win32 {

namespace {

// A block of global memory for a medium, freed unless handed on.
class GlobalBlock {
 public:
  explicit GlobalBlock(SIZE_T size) : handle_(::GlobalAlloc(GMEM_MOVEABLE, size)) {}
  ~GlobalBlock() {
    if (handle_ != nullptr) ::GlobalFree(handle_);
  }
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  HGLOBAL get() const { return handle_; }
  HGLOBAL release() {
    HGLOBAL handle = handle_;
    handle_ = nullptr;
    return handle;
  }

 private:
  HGLOBAL handle_;
};

// The text's bytes with their terminator, in global memory; nullptr when
// memory ran out.
HGLOBAL CopyToGlobal(const void* bytes, SIZE_T size) {
  GlobalBlock block(size);
  if (block.get() == nullptr) return nullptr;
  void* const target = ::GlobalLock(block.get());
  if (target == nullptr) return nullptr;
  std::memcpy(target, bytes, size);
  ::GlobalUnlock(block.get());
  return block.release();
}

bool OffersFormat(const FORMATETC& format) {
  return (format.cfFormat == CF_TEXT || format.cfFormat == CF_UNICODETEXT) && (format.tymed & TYMED_HGLOBAL) != 0 &&
         format.dwAspect == DVASPECT_CONTENT && (format.lindex == -1 || format.lindex == 0);
}

class TextDataObject final : public ComObject<IDataObject, IID_IDataObject> {
 public:
  explicit TextDataObject(std::string_view text) : text_(text) {
    // The wide form from the ANSI code page, as the system itself derives
    // CF_UNICODETEXT from CF_TEXT on the clipboard.
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text_.data(), static_cast<int>(text_.size()), nullptr, 0);
    wide_.resize(static_cast<std::size_t>(length));
    if (length > 0) {
      ::MultiByteToWideChar(CP_ACP, 0, text_.data(), static_cast<int>(text_.size()), wide_.data(), length);
    }
  }
  // --- IDataObject ---
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    const HRESULT offered = QueryGetData(format);
    if (offered != S_OK) return offered;
    HGLOBAL block = format->cfFormat == CF_TEXT
                        ? CopyToGlobal(text_.c_str(), text_.size() + 1)
                        : CopyToGlobal(wide_.c_str(), (wide_.size() + 1) * sizeof(wchar_t));
    if (block == nullptr) return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    // The receiver frees the block (ReleaseStgMedium).
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* /*format*/, STGMEDIUM* /*medium*/) override {
    return DATA_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    if (format == nullptr) return E_INVALIDARG;
    if (format->cfFormat != CF_TEXT && format->cfFormat != CF_UNICODETEXT) return DV_E_FORMATETC;
    if ((format->tymed & TYMED_HGLOBAL) == 0) return DV_E_TYMED;
    if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    return OffersFormat(*format) ? S_OK : DV_E_LINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* /*in*/, FORMATETC* out) override {
    if (out == nullptr) return E_INVALIDARG;
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* /*format*/, STGMEDIUM* /*medium*/, BOOL /*release*/) override {
    // Targets may report back what they did (the performed drop effect);
    // the text is never changed by a drop, so there is nothing to keep.
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC formats[] = {
        {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
        {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
    };
    return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(std::size(formats)), formats, out);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* /*format*/, DWORD /*flags*/, IAdviseSink* /*sink*/,
                                    DWORD* /*connection*/) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD /*connection*/) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** /*out*/) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  ~TextDataObject() override = default;

  std::string text_;
  std::wstring wide_;
};

class LeftButtonDropSource final : public ComObject<IDropSource, IID_IDropSource> {
 public:
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape_pressed, DWORD key_state) override {
    // Esc as OLE saw it, or as the keyboard has it now: the drag loop does
    // not always see a key that went down and up between two of its polls.
    if (escape_pressed || (::GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0) return DRAGDROP_S_CANCEL;
    if ((key_state & MK_RBUTTON) != 0) return DRAGDROP_S_CANCEL;
    if ((key_state & MK_LBUTTON) == 0) return DRAGDROP_S_DROP;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD /*effect*/) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  ~LeftButtonDropSource() override = default;
};

}  // namespace

IDataObject* NewTextDataObject(std::string_view text) {
  try {
    return new TextDataObject(text);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

IDropSource* NewLeftButtonDropSource() { return new LeftButtonDropSource(); }

HRESULT DragTextOut(std::string_view text, DWORD& effect) {
  effect = DROPEFFECT_NONE;
  // OLE on this thread for the drag; S_FALSE means it was up already and
  // still counts once.
  const HRESULT ole = ::OleInitialize(nullptr);
  if (FAILED(ole)) return ole;
  HRESULT result;
  {
    ComRef<IDataObject> data(NewTextDataObject(text));
    ComRef<IDropSource> source(NewLeftButtonDropSource());
    if (!data) {
      result = E_OUTOFMEMORY;
    } else {
      // A move is allowed as well as a copy, so that targets that would
      // rather move take the text; the clip itself stays as it is whatever
      // the target did.
      result = ::DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    }
  }
  ::OleUninitialize();
  return result;
}

}  // namespace om::win32
