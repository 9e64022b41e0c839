#include "ui/main/win32/main_menus.h"

#include <iterator>

#include "platform/win32/os_error.h"

namespace om::win32 {
namespace {

// Command identifiers of the menu entries.
constexpr UINT kIdFileSave = 101;
constexpr UINT kIdFileReload = 102;
constexpr UINT kIdExit = 103;
constexpr UINT kIdAutoCapture = 201;
constexpr UINT kIdLocateLastClip = 301;
constexpr UINT kIdLargeIcons = 302;
constexpr UINT kIdViewDetails = 303;
constexpr UINT kIdTrayAutoCapture = 401;
constexpr UINT kIdTrayExit = 402;

struct ItemId {
  MenuItem item;
  UINT id;
};
constexpr ItemId kItemIds[] = {
    {MenuItem::kFileSave, kIdFileSave},        {MenuItem::kFileReload, kIdFileReload},
    {MenuItem::kExit, kIdExit},                {MenuItem::kAutoCapture, kIdAutoCapture},
    {MenuItem::kLocateLastClip, kIdLocateLastClip}, {MenuItem::kTrayAutoCapture, kIdTrayAutoCapture},
    {MenuItem::kTrayExit, kIdTrayExit},
};

struct IdCommand {
  UINT id;
  MenuCommand command;
};
constexpr IdCommand kIdCommands[] = {
    {kIdFileSave, MenuCommand::kFileSave},       {kIdFileReload, MenuCommand::kFileReload},
    {kIdExit, MenuCommand::kExit},               {kIdTrayExit, MenuCommand::kExit},
    {kIdAutoCapture, MenuCommand::kAutoCapture}, {kIdTrayAutoCapture, MenuCommand::kTrayAutoCapture},
    {kIdLocateLastClip, MenuCommand::kLocateLastClip},
    {kIdLargeIcons, MenuCommand::kLargeIcons},   {kIdViewDetails, MenuCommand::kViewDetails},
};

}  // namespace

MainMenus::MainMenus() {
  bar_owner_.reset(::CreateMenu());
  bar_ = bar_owner_.get();
  if (!bar_) LogOsFailure("CreateMenu");
  struct BarMenu {
    const char* caption;
    std::vector<Entry> entries;
  };
  const BarMenu bar_menus[] = {
      {"&File",
       {{kIdFileSave, "&Save All Clips To Disk\tCtrl+S"},
        {kIdFileReload, "Reload All Clips From Disk"},
        {0, ""},
        {kIdExit, "E&xit"}}},
      {"&Config", {{kIdAutoCapture, "&Auto Capture\tF12"}}},
      {"&View",
       {{kIdLocateLastClip, "&Locate Last Captured Clip"},
        {0, ""},
        {kIdLargeIcons, "Large Icons"},
        {kIdViewDetails, "View Details"}}},
  };
  for (const BarMenu& m : bar_menus) {
    Popup popup{::CreatePopupMenu(), m.entries};
    if (popup.menu == nullptr) {
      LogOsFailure("CreatePopupMenu");
      continue;
    }
    Build(popup);
    // From here on the bar owns the pop-up.
    ::AppendMenuA(bar_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup.menu), m.caption);
    popups_.push_back(std::move(popup));
  }
  tray_.reset(::CreatePopupMenu());
  if (tray_) {
    Popup tray{tray_.get(), {{kIdTrayAutoCapture, "Aut&o Capture"}, {0, ""}, {kIdTrayExit, "E&xit Program (Shut Down)"}}};
    Build(tray);
    popups_.push_back(std::move(tray));
  }

  ACCEL keys[] = {
      {FVIRTKEY | FCONTROL, 'S', static_cast<WORD>(kIdFileSave)},
      {FVIRTKEY, VK_F12, static_cast<WORD>(kIdAutoCapture)},
  };
  accelerators_.reset(::CreateAcceleratorTableA(keys, static_cast<int>(std::size(keys))));
  if (!accelerators_) LogOsFailure("CreateAcceleratorTableA");
}

HMENU MainMenus::ReleaseMenuBar() { return bar_owner_.release(); }

std::optional<MenuCommand> MainMenus::CommandOf(UINT id) {
  for (const IdCommand& c : kIdCommands)
    if (c.id == id) return c.command;
  return std::nullopt;
}

UINT MainMenus::IdOf(MenuItem item) {
  for (const ItemId& i : kItemIds)
    if (i.item == item) return i.id;
  return 0;
}

MainMenus::Entry* MainMenus::Find(UINT id, Popup** owner) {
  if (id == 0) return nullptr;
  for (Popup& popup : popups_)
    for (Entry& entry : popup.entries)
      if (entry.id == id) {
        *owner = &popup;
        return &entry;
      }
  return nullptr;
}

void MainMenus::Build(Popup& popup) {
  while (::GetMenuItemCount(popup.menu) > 0) ::DeleteMenu(popup.menu, 0, MF_BYPOSITION);
  for (const Entry& entry : popup.entries) {
    if (!entry.visible) continue;
    if (entry.id == 0) {
      ::AppendMenuA(popup.menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING;
    if (entry.checked) flags |= MF_CHECKED;
    if (!entry.enabled) flags |= MF_GRAYED;
    ::AppendMenuA(popup.menu, flags, entry.id, entry.caption.c_str());
  }
}

void MainMenus::SetChecked(MenuItem item, bool checked) {
  Popup* popup = nullptr;
  Entry* entry = Find(IdOf(item), &popup);
  if (entry == nullptr) return;
  entry->checked = checked;
  ::CheckMenuItem(popup->menu, entry->id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MainMenus::SetEnabled(MenuItem item, bool enabled) {
  Popup* popup = nullptr;
  Entry* entry = Find(IdOf(item), &popup);
  if (entry == nullptr) return;
  entry->enabled = enabled;
  ::EnableMenuItem(popup->menu, entry->id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void MainMenus::SetVisible(MenuItem item, bool visible) {
  Popup* popup = nullptr;
  Entry* entry = Find(IdOf(item), &popup);
  if (entry == nullptr || entry->visible == visible) return;
  entry->visible = visible;
  Build(*popup);
}

}  // namespace om::win32
