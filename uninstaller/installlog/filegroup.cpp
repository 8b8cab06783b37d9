#include "uninstaller/installlog/filegroup.h"

namespace cvl {

void CFilegroup::serialize(Archive& archive) {
  if (archive.isStoring()) {
    archive.writeString(name_);
    archive.writeFlag(shared_);
    archive.writeU32(auxValue_);
    archive.writeFlag(selfRegister_);
    serializeStringMap(archive, auxMap_);
    archive.writeI32(fileCount_);
    serializeStringList(archive, files_);
    archive.writeFlag(rootDir_ != nullptr);
    if (rootDir_) rootDir_->serialize(archive);
  } else {
    files_.clear();
    rootDir_.reset();
    name_ = archive.readString();
    shared_ = archive.readFlag("the shared flag");
    auxValue_ = archive.readU32();
    selfRegister_ = archive.readFlag("the self-register flag");
    serializeStringMap(archive, auxMap_);
    fileCount_ = archive.readI32("a group's file count");
    serializeStringList(archive, files_);
    if (archive.readFlag("the directory flag")) makeRootDir().serialize(archive);
  }
  registry_.serialize(archive);
  shellObjects_.serialize(archive);
}

CDir& CFilegroup::makeRootDir() {
  rootDir_ = std::make_unique<CDir>();
  return *rootDir_;
}

const CDir* CFilegroup::nextDir(const CDir*& position) {
  const CDir* node = position;
  if (node == nullptr) return nullptr;
  if (node->firstChild() != nullptr) {
    position = node->firstChild();
  } else if (node->nextSibling() != nullptr) {
    position = node->nextSibling();
  } else {
    position = nullptr;
    for (const CDir* up = node->parent(); up != nullptr && position == nullptr; up = up->parent()) {
      position = up->nextSibling();
    }
  }
  return node;
}

}  // namespace cvl
