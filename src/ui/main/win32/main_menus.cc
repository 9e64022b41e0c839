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
constexpr UINT kIdExpandPreview = 308;
// The text transforms in the Edit menu and in the tray menu.
constexpr UINT kIdShiftLeft = 505;
constexpr UINT kIdShiftRight = 506;
constexpr UINT kIdRemoveLineBreaks = 507;
constexpr UINT kIdLowerCase = 508;
constexpr UINT kIdUpperCase = 509;
constexpr UINT kIdMixedCase = 510;
constexpr UINT kIdSentenceCase = 511;
constexpr UINT kIdStripNonText = 512;
constexpr UINT kIdTrayShiftLeft = 403;
constexpr UINT kIdTrayShiftRight = 404;
constexpr UINT kIdTrayRemoveLineBreaks = 405;
constexpr UINT kIdTrayLowerCase = 406;
constexpr UINT kIdTrayUpperCase = 407;
constexpr UINT kIdTrayMixedCase = 408;
constexpr UINT kIdTraySentenceCase = 409;
constexpr UINT kIdGlue = 513;
constexpr UINT kIdDeleteSelected = 514;
constexpr UINT kIdMoveToCollection = 515;
constexpr UINT kIdCopyToCollection = 516;
constexpr UINT kIdTrayGlue = 410;
constexpr UINT kIdFind = 313;
constexpr UINT kIdFindNext = 314;
constexpr UINT kIdEmptyTrash = 106;
constexpr UINT kIdNewClip = 107;
constexpr UINT kIdStepfeedUp = 517;
constexpr UINT kIdStepfeedDown = 518;
constexpr UINT kIdTrayStepfeedUp = 411;
constexpr UINT kIdTrayStepfeedDown = 412;
constexpr UINT kIdTraySelectPrevious = 413;
constexpr UINT kIdTraySelectNext = 414;
constexpr UINT kIdShowPDAlternates = 315;

// Every entry has an identifier of its own: two the same would run one
// entry's command for the other.
constexpr UINT kAllIds[] = {kIdFileSave,       kIdFileReload,       kIdExit,          kIdAutoCapture,
                            kIdLocateLastClip, kIdOpenSourceUrl,    kIdRenameTitle,   kIdSelectAll,
                            kIdSelectPrevious, kIdSelectNext,       kIdLargeIcons,    kIdViewDetails,
                            kIdTrayAutoCapture, kIdTrayExit,        kIdNewCollection, kIdCollectionProperties,
                            kIdSwitchToLast,   kIdSwitchToFavorite, MainMenus::kIdSelectCollection,
                            kIdExpandPreview,  kIdShiftLeft,        kIdShiftRight,    kIdRemoveLineBreaks,
                            kIdLowerCase,      kIdUpperCase,        kIdMixedCase,     kIdSentenceCase,
                            kIdStripNonText,   kIdTrayShiftLeft,    kIdTrayShiftRight, kIdTrayRemoveLineBreaks,
                            kIdTrayLowerCase,  kIdTrayUpperCase,    kIdTrayMixedCase, kIdTraySentenceCase,
                            kIdGlue,           kIdDeleteSelected,   kIdMoveToCollection, kIdCopyToCollection,
                            kIdTrayGlue,       kIdFind,             kIdFindNext,      kIdEmptyTrash,
                            kIdNewClip,        kIdStepfeedUp,       kIdStepfeedDown,  kIdTrayStepfeedUp,
                            kIdTrayStepfeedDown, kIdTraySelectPrevious, kIdTraySelectNext, kIdShowPDAlternates};
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
    {MenuItem::kShiftLeft, kIdShiftLeft},       {MenuItem::kShiftRight, kIdShiftRight},
    {MenuItem::kRemoveLineBreaks, kIdRemoveLineBreaks},
    {MenuItem::kLowerCase, kIdLowerCase},       {MenuItem::kUpperCase, kIdUpperCase},
    {MenuItem::kMixedCase, kIdMixedCase},       {MenuItem::kSentenceCase, kIdSentenceCase},
    {MenuItem::kTrayShiftLeft, kIdTrayShiftLeft}, {MenuItem::kTrayShiftRight, kIdTrayShiftRight},
    {MenuItem::kTrayRemoveLineBreaks, kIdTrayRemoveLineBreaks},
    {MenuItem::kTrayLowerCase, kIdTrayLowerCase}, {MenuItem::kTrayUpperCase, kIdTrayUpperCase},
    {MenuItem::kTrayMixedCase, kIdTrayMixedCase}, {MenuItem::kTraySentenceCase, kIdTraySentenceCase},
    {MenuItem::kExpandPreview, kIdExpandPreview},
    {MenuItem::kGlue, kIdGlue},                 {MenuItem::kTrayGlue, kIdTrayGlue},
    {MenuItem::kDeleteSelected, kIdDeleteSelected},
    {MenuItem::kMoveToCollection, kIdMoveToCollection},
    {MenuItem::kCopyToCollection, kIdCopyToCollection},
    {MenuItem::kStepfeedUp, kIdStepfeedUp},     {MenuItem::kStepfeedDown, kIdStepfeedDown},
    {MenuItem::kTrayStepfeedUp, kIdTrayStepfeedUp}, {MenuItem::kTrayStepfeedDown, kIdTrayStepfeedDown},
    {MenuItem::kShowPDAlternates, kIdShowPDAlternates},
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
    {kIdExpandPreview, MenuCommand::kExpandPreview},
    // The Edit menu's entries first: IdOfCommand names them.
    {kIdShiftLeft, MenuCommand::kShiftLeft},     {kIdShiftRight, MenuCommand::kShiftRight},
    {kIdRemoveLineBreaks, MenuCommand::kRemoveLineBreaks},
    {kIdLowerCase, MenuCommand::kLowerCase},     {kIdUpperCase, MenuCommand::kUpperCase},
    {kIdMixedCase, MenuCommand::kMixedCase},     {kIdSentenceCase, MenuCommand::kSentenceCase},
    {kIdStripNonText, MenuCommand::kStripNonText},
    {kIdGlue, MenuCommand::kGlue},               {kIdDeleteSelected, MenuCommand::kDeleteSelected},
    {kIdMoveToCollection, MenuCommand::kMoveToCollection},
    {kIdCopyToCollection, MenuCommand::kCopyToCollection},
    {kIdFind, MenuCommand::kFind},               {kIdFindNext, MenuCommand::kFindNext},
    {kIdEmptyTrash, MenuCommand::kEmptyTrash},   {kIdNewClip, MenuCommand::kNewClip},
    {kIdStepfeedUp, MenuCommand::kStepfeedUp},   {kIdStepfeedDown, MenuCommand::kStepfeedDown},
    {kIdTrayStepfeedUp, MenuCommand::kStepfeedUp}, {kIdTrayStepfeedDown, MenuCommand::kStepfeedDown},
    {kIdTraySelectPrevious, MenuCommand::kSelectPrevious}, {kIdTraySelectNext, MenuCommand::kSelectNext},
    {kIdShowPDAlternates, MenuCommand::kShowPDAlternates},
    {kIdTrayShiftLeft, MenuCommand::kShiftLeft}, {kIdTrayShiftRight, MenuCommand::kShiftRight},
    {kIdTrayRemoveLineBreaks, MenuCommand::kRemoveLineBreaks},
    {kIdTrayLowerCase, MenuCommand::kLowerCase}, {kIdTrayUpperCase, MenuCommand::kUpperCase},
    {kIdTrayMixedCase, MenuCommand::kMixedCase}, {kIdTraySentenceCase, MenuCommand::kSentenceCase},
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
        {kIdNewClip, "Create &New, Empty Clip"},
        {kIdEmptyTrash, "Empty &Trash"},
        {0, ""},
        {kIdExit, "E&xit"}}},
      {"&Edit",
       {{kIdRenameTitle, "Rename &Title\tCtrl+T"},
        {0, ""},
        {kIdShiftLeft, "<< Shift &Left"},
        {kIdShiftRight, ">> Shift &Right"},
        {kIdRemoveLineBreaks, "Remove Line&breaks\tCtrl+Alt+B"},
        {kIdLowerCase, "&Lower Case\tCtrl+Alt+L"},
        {kIdUpperCase, "&Upper Case\tCtrl+Alt+U"},
        {kIdMixedCase, "&Mixed Case\tCtrl+Alt+M"},
        {kIdSentenceCase, "&Sentence Case\tCtrl+Alt+S"},
        {kIdStripNonText, "Strip Out Non-TEXT Data Formats\tCtrl+Alt+T"},
        {0, ""},
        {kIdGlue, "Glue\tCtrl+G"},
        {kIdStepfeedUp, "Stepfeed &Up\tCtrl+U"},
        {kIdStepfeedDown, "Stepfeed &Down\tCtrl+D"},
        {0, ""},
        {kIdDeleteSelected, "&Delete Selected Items"},
        {kIdMoveToCollection, "Move Item To Collection"},
        {kIdCopyToCollection, "Copy Item To Collection"},
        {0, ""},
        {kIdSelectAll, "Select All Items\tCtrl+A"},
        {kIdSelectPrevious, "Select &Previous Item (Up)"},
        {kIdSelectNext, "Select &Next Item (Down)"}}},
      {"&Config", {{kIdAutoCapture, "&Auto Capture\tF12"}}},
      {"&View",
       {{kIdLocateLastClip, "&Locate Last Captured Clip"},
        {kIdOpenSourceUrl, "Open Source URL In Browser\tCtrl+O"},
        {0, ""},
        {kIdFind, "&Find (Search)...\tCtrl+F"},
        {kIdFindNext, "Find Ne&xt\tF3"},
        {0, ""},
        {kIdSwitchToLast, "Switch To &Last Collection\tF5"},
        {kIdSwitchToFavorite, "Switch To Fa&vorite Collection \tF6"},
        {kIdSelectCollection, "Select Collection\tF7"},
        {0, ""},
        {kIdLargeIcons, "Large Icons"},
        {kIdViewDetails, "View Details"},
        {0, ""},
        {kIdExpandPreview, "Expand Preview Window\tCtrl+Alt+X"},
        {0, ""},
        {kIdShowPDAlternates, "Show Alternate Collections in Pickdrop\tCtrl+F11"}}},
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
    Popup tray{tray_.get(),
               {{kIdTrayAutoCapture, "Aut&o Capture"},
                {0, ""},
                {kIdTrayShiftLeft, "<< Shift &Left"},
                {kIdTrayShiftRight, ">> Shift &Right"},
                {kIdTrayRemoveLineBreaks, "Remove Line&breaks"},
                {kIdTrayLowerCase, "&Lower Case"},
                {kIdTrayUpperCase, "&Upper Case"},
                {kIdTrayMixedCase, "&Mixed Case"},
                {kIdTraySentenceCase, "&Sentence Case"},
                {0, ""},
                {kIdTrayStepfeedUp, "Stepfeed &Up"},
                {kIdTrayStepfeedDown, "Stepfeed &Down"},
                {kIdTraySelectPrevious, "Select &Previous Item (Up)"},
                {kIdTraySelectNext, "Select &Next Item (Down)"},
                {kIdTrayGlue, "&Glue"},
                {0, ""},
                {kIdTrayExit, "E&xit Program (Shut Down)"}}};
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
      {FVIRTKEY | FCONTROL, 'G', static_cast<WORD>(kIdGlue)},
      {FVIRTKEY | FCONTROL, 'U', static_cast<WORD>(kIdStepfeedUp)},
      {FVIRTKEY | FCONTROL, 'D', static_cast<WORD>(kIdStepfeedDown)},
      {FVIRTKEY | FCONTROL, VK_F11, static_cast<WORD>(kIdShowPDAlternates)},
      {FVIRTKEY | FCONTROL, 'F', static_cast<WORD>(kIdFind)},
      {FVIRTKEY, VK_F3, static_cast<WORD>(kIdFindNext)},
      // Ctrl+Alt: these reach the window while the focus is in the preview's
      // text pane too (the message loop translates them before the control
      // sees the key).
      {FVIRTKEY | FCONTROL | FALT, 'B', static_cast<WORD>(kIdRemoveLineBreaks)},
      {FVIRTKEY | FCONTROL | FALT, 'L', static_cast<WORD>(kIdLowerCase)},
      {FVIRTKEY | FCONTROL | FALT, 'U', static_cast<WORD>(kIdUpperCase)},
      {FVIRTKEY | FCONTROL | FALT, 'M', static_cast<WORD>(kIdMixedCase)},
      {FVIRTKEY | FCONTROL | FALT, 'S', static_cast<WORD>(kIdSentenceCase)},
      {FVIRTKEY | FCONTROL | FALT, 'T', static_cast<WORD>(kIdStripNonText)},
      {FVIRTKEY | FCONTROL | FALT, 'X', static_cast<WORD>(kIdExpandPreview)},
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
  if (item == MenuItem::kMagPaste) {
    // Not a menu bar entry: the preview's Paste button and its text pane's
    // "Paste".
    if (preview_ != nullptr) {
      preview_->SetButtonEnabled(PreviewButton::kPaste, enabled);
      preview_->SetTextMenuEnabled(TextMenuItem::kPaste, enabled);
    }
    return;
  }
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
