#pragma once
// A registry, a file system and a system that pass every call to the ones
// they wrap, beside the forwarding key. Wrappers that watch, record or
// refuse a few calls (a run's log, a plan, test faults) override only those.
#include "platform/file_system.h"
#include "platform/forwarding_key.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace cvl::platform {

class ForwardingRegistry : public Registry {
 public:
  explicit ForwardingRegistry(Registry& inner) : inner_(inner) {}

  Status openKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return inner_.openKey(root, subKey, access, out);
  }
  Status createKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return inner_.createKey(root, subKey, access, out);
  }
  Status deleteKey(RegRoot root, const std::string& subKey) override { return inner_.deleteKey(root, subKey); }

 protected:
  Registry& inner_;
};

class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}

  Status open(const std::string& path, OpenMode mode, FilePtr& out) override { return inner_.open(path, mode, out); }
  Status status(const std::string& path, FileStatus& out) override { return inner_.status(path, out); }
  Status setStatus(const std::string& path, const FileStatus& status) override {
    return inner_.setStatus(path, status);
  }
  Status setAttributes(const std::string& path, uint32_t attributes) override {
    return inner_.setAttributes(path, attributes);
  }
  Status identity(const std::string& path, FileIdentity& out) override { return inner_.identity(path, out); }
  Status fileIndex(const std::string& path, uint64_t& out) override { return inner_.fileIndex(path, out); }
  Status deleteFile(const std::string& path) override { return inner_.deleteFile(path); }
  Status createDirectory(const std::string& path) override { return inner_.createDirectory(path); }
  Status removeDirectory(const std::string& path) override { return inner_.removeDirectory(path); }
  Status replaceFile(const std::string& from, const std::string& to) override { return inner_.replaceFile(from, to); }
  Status deleteAtRestart(const std::string& path) override { return inner_.deleteAtRestart(path); }
  Status find(const std::string& pattern, const std::function<bool(const FoundEntry&)>& visit) override {
    return inner_.find(pattern, visit);
  }
  std::string currentDirectory() override { return inner_.currentDirectory(); }
  Status setCurrentDirectory(const std::string& path) override { return inner_.setCurrentDirectory(path); }

 protected:
  FileSystem& inner_;
};

class ForwardingSystem : public System {
 public:
  explicit ForwardingSystem(System& inner) : inner_(inner) {}

  WaitResult runHidden(const std::string& application, const std::string& commandLine, uint32_t timeoutMs,
                       uint32_t* exitCode) override {
    return inner_.runHidden(application, commandLine, timeoutMs, exitCode);
  }
  std::optional<std::string> environment(const std::string& name) override { return inner_.environment(name); }
  std::string expandEnvironment(const std::string& text) override { return inner_.expandEnvironment(text); }
  std::string userName() override { return inner_.userName(); }
  std::string computerName() override { return inner_.computerName(); }
  std::string windowsDirectory() override { return inner_.windowsDirectory(); }
  std::string systemDirectory() override { return inner_.systemDirectory(); }
  std::string modulePath() override { return inner_.modulePath(); }
  std::optional<std::string> specialFolder(int csidl) override { return inner_.specialFolder(csidl); }
  bool shellDelete(const std::string& path, std::uintptr_t ownerWindow) override {
    return inner_.shellDelete(path, ownerWindow);
  }
  LibraryPtr loadLibrary(const std::string& path) override { return inner_.loadLibrary(path); }
  void sleep(uint32_t milliseconds) override { inner_.sleep(milliseconds); }

 protected:
  System& inner_;
};

}  // namespace cvl::platform
