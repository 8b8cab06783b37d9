#pragma once
// One named set of sections, the compiled form of one text configuration
// file of the installation (such as "default.cdf"). A section maps exact-case
// keys to values; sections are looked up by name ignoring case.
#include <memory>
#include <string>

#include "uninstaller/store/archive_containers.h"
#include "uninstaller/store/archive_record.h"

namespace cvl {

using CSection = StringMap;

class CSectionSet : public ArchiveRecord {
 public:
  using Sections = OrderedMap<std::unique_ptr<CSection>>;

  const char* className() const override { return "CSectionSet"; }
  void serialize(Archive& archive) override;

  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }

  // The key the store file last listed this set under, which may carry a
  // directory. Kept only so tools can show the file as it is: storing lists
  // the set under its base name.
  const std::string& listedKey() const { return listedKey_; }
  void setListedKey(std::string key) { listedKey_ = std::move(key); }

  // The first section, in file order, whose name matches ignoring case.
  CSection* findSection(const std::string& name);
  const CSection* findSection(const std::string& name) const;

  // Sets key (exact case) to value in the section of exactly that name, else
  // in the one findSection finds, creating an empty section under `section`
  // first when there is none. The exact name comes first so that of
  // sections differing only in case, the one named is the one changed.
  void setValue(const std::string& section, const std::string& key, const std::string& value);

  // Enters a section under its exact name; a repeated name replaces the
  // earlier section where it stood.
  CSection& addSection(const std::string& name);

  // Sections in file order, each with its key/value pairs in file order.
  const Sections& sections() const { return sections_; }

 private:
  std::string name_;
  std::string listedKey_;
  Sections sections_;
};

}  // namespace cvl
