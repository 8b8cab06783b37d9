#pragma once
// The file system of the in-memory Windows: drives ("C:") and shares
// ("\\\\server\\share") holding directories and files with attributes, times
// and content. Names compare without regard to case and keep the case they
// were created with; a path may reach a file or folder through its 8.3
// alias; relative paths start at the current directory. Tests
// seed it, inspect it and make single operations fail on chosen paths.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/memory/memory_fs_node.h"

namespace cvl::platform {

class MemoryFileSystem : public FileSystem {
 public:
  enum class Op { Open, Write, Flush, Delete, CreateDirectory, RemoveDirectory, Replace, SetAttributes, Find, ShellDelete,
                  DeleteAtRestart };

  MemoryFileSystem();

  Status open(const std::string& path, OpenMode mode, FilePtr& out) override;
  Status status(const std::string& path, FileStatus& out) override;
  Status setStatus(const std::string& path, const FileStatus& status) override;
  Status identity(const std::string& path, FileIdentity& out) override;
  Status setAttributes(const std::string& path, uint32_t attributes) override;
  Status deleteFile(const std::string& path) override;
  Status createDirectory(const std::string& path) override;
  Status removeDirectory(const std::string& path) override;
  Status replaceFile(const std::string& from, const std::string& to) override;
  Status deleteAtRestart(const std::string& path) override;
  Status find(const std::string& pattern, const std::function<bool(const FoundEntry&)>& visit) override;
  std::string currentDirectory() override;
  Status setCurrentDirectory(const std::string& path) override;

  // Test-facing API. Seeding creates missing parent directories (and drives).
  void addDirectory(const std::string& path);
  // attr::kReparsePoint seeds a link (see MemoryFsNode::reparsePoint).
  void addFile(const std::string& path, const std::string& content = {}, uint32_t attributes = attr::kArchive);
  // Sets all three times, the creation time included, which setStatus
  // leaves alone as Wine does.
  void seedTimes(const std::string& path, FileTime created, FileTime accessed, FileTime written);
  bool exists(const std::string& path) const;
  std::optional<std::string> content(const std::string& path) const;
  // Every path below the roots as stored, directories ending in a backslash.
  std::vector<std::string> paths() const;
  int openFiles() const;
  // What deleteAtRestart scheduled, in order, as given.
  const std::vector<std::string>& scheduledAtRestart() const { return scheduled_; }
  // Windows starting again: each scheduled file, or empty directory, goes.
  void restart();
  // The operation on that path then fails with status until cleared.
  void fail(const std::string& path, Op op, Status status);
  void clearFaults();
  // The time stamped on what is created or written from now on.
  void setClock(FileTime now) { clock_ = now; }
  FileTime clock() const { return clock_; }

  // The fault set for a path, as given or in canonical upper case.
  Status faultOn(const std::string& path, Op op) const;
  Status faultFor(const std::string& canonicalPath, Op op) const;

 private:
  struct FsPath {
    std::string root;
    std::vector<std::string> parts;
    bool trailingSlash = false;  // only a directory may be named so
  };
  bool resolve(const std::string& path, FsPath& out) const;
  // Finds the node (null when only its parent exists) and its parent.
  Status locate(const FsPath& path, MemoryFsNodePtr& node, MemoryFsNodePtr& parent) const;
  // resolve, then the fault switch for op (when given), then locate.
  Status reach(const std::string& path, std::optional<Op> op, FsPath& p, MemoryFsNodePtr& node,
               MemoryFsNodePtr& parent) const;
  std::string canonical(const FsPath& path) const;
  Status fault(const FsPath& path, Op op) const;
  MemoryFsNodePtr ensureDirectory(const FsPath& path);
  MemoryFsNodePtr makeNode(const std::string& name, bool directory) const;
  bool holdsCurrentDirectory(const FsPath& path) const;

  std::map<std::string, MemoryFsNodePtr> roots_;  // by upper-cased root
  std::map<std::pair<std::string, Op>, Status> faults_;
  std::vector<std::string> scheduled_;
  FsPath current_{"C:", {}};
  FileTime clock_ = 126227808000000000ull;  // 2001-01-01
};

}  // namespace cvl::platform
