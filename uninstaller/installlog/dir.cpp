#include "uninstaller/installlog/dir.h"

#include <vector>

namespace cvl {

CDir::~CDir() {
  std::vector<std::unique_ptr<CDir>> pending;
  if (firstChild_) pending.push_back(std::move(firstChild_));
  if (nextSibling_) pending.push_back(std::move(nextSibling_));
  while (!pending.empty()) {
    std::unique_ptr<CDir> node = std::move(pending.back());
    pending.pop_back();
    if (node->firstChild_) pending.push_back(std::move(node->firstChild_));
    if (node->nextSibling_) pending.push_back(std::move(node->nextSibling_));
  }
}

std::string CDir::name() const {
  std::vector<const std::string*> parts;
  size_t length = 0;
  for (const CDir* node = this; node != nullptr; node = node->parent_) {
    parts.push_back(&node->ownName_);
    length += node->ownName_.size() + 1;
  }
  std::string path;
  path.reserve(length);
  for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
    if (part != parts.rbegin()) path += '\\';
    path += **part;
  }
  return path;
}

CDir& CDir::makeFirstChild() {
  firstChild_ = std::make_unique<CDir>(this);
  return *firstChild_;
}

CDir& CDir::makeNextSibling() {
  nextSibling_ = std::make_unique<CDir>(parent_);
  return *nextSibling_;
}

void CDir::serialize(Archive& archive) {
  if (archive.isStoring()) {
    storeChain(archive);
  } else {
    loadChain(archive);
  }
}

void CDir::serializeOwnFields(Archive& archive) {
  if (archive.isStoring()) {
    archive.writeString(ownName_);
    archive.writeI32(fileCount_);
  } else {
    ownName_ = archive.readString();
    fileCount_ = archive.readI32("a directory's file count");
  }
  serializeStringList(archive, files_);
}

// `open` holds the nodes whose subtree is being read; each still has its
// sibling flag ahead in the stream once that subtree is complete.
void CDir::loadChain(Archive& archive) {
  std::vector<CDir*> open;
  CDir* node = this;
  for (;;) {
    node->serializeOwnFields(archive);
    if (archive.readFlag("a subdirectory flag")) {
      open.push_back(node);
      node = &node->makeFirstChild();
      continue;
    }
    while (!archive.readFlag("a sibling directory flag")) {
      if (open.empty()) return;
      node = open.back();
      open.pop_back();
    }
    node = &node->makeNextSibling();
  }
}

void CDir::storeChain(Archive& archive) {
  std::vector<CDir*> open;
  CDir* node = this;
  for (;;) {
    node->serializeOwnFields(archive);
    archive.writeFlag(node->firstChild_ != nullptr);
    if (node->firstChild_) {
      open.push_back(node);
      node = node->firstChild_.get();
      continue;
    }
    for (;;) {
      archive.writeFlag(node->nextSibling_ != nullptr);
      if (node->nextSibling_) break;
      if (open.empty()) return;
      node = open.back();
      open.pop_back();
    }
    node = node->nextSibling_.get();
  }
}

}  // namespace cvl
