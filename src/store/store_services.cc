#include "store/store_services.h"

#include <stdexcept>

namespace om {

TStoreServices& StoreServices() {
  static TStoreServices services;
  return services;
}

IFileSystem& StoreFiles() {
  IFileSystem* files = StoreServices().Files;
  if (files == nullptr) throw std::logic_error("no file system installed (TStoreServices::Files)");
  return *files;
}

}  // namespace om
