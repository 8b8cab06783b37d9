#include "platform/memory/memory_file_system.h"

#include <algorithm>

#include "platform/memory/memory_file.h"
#include "platform/memory/wildcard.h"
#include "platform/platform.h"
#include "platform/zero_byte.h"

namespace cvl::platform {
namespace {

constexpr uint32_t kSettableAttributes = attr::kReadOnly | attr::kHidden | attr::kSystem | attr::kArchive;

// Wine keeps no read-only bit on a directory.
uint32_t storedAttributes(const MemoryFsNode& node, uint32_t attributes) {
  return attributes & kSettableAttributes & (node.directory ? ~attr::kReadOnly : ~0u);
}

// Wine keeps the archive bit of every file set, whatever is asked for, so
// a file never reports kNormal.
uint32_t reportedAttributes(const MemoryFsNode& node) {
  return node.attributes | (node.directory ? attr::kDirectory : attr::kArchive) |
         (node.reparsePoint ? attr::kReparsePoint : 0);
}

std::vector<std::string> splitPath(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = std::min(text.find('\\', start), text.size());
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// The other spellings Windows accepts for a drive's folders: the device
// prefixes "\\?\" and "\\.\", and the drive's administrative share.
std::string withoutDriveAlias(const std::string& path) {
  if (path.size() >= 6 && path[0] == '\\' && path[1] == '\\' && (path[2] == '?' || path[2] == '.') &&
      path[3] == '\\' && path[5] == ':') {
    return path.substr(4);
  }
  const std::string upperPath = upper(path);
  for (const std::string host : {"\\\\LOCALHOST\\", "\\\\127.0.0.1\\"}) {
    const size_t drive = host.size();
    if (upperPath.rfind(host, 0) == 0 && path.size() > drive + 1 && path[drive + 1] == '$' &&
        (path.size() == drive + 2 || path[drive + 2] == '\\')) {
      return path.substr(drive, 1) + ":" + path.substr(drive + 2);
    }
  }
  return path;
}

// Windows drops a name's trailing dots and blanks: "app.dll. " is "app.dll".
std::string asWindowsReads(std::string part) {
  if (part == "." || part == "..") return part;
  while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
  return part;
}

// A part names a child by its long name or, as Windows allows, by its 8.3 alias.
MemoryFsNodePtr childNamed(const MemoryFsNode& dir, const std::string& part) {
  const auto found = dir.children.find(upper(part));
  if (found != dir.children.end()) return found->second;
  if (part.find('~') == std::string::npos) return nullptr;
  for (const auto& [key, child] : dir.children) {
    if (shortNameOf(child->name) == upper(part)) return child;
  }
  return nullptr;
}

}  // namespace

MemoryFileSystem::MemoryFileSystem() { addDirectory("C:\\"); }

Status MemoryFileSystem::reach(const std::string& path, std::optional<Op> op, FsPath& p, MemoryFsNodePtr& node,
                               MemoryFsNodePtr& parent) const {
  if (holdsZeroByte(path)) return kInvalidName;
  if (!resolve(path, p)) return kPathNotFound;
  if (op) {
    if (Status s = fault(p, *op)) return s;
  }
  return locate(p, node, parent);
}

bool MemoryFileSystem::resolve(const std::string& raw, FsPath& out) const {
  std::string path = raw;
  std::replace(path.begin(), path.end(), '/', '\\');
  path = withoutDriveAlias(path);
  if (path.empty()) return false;
  std::string rest = path;
  out = FsPath{current_.root, {}, path.back() == '\\'};
  if (path.rfind("\\\\", 0) == 0) {
    size_t server = path.find('\\', 2);
    size_t share = server == std::string::npos ? server : path.find('\\', server + 1);
    out.root = path.substr(0, share);
    rest = share == std::string::npos ? "" : path.substr(share);
  } else if (path.size() >= 2 && path[1] == ':') {
    out.root = path.substr(0, 2);
    rest = path.substr(2);
  } else if (path[0] != '\\') {
    out.parts = current_.parts;
  }
  for (const auto& raw : splitPath(rest)) {
    const std::string part = asWindowsReads(raw);
    if (part == "..") {
      if (!out.parts.empty()) out.parts.pop_back();
    } else if (!part.empty() && part != ".") {
      out.parts.push_back(part);
    }
  }
  return true;
}

Status MemoryFileSystem::locate(const FsPath& path, MemoryFsNodePtr& node, MemoryFsNodePtr& parent) const {
  node = parent = nullptr;
  auto root = roots_.find(upper(path.root));
  if (root == roots_.end()) return kPathNotFound;
  MemoryFsNodePtr dir = root->second;
  for (size_t i = 0; i + 1 < path.parts.size(); ++i) {
    MemoryFsNodePtr child = childNamed(*dir, path.parts[i]);
    if (!child || !child->directory) return kPathNotFound;
    dir = child;
  }
  if (path.parts.empty()) {
    node = dir;
    return kSuccess;
  }
  parent = dir;
  node = childNamed(*dir, path.parts.back());
  if (node && path.trailingSlash && !node->directory) return kPathNotFound;
  return kSuccess;
}

// Parts reached through an 8.3 alias are named by their long names, so
// that one file has one canonical path however it is spelled.
std::string MemoryFileSystem::canonical(const FsPath& path) const {
  const auto root = roots_.find(upper(path.root));
  MemoryFsNodePtr dir = root == roots_.end() ? nullptr : root->second;
  std::string text = path.root;
  for (const auto& part : path.parts) {
    dir = dir && dir->directory ? childNamed(*dir, part) : nullptr;
    text += "\\" + (dir ? dir->name : part);
  }
  return upper(text);
}

Status MemoryFileSystem::fault(const FsPath& path, Op op) const { return faultFor(canonical(path), op); }

Status MemoryFileSystem::faultOn(const std::string& path, Op op) const {
  FsPath p;
  return resolve(path, p) ? fault(p, op) : kSuccess;
}

Status MemoryFileSystem::faultFor(const std::string& canonicalPath, Op op) const {
  if (faults_.empty()) return kSuccess;
  auto it = faults_.find({canonicalPath, op});
  return it == faults_.end() ? kSuccess : it->second;
}

MemoryFsNodePtr MemoryFileSystem::makeNode(const std::string& name, bool directory) const {
  auto node = std::make_shared<MemoryFsNode>();
  node->name = name;
  node->directory = directory;
  node->attributes = directory ? 0 : attr::kArchive;
  node->created = node->accessed = node->written = clock_;
  return node;
}

bool MemoryFileSystem::holdsCurrentDirectory(const FsPath& path) const {
  std::string dir = canonical(path) + "\\";
  return (canonical(current_) + "\\").rfind(dir, 0) == 0;
}

Status MemoryFileSystem::open(const std::string& path, OpenMode mode, FilePtr& out) {
  FsPath p;
  MemoryFsNodePtr node, parent;
  if (Status s = reach(path, Op::Open, p, node, parent)) return s;
  const bool write = mode != OpenMode::Read;
  const bool append = mode == OpenMode::Append || mode == OpenMode::AppendNoLink;
  if (!node && mode != OpenMode::CreateAlways && !append) return kFileNotFound;
  if (node) {
    if (node->directory || (write && (node->attributes & attr::kReadOnly))) return kAccessDenied;
    if (node->writers > 0 || (write && node->busy())) return kSharingViolation;
    if (node->reparsePoint && mode == OpenMode::AppendNoLink) return kStoppedOnLink;
  }
  if (!node) {
    if (!parent) return kAccessDenied;
    node = makeNode(p.parts.back(), false);
    parent->children[upper(node->name)] = node;
  } else if (mode == OpenMode::CreateAlways) {
    node->content.clear();  // the attributes stay, hidden and system included
    node->written = node->accessed = clock_;
  }
  const bool canRead = mode == OpenMode::Read || mode == OpenMode::CreateAlways;
  auto file = std::make_unique<MemoryFile>(*this, node, canonical(p), canRead, write);
  if (append) file->seekToEnd();
  out = std::move(file);
  return kSuccess;
}

Status MemoryFileSystem::status(const std::string& path, FileStatus& out) {
  FsPath p;
  MemoryFsNodePtr node, parent;
  if (Status s = reach(path, std::nullopt, p, node, parent)) return s;
  if (!node) return kFileNotFound;
  out = FileStatus{reportedAttributes(*node), node->created, node->accessed, node->written,
                   node->directory ? 0 : node->content.size()};
  return kSuccess;
}

Status MemoryFileSystem::setStatus(const std::string& path, const FileStatus& status) {
  FsPath p;
  MemoryFsNodePtr node, parent;
  if (Status s = reach(path, Op::SetAttributes, p, node, parent)) return s;
  if (!node) return kFileNotFound;
  // A zero time leaves that time as it is, as SetFileTime does. Wine cannot
  // set a creation time on its Unix file systems, so none is set here.
  if (status.accessed) node->accessed = status.accessed;
  if (status.written) node->written = status.written;
  node->attributes = storedAttributes(*node, status.attributes);
  return kSuccess;
}

Status MemoryFileSystem::identity(const std::string& path, FileIdentity& out) {
  FsPath p;
  MemoryFsNodePtr node, parent;
  if (Status s = reach(path, std::nullopt, p, node, parent)) return s;
  if (!node) return kFileNotFound;
  out = FileIdentity{static_cast<uint32_t>(std::hash<std::string>()(upper(p.root))),
                     static_cast<uint64_t>(reinterpret_cast<std::uintptr_t>(node.get()))};
  return kSuccess;
}

Status MemoryFileSystem::setAttributes(const std::string& path, uint32_t attributes) {
  FsPath p;
  MemoryFsNodePtr node, parent;
  if (Status s = reach(path, Op::SetAttributes, p, node, parent)) return s;
  if (!node) return kFileNotFound;
  node->attributes = storedAttributes(*node, attributes);
  return kSuccess;
}

Status MemoryFileSystem::deleteFile(const std::string& path) {
  FsPath p;
  MemoryFsNodePtr node, parent;
  if (Status s = reach(path, Op::Delete, p, node, parent)) return s == kPathNotFound && node ? kInvalidName : s;
  if (!node) return kFileNotFound;
  if (node->directory || (node->attributes & attr::kReadOnly)) return kAccessDenied;
  if (node->busy()) return kSharingViolation;
  parent->children.erase(upper(node->name));
  return kSuccess;
}

Status MemoryFileSystem::createDirectory(const std::string& path) {
  FsPath p;
  MemoryFsNodePtr node, parent;
  if (Status s = reach(path, Op::CreateDirectory, p, node, parent)) return s;
  if (node) return kAlreadyExists;
  node = makeNode(p.parts.back(), true);
  parent->children[upper(node->name)] = node;
  return kSuccess;
}

Status MemoryFileSystem::removeDirectory(const std::string& path) {
  FsPath p;
  MemoryFsNodePtr node, parent;
  if (Status s = reach(path, Op::RemoveDirectory, p, node, parent)) return s;
  if (!node) return kFileNotFound;
  if (!node->directory) return kDirectory;
  if (!parent) return kAccessDenied;
  if (!node->children.empty()) return kDirNotEmpty;
  if (holdsCurrentDirectory(p)) return kSharingViolation;
  parent->children.erase(upper(node->name));
  return kSuccess;
}

Status MemoryFileSystem::replaceFile(const std::string& from, const std::string& to) {
  FsPath source, target;
  MemoryFsNodePtr node, parent, existing, targetParent;
  if (holdsZeroByte(from) || holdsZeroByte(to)) return kInvalidName;
  if (!resolve(from, source) || !resolve(to, target)) return kPathNotFound;
  if (Status s = fault(source, Op::Replace)) return s;
  if (Status s = fault(target, Op::Replace)) return s;
  if (Status s = locate(source, node, parent)) return s;
  if (!node) return kFileNotFound;
  if (Status s = locate(target, existing, targetParent)) return s;
  if (!parent || !targetParent) return kAccessDenied;
  if (upper(source.root) != upper(target.root)) return kNotSameDevice;
  if (existing == node) return kSuccess;
  // Wine replaces a read-only target, and a file by a directory, where
  // Windows would refuse both.
  if (existing && existing->directory) return kAccessDenied;
  if (existing && existing->busy()) return kAccessDenied;
  if (node->busy()) return kSharingViolation;
  if (node->directory && holdsCurrentDirectory(source)) return kSharingViolation;
  if (node->directory && (canonical(target) + "\\").rfind(canonical(source) + "\\", 0) == 0) return kAccessDenied;
  parent->children.erase(upper(node->name));
  node->name = target.parts.back();
  targetParent->children[upper(node->name)] = node;
  return kSuccess;
}

Status MemoryFileSystem::deleteAtRestart(const std::string& path) {
  FsPath p;
  MemoryFsNodePtr node, parent;
  if (Status s = reach(path, Op::DeleteAtRestart, p, node, parent)) return s;
  // MoveFileExA checks nothing more now: the source need not even exist.
  scheduled_.push_back(path);
  return kSuccess;
}

void MemoryFileSystem::restart() {
  for (const std::string& path : scheduled_) {
    FsPath p;
    MemoryFsNodePtr node, parent;
    if (!resolve(path, p) || locate(p, node, parent) != kSuccess || !node || !parent) continue;
    if (node->directory && !node->children.empty()) continue;
    parent->children.erase(upper(node->name));
  }
  scheduled_.clear();
}

Status MemoryFileSystem::find(const std::string& pattern, const std::function<bool(const FoundEntry&)>& visit) {
  if (holdsZeroByte(pattern)) return kInvalidName;
  size_t slash = pattern.find_last_of("\\/");
  std::string dirText = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
  std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  FsPath p;
  MemoryFsNodePtr dir, parent;
  if (!resolve(dirText, p)) return kPathNotFound;
  if (Status s = fault(p, Op::Find)) return s;
  Status located = locate(p, dir, parent);
  if (dir && !dir->directory) return kInvalidName;
  if (located) return located;
  if (!dir) return kPathNotFound;
  std::vector<FoundEntry> found;
  if (parent) {
    for (const char* dots : {".", ".."}) {
      if (matchesWildcard(mask, dots)) found.push_back({dots, attr::kDirectory, ""});
    }
  }
  for (const auto& [key, child] : dir->children) {
    if (matchesWildcard(mask, child->name)) found.push_back({child->name, reportedAttributes(*child), shortNameOf(child->name)});
  }
  if (found.empty()) return kFileNotFound;
  // Visit a snapshot: the visitor may delete what it is shown.
  for (const auto& entry : found) {
    if (!visit(entry)) break;
  }
  return kSuccess;
}

std::string MemoryFileSystem::currentDirectory() {
  std::string text = current_.root;
  for (const auto& part : current_.parts) text += "\\" + part;
  return current_.parts.empty() ? text + "\\" : text;
}

Status MemoryFileSystem::setCurrentDirectory(const std::string& path) {
  FsPath p;
  MemoryFsNodePtr node, parent;
  if (Status s = reach(path, std::nullopt, p, node, parent)) return s;
  if (!node) return kFileNotFound;
  if (!node->directory) return kDirectory;
  current_ = p;
  return kSuccess;
}

MemoryFsNodePtr MemoryFileSystem::ensureDirectory(const FsPath& path) {
  MemoryFsNodePtr& root = roots_[upper(path.root)];
  if (!root) root = makeNode(path.root, true);
  MemoryFsNodePtr dir = root;
  for (const auto& part : path.parts) {
    MemoryFsNodePtr child = childNamed(*dir, part);
    if (!child) child = dir->children[upper(part)] = makeNode(part, true);
    dir = child;
  }
  return dir;
}

void MemoryFileSystem::addDirectory(const std::string& path) {
  FsPath p;
  if (resolve(path, p)) ensureDirectory(p);
}

void MemoryFileSystem::addFile(const std::string& path, const std::string& content, uint32_t attributes) {
  FsPath p;
  if (!resolve(path, p) || p.parts.empty()) return;
  std::string name = p.parts.back();
  p.parts.pop_back();
  MemoryFsNodePtr dir = ensureDirectory(p);
  // A file named by its alias is the file the alias stands for.
  if (MemoryFsNodePtr existing = childNamed(*dir, name)) name = existing->name;
  MemoryFsNodePtr node = makeNode(name, false);
  node->content = content;
  node->attributes = attributes & kSettableAttributes;
  node->reparsePoint = (attributes & attr::kReparsePoint) != 0;
  dir->children[upper(name)] = node;
}

void MemoryFileSystem::seedTimes(const std::string& path, FileTime created, FileTime accessed, FileTime written) {
  FsPath p;
  MemoryFsNodePtr node, parent;
  if (!resolve(path, p) || locate(p, node, parent) != kSuccess || !node) return;
  node->created = created;
  node->accessed = accessed;
  node->written = written;
}

bool MemoryFileSystem::exists(const std::string& path) const {
  FsPath p;
  MemoryFsNodePtr node, parent;
  return resolve(path, p) && locate(p, node, parent) == kSuccess && node;
}

std::optional<std::string> MemoryFileSystem::content(const std::string& path) const {
  FsPath p;
  MemoryFsNodePtr node, parent;
  if (!resolve(path, p) || locate(p, node, parent) != kSuccess || !node || node->directory) return std::nullopt;
  return node->content;
}

std::vector<std::string> MemoryFileSystem::paths() const {
  std::vector<std::string> out;
  std::function<void(const MemoryFsNode&, const std::string&)> walk = [&](const MemoryFsNode& dir,
                                                                         const std::string& prefix) {
    for (const auto& [key, child] : dir.children) {
      out.push_back(prefix + child->name + (child->directory ? "\\" : ""));
      if (child->directory) walk(*child, prefix + child->name + "\\");
    }
  };
  for (const auto& [key, root] : roots_) walk(*root, root->name + "\\");
  return out;
}

int MemoryFileSystem::openFiles() const {
  int count = 0;
  std::function<void(const MemoryFsNode&)> walk = [&](const MemoryFsNode& node) {
    count += node.readers + node.writers;
    for (const auto& [key, child] : node.children) walk(*child);
  };
  for (const auto& [key, root] : roots_) walk(*root);
  return count;
}

void MemoryFileSystem::fail(const std::string& path, Op op, Status status) {
  FsPath p;
  if (resolve(path, p)) faults_[{canonical(p), op}] = status;
}

void MemoryFileSystem::clearFaults() { faults_.clear(); }

}  // namespace cvl::platform
