// The settings tree as the program writes it: every value name, its section
// and text form. Shared by the native round trip and the one against the
// real registry under Wine.
#pragma once

#include <string>
#include <vector>

namespace om::testing {

struct GoldenValue {
  const char* section;
  const char* name;
  const char* text;
};

// Every value Save writes (data sources and the no-Ctrl+V list aside), with
// its default as Save writes it. ExportDir depends on the documents folder
// and is left out.
inline const std::vector<GoldenValue>& DefaultValues() {
  static const std::vector<GoldenValue> values = {
      {"Preferences", "GreyX", "1"}, {"Preferences", "Visibility", "1"},
      {"Preferences", "ShowBinary", "0"}, {"Preferences", "ShowNOCRLF", "0"},
      {"Preferences", "ShowSearch", "0"}, {"Preferences", "UseSysTray", "1"},
      {"Preferences", "UseCollTitle", "1"}, {"Preferences", "RunMinimized", "0"},
      {"Preferences", "BeepOnGlue", "1"}, {"Preferences", "BeepOnUpdate", "1"},
      {"Preferences", "BeepOnErase", "1"}, {"Preferences", "BeepOnIgnore", "1"},
      {"Preferences", "BeepOnSFComplete", "1"}, {"Preferences", "UseSounds", "1"},
      {"Preferences", "LastColl", ""}, {"Preferences", "PDAlternateColl", "Long-Term"},
      {"Preferences", "ShowPDAlternates", "1"}, {"Preferences", "PDStickyButtons", "1"},
      {"Preferences", "PDTabButtonDown", "0"}, {"Preferences", "PDEnterButtonDown", "0"},
      {"Preferences", "InstalledAlready", "0"}, {"Preferences", "ShowHint", "1"},
      {"Preferences", "HintHidePause", "4500"}, {"Preferences", "LogLevel", "23"},
      {"Preferences", "AutoSave", "0"}, {"Preferences", "AutoSaveInterval", "10"},
      {"Preferences", "ShowItemTypeIcon", "1"}, {"Preferences", "StepfeedDelay", "100"},
      {"Preferences", "ConfirmDeleteFromSafe", "1"}, {"Preferences", "PhantomDelay", "0"},
      {"Preferences", "VER_ID", "0"}, {"Preferences", "WrapText", "0"},
      {"Preferences", "MoveOrCopy", "0"}, {"Preferences", "FindScope", "0"},
      {"Preferences", "ContinuallyPing", "0"}, {"Preferences", "PingInterval", "10"},
      {"Preferences", "PingTolerance", "2"}, {"Preferences", "DelayOnClipboardUpdate", "250"},
      {"Preferences", "DelayAfterCopy", "999"}, {"Preferences", "SettleTime", "100"},
      {"Preferences", "GlueSeparator", "\\n"}, {"Preferences", "GlueOmitExistingCRLF", "1"},
      {"Preferences", "ShowTypeIcons", "1"}, {"Preferences", "ThumbNailSize", "64"},
      {"Preferences", "ThumbNailCacheSize", "32"},

      {"HotKeys", "HKActivate", "Ctrl+Alt+C"}, {"HotKeys", "HKSelectNext", "Ctrl+Alt+N"},
      {"HotKeys", "HKSelectPrev", "Ctrl+Alt+P"}, {"HotKeys", "HKPickdrop", "Shift+Ctrl+Q"},

      {"Fonts", "ThumbNailFontName", "MS Sans Serif"}, {"Fonts", "ThumbNailFontSize", "8"},
      {"Fonts", "OverrideFontName", ""}, {"Fonts", "OverrideFontSize", "8"},
      {"Fonts", "MagFontName", "Courier New"}, {"Fonts", "MagFontSize", "8"},
      {"Fonts", "MagFontCharset", "1"}, {"Fonts", "ClipListFontName", "MS Sans Serif"},
      {"Fonts", "ClipListFontSize", "8"}, {"Fonts", "ClipListFontCharset", "1"},

      {"Position", "Left1", "0"}, {"Position", "Top1", "0"},
      {"Position", "Width1", "274"}, {"Position", "Height1", "106"},
      {"Position", "Height1_Dropdown", "400"}, {"Position", "Left2", "0"},
      {"Position", "Top2", "0"}, {"Position", "Width2", "640"},
      {"Position", "Height2", "440"}, {"Position", "split1", "120"},
      {"Position", "split2", "120"}, {"Position", "split2a", "120"},
      {"Position", "ShowCaption", "1"}, {"Position", "ShowMainMenu", "1"},
      {"Position", "StickyDropDown", "0"}, {"Position", "PDLock", "0"},
      {"Position", "LastView", "1"}, {"Position", "CurrentSnap", "3"},
      {"Position", "MoveCopyMode", "1"}, {"Position", "Toolbar1Showing", "1"},
      {"Position", "Toolbar2Showing", "1"}, {"Position", "Toolbar3Showing", "1"},

      {"Printing", "PrintFontName", "Courier New"}, {"Printing", "PrintFontSize", "10"},
      {"Printing", "PrintPassThru", "1"}, {"Printing", "QuickPrint", "1"},
      {"Printing", "PrintDetails", "1"}, {"Printing", "PrintFooter", "1"},
      {"Printing", "MultiPrint", "1"}, {"Printing", "PrintBitmapScaleFactor", "100"},
      {"Printing", "PrintMarginLeft", "1"}, {"Printing", "PrintMarginRight", "1"},
      {"Printing", "PrintMarginTop", "0.5"}, {"Printing", "PrintMarginBottom", "0.5"},

      {"Export", "FileNameConvention", "1"}, {"Export", "CopyNamesToClipboard", "1"},
      {"Export", "SaveBmpAsJpg", "0"}, {"Export", "JpgQuality", "50"},
      {"Export", "EraseDirContents", "0"}, {"Export", "OpenFolder", "0"},
      {"Export", "ResetSequence", "0"}, {"Export", "Sequence", "1"},

      {"Stats", "Captured", "0"}, {"Stats", "CopiedBack", "0"}, {"Stats", "Printed", "0"},
      {"Stats", "Edits", "0"}, {"Stats", "Exported", "0"},
  };
  return values;
}

// The same values, each with a text that is not its default and that Load
// keeps as it is (inside the screen, above the minimums, in range), so a
// tree of these written, loaded and saved again must come back unchanged.
inline const std::vector<GoldenValue>& NonDefaultValues() {
  static const std::vector<GoldenValue> values = {
      {"Preferences", "GreyX", "2"}, {"Preferences", "Visibility", "0"},
      {"Preferences", "ShowBinary", "1"}, {"Preferences", "ShowNOCRLF", "1"},
      {"Preferences", "ShowSearch", "1"}, {"Preferences", "UseSysTray", "0"},
      {"Preferences", "UseCollTitle", "0"}, {"Preferences", "RunMinimized", "1"},
      {"Preferences", "BeepOnGlue", "0"}, {"Preferences", "BeepOnUpdate", "0"},
      {"Preferences", "BeepOnErase", "0"}, {"Preferences", "BeepOnIgnore", "0"},
      {"Preferences", "BeepOnSFComplete", "0"}, {"Preferences", "UseSounds", "0"},
      {"Preferences", "LastColl", "Recipes, 2024"}, {"Preferences", "PDAlternateColl", "Snippets"},
      {"Preferences", "ShowPDAlternates", "0"}, {"Preferences", "PDStickyButtons", "0"},
      {"Preferences", "PDTabButtonDown", "1"}, {"Preferences", "PDEnterButtonDown", "1"},
      {"Preferences", "InstalledAlready", "1"}, {"Preferences", "ShowHint", "0"},
      {"Preferences", "HintHidePause", "2500"}, {"Preferences", "LogLevel", "127"},
      {"Preferences", "AutoSave", "1"}, {"Preferences", "AutoSaveInterval", "5"},
      {"Preferences", "ShowItemTypeIcon", "0"}, {"Preferences", "StepfeedDelay", "40"},
      {"Preferences", "ConfirmDeleteFromSafe", "0"}, {"Preferences", "PhantomDelay", "3000"},
      {"Preferences", "VER_ID", "1002"}, {"Preferences", "WrapText", "1"},
      {"Preferences", "MoveOrCopy", "2"}, {"Preferences", "FindScope", "3"},
      {"Preferences", "ContinuallyPing", "1"}, {"Preferences", "PingInterval", "30"},
      {"Preferences", "PingTolerance", "5"}, {"Preferences", "DelayOnClipboardUpdate", "125"},
      {"Preferences", "DelayAfterCopy", "1500"}, {"Preferences", "SettleTime", "60"},
      {"Preferences", "GlueSeparator", " -- "}, {"Preferences", "GlueOmitExistingCRLF", "0"},
      {"Preferences", "ShowTypeIcons", "0"}, {"Preferences", "ThumbNailSize", "96"},
      {"Preferences", "ThumbNailCacheSize", "48"},

      {"HotKeys", "HKActivate", "Ctrl+Shift+F1"}, {"HotKeys", "HKSelectNext", "Alt+F2"},
      {"HotKeys", "HKSelectPrev", "Alt+F3"}, {"HotKeys", "HKPickdrop", "Ctrl+Alt+V"},

      {"Fonts", "ThumbNailFontName", "Tahoma"}, {"Fonts", "ThumbNailFontSize", "7"},
      {"Fonts", "OverrideFontName", "Verdana"}, {"Fonts", "OverrideFontSize", "9"},
      {"Fonts", "MagFontName", "Lucida Console"}, {"Fonts", "MagFontSize", "11"},
      {"Fonts", "MagFontCharset", "204"}, {"Fonts", "ClipListFontName", "Arial"},
      {"Fonts", "ClipListFontSize", "12"}, {"Fonts", "ClipListFontCharset", "0"},

      {"Position", "Left1", "10"}, {"Position", "Top1", "20"},
      {"Position", "Width1", "300"}, {"Position", "Height1", "120"},
      {"Position", "Height1_Dropdown", "350"}, {"Position", "Left2", "40"},
      {"Position", "Top2", "50"}, {"Position", "Width2", "700"},
      {"Position", "Height2", "500"}, {"Position", "split1", "150"},
      {"Position", "split2", "160"}, {"Position", "split2a", "170"},
      {"Position", "ShowCaption", "0"}, {"Position", "ShowMainMenu", "0"},
      {"Position", "StickyDropDown", "1"}, {"Position", "PDLock", "1"},
      {"Position", "LastView", "2"}, {"Position", "CurrentSnap", "1"},
      {"Position", "MoveCopyMode", "2"}, {"Position", "Toolbar1Showing", "0"},
      {"Position", "Toolbar2Showing", "0"}, {"Position", "Toolbar3Showing", "0"},

      {"Printing", "PrintFontName", "Consolas"}, {"Printing", "PrintFontSize", "12"},
      {"Printing", "PrintPassThru", "0"}, {"Printing", "QuickPrint", "0"},
      {"Printing", "PrintDetails", "0"}, {"Printing", "PrintFooter", "0"},
      {"Printing", "MultiPrint", "0"}, {"Printing", "PrintBitmapScaleFactor", "75"},
      {"Printing", "PrintMarginLeft", "0.75"}, {"Printing", "PrintMarginRight", "1.25"},
      {"Printing", "PrintMarginTop", "0.3"}, {"Printing", "PrintMarginBottom", "2"},

      {"Export", "ExportDir", "D:\\Exports\\Clips"},
      {"Export", "FileNameConvention", "3"}, {"Export", "CopyNamesToClipboard", "0"},
      {"Export", "SaveBmpAsJpg", "1"}, {"Export", "JpgQuality", "85"},
      {"Export", "EraseDirContents", "1"}, {"Export", "OpenFolder", "1"},
      {"Export", "ResetSequence", "1"}, {"Export", "Sequence", "42"},

      {"Stats", "Captured", "1234"}, {"Stats", "CopiedBack", "567"}, {"Stats", "Printed", "8"},
      {"Stats", "Edits", "91"}, {"Stats", "Exported", "23"},
  };
  return values;
}

}  // namespace om::testing
