// One slot of the main window's thumbnail cache. A clip points at the slot
// that shows its thumbnail (TClipObj::Thumbnail); the clip list manages the
// slots.
#pragma once

namespace om {

struct TThumbNailEntry {
  bool InUse = false;
  // Set when the slot is reset, cleared when it is given to a clip.
  bool Vacant = false;
  // The system tick count, in milliseconds, when the slot was last shown.
  double LastUsed = 0;
  // The clip-list item the slot shows, as the list identifies its items.
  void* Item = nullptr;
};

}  // namespace om
