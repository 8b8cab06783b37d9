#pragma once
// The shell objects (shortcut entries) created for one file group. Each item
// is a plain string; the text after its first ':' locates the shortcut.
#include <cstdint>
#include <string>

#include "uninstaller/store/archive_containers.h"
#include "uninstaller/store/archive_record.h"

namespace cvl {

class CShellObj : public ArchiveRecord {
 public:
  const char* className() const override { return "CShellObj"; }
  // The items follow their count one after another, without a short count.
  void serialize(Archive& archive) override;

  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }
  // As read; the items actually present may be fewer when it is not positive.
  int32_t itemCount() const { return itemCount_; }
  void setItemCount(int32_t count) { itemCount_ = count; }
  const StringList& items() const { return items_; }
  StringList& items() { return items_; }

 private:
  std::string name_;
  int32_t itemCount_ = 0;
  StringList items_;
};

}  // namespace cvl
