// The main window in Pickdrop mode: the mode's tool bar, and the
// alternate list with its caption in the preview's place.
#include "ui/main/win32/main_window.h"

#include <string>

namespace om::win32 {

void MainWindow::ShowPickdropLayout(bool shown) {
  if (pickdrop_bar_) pickdrop_bar_->SetShown(shown);
  if (tool_bar_ && tool_bar_->hwnd() != nullptr) ::EnableWindow(tool_bar_->hwnd(), shown ? FALSE : TRUE);
  Layout();
}

void MainWindow::SetPickdropButtons(bool lock, bool tab, bool enter, bool sticky) {
  if (pickdrop_bar_) pickdrop_bar_->SetStates(lock, tab, enter, sticky);
}

void MainWindow::ShowAlternates(bool shown) {
  alternates_shown_ = shown;
  if (alternate_caption_ != nullptr) ::ShowWindow(alternate_caption_, shown ? SW_SHOW : SW_HIDE);
  if (alternate_clips_ && alternate_clips_->hwnd() != nullptr) {
    ::ShowWindow(alternate_clips_->hwnd(), shown ? SW_SHOW : SW_HIDE);
  }
  // The preview's pages give way to the list, and come back after it.
  if (pane_ && pane_->hwnd() != nullptr) ::ShowWindow(pane_->hwnd(), !shown && preview_visible_ ? SW_SHOW : SW_HIDE);
  Layout();
}

void MainWindow::SetAlternateCaption(std::string_view caption) {
  if (alternate_caption_ != nullptr) ::SetWindowTextA(alternate_caption_, std::string(caption).c_str());
}

void MainWindow::FocusAlternateList() {
  if (alternate_clips_ && alternate_clips_->hwnd() != nullptr) ::SetFocus(alternate_clips_->hwnd());
}

std::optional<int> MainWindow::PopupAlternateMenu(const std::vector<CollectionMenuEntry>& entries) {
  if (!pickdrop_bar_) return std::nullopt;
  const RECT button = pickdrop_bar_->ButtonRect(PickdropBar::kSetId);
  return TrackCollectionMenu(entries, POINT{button.left, button.bottom});
}

}  // namespace om::win32
