// The process-wide settings object: plain public fields named after their
// registry values, loaded once at start-up, saved once at shutdown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/app_log.h"
#include "app/app_messages.h"
#include "app/data_folder_chooser.h"
#include "app/font_desc.h"
#include "app/settings_values.h"
#include "platform/key_value_store.h"
#include "platform/locale.h"
#include "platform/screen.h"
#include "platform/shell_folders.h"

namespace om {

inline constexpr char kRegistryKey[] = "Software\\Brenholt\\Ottermoor";
inline constexpr char kMyClips[] = "My Clips";

// One data source: a directory that holds collection folders.
struct TDataSource {
  std::int32_t ID = 0;
  bool Online = false;
  std::string Description;
  std::string Directory;  // absolute, with trailing backslash
  bool Read_Only = false;
  bool AutoLoad = false;
};

struct TDataSourceEntry {
  std::string Name;
  TDataSource Source;
};

// What the settings reach the system through.
struct TAppSettingsContext {
  IKeyValueStore& store;
  ILocale& locale;
  IShellFolders& folders;
  IScreen& screen;
  IDataFolderChooser& data_folder_chooser;
  IAppMessages& messages;
  std::string program_file;  // full path of the program file
  std::int32_t& log_level = LogLevelVariable();
};

class TAppSettings {
 public:
  // Create: every field zero, empty or false; nothing is read yet.
  TAppSettings(std::string registry_key, TAppSettingsContext context);

  // Reads everything; may show the data-folder dialog until a folder is chosen.
  void Load();
  // Writes everything back; nothing while NoSaveOnExit is set.
  void Save();
  // The reset operations: each deletes part of the tree and says so.
  void ResetAll();
  void ResetSizePosition();
  void ClearAppProfile();

  std::string RegistryKey;
  std::string AppDir;
  bool NoSaveOnExit = false;
  bool FreshDataFolder = false;

  // Preferences (LogLevel lives in the log's mask, see LogLevelVariable).
  std::int32_t GreyX = 0;
  std::int32_t Visibility = 0;
  bool ShowBinary = false;
  bool ShowNOCRLF = false;
  bool ShowSearch = false;
  bool UseSysTray = false;
  bool UseCollTitle = false;
  bool RunMinimized = false;
  bool BeepOnGlue = false;
  bool BeepOnUpdate = false;
  bool BeepOnErase = false;
  bool BeepOnIgnore = false;
  bool BeepOnSFComplete = false;
  bool UseSounds = false;
  std::string LastColl;
  std::string PDAlternateColl;
  bool ShowPDAlternates = false;
  bool PDStickyButtons = false;
  bool PDTabButtonDown = false;
  bool PDEnterButtonDown = false;
  bool InstalledAlready = false;
  bool ShowHint = false;
  std::int32_t HintHidePause = 0;
  bool AutoSave = false;
  std::int32_t AutoSaveInterval = 0;
  bool ShowItemTypeIcon = false;
  std::int32_t AfterLoadDuration = 0;
  std::int32_t StepfeedDelay = 0;
  // Kept as the number stored: deleting from a safe collection asks first
  // only when it is exactly 1 (a stored 2 reads as true for a boolean, yet
  // does not ask).
  std::int32_t ConfirmDeleteFromSafe = 0;
  std::int32_t PhantomDelay = 0;
  std::int32_t VER_ID = 0;
  bool WrapText = false;
  std::int32_t MoveOrCopy = 0;
  std::int32_t FindScope = 0;
  bool ContinuallyPing = false;
  std::int32_t PingInterval = 0;
  std::int32_t PingTolerance = 0;
  std::int32_t DelayOnClipboardUpdate = 0;
  std::int32_t DelayAfterCopy = 0;
  std::int32_t SettleTime = 0;
  std::string GlueSeparator;
  bool GlueOmitExistingCRLF = false;
  bool ShowTypeIcons = false;
  std::int32_t ThumbNailSize = 0;
  std::int32_t ThumbNailCacheSize = 0;

  // HotKeys
  std::string HKActivate;
  std::string HKSelectNext;
  std::string HKSelectPrev;
  std::string HKPickdrop;

  // Fonts (and PrintFont from "Printing")
  TFontDesc ThumbNailFont;
  TFontDesc OverrideFont;
  TFontDesc MagFont;
  TFontDesc ClipListFont;
  TFontDesc PrintFont;

  // Position
  std::int32_t Left1 = 0, Top1 = 0, Width1 = 0, Height1 = 0, Height1_Dropdown = 0;
  std::int32_t Left2 = 0, Top2 = 0, Width2 = 0, Height2 = 0;
  std::int32_t split1 = 0, split2 = 0, split2a = 0;
  bool ShowCaption = false;
  bool ShowMainMenu = false;
  bool StickyDropDown = false;
  bool PDLock = false;
  std::int32_t LastView = 0;
  std::int32_t CurrentSnap = 0;
  std::int32_t MoveCopyMode = 0;
  bool Toolbar1Showing = false, Toolbar2Showing = false, Toolbar3Showing = false;

  // Printing
  bool PrintPassThru = false;
  bool QuickPrint = false;
  bool PrintDetails = false;
  bool PrintFooter = false;
  bool MultiPrint = false;
  std::int32_t PrintBitmapScaleFactor = 0;
  double PrintMarginLeft = 0, PrintMarginRight = 0, PrintMarginTop = 0, PrintMarginBottom = 0;  // inches

  // Export
  std::string ExportDir;
  std::int32_t FileNameConvention = 0;
  bool CopyNamesToClipboard = false;
  bool SaveBmpAsJpg = false;
  std::int32_t JpgQuality = 0;
  bool EraseDirContents = false;
  bool OpenFolder = false;
  bool ResetSequence = false;
  std::int32_t Sequence = 0;

  // Stats
  std::int32_t Captured = 0, CopiedBack = 0, Printed = 0, Edits = 0, Exported = 0;

  // The data sources, index 0 the primary one; the no-Ctrl+V window titles;
  // one more than the largest source number read.
  std::vector<TDataSourceEntry> DataSources;
  std::vector<std::string> NoCtrlVList;
  std::int32_t NextSourceNumber = 0;

  // The default data path as Load computed it.
  const std::string& DefaultDataPath() const { return default_data_path_; }

 private:
  struct ValueDef;
  static const std::vector<ValueDef>& Values();

  void ReadSection(const char* section);
  void WriteValue(const ValueDef& value);
  void CorrectWindowRectangles();
  std::string ComputeDefaultDataPath();
  void WriteDataSource(std::string_view name, std::string_view dirs_value, std::string_view directory);
  void LoadDataSources();

  TAppSettingsContext ctx_;
  TSettingsValues values_;
  std::string default_data_path_;
  std::string export_dir_default_;
};

}  // namespace om
