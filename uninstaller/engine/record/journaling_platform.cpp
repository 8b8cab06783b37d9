#include "uninstaller/engine/record/journaling_platform.h"

#include "platform/forwarding.h"
#include "uninstaller/removal/key_path.h"

namespace cvl {

using namespace platform;

namespace {

std::string below(const std::string& parent, const std::string& child) {
  return child.empty() ? parent : parent + "\\" + child;
}

class JournalingKey : public ForwardingRegKey {
 public:
  JournalingKey(RegKeyPtr inner, std::string path, RemovalJournal& journal)
      : ForwardingRegKey(std::move(inner)), path_(std::move(path)), journal_(journal) {}

  Status deleteValue(const std::string& name) override {
    const Status status = inner_->deleteValue(name);
    if (status == kSuccess) journal_.removed("value", path_ + "\\" + (name.empty() ? "(Default)" : name));
    return status;
  }
  Status openKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) const override {
    return wrap(inner_->openKey(subKey, access, out), subKey, out);
  }
  Status createKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return wrap(inner_->createKey(subKey, access, out), subKey, out);
  }
  Status deleteKey(const std::string& subKey) override {
    const Status status = inner_->deleteKey(subKey);
    if (status == kSuccess) journal_.removed("key", below(path_, subKey));
    return status;
  }
  Status deleteSelf() override {
    const Status status = inner_->deleteSelf();
    if (status == kSuccess) journal_.removed("key", path_);
    return status;
  }

 private:
  Status wrap(Status status, const std::string& subKey, RegKeyPtr& out) const {
    if (status == kSuccess) out = std::make_unique<JournalingKey>(std::move(out), below(path_, subKey), journal_);
    return status;
  }

  std::string path_;
  RemovalJournal& journal_;
};

}  // namespace

class JournalingPlatform::Keys : public Registry {
 public:
  Keys(Registry& inner, RemovalJournal& journal) : inner_(inner), journal_(journal) {}

  Status openKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return wrap(inner_.openKey(root, subKey, access, out), root, subKey, out);
  }
  Status createKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return wrap(inner_.createKey(root, subKey, access, out), root, subKey, out);
  }
  Status deleteKey(RegRoot root, const std::string& subKey) override {
    const Status status = inner_.deleteKey(root, subKey);
    if (status == kSuccess) journal_.removed("key", below(rootPrefix(root), subKey));
    return status;
  }

 private:
  Status wrap(Status status, RegRoot root, const std::string& subKey, RegKeyPtr& out) {
    if (status == kSuccess) {
      out = std::make_unique<JournalingKey>(std::move(out), below(rootPrefix(root), subKey), journal_);
    }
    return status;
  }

  Registry& inner_;
  RemovalJournal& journal_;
};

class JournalingPlatform::Files : public ForwardingFileSystem {
 public:
  Files(FileSystem& inner, RemovalJournal& journal) : ForwardingFileSystem(inner), journal_(journal) {}

  Status deleteFile(const std::string& path) override {
    const Status status = inner_.deleteFile(path);
    if (status == kSuccess) journal_.removed("file", path);
    return status;
  }
  Status removeDirectory(const std::string& path) override {
    const Status status = inner_.removeDirectory(path);
    if (status == kSuccess) journal_.removed("folder", path);
    return status;
  }

 private:
  RemovalJournal& journal_;
};

class JournalingPlatform::SystemCalls : public ForwardingSystem {
 public:
  SystemCalls(System& inner, FileSystem& files, RemovalJournal& journal)
      : ForwardingSystem(inner), files_(files), journal_(journal) {}

  WaitResult runHidden(const std::string& application, const std::string& commandLine, uint32_t timeoutMs,
                       uint32_t* exitCode) override {
    uint32_t code = 0;
    const WaitResult result = inner_.runHidden(application, commandLine, timeoutMs, &code);
    if (exitCode) *exitCode = code;
    journal_.ran(application + ": " + commandLine, outcomeOf(result, code, timeoutMs));
    return result;
  }
  bool shellDelete(const std::string& path, std::uintptr_t ownerWindow) override {
    const bool deleted = inner_.shellDelete(path, ownerWindow);
    if (deleted) journal_.removed("shortcut", path);
    return deleted;
  }
  LibraryPtr loadLibrary(const std::string& path) override {
    LibraryPtr library = inner_.loadLibrary(path);
    journal_.ran("load " + path, library ? "loaded" : "could not be loaded");
    return library;
  }

 private:
  static std::string outcomeOf(WaitResult result, uint32_t code, uint32_t timeoutMs) {
    switch (result) {
      case WaitResult::Finished: return "exit code " + std::to_string(code);
      case WaitResult::TimedOut: return "still running after " + std::to_string(timeoutMs / 1000) + " s, left running";
      default: return "could not be started";
    }
  }

  FileSystem& files_;
  RemovalJournal& journal_;
};

JournalingPlatform::JournalingPlatform(Platform& inner, RemovalJournal& journal)
    : files_(std::make_unique<Files>(inner.files(), journal)),
      registry_(std::make_unique<Keys>(inner.registry(), journal)),
      system_(std::make_unique<SystemCalls>(inner.system(), inner.files(), journal)) {}

JournalingPlatform::~JournalingPlatform() = default;

Registry& JournalingPlatform::registry() { return *registry_; }
FileSystem& JournalingPlatform::files() { return *files_; }
System& JournalingPlatform::system() { return *system_; }

}  // namespace cvl
