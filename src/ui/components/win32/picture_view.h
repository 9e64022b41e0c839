// A child window that shows one picture: a bitmap or a metafile picture.
//
// A bitmap is shown at its own size from the top left corner, with scroll
// bars for what does not fit; or, stretched, within the window: shrunk
// (keeping its proportions) when it is wider or taller than the window,
// never enlarged, so a small bitmap looks the same either way. A metafile
// picture is stretched to the window keeping its proportions and centred;
// one whose frame gives no size fills the window. Without a picture the
// window shows its background only.
//
// The view keeps a copy of what it shows (the caller's picture may go with
// its clip), paints through an off-screen bitmap so nothing flickers, and
// reports a double-click on a picture to its owner (the preview toggles
// stretching with it).
#pragma once

#include <windows.h>

#include <functional>

#include "clipboard/graphics.h"
#include "platform/win32/handles.h"

namespace om::win32 {

class PictureView {
 public:
  PictureView(HWND parent, int control_id);
  ~PictureView();
  PictureView(const PictureView&) = delete;
  PictureView& operator=(const PictureView&) = delete;

  HWND hwnd() const { return hwnd_; }

  // Each replaces what is shown and goes back to the top left corner. A
  // picture that is empty, or whose bytes fail the layout checks, shows as
  // nothing.
  void ShowBitmap(const TBitmap& bitmap);
  void ShowMetafile(const TMetafile& metafile);
  void Clear();
  // Whether there is a picture to draw.
  bool HasPicture() const;

  // Stretching applies to bitmaps; a metafile picture is always stretched.
  void SetStretch(bool stretch);
  bool Stretch() const { return stretch_; }

  // Called on a double-click while a picture is shown.
  void SetOnDoubleClick(std::function<void()> handler) { on_double_click_ = std::move(handler); }

  // Where the picture is drawn, in client coordinates (at its own size it
  // may reach beyond the window); empty without a picture.
  RECT PictureRect() const;
  // How far the bitmap is scrolled (0, 0 unless shown at its own size).
  POINT ScrollPosition() const { return scroll_; }
  void ScrollTo(int x, int y);

  // The rectangle a picture of `width` x `height` takes in a window of
  // `client` size: own size from the corner, shrunk to fit (never
  // enlarged), or fitted and centred (enlarged as well).
  enum class Fit { kOwnSize, kShrinkToFit, kStretchCentred };
  static RECT Place(int width, int height, const SIZE& client, Fit fit);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void Paint(HDC dc, const RECT& area);
  void OnScroll(int bar, int request);
  void UpdateScrollBars();
  SIZE PictureSize() const;
  SIZE ClientSize() const;
  void Reset();

  HWND hwnd_ = nullptr;
  Bytes dib_;  // the bitmap shown, a checked packed DIB; empty for none
  SIZE dib_size_{};
  EnhMetafile metafile_;  // the metafile picture shown
  SIZE metafile_size_{};  // its frame's proportions; 0 when it gives none
  bool stretch_ = false;
  POINT scroll_{};
  int wheel_rest_ = 0;
  bool updating_bars_ = false;
  std::function<void()> on_double_click_;
};

}  // namespace om::win32
