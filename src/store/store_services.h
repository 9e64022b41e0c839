// What clips reach outside the store through, one set per process: the
// clock (capture time of a new clip, the pauses of capture's retries), the
// user's locale (time stamps shown to the user), the clipboard (format
// numbers of registered formats, which may differ from run to run), two
// start-up states and the state of sequential paste; and what collections
// reach: the file system, message boxes, the master list, the data
// directory and the autosave state.
//
// Start-up installs them (and a test fixture does the same) with
// ScopedStoreServices; the store reads them through StoreServices().
#pragma once

#include <cstdint>

#include <string>

#include "platform/clipboard_system.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/locale.h"
#include "platform/prompts.h"

namespace om {

class TMasterList;

// Sequential paste as putting a clip back sees it.
namespace seqpaste {
// Data goes straight onto the clipboard.
constexpr std::int32_t kOff = 0;
// A clip's formats are promised; the system asks for the data when another
// program pastes.
constexpr std::int32_t kArmed = 1;
// The system has asked: the data goes into the clipboard that it holds open
// for the pasting program.
constexpr std::int32_t kRendering = 2;
}  // namespace seqpaste

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
  // seqpaste::kOff, kArmed or kRendering; sequential paste sets it, putting a
  // clip on the clipboard reads it.
  std::int32_t SequentialPaste = seqpaste::kOff;

  // --- what the collections and the master list reach ---

  // The collections' files go through this port (and the clips' files too
  // once it is installed). Collections cannot be loaded or saved without it.
  IFileSystem* Files = nullptr;
  // Messages of the collection loader, the master list and the data-source
  // commands; without it they are only logged.
  IPrompts* Prompts = nullptr;
  // The master list that exists (it installs itself here); a collection
  // that changes marks it.
  TMasterList* MasterList = nullptr;
  // The current data directory, with trailing backslash: the folder of the
  // trash, the search results and, while the data folder is fresh, of new
  // collections without a parent.
  std::string DataDirectory = {};
  // The settings' report of a fresh data folder (FreshDataFolder), read
  // where it lives: start-up clears it after making the first collections.
  const bool* FreshDataFolder = nullptr;
  // Set while an autosave runs: purging waits for a save the user asks for.
  bool Autosaving = false;
  // Tree sort key for collection files from before they kept their own:
  // each such file takes the value and adds 250. The master list starts it
  // at 1000.
  std::int32_t LegacyTreeSortKey = 1000;
};

TStoreServices& StoreServices();
// The installed file system; throws std::logic_error when there is none.
IFileSystem& StoreFiles();

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
