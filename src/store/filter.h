// The application profile: for each pair of source application and
// clipboard format, whether a capture keeps that format.
//
// It lives in the settings' registry key, below "Application Profile":
//   "_FILTERS"   one value per known application: "1" its data is
//                captured, "0" nothing from it is;
//   APPLICATION  one value per format seen from it: "1" kept, "0" dropped.
// All values are decimal text read with the settings' integer rules; a
// missing or unreadable value is its default (2: the application is unseen;
// -1: the format is new).
//
// The profile learns by itself: the first capture from an unseen
// application builds its entry from what the clipboard offers at that
// moment (MakeQuickieFilter), and the first time a format is seen from a
// known application a yes or no is stored for it (IsCoffee). The user
// changes the values with the profile editor (filter_editor.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings_values.h"
#include "clipboard/format_names.h"
#include "platform/clipboard_system.h"
#include "platform/key_value_store.h"

namespace om {

// What capture asks, once per format offered: whether data of `app` (the
// creator name of the source application) in the format named `format` is
// to be kept. The profile answers it; tests answer it by rules of their own.
class IFormatFilter {
 public:
  virtual ~IFormatFilter() = default;
  virtual bool IsCoffee(std::string_view app, std::string_view format) = 0;
};

inline constexpr char kAppProfileKey[] = "Application Profile";
inline constexpr char kAppFiltersKey[] = "_FILTERS";
// The key's default value, written whenever the profile is created.
inline constexpr char kAppProfileMarker[] = "5102114";
// The application name of data whose source is not known.
inline constexpr char kUnknownApp[] = "UNKNOWN";

// Formats the profile never keeps and never stores: the system's copies of
// text in other encodings, the program's ping, and formats nobody pastes.
inline constexpr std::array<const char*, 7> kNeverCapturedFormats = {
    "OEMTEXT", kPingFormatName, "LOCALE", "UNICODTEXT", "Borland IDE Block Type", "DSPTEXT", "PALETTE"};

// True for the names of formats without a name of their own: "UNKNOWN",
// "UNKN_PUBLIC" and the "UNKN_PUBLIC:<number>" names that standard numbers
// outside the format table get. Those names say nothing about the data, so
// a profile entry for one (a number of its own each) would only clutter the
// editor; they are dropped like the bare name.
bool IsNamelessFormat(std::string_view format);

class Tfilter final : public IFormatFilter {
 public:
  // Create: opens (creating it when missing) "Application Profile" below
  // `settings_key` (the settings' root, "Software\Brenholt\Ottermoor") and
  // writes the key's marker. A store that refuses the writes leaves a
  // profile that decides by its first-sight rules every time.
  Tfilter(IKeyValueStore& store, std::string_view settings_key, IClipboardSystem& clipboard);

  // True when the application is known; AppEnabled becomes true exactly
  // when its "_FILTERS" value is 1.
  bool HasFilter(std::string_view app);
  // True when the format is to be captured; learns unseen applications and
  // new formats on the way. Called during the capture, with the clipboard
  // open: the checks of what the clipboard offers refer to the data being
  // captured.
  bool IsCoffee(std::string_view app, std::string_view format) override;
  // Builds the entry of an unseen application from what the clipboard
  // offers now and marks it known and enabled. True when text or a picture
  // was offered.
  bool MakeQuickieFilter(std::string_view app);

  // Set by HasFilter (and by IsCoffee from MakeQuickieFilter); meaningful
  // only from HasFilter to the end of the same IsCoffee.
  bool AppEnabled = false;
  // Whether web pages can be previewed (the embedded browser is there):
  // decides which rich form of a browser's data a new browser entry keeps.
  // The main window sets it once it knows.
  bool HtmlPreviewAvailable = false;

  // --- the stored values, as the profile editor shows and changes them ---

  // The value names of "_FILTERS", in the store's order.
  std::vector<std::string> ApplicationNames();
  // The "_FILTERS" value of the application; 2 when it is unseen.
  std::int32_t ApplicationValue(std::string_view app);
  bool SetApplicationValue(std::string_view app, std::int32_t value);
  // The value names under the application's key, in the store's order.
  std::vector<std::string> FormatNames(std::string_view app);
  // The format's value under the application; -1 when it is new.
  std::int32_t FormatValue(std::string_view app, std::string_view format);
  bool SetFormatValue(std::string_view app, std::string_view format, std::int32_t value);

  // The key path of the profile ("...\Application Profile").
  const std::string& KeyPath() const { return values_.Root(); }

 private:
  bool Offers(std::uint32_t format);
  std::uint32_t HtmlFormat();
  // Stores one format value under the application.
  void Store(std::string_view app, std::string_view format, bool keep);

  TSettingsValues values_;
  IClipboardSystem& clipboard_;
};

}  // namespace om
