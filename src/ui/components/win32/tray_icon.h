// The icon in the notification area, with its normal and disabled images.
#pragma once

#include <windows.h>

#include <string>

#include "ui/main/widgets.h"

namespace om::win32 {

class TrayIcon final : public ITrayIcon {
 public:
  // `owner` gets `callback_message` for the mouse on the icon. The icons
  // are not owned.
  TrayIcon(HWND owner, UINT callback_message, HICON normal, HICON disabled);
  ~TrayIcon() override;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  void SetActive(bool active) override;
  void SetImage(TrayImage image) override;

  bool active() const { return active_; }
  TrayImage image() const { return image_; }
  void SetTip(std::string tip);
  // The notification area was made anew (the shell restarted): puts the
  // icon back when it is active.
  void Restore();

 private:
  bool Notify(DWORD action);

  HWND owner_;
  UINT callback_message_;
  HICON normal_;
  HICON disabled_;
  bool active_ = false;
  bool shown_ = false;
  TrayImage image_ = TrayImage::kNormal;
  std::string tip_ = "Ottermoor";
};

}  // namespace om::win32
