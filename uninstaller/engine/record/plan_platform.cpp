#include "uninstaller/engine/record/plan_platform.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/forwarding.h"
#include "uninstaller/removal/key_path.h"
#include "uninstaller/removal/safe_paths.h"

namespace cvl {

using namespace platform;

namespace {

// A key path upper case, without a trailing backslash: one spelling per
// path. A slash is part of a key's name, as the registry reads it.
std::string canonical(std::string path) {
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  return upper(path);
}

std::string below(const std::string& parent, const std::string& child) {
  return child.empty() ? parent : parent + "\\" + child;
}

// A file's path as Windows reads it, one spelling per file where the text
// tells: the device prefixes and the drive's share read as the drive,
// either slash, "." and ".." resolved, trailing dots and blanks dropped,
// upper case. An 8.3 alias is told only by the file itself.
std::string fileKey(const std::string& path) {
  std::string text = upper(path);
  for (char& c : text) c = c == '/' ? '\\' : c;
  if (text.starts_with("\\\\?\\") || text.starts_with("\\\\.\\")) text.erase(0, 4);
  for (const std::string host : {"\\\\LOCALHOST\\", "\\\\127.0.0.1\\"}) {
    const size_t at = host.size();
    if (text.starts_with(host) && text.size() > at + 1 && text[at + 1] == '$' && (text.size() == at + 2 || text[at + 2] == '\\')) {
      text = text.substr(at, 1) + ":" + text.substr(at + 2);
    }
  }
  size_t rootEnd = 0;
  if (text.size() >= 2 && text[1] == ':') {
    rootEnd = 2;
  } else if (text.starts_with("\\\\")) {
    const size_t server = text.find('\\', 2);
    rootEnd = server == std::string::npos ? text.size() : std::min(text.find('\\', server + 1), text.size());
  }
  std::string key = text.substr(0, rootEnd);
  for (const std::string& segment : resolvedSegments(text.substr(rootEnd))) key += (key.empty() ? "" : "\\") + segment;
  return key;
}

// A key path whose canonical form names one key only: upper() folds plain
// ASCII as Windows does. A trailing backslash would leave the last level
// unnamed.
bool spelledPlainly(const std::string& path) { return !path.ends_with('\\') && isPlainAscii(path); }

// A set of canonical paths where holding a path covers everything below it.
class PathSet {
 public:
  bool insert(const std::string& path) { return paths_.insert(path).second; }
  bool covers(std::string path) const {
    if (paths_.empty()) return false;
    for (;;) {
      if (paths_.count(path)) return true;
      const size_t slash = path.rfind('\\');
      if (slash == std::string::npos || slash == 0) return false;
      path.resize(slash);
    }
  }
  // Whether anything strictly below path is held.
  bool anyBelow(const std::string& path) const {
    const std::string prefix = path + "\\";
    auto it = paths_.lower_bound(prefix);
    return it != paths_.end() && it->compare(0, prefix.size(), prefix) == 0;
  }
  bool empty() const { return paths_.empty(); }

 private:
  std::set<std::string> paths_;
};

// Registry changes of the plan, by canonical key path ("HKLM\SOFTWARE\...").
struct RegistryOverlay {
  PathSet deletedKeys;
  std::set<std::pair<std::string, std::string>> deletedValues;  // key, upper-cased name
  std::map<std::pair<std::string, std::string>, RegValue> writtenValues;
  std::set<std::string> keysWithValueChanges;  // so a key no change reached is listed as it is
  uint64_t keysDeleted = 0;                    // planned key deletions so far
  // Each key's direct subkeys the plan deleted, by the key's canonical path,
  // so a key's count is told without listing it; countable while every
  // such deletion was spelled plainly.
  struct DeletedChildren {
    uint32_t count = 0;
    bool countable = true;
  };
  std::map<std::string, DeletedChildren> deletedChildren;

  void noteDeleted(const std::string& key, const std::string& spelled) {
    if (!deletedKeys.insert(key)) return;
    const size_t slash = key.rfind('\\');
    if (slash == std::string::npos) return;
    DeletedChildren& children = deletedChildren[key.substr(0, slash)];
    ++children.count;
    children.countable = children.countable && spelledPlainly(spelled);
  }

  bool valueDeleted(const std::string& key, const std::string& name) const {
    return deletedValues.count({key, upper(name)}) != 0;
  }
};

class PlanKey : public RegKey {
 public:
  PlanKey(RegKeyPtr inner, std::string path, RegistryOverlay& overlay, RemovalJournal& journal)
      : inner_(std::move(inner)), path_(std::move(path)), key_(canonical(path_)), overlay_(overlay), journal_(journal) {}

  // The machine's counts, less what the plan removed: a key is listed
  // again only for the kind of entry the plan changed in it.
  Status info(RegKeyInfo& out) const override {
    if (Status s = inner_->info(out)) return s;
    out.subKeyCount = subKeysLeft(out.subKeyCount);
    seen_ = SeenSubKeys{overlay_.keysDeleted, out.subKeyCount};
    if (out.valueCount > 0 && overlay_.keysWithValueChanges.count(key_) != 0) {
      uint32_t values = 0;
      std::string name;
      for (uint32_t i = 0; listed(inner_->enumValue(i, name, nullptr)); ++i) values += !overlay_.valueDeleted(key_, name);
      out.valueCount = values;
    }
    return kSuccess;
  }

  // A planned deletion of the key: refused, as the real call would be,
  // while it still shows a subkey.
  Status planDeletion() const {
    if (seen_ && seen_->keysDeleted == overlay_.keysDeleted) {
      if (seen_->count > 0) return kAccessDenied;
    } else {
      RegKeyInfo real;
      if (inner_->info(real) == kSuccess && subKeysLeft(real.subKeyCount) > 0) return kAccessDenied;
    }
    overlay_.noteDeleted(key_, path_);
    ++overlay_.keysDeleted;
    journal_.removed("key", path_);
    return kSuccess;
  }

  static Status open(const RegKey& parent, const std::string& subKey, uint32_t access, std::string path,
                     RegistryOverlay& overlay, RemovalJournal& journal, std::unique_ptr<PlanKey>& out) {
    if (overlay.deletedKeys.covers(canonical(path))) return kFileNotFound;
    RegKeyPtr inner;
    if (Status s = parent.openKey(subKey, access, inner)) return s;
    out = std::make_unique<PlanKey>(std::move(inner), std::move(path), overlay, journal);
    return kSuccess;
  }
  Status isLink(bool& out) const override { return inner_->isLink(out); }
  Status enumKey(uint32_t index, std::string& name, uint32_t capacity) const override {
    for (uint32_t i = 0, kept = 0;; ++i) {
      const Status s = inner_->enumKey(i, name, capacity);
      if (s != kSuccess && s != kMoreData) return s;
      if (subKeyDeleted(name)) continue;
      if (kept++ == index) return s;
    }
  }
  Status enumValue(uint32_t index, std::string& name, RegValue* value, uint32_t nameCapacity,
                   uint32_t dataCapacity) const override {
    for (uint32_t i = 0, kept = 0;; ++i) {
      const Status s = inner_->enumValue(i, name, value, nameCapacity, dataCapacity);
      if (s != kSuccess && s != kMoreData) return s;
      if (overlay_.valueDeleted(key_, name)) continue;
      if (kept++ == index) return s;
    }
  }
  Status queryValue(const std::string& name, RegValue& value, uint32_t capacity) const override {
    if (overlay_.valueDeleted(key_, name)) return kFileNotFound;
    const auto written = overlay_.writtenValues.find({key_, upper(name)});
    if (written == overlay_.writtenValues.end()) return inner_->queryValue(name, value, capacity);
    value = written->second;
    if (value.data.size() > capacity) return kMoreData;
    return kSuccess;
  }
  Status setValue(const std::string& name, const RegValue& value) override {
    overlay_.deletedValues.erase({key_, upper(name)});
    overlay_.writtenValues[{key_, upper(name)}] = value;
    overlay_.keysWithValueChanges.insert(key_);
    return kSuccess;
  }
  Status deleteValue(const std::string& name) override {
    if (overlay_.valueDeleted(key_, name)) return kFileNotFound;
    if (overlay_.writtenValues.count({key_, upper(name)}) == 0 && !realValueExists(name)) return kFileNotFound;
    overlay_.writtenValues.erase({key_, upper(name)});
    overlay_.deletedValues.insert({key_, upper(name)});
    overlay_.keysWithValueChanges.insert(key_);
    journal_.removed("value", path_ + "\\" + (name.empty() ? "(Default)" : name));
    return kSuccess;
  }
  Status openKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) const override {
    std::unique_ptr<PlanKey> child;
    if (Status s = open(*inner_, subKey, access, below(path_, subKey), overlay_, journal_, child)) return s;
    out = std::move(child);
    return kSuccess;
  }
  Status createKey(const std::string&, uint32_t, RegKeyPtr&) override { return kAccessDenied; }
  Status deleteSelf() override { return planDeletion(); }
  Status deleteKey(const std::string& subKey) override {
    std::unique_ptr<PlanKey> child;
    if (Status s = open(*inner_, subKey, access::kRead, below(path_, subKey), overlay_, journal_, child)) return s;
    return child->planDeletion();
  }

 private:
  static bool listed(Status status) { return status == kSuccess || status == kMoreData; }
  // Whether the key holds the value on the machine. Only a value's presence
  // is asked, so no data is read; a key open for setting values only is
  // looked through a reading handle.
  bool realValueExists(const std::string& name) const {
    RegValue ignored;
    Status s = inner_->queryValue(name, ignored, 0);
    if (s == kAccessDenied) {
      RegKeyPtr reader;
      if (inner_->openKey("", access::kQueryValue, reader) != kSuccess) return false;
      s = reader->queryValue(name, ignored, 0);
    }
    return s != kFileNotFound;
  }
  bool subKeyDeleted(const std::string& name) const { return overlay_.deletedKeys.covers(key_ + "\\" + upper(name)); }
  // The machine's count less the subkeys the plan deleted: told from the
  // overlay's count where it can be, else by listing. A key open without
  // the right to list its subkeys is listed through a handle that has it.
  uint32_t subKeysLeft(uint32_t realCount) const {
    if (realCount == 0 || !overlay_.deletedKeys.anyBelow(key_)) return realCount;
    if (overlay_.deletedKeys.covers(key_)) return 0;
    const auto deleted = overlay_.deletedChildren.find(key_);
    if (deleted == overlay_.deletedChildren.end()) return realCount;  // only deeper keys went
    const auto& [counted, countable] = deleted->second;
    if (countable && spelledPlainly(path_) && counted <= realCount) return realCount - counted;
    std::string name;
    RegKeyPtr lister;
    const RegKey* listed = inner_.get();
    if (inner_->enumKey(0, name, 16384) == kAccessDenied &&
        inner_->openKey("", access::kEnumerateSubKeys, lister) == kSuccess) {
      listed = lister.get();
    }
    uint32_t keys = 0;
    for (uint32_t i = 0; PlanKey::listed(listed->enumKey(i, name, 16384)); ++i) keys += !subKeyDeleted(name);
    return keys;
  }

  // The subkeys this handle last counted: a key asked about just before
  // its planned deletion is not asked again, unless the plan removed a key
  // since.
  struct SeenSubKeys {
    uint64_t keysDeleted;
    uint32_t count;
  };
  mutable std::optional<SeenSubKeys> seen_;
  RegKeyPtr inner_;
  std::string path_;  // as the engine wrote it
  std::string key_;   // canonical
  RegistryOverlay& overlay_;
  RemovalJournal& journal_;
};

}  // namespace

class PlanPlatform::Keys : public Registry {
 public:
  Keys(Registry& real, RemovalJournal& journal) : real_(real), journal_(journal) {}

  Status openKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    const std::string path = below(rootPrefix(root), subKey);
    if (overlay_.deletedKeys.covers(canonical(path))) return kFileNotFound;
    if (Status s = real_.openKey(root, subKey, access, out)) return s;
    out = std::make_unique<PlanKey>(std::move(out), path, overlay_, journal_);
    return kSuccess;
  }
  Status createKey(RegRoot, const std::string&, uint32_t, RegKeyPtr&) override { return kAccessDenied; }
  Status deleteKey(RegRoot root, const std::string& subKey) override {
    const std::string path = below(rootPrefix(root), subKey);
    if (overlay_.deletedKeys.covers(canonical(path))) return kFileNotFound;
    RegKeyPtr real;
    if (Status s = real_.openKey(root, subKey, access::kRead, real)) return s;
    return PlanKey(std::move(real), path, overlay_, journal_).planDeletion();
  }

 private:
  Registry& real_;
  RemovalJournal& journal_;
  RegistryOverlay overlay_;
};

class PlanPlatform::Files : public FileSystem {
 public:
  Files(FileSystem& real, RemovalJournal& journal) : real_(real), journal_(journal) {}

  Status open(const std::string& path, OpenMode mode, FilePtr& out) override {
    lastAsked_.clear();
    if (mode != OpenMode::Read) return kAccessDenied;
    if (isRemoved(path)) return kFileNotFound;
    return real_.open(path, mode, out);
  }
  Status status(const std::string& path, FileStatus& out) override {
    if (isRemoved(path)) return kFileNotFound;
    if (path == lastAsked_) {
      out = lastStatus_;
    } else {
      lastAsked_.clear();
      if (Status s = real_.status(path, out)) return s;
      lastAsked_ = path;
      lastStatus_ = out;
    }
    const auto changed = attributes_.empty() ? attributes_.end() : attributes_.find(keyOf(path));
    if (changed != attributes_.end()) out.attributes = changed->second | (out.attributes & attr::kDirectory);
    return kSuccess;
  }
  Status setStatus(const std::string& path, const FileStatus& status) override {
    return setAttributes(path, status.attributes);
  }
  Status identity(const std::string& path, FileIdentity& out) override {
    lastAsked_.clear();
    if (isRemoved(path)) return kFileNotFound;
    return real_.identity(path, out);
  }
  Status fileIndex(const std::string& path, uint64_t& out) override {
    lastAsked_.clear();
    if (isRemoved(path)) return kFileNotFound;
    return real_.fileIndex(path, out);
  }
  Status setAttributes(const std::string& path, uint32_t attributes) override {
    FileStatus current;
    if (Status s = status(path, current)) return s;
    attributes_[keyOf(path)] = attributes & ~attr::kNormal;
    return kSuccess;
  }
  Status deleteFile(const std::string& path) override {
    FileStatus current;
    if (Status s = status(path, current)) return s;
    if (current.attributes & (attr::kDirectory | attr::kReadOnly)) return kAccessDenied;
    markRemoved("file", path);
    return kSuccess;
  }
  Status createDirectory(const std::string&) override { return kAccessDenied; }
  Status removeDirectory(const std::string& path) override {
    FileStatus current;
    if (Status s = status(path, current)) return s;
    if (!(current.attributes & attr::kDirectory)) return kDirectory;
    bool holdsEntries = false;
    (void)find(path + "\\*.*", [&](const FoundEntry& entry) {
      holdsEntries = entry.name != "." && entry.name != "..";
      return !holdsEntries;
    });
    if (holdsEntries) return kDirNotEmpty;
    markRemoved("folder", path);
    return kSuccess;
  }
  Status replaceFile(const std::string&, const std::string&) override { return kAccessDenied; }
  // Never reached: the plan cannot tell a file in use.
  Status deleteAtRestart(const std::string&) override { return kSuccess; }
  Status find(const std::string& pattern, const std::function<bool(const FoundEntry&)>& visit) override {
    const size_t slash = pattern.find_last_of("\\/");
    const std::string dir = slash == std::string::npos ? std::string() : pattern.substr(0, slash);
    lastAsked_.clear();
    if (!dir.empty() && isRemoved(dir)) return kPathNotFound;
    if (deleted_.empty()) return real_.find(pattern, visit);
    bool any = false;
    const Status s = real_.find(pattern, [&](const FoundEntry& entry) {
      if (entry.name != "." && entry.name != ".." && isRemoved(below(dir, entry.name))) return true;
      any = true;
      return visit(entry);
    });
    return s == kSuccess && !any ? kFileNotFound : s;
  }
  std::string currentDirectory() override { return real_.currentDirectory(); }
  Status setCurrentDirectory(const std::string& path) override {
    if (isRemoved(path)) return kFileNotFound;
    return real_.setCurrentDirectory(path);
  }

  // A shortcut the shell would delete.
  bool shellDelete(const std::string& path) {
    FileStatus current;
    if (status(path, current) != kSuccess) return false;
    markRemoved("shortcut", path);
    return true;
  }

 private:
  void markRemoved(const char* kind, const std::string& path) {
    lastAsked_.clear();
    deleted_.insert(keyOf(path));
    removedPaths_.push_back(path);
    aliasesSeen_ = aliasesSeen_ || path.find('~') != std::string::npos;
    journal_.removed(kind, path);
  }

  // Removed by the plan: named so, read as Windows reads names, or, where
  // an 8.3 alias is about, the same file as one removed or inside the same
  // folder. Aliases are told by the files themselves, looked up only then.
  bool isRemoved(const std::string& path) {
    if (deleted_.covers(keyOf(path))) return true;
    if (deleted_.empty() || (!aliasesSeen_ && path.find('~') == std::string::npos)) return false;
    for (; identified_ < removedPaths_.size(); ++identified_) {
      FileIdentity removed;
      if (real_.identity(removedPaths_[identified_], removed) == kSuccess) removedFiles_.insert({removed.volume, removed.index});
    }
    for (std::string at = path;;) {
      FileIdentity file;
      if (real_.identity(at, file) == kSuccess && removedFiles_.count({file.volume, file.index})) return true;
      const size_t slash = at.find_last_of("\\/");
      if (slash == std::string::npos || slash == 0) return false;
      at.resize(slash);
    }
  }

  // The engine names a file several times in a row (asked, then deleted):
  // its key is worked out once.
  const std::string& keyOf(const std::string& path) {
    if (path != keyedPath_) {
      key_ = fileKey(path);
      keyedPath_ = path;
    }
    return key_;
  }

  FileSystem& real_;
  RemovalJournal& journal_;
  std::string keyedPath_, key_;
  PathSet deleted_;
  std::vector<std::string> removedPaths_;  // as the run named them
  bool aliasesSeen_ = false;              // one of them through an 8.3 alias
  size_t identified_ = 0;                 // removed paths whose identity is in removedFiles_
  std::set<std::pair<uint32_t, uint64_t>> removedFiles_;
  std::map<std::string, uint32_t> attributes_;
  // The engine asks about a file just before it deletes it: the machine is
  // read once for both, as long as no other call comes in between.
  std::string lastAsked_;
  FileStatus lastStatus_;
};

class PlanPlatform::SystemCalls : public ForwardingSystem {
 public:
  SystemCalls(System& real, Files& files, RemovalJournal& journal)
      : ForwardingSystem(real), files_(files), journal_(journal) {}

  WaitResult runHidden(const std::string& application, const std::string& commandLine, uint32_t,
                       uint32_t* exitCode) override {
    if (exitCode) *exitCode = 0;
    journal_.ran(application + ": " + commandLine, "planned, not run");
    return WaitResult::Finished;
  }
  bool shellDelete(const std::string& path, std::uintptr_t) override { return files_.shellDelete(path); }
  LibraryPtr loadLibrary(const std::string& path) override {
    journal_.ran("load " + path, "planned, not loaded");
    return nullptr;
  }
  // Nothing was removed, so nothing needs to settle.
  void sleep(uint32_t) override {}

 private:
  Files& files_;
  RemovalJournal& journal_;
};

PlanPlatform::PlanPlatform(Platform& real, RemovalJournal& journal)
    : files_(std::make_unique<Files>(real.files(), journal)),
      registry_(std::make_unique<Keys>(real.registry(), journal)),
      system_(std::make_unique<SystemCalls>(real.system(), *files_, journal)) {}

PlanPlatform::~PlanPlatform() = default;

Registry& PlanPlatform::registry() { return *registry_; }
FileSystem& PlanPlatform::files() { return *files_; }
System& PlanPlatform::system() { return *system_; }

}  // namespace cvl
