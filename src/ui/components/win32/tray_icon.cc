#include "ui/components/win32/tray_icon.h"

#include <shellapi.h>

#include <cstring>
#include <utility>

namespace om::win32 {
namespace {
constexpr UINT kIconId = 1;
}  // namespace

TrayIcon::TrayIcon(HWND owner, UINT callback_message, HICON normal, HICON disabled)
    : owner_(owner), callback_message_(callback_message), normal_(normal), disabled_(disabled) {}

TrayIcon::~TrayIcon() {
  if (shown_) Notify(NIM_DELETE);
}

bool TrayIcon::Notify(DWORD action) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_;
  data.uID = kIconId;
  if (action != NIM_DELETE) {
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callback_message_;
    data.hIcon = image_ == TrayImage::kDisabled ? disabled_ : normal_;
    std::strncpy(data.szTip, tip_.c_str(), sizeof data.szTip - 1);
  }
  // A shell without a notification area refuses; the program goes on
  // without the icon (and tries again when the area appears, Restore).
  return ::Shell_NotifyIconA(action, &data) != FALSE;
}

void TrayIcon::SetActive(bool active) {
  active_ = active;
  if (active && !shown_) {
    shown_ = Notify(NIM_ADD);
  } else if (!active && shown_) {
    Notify(NIM_DELETE);
    shown_ = false;
  }
}

void TrayIcon::SetImage(TrayImage image) {
  image_ = image;
  if (shown_) Notify(NIM_MODIFY);
}

void TrayIcon::SetTip(std::string tip) {
  tip_ = std::move(tip);
  if (shown_) Notify(NIM_MODIFY);
}

void TrayIcon::Restore() {
  shown_ = false;
  if (active_) shown_ = Notify(NIM_ADD);
}

}  // namespace om::win32
