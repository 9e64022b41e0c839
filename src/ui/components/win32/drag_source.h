// The drag source of the clip list's Alt+drag: a clip's text offered to any
// program by OLE drag and drop, as plain text for a drop that may copy or
// move it.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string_view>

namespace om::win32 {

// A data object offering `text` (the program's ANSI text) as CF_TEXT and,
// converted from the ANSI code page, as CF_UNICODETEXT, both in global
// memory. One reference, the caller's; nullptr when memory ran out.
IDataObject* NewTextDataObject(std::string_view text);

// The drop source of a drag begun with the left button: the drop happens
// when the button goes up; Esc or the right button cancels the drag. One
// reference, the caller's.
IDropSource* NewLeftButtonDropSource();

// Drags `text` out with the left button held (DoDragDrop, copy or move
// allowed) and returns when the drag has ended: DRAGDROP_S_DROP,
// DRAGDROP_S_CANCEL, E_OUTOFMEMORY or whatever else OLE answered.
// `effect` receives what the target did with the text. OLE is initialised
// for the drag's duration when this thread has not done so already.
HRESULT DragTextOut(std::string_view text, DWORD& effect);

}  // namespace om::win32
