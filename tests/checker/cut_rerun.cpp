#include "tests/checker/cut_rerun.h"

#include <sstream>

#include "platform/forwarding.h"

namespace cvl::checker {
namespace {

using namespace platform;

// A machine on which a run is cut short, as a killed process is: the first
// `allowed` changes (a file opened for writing, a write, a delete, a value
// set, a command or library started, ...) go through, every later one
// fails and changes nothing. Reads always go through.
struct ChangeBudget {
  uint64_t allowed = UINT64_MAX;
  uint64_t used = 0;
  bool take() { return used < allowed && ++used; }
};

constexpr Status kCut = kAccessDenied;

class CutFile : public File {
 public:
  CutFile(FilePtr inner, ChangeBudget& budget) : inner_(std::move(inner)), budget_(budget) {}
  Status read(void* buffer, uint32_t size, uint32_t& done) override { return inner_->read(buffer, size, done); }
  Status write(const void* buffer, uint32_t size) override { return budget_.take() ? inner_->write(buffer, size) : kCut; }
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
  Status deleteSelf() override { return budget_.take() ? inner_->deleteSelf() : kCut; }

 private:
  ChangeBudget& budget_;
};

// One platform forwarding all three parts, each change taken from the budget.
class CutPlatform : public Platform, ForwardingRegistry, ForwardingFileSystem, ForwardingSystem {
 public:
  CutPlatform(Platform& inner, ChangeBudget& budget)
      : ForwardingRegistry(inner.registry()), ForwardingFileSystem(inner.files()), ForwardingSystem(inner.system()),
        inner_(inner), budget_(budget) {}
  Registry& registry() override { return *this; }
  FileSystem& files() override { return *this; }
  System& system() override { return *this; }

  Status openKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return CutKey::wrap(inner_.registry().openKey(root, subKey, access, out), out, budget_);
  }
  Status createKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return take() ? CutKey::wrap(inner_.registry().createKey(root, subKey, access, out), out, budget_) : kCut;
  }
  Status deleteKey(RegRoot root, const std::string& subKey) override {
    return take() ? inner_.registry().deleteKey(root, subKey) : kCut;
  }

  Status open(const std::string& path, OpenMode mode, FilePtr& out) override {
    if (mode != OpenMode::Read && !take()) return kCut;
    const Status status = inner_.files().open(path, mode, out);
    if (status == kSuccess) out = std::make_unique<CutFile>(std::move(out), budget_);
    return status;
  }
  Status setStatus(const std::string& path, const FileStatus& status) override {
    return take() ? inner_.files().setStatus(path, status) : kCut;
  }
  Status setAttributes(const std::string& path, uint32_t attributes) override {
    return take() ? inner_.files().setAttributes(path, attributes) : kCut;
  }
  Status deleteFile(const std::string& path) override { return take() ? inner_.files().deleteFile(path) : kCut; }
  Status createDirectory(const std::string& path) override { return take() ? inner_.files().createDirectory(path) : kCut; }
  Status removeDirectory(const std::string& path) override { return take() ? inner_.files().removeDirectory(path) : kCut; }
  Status replaceFile(const std::string& from, const std::string& to) override {
    return take() ? inner_.files().replaceFile(from, to) : kCut;
  }
  Status deleteAtRestart(const std::string& path) override { return take() ? inner_.files().deleteAtRestart(path) : kCut; }

  WaitResult runHidden(const std::string& application, const std::string& commandLine, uint32_t timeoutMs,
                       uint32_t* exitCode) override {
    return take() ? inner_.system().runHidden(application, commandLine, timeoutMs, exitCode) : WaitResult::NotStarted;
  }
  bool shellDelete(const std::string& path, std::uintptr_t owner) override {
    return take() && inner_.system().shellDelete(path, owner);
  }
  LibraryPtr loadLibrary(const std::string& path) override { return take() ? inner_.system().loadLibrary(path) : nullptr; }

 private:
  bool take() { return budget_.take(); }
  Platform& inner_;
  ChangeBudget& budget_;
};

constexpr const char* kRecord = "C:\\PROGRAM FILES\\CORVEL\\UNINSTALL\\CVLINST.REC";

bool isCommandOfRunOnce(const std::string& commandLine) { return commandLine.find("regsvr32") == std::string::npos; }

// How often each RunOnce command line starts; several values may hold one.
std::map<std::string, int> runOnceStarts(MemoryPlatform& machine) {
  std::map<std::string, int> starts;
  for (const auto& run : machine.system().runs()) {
    if (isCommandOfRunOnce(run.commandLine)) ++starts[run.commandLine];
  }
  return starts;
}

// What the end state is judged on: folders' times follow their content, the
// time of the last reading is no state, and the record is bookkeeping.
std::string firstDifference(const MachineSnapshot& got, const MachineSnapshot& want) {
  for (const Change& change : changesBetween(want, got)) {
    if (change.path == kRecord) continue;
    if (change.kind == Change::Kind::FileAltered) {
      const FileState& is = got.files.at(change.path);
      const FileState& was = want.files.at(change.path);
      if (is.directory || (is.content == was.content && is.status.written == was.status.written &&
                           is.status.attributes == was.status.attributes)) {
        continue;
      }
    }
    return describe(change);
  }
  return {};
}

// Counts lower than the whole removal leaves, at any moment checked.
std::string countBelowWhole(const MachineSnapshot& now, const MachineSnapshot& whole) {
  for (const auto& [place, value] : whole.values) {
    if (place.first != places::kSharedDlls || value.data.size() != 4) continue;
    const auto held = now.values.find(place);
    if (held == now.values.end() || held->second.asDword() < value.asDword()) return place.second;
  }
  return {};
}

}  // namespace

WholeRemoval wholeRemoval(const ChoicesSource& source) {
  CheckedRemoval removal;
  const std::unique_ptr<Choices> choices = source();
  installRandomSuite(*choices, removal);
  ChangeBudget budget;
  CutPlatform counted(removal.machine, budget);
  const Pass whole = removal.pass(counted, *choices);
  MachineSnapshot end = takeSnapshot(removal.machine);
  (void)removal.pass(removal.machine, *choices, &whole);
  return {std::move(end), takeSnapshot(removal.machine), budget.used, runOnceStarts(removal.machine)};
}

std::string cutAndRunAgain(const ChoicesSource& source, uint64_t cut, const WholeRemoval& whole) {
  CheckedRemoval removal;
  const std::unique_ptr<Choices> choices = source();
  installRandomSuite(*choices, removal);
  const MachineSnapshot before = takeSnapshot(removal.machine);
  CConfigStore store;
  CUninstallLog log;
  removal.readRecords(store, log);
  ChangeBudget budget{cut};
  CutPlatform killed(removal.machine, budget);
  const Pass first = removal.pass(killed, *choices);
  std::ostringstream fault;
  if (const std::string below = countBelowWhole(takeSnapshot(removal.machine), whole.endRunAgain); !below.empty()) {
    fault << "after the cut run, count below a whole removal's: " << below;
  }
  const Pass again = removal.pass(removal.machine, *choices, &first);
  const MachineSnapshot end = takeSnapshot(removal.machine);
  if (const std::string below = countBelowWhole(end, whole.endRunAgain); !below.empty()) fault << " count below: " << below;
  if (const std::string differs = firstDifference(end, whole.end);
      !differs.empty() && !firstDifference(end, whole.endRunAgain).empty()) {
    fault << " differs: " << differs;
  }
  for (const Violation& violation : removal.judgeSince(before, store, log, first, &again)) {
    // A command noted and then cut may never have started: at most once
    // over both runs outweighs at least once.
    if (violation.rule == "RunOnce commands of checked top components run") continue;
    fault << " " << violation.rule << ": " << violation.what;
  }
  for (const auto& [command, starts] : runOnceStarts(removal.machine)) {
    const auto once = whole.starts.find(command);
    if (starts > (once == whole.starts.end() ? 0 : once->second)) fault << " started again: " << command;
  }
  return fault.str().empty() ? std::string() : "cut after change " + std::to_string(cut) + ":" + fault.str();
}

}  // namespace cvl::checker
