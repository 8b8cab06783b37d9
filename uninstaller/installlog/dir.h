#pragma once
// One directory of a file group's tree, linked first-child / next-sibling.
// The stream holds each node, then its whole subtree, then its next sibling;
// reading, writing and releasing walk that shape with an explicit stack, so
// a log with many thousands of sibling or nested directories cannot exhaust
// the thread's stack.
#include <cstdint>
#include <memory>
#include <string>

#include "uninstaller/store/archive_containers.h"
#include "uninstaller/store/archive_record.h"

namespace cvl {

class CDir : public ArchiveRecord {
 public:
  // Siblings share their parent; first-level nodes have none.
  explicit CDir(CDir* parent = nullptr) : parent_(parent) {}
  ~CDir() override;
  CDir(const CDir&) = delete;
  CDir& operator=(const CDir&) = delete;

  const char* className() const override { return "CDir"; }
  // Reads or writes this node, its subtree and its following siblings.
  void serialize(Archive& archive) override;

  // The path relative to the group's target directory: the names of the
  // ancestors and this node joined by single backslashes. Built on demand
  // rather than held, so deep trees cost memory in proportion to the file.
  std::string name() const;
  // The name relative to the parent, as the stream holds it.
  const std::string& ownName() const { return ownName_; }
  void setOwnName(std::string name) { ownName_ = std::move(name); }

  int32_t fileCount() const { return fileCount_; }
  void setFileCount(int32_t count) { fileCount_ = count; }
  const StringList& files() const { return files_; }
  StringList& files() { return files_; }

  CDir* parent() const { return parent_; }
  CDir* firstChild() const { return firstChild_.get(); }
  CDir* nextSibling() const { return nextSibling_.get(); }
  // New empty nodes in the two link slots (replacing what was there).
  CDir& makeFirstChild();
  CDir& makeNextSibling();

 private:
  void loadChain(Archive& archive);
  void storeChain(Archive& archive);
  void serializeOwnFields(Archive& archive);

  CDir* parent_;
  std::string ownName_;
  int32_t fileCount_ = 0;
  StringList files_;
  std::unique_ptr<CDir> firstChild_;
  std::unique_ptr<CDir> nextSibling_;
};

}  // namespace cvl
