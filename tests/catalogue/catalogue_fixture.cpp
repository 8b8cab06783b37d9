#include "catalogue_fixture.h"

#include <functional>

#include "tools/archive_json/archive_json.h"

namespace cvl::test {

static std::string storeWithComponents(const std::string& sections, const std::string& data,
                                       const std::string& coreFiles) {
  return R"({"format": "store", "sets": [
      {"name": "default.cdf", "sections": {)" + sections + R"(}},
      {"name": "value.shl", "sections": {"Data": {)" + data + R"(}}},
      {"name": "corecomp.ini", "sections": {"Win32": {)" + coreFiles + R"(}}}]})";
}

void CatalogueTest::loadStore(const std::string& json) {
  const std::string problem = packJson(Json::parse(json), platform.files(), kStorePath);
  ASSERT_EQ(problem, "");
  ASSERT_TRUE(store.load(platform.files(), kStorePath));
}

bool CatalogueTest::parse(const std::string& sections, const std::string& data, const std::string& coreFiles) {
  loadStore(storeWithComponents(sections, data, coreFiles));
  return catalogue.parseComponents(store);
}

void CatalogueTest::build(const std::string& sections, const std::string& data, const std::string& coreFiles) {
  ASSERT_TRUE(parse(sections, data, coreFiles));
  ASSERT_TRUE(catalogue.loadTopComponents(store, platform));
  ASSERT_TRUE(catalogue.loadDataStrings(store));
  ASSERT_TRUE(catalogue.loadCoreFiles(store));
}

CComponent& CatalogueTest::at(const std::string& name) {
  CComponent* component = catalogue.componentMap.find(platform::upper(name));
  if (!component) {
    ADD_FAILURE() << "no component " << name;
    static CComponent none;
    return none;
  }
  return *component;
}

template <class Which>
static Names namesWhere(const Catalogue& catalogue, Which which) {
  Names names;
  for (const auto& entry : catalogue.componentMap) {
    if (std::invoke(which, *entry.component)) names.push_back(entry.key);
  }
  return names;
}

Names CatalogueTest::keys() const { return namesWhere(catalogue, [](const CComponent&) { return true; }); }
Names CatalogueTest::due() const { return namesWhere(catalogue, &CComponent::isDueForRemoval); }
Names CatalogueTest::marked() const { return namesWhere(catalogue, &CComponent::marked); }

}  // namespace cvl::test
