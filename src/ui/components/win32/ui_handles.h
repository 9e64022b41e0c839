// Owners of the user-interface resources the main window creates (image
// lists, icons, menus, accelerator tables, fonts), on the same move-only
// pattern as the adapters' handles, and the guard that keeps the widgets'
// own changes from being reported as the user's.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/win32/handles.h"

namespace om::win32 {

namespace traits {
struct ImageList {
  using Handle = HIMAGELIST;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { ::ImageList_Destroy(h); }
};
struct Icon {
  using Handle = HICON;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { ::DestroyIcon(h); }
};
struct Menu {
  using Handle = HMENU;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { ::DestroyMenu(h); }
};
struct Accelerators {
  using Handle = HACCEL;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { ::DestroyAcceleratorTable(h); }
};
}  // namespace traits

using ImageList = UniqueHandle<traits::ImageList>;
using Icon = UniqueHandle<traits::Icon>;
// A menu not attached to a window (a menu bar set with SetMenu, or a pop-up
// inside another menu, belongs to its window or parent menu instead).
using Menu = UniqueHandle<traits::Menu>;
using Accelerators = UniqueHandle<traits::Accelerators>;
using Font = GdiObject<HFONT>;

// The control's font (the default GUI font when it has none set), underlined.
inline HFONT CreateUnderlinedFont(HWND control) {
  LOGFONTA font{};
  HFONT current = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
  if (current == nullptr) current = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  ::GetObjectA(current, sizeof font, &font);
  font.lfUnderline = TRUE;
  return ::CreateFontIndirectA(&font);
}

// Counts the nesting of changes made on the behaviour's request; the
// controls' notifications that arrive meanwhile are not the user's.
class QuietScope {
 public:
  explicit QuietScope(int& depth) : depth_(depth) { ++depth_; }
  ~QuietScope() { --depth_; }
  QuietScope(const QuietScope&) = delete;
  QuietScope& operator=(const QuietScope&) = delete;

 private:
  int& depth_;
};

}  // namespace om::win32
