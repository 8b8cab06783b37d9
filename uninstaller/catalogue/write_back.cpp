#include "uninstaller/catalogue/catalogue.h"

namespace cvl {

bool writeBackSelection(const Catalogue& catalogue, CConfigStore& store, platform::FileSystem& files) {
  for (const auto& entry : catalogue.componentMap) {
    if (entry.component->isDueForRemoval()) store.markRemoved(entry.key);
  }
  return writeBackStore(files, store);
}

}  // namespace cvl
