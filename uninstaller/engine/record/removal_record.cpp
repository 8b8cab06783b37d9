#include "uninstaller/engine/record/removal_record.h"

#include <algorithm>

#include "platform/platform.h"
#include "uninstaller/engine/record/record_fields.h"

namespace cvl {
namespace {

using namespace platform;

constexpr const char* kHeader = "Corvel removal record";
constexpr const char* kVersion = "1";
// Far above any real installation's notes: a larger file is not a record.
constexpr uint64_t kLargestRecord = 64ull << 20;

std::optional<std::string> readWhole(FileSystem& files, const std::string& path, bool& missing) {
  FilePtr file;
  const Status opened = files.open(path, OpenMode::Read, file);
  missing = opened == kFileNotFound || opened == kPathNotFound;
  if (opened != kSuccess || file->size() > kLargestRecord) return std::nullopt;
  std::string text(static_cast<size_t>(file->size()), '\0');
  uint32_t done = 0;
  if (!text.empty() && (file->read(text.data(), static_cast<uint32_t>(text.size()), done) != kSuccess ||
                        done != text.size())) {
    return std::nullopt;
  }
  return text;
}

std::optional<uint64_t> number(const std::string& text) {
  if (text.empty() || text.size() > 20 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  return std::stoull(text);
}

std::optional<int32_t> count(const std::string& text) {
  const auto value = number(text);
  if (!value || *value > 0x7FFFFFFF) return std::nullopt;
  return static_cast<int32_t>(*value);
}

std::string headerLine(const StoreBinding& store) {
  return joinRecordFields({kHeader, kVersion, std::to_string(store.size), std::to_string(store.written)});
}

}  // namespace

bool isRemovalRecordPath(const std::string& path) {
  std::string name = path.substr(path.find_last_of("\\/:") + 1);
  // Windows drops trailing dots and blanks from a file name.
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  return platform::equalsNoCase(name, kRecordFileName);
}

StoreBinding bindingOf(FileSystem& files, const std::string& storePath) {
  FileStatus status;
  if (files.status(storePath, status) != kSuccess) return {};
  return {status.size, status.written};
}

RemovalRecord::State RemovalRecord::open(FileSystem& files, const std::string& path, const StoreBinding& store,
                                         bool readOnly) {
  files_ = &files;
  path_ = path;
  store_ = store;
  readOnly_ = readOnly;
  const bool replaced = takeReplacementLeftBeside(files, path, store, readOnly);
  bool missing = false;
  const auto text = readWhole(files, replaced && readOnly ? path + ".new" : path, missing);
  if (!text) {
    state_ = missing ? State::Absent : State::Unreadable;
  } else if (!parse(*text)) {
    state_ = State::Unreadable;
  }
  // A foreign record's notes stay readable for a clean-up whose store is
  // gone; begin() drops them.
  if (state_ == State::Absent || state_ == State::Unreadable) forget();
  return state_;
}

// A rebind cut short leaves the record's replacement beside it, complete
// and bound to the store written back: that one is the record then. One
// bound to nothing here is a leftover and goes.
bool RemovalRecord::takeReplacementLeftBeside(FileSystem& files, const std::string& path, const StoreBinding& store,
                                              bool readOnly) {
  const std::string fresh = path + ".new";
  bool missing = false;
  const auto text = readWhole(files, fresh, missing);
  if (missing) return false;
  RemovalRecord replacement;
  replacement.store_ = store;
  const bool bound = text && replacement.parse(*text) && replacement.state_ == State::Bound;
  if (readOnly) return bound;
  if (!bound) {
    (void)files.deleteFile(fresh);  // a leftover that stays is read again, and ignored again, next time
    return false;
  }
  return files.replaceFile(fresh, path) == kSuccess;
}

// Only the last line may lack its end: each note is flushed before what it
// notes is done, so a torn note was never acted on.
bool RemovalRecord::parse(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  if (lines.empty()) {
    state_ = State::Absent;
    return true;
  }
  const auto header = splitRecordFields(lines[0]);
  if (!header || header->size() != 4 || (*header)[0] != kHeader || (*header)[1] != kVersion) return false;
  const auto size = number((*header)[2]), written = number((*header)[3]);
  if (!size || !written) return false;
  recorded_ = {*size, *written};
  for (size_t i = 1; i < lines.size(); ++i) {
    const auto fields = splitRecordFields(lines[i]);
    if (!fields || !parseNote(*fields)) return false;
  }
  state_ = recorded_ == store_ || rewrittenTo_ == store_ ? State::Bound : State::Foreign;
  return true;
}

bool RemovalRecord::parseNote(const std::vector<std::string>& fields) {
  const std::string& kind = fields[0];
  lastRunEnded_ = kind == "removal ended" && fields.size() == 1;
  if (lastRunEnded_) return true;
  if (kind == "release" && fields.size() == 6) {
    const auto before = count(fields[4]), after = count(fields[5]);
    if (!before || !after) return false;
    keep({fields[1], fields[2], fields[3], *before, *after});
    return true;
  }
  if (kind == "runonce" && fields.size() == 4) {
    runOnce_.push_back({fields[1], fields[2], fields[3]});
    return true;
  }
  if (kind == "store rewritten" && fields.size() == 3) {
    const auto size = number(fields[1]), written = number(fields[2]);
    if (!size || !written) return false;
    rewrittenTo_ = StoreBinding{*size, *written};
    return true;
  }
  if (kind == "clean-up begun" && fields.size() == 2) {
    cleanupBegun_ = true;
    cleanupTarget_ = fields[1];
    return true;
  }
  return false;
}

void RemovalRecord::keep(const ReleaseNote& note) {
  releasesByPath_[platform::upper(note.path)].push_back(releases_.size());
  releases_.push_back(note);
}

std::vector<const ReleaseNote*> RemovalRecord::releasesOf(const std::string& path) const {
  std::vector<const ReleaseNote*> notes;
  const auto found = releasesByPath_.find(platform::upper(path));
  if (found != releasesByPath_.end()) {
    for (const size_t index : found->second) notes.push_back(&releases_[index]);
  }
  return notes;
}

void RemovalRecord::forget() {
  releases_.clear();
  releasesByPath_.clear();
  runOnce_.clear();
  cleanupBegun_ = false;
  lastRunEnded_ = false;
  cleanupTarget_.clear();
  rewrittenTo_.reset();
}

bool RemovalRecord::begin() {
  if (state_ == State::Foreign) forget();
  if (readOnly_ || state_ == State::Unreadable) return writable_ = false;
  if (state_ == State::Bound) return writable_ = true;
  FilePtr file;
  const std::string line = headerLine(store_) + "\r\n";
  writable_ = files_->open(path_, OpenMode::CreateAlways, file) == kSuccess &&
              file->write(line.data(), static_cast<uint32_t>(line.size())) == kSuccess && file->flush() == kSuccess;
  return writable_;
}

bool RemovalRecord::append(const std::string& line) {
  if (readOnly_) return true;  // a plan writes nothing and pretends nothing failed
  if (!writable_) return false;
  FilePtr file;
  const std::string text = line + "\r\n";
  return files_->open(path_, OpenMode::Append, file) == kSuccess &&
         file->write(text.data(), static_cast<uint32_t>(text.size())) == kSuccess && file->flush() == kSuccess;
}

bool RemovalRecord::noteRelease(const ReleaseNote& note) {
  if (!append(joinRecordFields({"release", note.component, note.group, note.path, std::to_string(note.before),
                                std::to_string(note.after)}))) {
    return false;
  }
  keep(note);
  return true;
}

bool RemovalRecord::noteRunOnce(const RunOnceNote& note) {
  if (!append(joinRecordFields({"runonce", note.component, note.valueName, note.command}))) return false;
  runOnce_.push_back(note);
  return true;
}

bool RemovalRecord::noteCleanupBegun(const std::string& targetDir) {
  if (!append(joinRecordFields({"clean-up begun", targetDir}))) return false;
  cleanupBegun_ = true;
  cleanupTarget_ = targetDir;
  return true;
}

bool RemovalRecord::noteStoreRewritten(const StoreBinding& store) {
  if (store == store_) return true;
  if (!append(joinRecordFields({"store rewritten", std::to_string(store.size), std::to_string(store.written)}))) {
    return false;
  }
  rewrittenTo_ = store;
  return true;
}

bool RemovalRecord::noteRunEnded() { return append(joinRecordFields({"removal ended"})); }

void RemovalRecord::rebind(const StoreBinding& store) {
  if (readOnly_ || !writable_ || store == store_) return;
  store_ = store;
  rewrittenTo_.reset();
  // Only notes a second run still needs are carried over: the written-back
  // store no longer offers the components whose releases were noted.
  std::string text = headerLine(store) + "\r\n";
  for (const RunOnceNote& note : runOnce_) {
    text += joinRecordFields({"runonce", note.component, note.valueName, note.command}) + "\r\n";
  }
  if (cleanupBegun_) text += joinRecordFields({"clean-up begun", cleanupTarget_}) + "\r\n";
  const std::string fresh = path_ + ".new";
  FilePtr file;
  writable_ = files_->open(fresh, OpenMode::CreateAlways, file) == kSuccess &&
              file->write(text.data(), static_cast<uint32_t>(text.size())) == kSuccess && file->flush() == kSuccess;
  file.reset();
  writable_ = writable_ && files_->replaceFile(fresh, path_) == kSuccess;
  releases_.clear();
  releasesByPath_.clear();
}

void RemovalRecord::remove() {
  if (readOnly_ || files_ == nullptr) return;
  // A record left behind is taken only for a clean-up it says had begun.
  (void)files_->deleteFile(path_);
  (void)files_->deleteFile(path_ + ".new");
  writable_ = false;
}

bool RemovalRecord::ranRunOnce(const RunOnceNote& note) const {
  return std::find(runOnce_.begin(), runOnce_.end(), note) != runOnce_.end();
}

std::string RemovalRecord::whyIgnored() const {
  switch (state_) {
    case State::Foreign: return "removal record " + path_ + " belongs to another store: ignored";
    case State::Unreadable: return "removal record " + path_ + " cannot be read: no shared count is released";
    default: return {};
  }
}

}  // namespace cvl
