#include "uninstaller/catalogue/catalogue.h"

namespace cvl {

bool writeBackSelection(const Catalogue& catalogue, CConfigStore& store, platform::FileSystem& files,
                        const ImageReady& imageReady) {
  for (const auto& entry : catalogue.componentMap) {
    // The section the component was read from, by its exact name: of
    // sections differing only in case, that is the last one, not the first.
    if (entry.component->isDueForRemoval()) store.markRemoved(entry.component->name);
  }
  return writeBackStore(files, store, imageReady);
}

}  // namespace cvl
