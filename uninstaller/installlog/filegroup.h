#pragma once
// One file group of the install log: the files, directories, registry
// entries and shell objects the installer created for it.
#include <cstdint>
#include <memory>
#include <string>

#include "uninstaller/installlog/dir.h"
#include "uninstaller/installlog/registry_record.h"
#include "uninstaller/installlog/shell_obj.h"

namespace cvl {

class CFilegroup : public ArchiveRecord {
 public:
  const char* className() const override { return "CFilegroup"; }
  void serialize(Archive& archive) override;

  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }
  // Shared libraries: their reference counts are consulted before deletion.
  bool shared() const { return shared_; }
  void setShared(bool shared) { shared_ = shared; }
  // Held for the installer; the uninstaller gives it no meaning.
  uint32_t auxValue() const { return auxValue_; }
  void setAuxValue(uint32_t value) { auxValue_ = value; }
  // Self-registering servers: unregistered before removal.
  bool selfRegister() const { return selfRegister_; }
  void setSelfRegister(bool selfRegister) { selfRegister_ = selfRegister; }
  // Held for the installer; the uninstaller gives it no meaning.
  const StringMap& auxMap() const { return auxMap_; }
  StringMap& auxMap() { return auxMap_; }
  // How many entries of files() the engine processes, as the log says.
  int32_t fileCount() const { return fileCount_; }
  void setFileCount(int32_t count) { fileCount_ = count; }
  const StringList& files() const { return files_; }
  StringList& files() { return files_; }
  const CDir* rootDir() const { return rootDir_.get(); }
  CDir& makeRootDir();
  const CRegistry& registry() const { return registry_; }
  CRegistry& registry() { return registry_; }
  const CShellObj& shellObjects() const { return shellObjects_; }
  CShellObj& shellObjects() { return shellObjects_; }

  // Preorder walk over the directory tree: start with position = rootDir()
  // and call while position is not null. Returns the node at the position
  // and moves the position on: to its first child, else its next sibling,
  // else the next sibling of the nearest ancestor that has one.
  static const CDir* nextDir(const CDir*& position);

 private:
  std::string name_;
  bool shared_ = false;
  uint32_t auxValue_ = 0;
  bool selfRegister_ = false;
  StringMap auxMap_;
  int32_t fileCount_ = 0;
  StringList files_;
  std::unique_ptr<CDir> rootDir_;
  CRegistry registry_;
  CShellObj shellObjects_;
};

}  // namespace cvl
