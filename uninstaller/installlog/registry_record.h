#pragma once
// The registry keys written for one file group, each with the value lines
// recorded for it ("name=data", "(Default)=data", comment lines), in the
// order the log lists them.
#include <string>

#include "uninstaller/store/archive_containers.h"
#include "uninstaller/store/archive_record.h"

namespace cvl {

class CRegistry : public ArchiveRecord {
 public:
  using Keys = OrderedMap<StringList>;

  const char* className() const override { return "CRegistry"; }
  void serialize(Archive& archive) override;

  // Appends every key path; returns the list's new size.
  int getKeys(StringList& out) const;
  // Appends the value lines of the key path, compared exactly; returns the
  // list's new size (unchanged when the key is not there), -1 without a key path.
  int getValues(const std::string& keyPath, StringList& out) const;
  int getValues(const char* keyPath, StringList& out) const {
    return keyPath == nullptr ? -1 : getValues(std::string(keyPath), out);
  }

  const Keys& keys() const { return keys_; }
  Keys& keys() { return keys_; }

 private:
  Keys keys_;
};

}  // namespace cvl
