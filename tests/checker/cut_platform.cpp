#include "tests/checker/cut_platform.h"

#include "platform/forwarding.h"
#include "platform/forwarding_key.h"

namespace cvl::checker {
namespace {

using namespace platform;

constexpr Status kCut = kAccessDenied;

class CutFile : public File {
 public:
  CutFile(FilePtr inner, ChangeBudget& budget) : inner_(std::move(inner)), budget_(budget) {}
  Status read(void* buffer, uint32_t size, uint32_t& done) override { return inner_->read(buffer, size, done); }
  Status write(const void* buffer, uint32_t size) override {
    return budget_.take() ? inner_->write(buffer, size) : kCut;
  }
  Status flush() override { return inner_->flush(); }
  uint64_t size() const override { return inner_->size(); }

 private:
  FilePtr inner_;
  ChangeBudget& budget_;
};

class CutKey : public ForwardingRegKey {
 public:
  CutKey(RegKeyPtr inner, ChangeBudget& budget) : ForwardingRegKey(std::move(inner)), budget_(budget) {}
  static Status wrap(Status status, RegKeyPtr& out, ChangeBudget& budget) {
    if (status == kSuccess) out = std::make_unique<CutKey>(std::move(out), budget);
    return status;
  }
  Status setValue(const std::string& name, const RegValue& value) override {
    return budget_.take() ? inner_->setValue(name, value) : kCut;
  }
  Status deleteValue(const std::string& name) override { return budget_.take() ? inner_->deleteValue(name) : kCut; }
  Status openKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) const override {
    return wrap(inner_->openKey(subKey, access, out), out, budget_);
  }
  Status createKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return budget_.take() ? wrap(inner_->createKey(subKey, access, out), out, budget_) : kCut;
  }
  Status deleteKey(const std::string& subKey) override { return budget_.take() ? inner_->deleteKey(subKey) : kCut; }

 private:
  ChangeBudget& budget_;
};

class CutRegistry : public ForwardingRegistry {
 public:
  CutRegistry(Registry& inner, ChangeBudget& budget) : ForwardingRegistry(inner), budget_(budget) {}
  Status openKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return CutKey::wrap(inner_.openKey(root, subKey, access, out), out, budget_);
  }
  Status createKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return budget_.take() ? CutKey::wrap(inner_.createKey(root, subKey, access, out), out, budget_) : kCut;
  }
  Status deleteKey(RegRoot root, const std::string& subKey) override {
    return budget_.take() ? inner_.deleteKey(root, subKey) : kCut;
  }

 private:
  ChangeBudget& budget_;
};

// Reads pass through; every change takes one step of the budget and fails
// once it is spent, as if the process had been ended there.
class CutFiles : public ForwardingFileSystem {
 public:
  CutFiles(FileSystem& inner, ChangeBudget& budget) : ForwardingFileSystem(inner), budget_(budget) {}
  Status open(const std::string& path, OpenMode mode, FilePtr& out) override {
    if (mode != OpenMode::Read && !budget_.take()) return kCut;
    const Status status = inner_.open(path, mode, out);
    if (status == kSuccess) out = std::make_unique<CutFile>(std::move(out), budget_);
    return status;
  }
  Status setStatus(const std::string& path, const FileStatus& status) override {
    return budget_.take() ? inner_.setStatus(path, status) : kCut;
  }
  Status setAttributes(const std::string& path, uint32_t attributes) override {
    return budget_.take() ? inner_.setAttributes(path, attributes) : kCut;
  }
  Status deleteFile(const std::string& path) override { return budget_.take() ? inner_.deleteFile(path) : kCut; }
  Status createDirectory(const std::string& path) override {
    return budget_.take() ? inner_.createDirectory(path) : kCut;
  }
  Status removeDirectory(const std::string& path) override {
    return budget_.take() ? inner_.removeDirectory(path) : kCut;
  }
  Status replaceFile(const std::string& from, const std::string& to) override {
    return budget_.take() ? inner_.replaceFile(from, to) : kCut;
  }
  Status deleteAtRestart(const std::string& path) override {
    return budget_.take() ? inner_.deleteAtRestart(path) : kCut;
  }

 private:
  ChangeBudget& budget_;
};

class CutSystem : public ForwardingSystem {
 public:
  CutSystem(System& inner, ChangeBudget& budget) : ForwardingSystem(inner), budget_(budget) {}
  WaitResult runHidden(const std::string& application, const std::string& commandLine, uint32_t timeoutMs,
                       uint32_t* exitCode) override {
    return budget_.take() ? inner_.runHidden(application, commandLine, timeoutMs, exitCode) : WaitResult::NotStarted;
  }
  bool shellDelete(const std::string& path, std::uintptr_t ownerWindow) override {
    return budget_.take() && inner_.shellDelete(path, ownerWindow);
  }
  LibraryPtr loadLibrary(const std::string& path) override {
    return budget_.take() ? inner_.loadLibrary(path) : nullptr;
  }

 private:
  ChangeBudget& budget_;
};

class CutPlatform : public Platform {
 public:
  CutPlatform(Platform& inner, ChangeBudget& budget)
      : registry_(inner.registry(), budget), files_(inner.files(), budget), system_(inner.system(), budget) {}
  Registry& registry() override { return registry_; }
  FileSystem& files() override { return files_; }
  System& system() override { return system_; }

 private:
  CutRegistry registry_;
  CutFiles files_;
  CutSystem system_;
};

}  // namespace

std::unique_ptr<Platform> cutPlatform(Platform& inner, ChangeBudget& budget) {
  return std::make_unique<CutPlatform>(inner, budget);
}

}  // namespace cvl::checker
