// The main window's pop-up menus of collections: the tree's menu, the
// collection menu of the collections button and F7, and the move/copy
// target menu, each entry with its node's image.
#include "ui/main/win32/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace om::win32 {

void MainWindow::ShowTreeMenu(POINT at, bool from_tool_button) {
  ITreeEvents* const tree_events = events_ != nullptr ? events_->TreeEvents() : nullptr;
  if (tree_events == nullptr) return;
  const std::vector<TreeMenuEntry> entries = tree_events->PopMenuCollectionsPopup(from_tool_button);
  Menu menu(::CreatePopupMenu());
  if (!menu) return;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].separator_before) ::AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu.get(), MF_STRING | (entries[i].enabled ? 0u : MF_GRAYED), i + 1, entries[i].caption.c_str());
  }
  ::SetForegroundWindow(hwnd_);
  const auto chosen = static_cast<std::size_t>(
      ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr));
  if (chosen >= 1 && chosen <= entries.size() && events_ != nullptr && events_->TreeEvents() != nullptr) {
    events_->TreeEvents()->CollectionsMenuClick(entries[chosen - 1].command);
  }
}

void MainWindow::ShowCollectionMenu(POINT at) {
  ITreeEvents* const tree_events = events_ != nullptr ? events_->TreeEvents() : nullptr;
  if (tree_events == nullptr) return;
  const std::vector<CollectionMenuEntry> entries = tree_events->PopupMenuSetCurrCollPopup(MenuEntriesPerColumn());
  const std::optional<int> chosen = TrackCollectionMenu(entries, at);
  if (chosen && events_ != nullptr && events_->TreeEvents() != nullptr) {
    events_->TreeEvents()->mnuSetCurrCollClick(*chosen);
  }
}

int MainWindow::MenuEntriesPerColumn() const {
  const int item_height = std::max(1, ::GetSystemMetrics(SM_CYMENU));
  return ::GetSystemMetrics(SM_CYSCREEN) / item_height;
}

std::optional<int> MainWindow::PopupFileClipMenu(const std::vector<CollectionMenuEntry>& entries) {
  if (!tool_bar_) return std::nullopt;
  const RECT button = tool_bar_->MoveClipsButtonRect();
  return TrackCollectionMenu(entries, POINT{button.left, button.bottom});
}

void MainWindow::SetMoveClipsHint(std::string_view hint) {
  if (tool_bar_) tool_bar_->SetMoveClipsHint(std::string(hint));
}

std::optional<int> MainWindow::TrackCollectionMenu(const std::vector<CollectionMenuEntry>& entries, POINT at) {
  // Each entry shows its node's image; the bitmaps outlive the menu.
  std::vector<Bitmap> images;
  Menu menu(::CreatePopupMenu());
  if (!menu) return std::nullopt;
  WindowDc screen;
  MemoryDc dc(::CreateCompatibleDC(screen.get()));
  const int size = ::GetSystemMetrics(SM_CXSMICON);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    UINT flags = MF_STRING;
    if (!entries[i].enabled) flags |= MF_GRAYED;
    if (entries[i].checked) flags |= MF_CHECKED;
    if (entries[i].column_break) flags |= MF_MENUBARBREAK;
    ::AppendMenuA(menu.get(), flags, i + 1, entries[i].caption.c_str());
    if (entries[i].image < 0 || !dc || !collection_images_) continue;
    Bitmap image(::CreateCompatibleBitmap(screen.get(), size, size));
    if (!image) continue;
    HGDIOBJ before = ::SelectObject(dc.get(), image.get());
    const RECT square{0, 0, size, size};
    ::FillRect(dc.get(), &square, ::GetSysColorBrush(COLOR_MENU));
    ImageList_Draw(collection_images_.get(), entries[i].image, dc.get(), 0, 0, ILD_TRANSPARENT);
    ::SelectObject(dc.get(), before);
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = image.get();
    ::SetMenuItemInfoA(menu.get(), static_cast<UINT>(i + 1), FALSE, &item);
    images.push_back(std::move(image));
  }
  const auto chosen = static_cast<std::size_t>(
      ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_LEFTBUTTON, at.x, at.y, 0, hwnd_, nullptr));
  if (chosen < 1 || chosen > entries.size()) return std::nullopt;
  return static_cast<int>(chosen - 1);
}

}  // namespace om::win32
