#include "platform/memory/memory_system.h"

#include <algorithm>

#include "platform/platform.h"
#include "platform/zero_byte.h"

namespace cvl::platform {
namespace {

class MemoryLibrary : public Library {
 public:
  MemoryLibrary(MemorySystem::Symbols symbols, std::shared_ptr<int> loaded)
      : symbols_(std::move(symbols)), loaded_(std::move(loaded)) {
    ++*loaded_;
  }
  ~MemoryLibrary() override { --*loaded_; }

  void* symbol(const std::string& name) const override {
    auto it = symbols_.find(name);  // GetProcAddress matches exactly
    return it == symbols_.end() ? nullptr : it->second;
  }

 private:
  MemorySystem::Symbols symbols_;
  std::shared_ptr<int> loaded_;
};

}  // namespace

WaitResult MemorySystem::runHidden(const std::string& application, const std::string& commandLine,
                                   uint32_t timeoutMs, uint32_t* exitCode) {
  if (holdsZeroByte(application) || holdsZeroByte(commandLine)) return WaitResult::NotStarted;
  runs_.push_back({application, commandLine, files_.currentDirectory(), timeoutMs});
  if (exitCode) *exitCode = 0;
  return runHook_ ? runHook_(commandLine) : WaitResult::Finished;
}

std::optional<std::string> MemorySystem::environment(const std::string& name) {
  auto it = environment_.find(upper(name));
  if (it == environment_.end()) return std::nullopt;
  return it->second;
}

std::string MemorySystem::expandEnvironment(const std::string& text) {
  std::string expanded;
  size_t at = 0;
  while (at < text.size()) {
    const auto open = text.find('%', at);
    const auto close = open == std::string::npos ? open : text.find('%', open + 1);
    if (close == std::string::npos) break;
    const auto value = environment(text.substr(open + 1, close - open - 1));
    expanded += text.substr(at, open - at) + (value ? *value : text.substr(open, close - open + 1));
    at = close + 1;
  }
  return expanded + text.substr(std::min(at, text.size()));
}

void MemorySystem::setEnvironment(const std::string& name, const std::string& value) {
  environment_[upper(name)] = value;
}

void MemorySystem::unsetEnvironment(const std::string& name) { environment_.erase(upper(name)); }

std::optional<std::string> MemorySystem::specialFolder(int csidl) {
  auto it = specialFolders_.find(csidl);
  if (it == specialFolders_.end()) return std::nullopt;
  return it->second;
}

bool MemorySystem::shellDelete(const std::string& path, std::uintptr_t ownerWindow) {
  if (holdsZeroByte(path)) return false;
  shellDeletes_.push_back(path);
  lastShellDeleteOwner_ = ownerWindow;
  if (files_.faultOn(path, MemoryFileSystem::Op::ShellDelete)) return false;
  FileStatus status;
  if (files_.status(path, status) != kSuccess) return false;
  if (!(status.attributes & attr::kDirectory)) return files_.deleteFile(path) == kSuccess;
  return deleteTree(path);
}

// The shell removes a directory with everything in it.
bool MemorySystem::deleteTree(const std::string& path) {
  std::vector<FoundEntry> entries;
  files_.find(path + "\\*", [&](const FoundEntry& entry) {
    if (entry.name != "." && entry.name != "..") entries.push_back(entry);
    return true;
  });
  bool ok = true;
  for (const auto& entry : entries) {
    const std::string child = path + "\\" + entry.name;
    ok &= (entry.attributes & attr::kDirectory) ? deleteTree(child) : files_.deleteFile(child) == kSuccess;
  }
  return ok && files_.removeDirectory(path) == kSuccess;
}

void MemorySystem::addLibrary(const std::string& path, Symbols symbols) { libraries_[upper(path)] = std::move(symbols); }

LibraryPtr MemorySystem::loadLibrary(const std::string& path) {
  if (holdsZeroByte(path)) return nullptr;
  libraryLoads_.push_back(path);
  auto it = libraries_.find(upper(path));
  if (it == libraries_.end()) return nullptr;
  return std::make_unique<MemoryLibrary>(it->second, loaded_);
}

}  // namespace cvl::platform
