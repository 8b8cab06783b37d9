#pragma once
// The uninstaller's picture of the installation, read from the configuration
// store: the components with their groups and dependencies, the top
// components the user is offered, the texts the user sees and the core
// files that are never touched.
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "uninstaller/catalogue/component_map.h"
#include "uninstaller/catalogue/display_text.h"
#include "uninstaller/store/config_store.h"
#include "uninstaller/suite/suite_layout.h"

namespace cvl {

inline constexpr const char* kDataSetName = "value.shl";
inline constexpr const char* kCoreFileSetName = "corecomp.ini";
using names::kComponentsKey;

class Catalogue {
 public:
  // One component per section of "default.cdf" but "Components" and
  // "TopComponents" (exact names), then the links between them. False when
  // the set is missing, or when MEMBER links form a cycle (the catalogue is
  // then left empty).
  bool parseComponents(const CConfigStore& store);

  // The components of the "TopComponents" section that are selected,
  // visible and in the build, in the section's order: each is marked,
  // listed and given its target directory from the registry. False when
  // the section is missing.
  bool loadTopComponents(const CConfigStore& store, platform::Platform& platform);

  // The "Data" section of "value.shl", as stored. False when missing.
  bool loadDataStrings(const CConfigStore& store);
  // The keys of the "Win32" section of "corecomp.ini", upper-cased. False when missing.
  bool loadCoreFiles(const CConfigStore& store);

  std::string displayTextOf(const CComponent& component) const { return cvl::displayTextOf(component, dataStrings); }
  std::string descriptionOf(const CComponent& component) const { return cvl::descriptionOf(component, dataStrings); }

  // Deletes every component and empties the tables.
  void release();

  ComponentMap componentMap;
  std::vector<std::string> topComponents;  // upper-cased names; a name listed twice appears twice
  DataStrings dataStrings;
  std::set<std::string> coreFiles;  // upper-cased file names
};

// The program's one catalogue, living until exit.
Catalogue& catalogue();

// After a removal: SELECTED=No for every component due for removal, then the
// store is saved with its file times and attributes kept. False, with the
// file unchanged, when it cannot be written.
bool writeBackSelection(const Catalogue& catalogue, CConfigStore& store, platform::FileSystem& files,
                        const ImageReady& imageReady = {});

}  // namespace cvl
