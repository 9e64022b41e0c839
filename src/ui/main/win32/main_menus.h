// The main window's menu bar, the tray icon's menu and the keyboard
// shortcuts of their commands.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/main/main_form_events.h"
#include "ui/components/win32/ui_handles.h"

namespace om::win32 {

class MainMenus final : public IMenus {
 public:
  // "Select Collection" (F7): the window opens the collection menu below
  // the collections button; no behaviour command.
  static constexpr UINT kIdSelectCollection = 304;

  MainMenus();
  ~MainMenus() override = default;
  MainMenus(const MainMenus&) = delete;
  MainMenus& operator=(const MainMenus&) = delete;

  // The menu bar, to be given to the window (which then owns it).
  [[nodiscard]] HMENU ReleaseMenuBar();
  HMENU MenuBar() const { return bar_; }
  HMENU TrayMenu() const { return tray_.get(); }
  HACCEL AcceleratorTable() const { return accelerators_.get(); }

  // The command of a WM_COMMAND identifier; nullopt for none of ours.
  static std::optional<MenuCommand> CommandOf(UINT id);
  // The identifier of an item's entry; 0 for items that have no entry in
  // these menus (their commands come with the menus that hold them).
  static UINT IdOf(MenuItem item);
  // The identifier a command's menu entry sends (the first, where two
  // entries send one command); 0 for none.
  static UINT IdOfCommand(MenuCommand command);

  // Where MenuItem::kMagPaste goes: the preview pane's Paste button and its
  // text pane's "Paste" (nullptr: nowhere). Not owned.
  void SetPreviewPane(IPreviewWidget* preview) { preview_ = preview; }

  void SetChecked(MenuItem item, bool checked) override;
  void SetEnabled(MenuItem item, bool enabled) override;
  void SetVisible(MenuItem item, bool visible) override;

 private:
  // One entry of a pop-up menu; hidden entries are left out when the menu
  // is built, since a menu cannot hide an item.
  struct Entry {
    UINT id = 0;  // 0: a separator
    std::string caption;
    bool visible = true;
    bool checked = false;
    bool enabled = true;
  };
  struct Popup {
    HMENU menu = nullptr;
    std::vector<Entry> entries;
  };

  Entry* Find(UINT id, Popup** owner);
  static void Build(Popup& popup);

  HMENU bar_ = nullptr;
  Menu bar_owner_;
  std::vector<Popup> popups_;  // the menu bar's, then the tray's
  Menu tray_;
  Accelerators accelerators_;
  IPreviewWidget* preview_ = nullptr;
};

}  // namespace om::win32
