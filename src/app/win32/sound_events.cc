#include "app/win32/sound_events.h"

#include <optional>
#include <string>

namespace om {
namespace {

constexpr char kAppKey[] = "AppEvents\\Schemes\\Apps\\Ottermoor";
constexpr char kAppLabel[] = "Ottermoor";
constexpr char kLabelsKey[] = "AppEvents\\EventLabels";
// The sound of the system's "Default Beep" in the current scheme.
constexpr char kDefaultBeepKey[] = "AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current";

}  // namespace

bool RegisterSoundEvents(IKeyValueStore& store) {
  bool ok = store.WriteString(kAppKey, "", kAppLabel);
  // A new event starts with the default beep's sound: it is heard as it
  // was before it was registered (when the system, not finding the event,
  // played its default sound) until the user picks another one. Without a
  // default beep the key stays empty.
  const std::optional<std::string> default_beep = store.ReadString(kDefaultBeepKey, "");
  for (const SoundEventName& event : kSoundEvents) {
    const std::string current = std::string(kAppKey) + "\\" + event.name + "\\.Current";
    if (!store.KeyExists(current)) {
      ok = store.CreateKey(current) && ok;
      if (default_beep && !default_beep->empty()) ok = store.WriteString(current, "", *default_beep) && ok;
    }
    ok = store.WriteString(std::string(kLabelsKey) + "\\" + event.name, "", event.label) && ok;
  }
  return ok;
}

}  // namespace om
