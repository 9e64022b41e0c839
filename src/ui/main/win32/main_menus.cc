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
constexpr UINT kIdOpenSourceUrl = 302;
constexpr UINT kIdRenameTitle = 501;
constexpr UINT kIdSelectAll = 502;
constexpr UINT kIdSelectPrevious = 503;
constexpr UINT kIdSelectNext = 504;
constexpr UINT kIdLargeIcons = 306;
constexpr UINT kIdViewDetails = 307;
constexpr UINT kIdTrayAutoCapture = 401;
constexpr UINT kIdTrayExit = 402;
constexpr UINT kIdNewCollection = 104;
constexpr UINT kIdCollectionProperties = 105;
constexpr UINT kIdSwitchToLast = 311;
constexpr UINT kIdSwitchToFavorite = 312;

// Every entry has an identifier of its own: two the same would run one
// entry's command for the other.
constexpr UINT kAllIds[] = {kIdFileSave,       kIdFileReload,       kIdExit,          kIdAutoCapture,
                            kIdLocateLastClip, kIdOpenSourceUrl,    kIdRenameTitle,   kIdSelectAll,
                            kIdSelectPrevious, kIdSelectNext,       kIdLargeIcons,    kIdViewDetails,
                            kIdTrayAutoCapture, kIdTrayExit,        kIdNewCollection, kIdCollectionProperties,
                            kIdSwitchToLast,   kIdSwitchToFavorite, MainMenus::kIdSelectCollection};
constexpr bool IdsDistinct() {
  for (std::size_t i = 0; i < std::size(kAllIds); ++i)
    for (std::size_t j = i + 1; j < std::size(kAllIds); ++j)
      if (kAllIds[i] == kAllIds[j]) return false;
  return true;
}
static_assert(IdsDistinct(), "two menu entries share an identifier");

struct ItemId {
  MenuItem item;
  UINT id;
};
constexpr ItemId kItemIds[] = {
    {MenuItem::kFileSave, kIdFileSave},        {MenuItem::kFileReload, kIdFileReload},
    {MenuItem::kExit, kIdExit},                {MenuItem::kAutoCapture, kIdAutoCapture},
    {MenuItem::kLocateLastClip, kIdLocateLastClip}, {MenuItem::kTrayAutoCapture, kIdTrayAutoCapture},
    {MenuItem::kTrayExit, kIdTrayExit},         {MenuItem::kRenameTitle, kIdRenameTitle},
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
    {kIdOpenSourceUrl, MenuCommand::kOpenSourceUrl},
    {kIdRenameTitle, MenuCommand::kRenameTitle},
    {kIdSelectAll, MenuCommand::kSelectAll},
    {kIdSelectPrevious, MenuCommand::kSelectPrevious},
    {kIdSelectNext, MenuCommand::kSelectNext},
    {kIdNewCollection, MenuCommand::kNewCollection},
    {kIdCollectionProperties, MenuCommand::kCollectionProperties},
    {kIdSwitchToLast, MenuCommand::kSwitchToLastCollection},
    {kIdSwitchToFavorite, MenuCommand::kSwitchToFavoriteCollection},
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
        {kIdNewCollection, "Add New Collection"},
        {kIdCollectionProperties, "Collection Properties"},
        {0, ""},
        {kIdExit, "E&xit"}}},
      {"&Edit",
       {{kIdRenameTitle, "Rename &Title\tCtrl+T"},
        {0, ""},
        {kIdSelectAll, "Select All Items\tCtrl+A"},
        {kIdSelectPrevious, "Select &Previous Item (Up)"},
        {kIdSelectNext, "Select &Next Item (Down)"}}},
      {"&Config", {{kIdAutoCapture, "&Auto Capture\tF12"}}},
      {"&View",
       {{kIdLocateLastClip, "&Locate Last Captured Clip"},
        {kIdOpenSourceUrl, "Open Source URL In Browser\tCtrl+O"},
        {0, ""},
        {kIdSwitchToLast, "Switch To &Last Collection\tF5"},
        {kIdSwitchToFavorite, "Switch To Fa&vorite Collection \tF6"},
        {kIdSelectCollection, "Select Collection\tF7"},
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
      {FVIRTKEY | FCONTROL, 'T', static_cast<WORD>(kIdRenameTitle)},
      {FVIRTKEY | FCONTROL, 'A', static_cast<WORD>(kIdSelectAll)},
      {FVIRTKEY | FCONTROL, 'O', static_cast<WORD>(kIdOpenSourceUrl)},
      {FVIRTKEY, VK_F5, static_cast<WORD>(kIdSwitchToLast)},
      {FVIRTKEY, VK_F6, static_cast<WORD>(kIdSwitchToFavorite)},
      {FVIRTKEY, VK_F7, static_cast<WORD>(kIdSelectCollection)},
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

UINT MainMenus::IdOfCommand(MenuCommand command) {
  for (const IdCommand& c : kIdCommands)
    if (c.command == command) return c.id;
  return 0;
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
