// The main window's tool bar. So far it holds the collections button
// cmdCollections (a click steps to the next collection, its arrow opens
// the collection menu, and it shows the selected collection's image) and
// beside it the line-break button cmdMainToolbarNOCRLF (removes the line
// breaks of the selected clips; enabled as the preview pane's own button),
// the glue button cmdGlue, a check button: down (a tipped glue pot) while
// automatic glue runs, the move/copy button cmdMoveClips (its arrow opens
// the move/copy target menu), the delete button cmdDelete and the search
// button cmdMainToolbarSearch ("Initiate Search", the find dialog), and
// the sequential-paste pair cmdSFUp and cmdSFDown (check buttons whose
// state the behaviour sets: both may be up, at most one is down). The
// line-break and search buttons are optional: the settings show them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/components/win32/ui_handles.h"

namespace om::win32 {

class ToolBar {
 public:
  // The button's command identifier (WM_COMMAND from the tool bar) and
  // the side of its square picture.
  static constexpr int kCollectionsButtonId = 2001;
  static constexpr int kLineBreaksButtonId = 2002;
  static constexpr int kGlueButtonId = 2003;
  static constexpr int kMoveClipsButtonId = 2004;
  static constexpr int kDeleteButtonId = 2005;
  static constexpr int kSearchButtonId = 2006;
  static constexpr int kStepfeedUpButtonId = 2007;
  static constexpr int kStepfeedDownButtonId = 2008;
  static constexpr int kButtonImageSize = 25;

  ToolBar(HWND parent, int control_id);
  ToolBar(const ToolBar&) = delete;
  ToolBar& operator=(const ToolBar&) = delete;

  HWND hwnd() const { return hwnd_; }
  int Height() const;
  // Puts image `image` of `images` on the collections button: drawn at
  // (4, 4) on a square of the button-face colour, white transparent.
  void SetCollectionsImage(HIMAGELIST images, int image);
  // The collections button's rectangle in screen coordinates.
  RECT CollectionsButtonRect() const;
  RECT MoveClipsButtonRect() const;
  // The move/copy button's text, which its tool tip shows.
  void SetMoveClipsHint(const std::string& hint);
  // The image the button shows now; -1 for none.
  int CollectionsImage() const { return shown_image_; }
  void SetLineBreaksEnabled(bool enabled);
  bool LineBreaksEnabled() const;
  // The glue button down (checked, the tipped pot) or up.
  void SetGlueDown(bool down);
  bool GlueDown() const;
  void SetStepfeedDown(bool up, bool down);
  bool ButtonChecked(int id) const;
  // Shows or hides the two optional buttons.
  void ShowOptionalButtons(bool search, bool line_breaks);
  bool ButtonVisible(int id) const;

 private:
  // The images: the collections button's, the line-break button's, the
  // glue button's up and down, the move/copy, the delete and the search
  // button's.
  void FillImages(HBITMAP collections);

  HWND hwnd_ = nullptr;
  ImageList images_;
  Bitmap line_breaks_image_;
  Bitmap glue_up_image_;
  Bitmap glue_down_image_;
  Bitmap move_image_;
  Bitmap delete_image_;
  Bitmap search_image_;
  Bitmap stepfeed_up_image_;
  Bitmap stepfeed_down_image_;
  std::string move_hint_ = "Move Clips To Another Collection";
  int shown_image_ = -1;
};

}  // namespace om::win32
