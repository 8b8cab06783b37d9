#pragma once
// Common base of the records kept in the two archives: each names its class
// and reads or writes its fields, in one fixed order, with serialize().
#include "uninstaller/store/archive.h"

namespace cvl {

class ArchiveRecord {
 public:
  virtual const char* className() const = 0;
  virtual ~ArchiveRecord() = default;
  virtual void serialize(Archive& archive) = 0;
};

}  // namespace cvl
