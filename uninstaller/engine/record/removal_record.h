#pragma once
// The removal record "cvlinst.rec", beside the store: what a removal must
// never do twice is noted and flushed before it is done, so that a run cut
// short at any moment (a crash, a power cut, a killed process) can be run
// again to its end. Noted are each release of a shared library's count,
// each RunOnce command started, and the start of the final clean-up.
//
// Text, one line per note, CRLF, fields separated by tabs, '%', tab, CR
// and LF in a field written as %25, %09, %0D, %0A:
//   Corvel removal record<TAB>1<TAB><store size><TAB><store write time>
//   release<TAB><component><TAB><group><TAB><path><TAB><count before><TAB><count after>
//   runonce<TAB><component><TAB><value name><TAB><command line>
//   clean-up begun<TAB><target folder>
//   store rewritten<TAB><store size><TAB><store write time>
//   removal ended
// The first line binds the record to the store it was written for; the
// write-back of the selection keeps the store's write time, so the record
// lives as long as the store and goes in the final clean-up. A write-back
// that changes the store's size is noted before the store is replaced, and
// the record then holds to either store until it is rebound.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace cvl {

inline constexpr const char* kRecordFileName = "cvlinst.rec";

struct StoreBinding {
  uint64_t size = 0;
  platform::FileTime written = 0;
  bool operator==(const StoreBinding&) const = default;
};

struct ReleaseNote {
  std::string component, group, path;
  int32_t before = 0, after = 0;
};

struct RunOnceNote {
  std::string component, valueName, command;
  bool operator==(const RunOnceNote&) const = default;
};

class RemovalRecord {
 public:
  enum class State {
    Absent,      // no record, or nothing in it but a line cut short
    Bound,       // written for this store: an earlier run of it was cut short
    Foreign,     // written for another store; ignored and replaced
    Unreadable,  // cannot be understood: the run releases no count
  };

  // Reads the record; nothing is written. readOnly (a plan) keeps it so.
  State open(platform::FileSystem& files, const std::string& path, const StoreBinding& store, bool readOnly);
  // Makes the record this run's: a bound one is kept, an absent or foreign
  // one replaced by a new first line. False when that cannot be written;
  // the run then releases no count and starts no command.
  bool begin();

  // Each appends one line and flushes it. False when that failed.
  [[nodiscard]] bool noteRelease(const ReleaseNote& note);
  [[nodiscard]] bool noteRunOnce(const RunOnceNote& note);
  [[nodiscard]] bool noteCleanupBegun(const std::string& targetDir);
  // Just before the store is replaced by its written-back image.
  [[nodiscard]] bool noteStoreRewritten(const StoreBinding& store);
  // The run got to its end: the next one does not go on from it.
  [[nodiscard]] bool noteRunEnded();
  // After the store was written back: a store whose size changed gets its
  // record rewritten for the new size, else the next run would take the
  // record for another store's.
  void rebind(const StoreBinding& store);
  // The final clean-up's last trace but the target folder.
  void remove();

  State state() const { return state_; }
  bool writable() const { return writable_; }
  const std::string& path() const { return path_; }
  const std::vector<ReleaseNote>& releases() const { return releases_; }
  // The notes of one count, in record order; a path names the count whatever its case.
  std::vector<const ReleaseNote*> releasesOf(const std::string& path) const;
  bool ranRunOnce(const RunOnceNote& note) const;
  bool cleanupBegun() const { return cleanupBegun_; }
  // Bound, and the last run noted in it was cut short.
  bool runWasCut() const { return state_ == State::Bound && !lastRunEnded_; }
  const std::string& cleanupTarget() const { return cleanupTarget_; }
  // Why the record was not used, for the run's log; empty when it was.
  std::string whyIgnored() const;

 private:
  bool takeReplacementLeftBeside(platform::FileSystem& files, const std::string& path, const StoreBinding& store,
                                 bool readOnly);
  bool append(const std::string& line);
  bool parse(const std::string& text);
  bool parseNote(const std::vector<std::string>& fields);
  void forget();
  void keep(const ReleaseNote& note);

  platform::FileSystem* files_ = nullptr;
  std::string path_;
  StoreBinding store_;
  State state_ = State::Absent;
  bool readOnly_ = true;
  bool writable_ = false;
  StoreBinding recorded_;
  std::optional<StoreBinding> rewrittenTo_;
  std::vector<ReleaseNote> releases_;
  std::map<std::string, std::vector<size_t>> releasesByPath_;  // upper-cased path: indexes into releases_
  std::vector<RunOnceNote> runOnce_;
  bool cleanupBegun_ = false;
  bool lastRunEnded_ = false;
  std::string cleanupTarget_;
};

// Whether a path names a removal record: never a run's log.
bool isRemovalRecordPath(const std::string& path);

// The store's size and write time; a missing store gives zeros.
StoreBinding bindingOf(platform::FileSystem& files, const std::string& storePath);

}  // namespace cvl
