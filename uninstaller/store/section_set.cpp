#include "uninstaller/store/section_set.h"

namespace cvl {
namespace {

// A section's smallest encoding: an empty name and an empty map.
constexpr uint64_t kMinSectionBytes = 3;

}  // namespace

void CSectionSet::serialize(Archive& archive) {
  if (archive.isStoring()) {
    archive.writeString(name_);
    archive.writeU32(static_cast<uint32_t>(sections_.size()));
    for (const auto& [sectionName, section] : sections_) {
      archive.writeString(sectionName);
      serializeStringMap(archive, *section);
    }
    return;
  }
  name_ = archive.readString();
  const int32_t count = archive.readI32("a section count");
  if (count <= 0) return;
  archive.requireRoom(static_cast<uint64_t>(count), kMinSectionBytes, "a section count");
  for (int32_t i = 0; i < count; ++i) {
    const std::string sectionName = archive.readString();
    serializeStringMap(archive, addSection(sectionName));
  }
}

CSection* CSectionSet::findSection(const std::string& name) {
  std::unique_ptr<CSection>* found = sections_.findNoCase(name);
  return found ? found->get() : nullptr;
}

const CSection* CSectionSet::findSection(const std::string& name) const {
  return const_cast<CSectionSet*>(this)->findSection(name);
}

CSection& CSectionSet::addSection(const std::string& name) {
  return *sections_.assign(name, std::make_unique<CSection>());
}

void CSectionSet::setValue(const std::string& section, const std::string& key, const std::string& value) {
  std::unique_ptr<CSection>* exact = sections_.find(section);
  CSection* target = exact ? exact->get() : findSection(section);
  if (target == nullptr) target = &addSection(section);
  target->assign(key, value);
}

}  // namespace cvl
