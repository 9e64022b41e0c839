#include "store/store_services.h"

namespace om {

TStoreServices& StoreServices() {
  static TStoreServices services;
  return services;
}

}  // namespace om
