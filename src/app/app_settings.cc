#include "app/app_settings.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>
#include <variant>

#include "app/paths.h"

namespace om {
namespace {

using IntRef = std::int32_t& (*)(TAppSettings&);
using BoolRef = bool& (*)(TAppSettings&);
using TextRef = std::string& (*)(TAppSettings&);
using FloatRef = double& (*)(TAppSettings&);

constexpr char kSectionPreferences[] = "Preferences";
constexpr char kSectionDataSources[] = "DataSources";
constexpr char kSectionDirs[] = "DataSources\\_Dirs";
constexpr char kSectionNoCtrlV[] = "Pickdrop_NoCtrlV";
constexpr char kUseDefaultPath[] = "UseWindowsDefaultDataPath";

constexpr char kRestartLine[] = "Ottermoor is started.  Please restart Ottermoor now.";

// The order in which Save writes section "Preferences" (AfterLoadDuration is
// read but never written).
constexpr const char* kPreferencesSaveOrder[] = {
    "GreyX", "Visibility", "RunMinimized", "ShowBinary", "ShowSearch", "ShowNOCRLF", "UseSysTray",
    "UseCollTitle", "BeepOnGlue", "BeepOnUpdate", "BeepOnErase", "BeepOnIgnore", "BeepOnSFComplete",
    "UseSounds", "InstalledAlready", "ShowHint", "HintHidePause", "LogLevel", "AutoSave", "AutoSaveInterval",
    "ShowItemTypeIcon", "StepfeedDelay", "ConfirmDeleteFromSafe", "PhantomDelay", "VER_ID", "WrapText",
    "MoveOrCopy", "FindScope", "ContinuallyPing", "PingInterval", "PingTolerance", "DelayOnClipboardUpdate",
    "DelayAfterCopy", "SettleTime", "ShowTypeIcons", "GlueSeparator", "GlueOmitExistingCRLF", "LastColl",
    "PDAlternateColl", "ShowPDAlternates", "PDStickyButtons", "PDTabButtonDown", "PDEnterButtonDown",
    "ThumbNailSize", "ThumbNailCacheSize"};

// The sections Save writes after "Preferences", each in the order of its table.
constexpr const char* kSectionsSavedAfterPreferences[] = {"HotKeys", "Fonts", "Printing",
                                                          "Position", "Export", "Stats"};

// The character set a font falls back to when the stored one is not a byte.
// Clamping would pick an arbitrary real character set (0 is ANSI, 255 OEM);
// the default set lets the system choose, as for a font never configured.
constexpr std::int32_t kDefaultCharset = 1;

std::int32_t DefaultInteger(const char* text) { return ParseDecimalInteger(text).value_or(0); }

}  // namespace

struct TAppSettings::ValueDef {
  const char* section;
  const char* name;
  std::variant<IntRef, BoolRef, TextRef, FloatRef> field;
  const char* default_text;  // as stored; nullptr: computed by Load (ExportDir)
};

#define OM_FIELD(member) +[](TAppSettings& s) -> decltype(auto) { return (s.member); }

const std::vector<TAppSettings::ValueDef>& TAppSettings::Values() {
  static const std::vector<ValueDef> values = {
      // Preferences, in load order.
      {"Preferences", "GreyX", OM_FIELD(GreyX), "1"},
      {"Preferences", "Visibility", OM_FIELD(Visibility), "1"},
      {"Preferences", "ShowBinary", OM_FIELD(ShowBinary), "0"},
      {"Preferences", "ShowNOCRLF", OM_FIELD(ShowNOCRLF), "0"},
      {"Preferences", "ShowSearch", OM_FIELD(ShowSearch), "0"},
      {"Preferences", "UseSysTray", OM_FIELD(UseSysTray), "1"},
      {"Preferences", "UseCollTitle", OM_FIELD(UseCollTitle), "1"},
      {"Preferences", "RunMinimized", OM_FIELD(RunMinimized), "0"},
      {"Preferences", "BeepOnGlue", OM_FIELD(BeepOnGlue), "1"},
      {"Preferences", "BeepOnUpdate", OM_FIELD(BeepOnUpdate), "1"},
      {"Preferences", "BeepOnErase", OM_FIELD(BeepOnErase), "1"},
      {"Preferences", "BeepOnIgnore", OM_FIELD(BeepOnIgnore), "1"},
      {"Preferences", "BeepOnSFComplete", OM_FIELD(BeepOnSFComplete), "1"},
      {"Preferences", "UseSounds", OM_FIELD(UseSounds), "1"},
      {"Preferences", "LastColl", OM_FIELD(LastColl), ""},
      {"Preferences", "PDAlternateColl", OM_FIELD(PDAlternateColl), "Long-Term"},
      {"Preferences", "ShowPDAlternates", OM_FIELD(ShowPDAlternates), "1"},
      {"Preferences", "PDStickyButtons", OM_FIELD(PDStickyButtons), "1"},
      {"Preferences", "PDTabButtonDown", OM_FIELD(PDTabButtonDown), "0"},
      {"Preferences", "PDEnterButtonDown", OM_FIELD(PDEnterButtonDown), "0"},
      {"Preferences", "InstalledAlready", OM_FIELD(InstalledAlready), "0"},
      {"Preferences", "ShowHint", OM_FIELD(ShowHint), "1"},
      {"Preferences", "HintHidePause", OM_FIELD(HintHidePause), "4500"},
      {"Preferences", "LogLevel", OM_FIELD(ctx_.log_level), "23"},
      {"Preferences", "AutoSave", OM_FIELD(AutoSave), "0"},
      {"Preferences", "AutoSaveInterval", OM_FIELD(AutoSaveInterval), "10"},
      {"Preferences", "ShowItemTypeIcon", OM_FIELD(ShowItemTypeIcon), "1"},
      {"Preferences", "AfterLoadDuration", OM_FIELD(AfterLoadDuration), "150"},
      {"Preferences", "StepfeedDelay", OM_FIELD(StepfeedDelay), "100"},
      {"Preferences", "ConfirmDeleteFromSafe", OM_FIELD(ConfirmDeleteFromSafe), "1"},
      {"Preferences", "PhantomDelay", OM_FIELD(PhantomDelay), "0"},
      {"Preferences", "VER_ID", OM_FIELD(VER_ID), "0"},
      {"Preferences", "WrapText", OM_FIELD(WrapText), "0"},
      {"Preferences", "MoveOrCopy", OM_FIELD(MoveOrCopy), "0"},
      {"Preferences", "FindScope", OM_FIELD(FindScope), "0"},
      {"Preferences", "ContinuallyPing", OM_FIELD(ContinuallyPing), "0"},
      {"Preferences", "PingInterval", OM_FIELD(PingInterval), "10"},
      {"Preferences", "PingTolerance", OM_FIELD(PingTolerance), "2"},
      {"Preferences", "DelayOnClipboardUpdate", OM_FIELD(DelayOnClipboardUpdate), "250"},
      {"Preferences", "DelayAfterCopy", OM_FIELD(DelayAfterCopy), "999"},
      {"Preferences", "SettleTime", OM_FIELD(SettleTime), "100"},
      {"Preferences", "GlueSeparator", OM_FIELD(GlueSeparator), "\\n"},  // backslash and n
      {"Preferences", "GlueOmitExistingCRLF", OM_FIELD(GlueOmitExistingCRLF), "1"},
      {"Preferences", "ShowTypeIcons", OM_FIELD(ShowTypeIcons), "1"},
      {"Preferences", "ThumbNailSize", OM_FIELD(ThumbNailSize), "64"},
      {"Preferences", "ThumbNailCacheSize", OM_FIELD(ThumbNailCacheSize), "32"},

      {"HotKeys", "HKActivate", OM_FIELD(HKActivate), "Ctrl+Alt+C"},
      {"HotKeys", "HKSelectNext", OM_FIELD(HKSelectNext), "Ctrl+Alt+N"},
      {"HotKeys", "HKSelectPrev", OM_FIELD(HKSelectPrev), "Ctrl+Alt+P"},
      {"HotKeys", "HKPickdrop", OM_FIELD(HKPickdrop), "Shift+Ctrl+Q"},

      {"Fonts", "ThumbNailFontName", OM_FIELD(ThumbNailFont.Name), "MS Sans Serif"},
      {"Fonts", "ThumbNailFontSize", OM_FIELD(ThumbNailFont.Size), "8"},
      {"Fonts", "OverrideFontName", OM_FIELD(OverrideFont.Name), ""},
      {"Fonts", "OverrideFontSize", OM_FIELD(OverrideFont.Size), "8"},
      {"Fonts", "MagFontName", OM_FIELD(MagFont.Name), "Courier New"},
      {"Fonts", "MagFontSize", OM_FIELD(MagFont.Size), "8"},
      {"Fonts", "MagFontCharset", OM_FIELD(MagFont.Charset), "1"},
      {"Fonts", "ClipListFontName", OM_FIELD(ClipListFont.Name), "MS Sans Serif"},
      {"Fonts", "ClipListFontSize", OM_FIELD(ClipListFont.Size), "8"},
      {"Fonts", "ClipListFontCharset", OM_FIELD(ClipListFont.Charset), "1"},

      {"Position", "Left1", OM_FIELD(Left1), "0"},
      {"Position", "Top1", OM_FIELD(Top1), "0"},
      {"Position", "Width1", OM_FIELD(Width1), "274"},
      {"Position", "Height1", OM_FIELD(Height1), "106"},
      {"Position", "Height1_Dropdown", OM_FIELD(Height1_Dropdown), "400"},
      {"Position", "Left2", OM_FIELD(Left2), "0"},
      {"Position", "Top2", OM_FIELD(Top2), "0"},
      {"Position", "Width2", OM_FIELD(Width2), "640"},
      {"Position", "Height2", OM_FIELD(Height2), "440"},
      {"Position", "split1", OM_FIELD(split1), "120"},
      {"Position", "split2", OM_FIELD(split2), "120"},
      {"Position", "split2a", OM_FIELD(split2a), "120"},
      {"Position", "ShowCaption", OM_FIELD(ShowCaption), "1"},
      {"Position", "ShowMainMenu", OM_FIELD(ShowMainMenu), "1"},
      {"Position", "StickyDropDown", OM_FIELD(StickyDropDown), "0"},
      {"Position", "PDLock", OM_FIELD(PDLock), "0"},
      {"Position", "LastView", OM_FIELD(LastView), "1"},
      {"Position", "CurrentSnap", OM_FIELD(CurrentSnap), "3"},
      {"Position", "MoveCopyMode", OM_FIELD(MoveCopyMode), "1"},
      {"Position", "Toolbar1Showing", OM_FIELD(Toolbar1Showing), "1"},
      {"Position", "Toolbar2Showing", OM_FIELD(Toolbar2Showing), "1"},
      {"Position", "Toolbar3Showing", OM_FIELD(Toolbar3Showing), "1"},

      {"Printing", "PrintFontName", OM_FIELD(PrintFont.Name), "Courier New"},
      {"Printing", "PrintFontSize", OM_FIELD(PrintFont.Size), "10"},
      {"Printing", "PrintPassThru", OM_FIELD(PrintPassThru), "1"},
      {"Printing", "QuickPrint", OM_FIELD(QuickPrint), "1"},
      {"Printing", "PrintDetails", OM_FIELD(PrintDetails), "1"},
      {"Printing", "PrintFooter", OM_FIELD(PrintFooter), "1"},
      {"Printing", "MultiPrint", OM_FIELD(MultiPrint), "1"},
      {"Printing", "PrintBitmapScaleFactor", OM_FIELD(PrintBitmapScaleFactor), "100"},
      {"Printing", "PrintMarginLeft", OM_FIELD(PrintMarginLeft), "+1"},
      {"Printing", "PrintMarginRight", OM_FIELD(PrintMarginRight), "+1"},
      {"Printing", "PrintMarginTop", OM_FIELD(PrintMarginTop), "+0.5"},
      {"Printing", "PrintMarginBottom", OM_FIELD(PrintMarginBottom), "+0.5"},

      {"Export", "ExportDir", OM_FIELD(ExportDir), nullptr},
      {"Export", "FileNameConvention", OM_FIELD(FileNameConvention), "1"},
      {"Export", "CopyNamesToClipboard", OM_FIELD(CopyNamesToClipboard), "1"},
      {"Export", "SaveBmpAsJpg", OM_FIELD(SaveBmpAsJpg), "0"},
      {"Export", "JpgQuality", OM_FIELD(JpgQuality), "50"},
      {"Export", "EraseDirContents", OM_FIELD(EraseDirContents), "0"},
      {"Export", "OpenFolder", OM_FIELD(OpenFolder), "0"},
      {"Export", "ResetSequence", OM_FIELD(ResetSequence), "0"},
      {"Export", "Sequence", OM_FIELD(Sequence), "1"},

      {"Stats", "Captured", OM_FIELD(Captured), "0"},
      {"Stats", "CopiedBack", OM_FIELD(CopiedBack), "0"},
      {"Stats", "Printed", OM_FIELD(Printed), "0"},
      {"Stats", "Edits", OM_FIELD(Edits), "0"},
      {"Stats", "Exported", OM_FIELD(Exported), "0"},
  };
  return values;
}

#undef OM_FIELD

TAppSettings::TAppSettings(std::string registry_key, TAppSettingsContext context)
    : RegistryKey(std::move(registry_key)), ctx_(std::move(context)), values_(ctx_.store, RegistryKey) {}

void TAppSettings::ReadSection(const char* section) {
  for (const ValueDef& v : Values()) {
    if (std::string_view(v.section) != section) continue;
    const std::string def = v.default_text ? v.default_text : export_dir_default_;
    if (auto* f = std::get_if<IntRef>(&v.field)) {
      (*f)(*this) = values_.ReadInteger(v.section, v.name, DefaultInteger(def.c_str()));
    } else if (auto* f = std::get_if<BoolRef>(&v.field)) {
      (*f)(*this) = values_.ReadBool(v.section, v.name, DefaultInteger(def.c_str()) != 0);
    } else if (auto* f = std::get_if<TextRef>(&v.field)) {
      (*f)(*this) = values_.ReadString(v.section, v.name, def);
    } else if (auto* f = std::get_if<FloatRef>(&v.field)) {
      // Stored as text in the locale's format; text that does not convert is 1.0.
      (*f)(*this) = ctx_.locale.ParseFloat(values_.ReadString(v.section, v.name, def)).value_or(1.0);
    }
  }
}

void TAppSettings::WriteValue(const ValueDef& v) {
  if (auto* f = std::get_if<IntRef>(&v.field)) {
    values_.WriteInteger(v.section, v.name, (*f)(*this));
  } else if (auto* f = std::get_if<BoolRef>(&v.field)) {
    values_.WriteBool(v.section, v.name, (*f)(*this));
  } else if (auto* f = std::get_if<TextRef>(&v.field)) {
    values_.WriteString(v.section, v.name, (*f)(*this));
  } else if (auto* f = std::get_if<FloatRef>(&v.field)) {
    values_.WriteString(v.section, v.name, ctx_.locale.FormatFloat((*f)(*this)));
  }
}

void TAppSettings::CorrectWindowRectangles() {
  const ScreenSize screen = ctx_.screen.PrimaryScreenSize();
  auto correct = [&](std::int32_t& left, std::int32_t& top, std::int32_t& width, std::int32_t& height,
                     std::int32_t replacement_width, std::int32_t replacement_height) {
    if (left < 0) left = 0;
    if (width > screen.width || width < 0) width = replacement_width;
    if (left > screen.width - 32) left = screen.width - width;
    if (top < 0) top = 0;
    if (height > screen.height || height < 0) height = replacement_height;
    if (top > screen.height - 32) top = screen.height - height;
  };
  correct(Left1, Top1, Width1, Height1, 274, 106);
  correct(Left2, Top2, Width2, Height2, 600, 206);
}

std::string TAppSettings::ComputeDefaultDataPath() {
  constexpr char kTail[] = "\\Brenholt\\Ottermoor\\";
  if (auto folder = ctx_.folders.AppDataFolder(); folder && !folder->empty())
    return ExcludeTrailingBackslash(*folder) + kTail;
  if (auto folder = ctx_.folders.DocumentsFolder(); folder && !folder->empty())
    return ExcludeTrailingBackslash(*folder) + kTail;
  return AppDir + "data\\";
}

void TAppSettings::WriteDataSource(std::string_view name, std::string_view dirs_value,
                                   std::string_view directory) {
  const std::string section = std::string(kSectionDataSources) + "\\" + std::string(name);
  values_.WriteString(kSectionDirs, name, dirs_value);
  values_.WriteString(section, "Description", name);
  values_.WriteString(section, "Directory", directory);
  values_.WriteBool(section, "Read_Only", false);
  values_.WriteBool(section, "AutoLoad", true);
}

void TAppSettings::LoadDataSources() {
  std::vector<std::string> names = values_.ValueNames(kSectionDirs);
  std::optional<std::string> confirmed;
  while (names.empty()) {
    const auto folder = ctx_.data_folder_chooser.ChooseDataFolder(default_data_path_);
    if (!folder || folder->empty()) continue;  // no data source, no program: ask again
    confirmed = IncludeTrailingBackslash(*folder);
    WriteDataSource(kMyClips, "0", *confirmed);
    names = values_.ValueNames(kSectionDirs);
    // A store that refuses the source would bring the dialog back forever;
    // this run goes on with the folder the user confirmed instead.
    if (names.empty()) names.emplace_back(kMyClips);
  }

  const auto my_clips = std::find(names.begin(), names.end(), kMyClips);
  if (my_clips != names.end() && my_clips != names.begin()) std::iter_swap(names.begin(), my_clips);

  DataSources.clear();
  std::int32_t largest_id = std::numeric_limits<std::int32_t>::min();
  for (const std::string& name : names) {
    const std::string section = std::string(kSectionDataSources) + "\\" + name;
    // Defaults from the confirmed folder only matter when the store refused it.
    const bool from_dialog = confirmed && name == kMyClips;
    TDataSource source;
    source.Description = values_.ReadString(section, "Description", from_dialog ? kMyClips : "");
    source.Directory = values_.ReadString(section, "Directory", from_dialog ? *confirmed : "");
    source.Read_Only = values_.ReadBool(section, "Read_Only", false);
    source.AutoLoad = values_.ReadBool(section, "AutoLoad", true);
    source.ID = values_.ReadInteger(kSectionDataSources, name, 1);
    source.Online = false;
    largest_id = std::max(largest_id, source.ID);
    DataSources.push_back({name, std::move(source)});
  }
  NextSourceNumber = largest_id < std::numeric_limits<std::int32_t>::max() ? largest_id + 1 : largest_id;
}

void TAppSettings::Load() {
  NoSaveOnExit = false;
  FreshDataFolder = false;
  AppDir = DirectoryOf(ctx_.program_file);

  ReadSection(kSectionPreferences);
  // Start-up waits this long before anything else; a negative value would be
  // taken as an unsigned wait of weeks.
  PhantomDelay = std::max(PhantomDelay, 0);

  ReadSection("HotKeys");

  ThumbNailFont = OverrideFont = MagFont = ClipListFont = TFontDesc{};
  ReadSection("Fonts");
  for (TFontDesc* font : {&MagFont, &ClipListFont}) {
    if (font->Charset < 0 || font->Charset > 255) font->Charset = kDefaultCharset;
  }

  ReadSection("Position");
  split1 = std::max(split1, 30);
  split2 = std::max(split2, 30);
  split2a = std::max(split2a, 30);
  CorrectWindowRectangles();

  PrintFont = TFontDesc{};
  ReadSection("Printing");

  const auto documents = ctx_.folders.DocumentsFolder();
  export_dir_default_ =
      (documents && !documents->empty() ? ExcludeTrailingBackslash(*documents) : std::string()) +
      "\\Ottermoor_Export";
  ReadSection("Export");
  JpgQuality = std::clamp(JpgQuality, 1, 100);

  ReadSection("Stats");

  NoCtrlVList = values_.ValueNames(kSectionNoCtrlV);

  default_data_path_ = ComputeDefaultDataPath();
  if (values_.ReadBool(kSectionDataSources, kUseDefaultPath, false)) {
    WriteDataSource(kMyClips, "1", default_data_path_);
    values_.WriteBool(kSectionDataSources, kUseDefaultPath, false);
  }

  LoadDataSources();

  // Fresh when the primary directory holds no sub-directory (a missing or
  // unreadable directory counts as empty).
  bool has_subdirectory = false;
  std::error_code error;
  for (std::filesystem::directory_iterator it(ToFsPath(DataSources.front().Source.Directory), error), end;
       !error && it != end; it.increment(error)) {
    if (it->is_directory(error)) {
      has_subdirectory = true;
      break;
    }
  }
  FreshDataFolder = !has_subdirectory;
}

void TAppSettings::Save() {
  if (NoSaveOnExit) return;
  const int failed_before = values_.FailedWrites();

  for (const char* name : kPreferencesSaveOrder) {
    for (const ValueDef& v : Values()) {
      if (std::string_view(v.section) == kSectionPreferences && std::string_view(v.name) == name) WriteValue(v);
    }
  }
  for (const char* section : kSectionsSavedAfterPreferences) {
    for (const ValueDef& v : Values()) {
      if (std::string_view(v.section) == section) WriteValue(v);
    }
  }
  // The fonts are plain descriptions here; the system fonts made from them
  // belong to the windows, so there is nothing to release.

  values_.DeleteSection(kSectionNoCtrlV);
  for (const std::string& title : NoCtrlVList) values_.WriteString(kSectionNoCtrlV, title, "1");

  values_.DeleteSection(kSectionDataSources);
  for (const TDataSourceEntry& entry : DataSources) {
    const std::string section = std::string(kSectionDataSources) + "\\" + entry.Name;
    values_.WriteString(kSectionDirs, entry.Name, "1");
    values_.WriteString(section, "Description", entry.Source.Description);
    values_.WriteString(section, "Directory", entry.Source.Directory);
    values_.WriteBool(section, "Read_Only", entry.Source.Read_Only);
    values_.WriteBool(section, "AutoLoad", entry.Source.AutoLoad);
  }

  if (const int failed = values_.FailedWrites() - failed_before; failed > 0) {
    Log(loglevel::kError, "TAppSettings.Save",
        std::to_string(failed) + " settings could not be written to " + RegistryKey);
  }
}

void TAppSettings::ResetAll() {
  NoSaveOnExit = true;
  values_.DeleteRoot();
  ctx_.messages.Information(std::string("All settings will be reset to defaults the next time \r\n") +
                            kRestartLine);
}

void TAppSettings::ResetSizePosition() {
  NoSaveOnExit = true;
  for (const char* section : {"Position", "lvClips", "lvPD"}) values_.DeleteSection(section);
  ctx_.messages.Information(std::string("Size/Position settings will be reset to defaults the next time \r\n") +
                            kRestartLine);
}

void TAppSettings::ClearAppProfile() {
  values_.DeleteSection("Application Profile");
  ctx_.messages.Information("Application Profile Has Been Cleared.");
}

}  // namespace om
