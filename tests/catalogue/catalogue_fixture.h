#pragma once
// A catalogue read from a configuration store written as JSON, packed into
// the in-memory file system and loaded the way the program loads it.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "uninstaller/catalogue/catalogue.h"

namespace cvl::test {

// Flags of a component that is installed and may be removed, and of one
// that is also offered at the top; for splicing into section JSON.
#define ELIGIBLE R"("SELECTED": "Yes", "UNINSTALLABLE": "Yes", "INCLUDEINBUILD": "Yes")"
#define OFFERED ELIGIBLE R"(, "VISIBLE": "Yes")"

using Names = std::vector<std::string>;

class CatalogueTest : public ::testing::Test {
 protected:
  static constexpr const char* kStoreDir = "C:\\Program Files\\Corvel\\Uninstall";
  static constexpr const char* kStorePath = "C:\\Program Files\\Corvel\\Uninstall\\cvlinst.dat";

  CatalogueTest() { platform.files().addDirectory(kStoreDir); }

  // Packs and loads a whole store document.
  void loadStore(const std::string& json);
  // Loads a store whose "default.cdf" holds these sections (a JSON object's
  // members, without the braces), beside small "value.shl" and
  // "corecomp.ini" sets, and reads its components.
  bool parse(const std::string& sections, const std::string& data = "", const std::string& coreFiles = "");
  // parse, loadTopComponents, loadDataStrings and loadCoreFiles, as
  // start-up runs them; each must succeed.
  void build(const std::string& sections, const std::string& data = "", const std::string& coreFiles = "");

  CComponent& at(const std::string& name);
  void request(std::initializer_list<const char*> names) {
    for (const char* name : names) at(name).requestRemoval();
  }
  // Names of all components, of those due for removal and of the marked
  // ones, upper case, in catalogue order.
  Names keys() const;
  Names due() const;
  Names marked() const;

  platform::MemoryPlatform platform;
  CConfigStore store;
  Catalogue catalogue;
};

}  // namespace cvl::test
