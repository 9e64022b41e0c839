// What clips reach outside the store through, one set per process: the
// clock (capture time of a new clip), the user's locale (time stamps shown
// to the user), the clipboard (format numbers of registered formats, which
// may differ from run to run) and two start-up states.
//
// Start-up installs them (and a test fixture does the same) with
// ScopedStoreServices; the store reads them through StoreServices().
#pragma once

#include "platform/clipboard_system.h"
#include "platform/clock.h"
#include "platform/locale.h"

namespace om {

struct TStoreServices {
  IClock* Clock = nullptr;
  ILocale* Locale = nullptr;
  IClipboardSystem* Clipboard = nullptr;
  // Set while the master list exists (from start-up until shutdown frees it).
  // Loading, unloading and locking clip data do nothing outside that time.
  bool MasterListExists = false;
  // Set while start-up loads the collections: attaching a clip to its
  // collection then does not mark anything changed.
  bool LoadingCollections = false;
};

TStoreServices& StoreServices();

// Installs a set for the lifetime of the object and puts the previous one
// back afterwards.
class ScopedStoreServices {
 public:
  explicit ScopedStoreServices(const TStoreServices& services) : previous_(StoreServices()) {
    StoreServices() = services;
  }
  ~ScopedStoreServices() { StoreServices() = previous_; }
  ScopedStoreServices(const ScopedStoreServices&) = delete;
  ScopedStoreServices& operator=(const ScopedStoreServices&) = delete;

 private:
  TStoreServices previous_;
};

}  // namespace om
