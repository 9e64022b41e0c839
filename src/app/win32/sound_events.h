// The program's sound events, made known to the system's sound settings so
// the user can give each a sound of their own.
#pragma once

#include "platform/key_value_store.h"

namespace om {

struct SoundEventName {
  const char* name;   // the alias the program plays (ISound::PlayEvent)
  const char* label;  // what the sound settings show for it
};

inline constexpr SoundEventName kSoundEvents[] = {
    {"Ottermoor_NewData", "New clip captured"},
    {"Ottermoor_Glue", "Clip glued"},
    {"Ottermoor_EmptyClipboard", "Clipboard emptied or nothing to keep"},
    {"Ottermoor_IgnoreClipboardUpdate", "Clipboard change ignored"},
    {"Ottermoor_StepfeedComplete", "Sequential paste finished"},
};

// Writes, below "AppEvents" of `store` (the current user's hive):
//   Schemes\Apps\Ottermoor                 default value "Ottermoor"
//   Schemes\Apps\Ottermoor\EVENT\.Current  for each event, created only when
//                                          missing (see the .cc for its
//                                          first sound); an existing one is
//                                          the user's choice and stays
//   EventLabels\EVENT                      default value: the event's label
// The key of the application is named after the executable ("Ottermoor"),
// which is where the system looks up an alias played by this program.
// Idempotent. False when any of it could not be written.
bool RegisterSoundEvents(IKeyValueStore& store);

}  // namespace om
