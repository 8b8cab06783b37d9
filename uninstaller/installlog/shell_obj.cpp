#include "uninstaller/installlog/shell_obj.h"

namespace cvl {

void CShellObj::serialize(Archive& archive) {
  if (archive.isStoring()) {
    archive.writeString(name_);
    archive.writeI32(itemCount_);
    for (const std::string& item : items_) archive.writeString(item);
    return;
  }
  name_ = archive.readString();
  itemCount_ = archive.readI32("a shell object count");
  items_.clear();
  if (itemCount_ <= 0) return;
  archive.requireRoom(static_cast<uint64_t>(itemCount_), 1, "a shell object count");
  items_.reserve(static_cast<size_t>(itemCount_));
  for (int32_t i = 0; i < itemCount_; ++i) items_.push_back(archive.readString());
}

}  // namespace cvl
