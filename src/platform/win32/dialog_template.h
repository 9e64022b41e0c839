// A dialog template built in memory: dialogs without a resource script.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace om::win32 {

class DialogTemplate {
 public:
  static constexpr DWORD kCentredStyle = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  // Where the system places a window of its own choosing (CW_USEDEFAULT in
  // a template's 16-bit position).
  static constexpr short kDefaultPosition = static_cast<short>(0x8000);

  void Header(const char* caption, WORD items, short cx, short cy, DWORD style = kCentredStyle,
              short x = 0, short y = 0) {
    Align(4);
    Dword(style | DS_SETFONT);
    Dword(0);  // extended style
    Word(items);
    Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y)), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
    Word(0);  // no menu
    Word(0);  // the standard dialog class
    Text(caption);
    Word(8);  // point size, then the face
    Text("MS Shell Dlg");
  }
  // A control of a predefined class (0x0080 button, 0x0081 edit, 0x0082
  // static).
  void Item(WORD class_atom, WORD id, DWORD style, short x, short y, short cx, short cy, const char* text) {
    Align(4);
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y)), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
    Word(id);
    Word(0xFFFF), Word(class_atom);
    Text(text);
    Word(0);  // no creation data
  }
  // A control of a registered class, by name ("SysListView32", say).
  void Item(const char* class_name, WORD id, DWORD style, short x, short y, short cx, short cy, const char* text) {
    Align(4);
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y)), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
    Word(id);
    Text(class_name);
    Text(text);
    Word(0);  // no creation data
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Word(WORD w) { words_.push_back(w); }
  void Dword(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void Align(std::size_t bytes) {
    while ((words_.size() * sizeof(WORD)) % bytes != 0) Word(0);
  }
  void Text(const char* text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<std::size_t>(std::max(length, 1)), L'\0');
    if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    for (wchar_t c : wide) Word(static_cast<WORD>(c));
  }
  std::vector<WORD> words_;
};

}  // namespace om::win32
