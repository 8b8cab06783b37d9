#include "tests/checker/checked_removal.h"

#include <algorithm>

#include "tests/checker/safety_rules.h"
#include "tests/support/doubles/driver_doubles.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/phases/cleanup_resume.h"
#include "uninstaller/engine/record/run_mode.h"
#include "uninstaller/engine/uninstall_driver.h"
#include "uninstaller/removal/noted_paths.h"
#include "uninstaller/startup/loaded_installation.h"
#include "uninstaller/store/archive_error.h"

namespace cvl::checker {
namespace {

using namespace platform;

// What the VBA runtime's installer was handed in the current run.
std::vector<std::string>& vbaPackages() {
  static std::vector<std::string> packages;
  return packages;
}
int vbaInit(const char* package, int, int) {
  vbaPackages().push_back(package);
  return 0;
}
int vbaUnInstall() { return 0; }

void seedRegistry(MemoryRegistry& registry) {
  const auto text = [](const char* value) { return RegValue::string(value); };
  const std::string windows = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  const std::vector<std::tuple<RegRoot, std::string, std::string, RegValue>> values = {
      {RegRoot::LocalMachine, "software\\corvel\\uninstall\\cdf", "", text(places::kUninstallDir)},
      {RegRoot::LocalMachine, "software\\corvel\\uninstall\\paths", "TARGETDIR", text(places::kTargetDir)},
      {RegRoot::LocalMachine, "software\\corvel\\uninstall\\paths", "WINSYSDIR", text(places::kSystemDir)},
      {RegRoot::LocalMachine, windows, "ProgramFilesDir", text(places::kProgramFiles)},
      {RegRoot::LocalMachine, windows, "CommonFilesDir", text(places::kCommonFiles)},
      {RegRoot::LocalMachine, windows + "\\Uninstall\\Corvel System", "DisplayName", text("Corvel System")},
      {RegRoot::LocalMachine, windows + "\\Uninstall\\Foreign App", "DisplayName", text("Foreign App")},
      {RegRoot::LocalMachine, windows + "\\SharedDLLs", "C:\\WINDOWS\\SYSTEM32\\foreign.dll", RegValue::dword(3)},
      // Other programs' entries in every container the suite writes into.
      {RegRoot::LocalMachine, "Software\\Corvel\\Other Product", "Setting", text("kept")},
      {RegRoot::CurrentUser, "Software\\Corvel\\Other Product", "Setting", text("kept")},
      {RegRoot::LocalMachine, "SOFTWARE", "ForeignFlag", text("kept")},
      {RegRoot::LocalMachine, windows + "\\Run", "ForeignAgent", text("agent.exe")},
      {RegRoot::CurrentUser, "Software\\Foreign\\Settings", "ForeignSetting", text("kept")},
      {RegRoot::LocalMachine, "Software\\Foreign\\Prefs", "ForeignPref", text("kept")},
      {RegRoot::LocalMachine, "Software\\Foreign\\NEW USER SETTINGS\\Prefs", "ForeignPref", text("kept")},
      {RegRoot::ClassesRoot, "CLSID\\{F0F0F0F0-0000-0000-0000-000000000001}", "", text("Foreign")},
      {RegRoot::ClassesRoot, "*\\shellex\\ContextMenuHandlers\\Foreign", "", text("{F0}")},
      {RegRoot::ClassesRoot, "Directory\\shell\\foreign\\command", "", text("foreign.exe")},
      {RegRoot::ClassesRoot, "Directory\\Background\\shellex\\ContextMenuHandlers\\Foreign", "", text("{F1}")},
      {RegRoot::ClassesRoot, ".cvx\\OpenWithProgids", "Foreign.Doc", text("")},
      {RegRoot::LocalMachine, "SOFTWARE\\Classes\\Folder\\shell\\foreign\\command", "", text("f.exe")},
      {RegRoot::Users, ".DEFAULT\\Software\\Foreign", "Kept", text("kept")}};
  for (const auto& [root, key, name, value] : values) registry.seedValue(root, key, name, value);
}

void seedFiles(MemoryFileSystem& files) {
  for (const char* file : {"C:\\boot.ini", "C:\\Program.exe", "C:\\WINDOWS\\SYSTEM32\\regsvr32.exe",
                           "C:\\WINDOWS\\SYSTEM32\\cmd.exe", "C:\\WINDOWS\\SYSTEM32\\kernel32.dll",
                           "C:\\WINDOWS\\SYSTEM32\\foreign.dll", "C:\\Program Files\\Foreign\\app.exe",
                           "C:\\Program Files\\Corvel\\cleanup.exe", "C:\\Program Files\\Corvel\\Tool With Blanks.exe",
                           "C:\\Program Files\\Corvel\\Uninstall\\cvlpsapi.dll",
                           "C:\\Program Files\\Corvel\\Uninstall\\DEIS1.ISU",
                           // Planted where a search would look first.
                           "C:\\Program Files\\Corvel\\Uninstall\\regsvr32.exe",
                           "C:\\Program Files\\Corvel\\Uninstall\\cmd.exe",
                           "C:\\Program Files\\Common Files\\Corvel\\cvlunst.exe",
                           "C:\\Program Files\\Common Files\\Microsoft Shared\\VBA\\VBA6\\vbai60.dll",
                           "C:\\Documents and Settings\\Tester\\Start Menu\\Programs\\Foreign\\Foreign.lnk",
                           "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Accessories\\Notepad.lnk",
                           "\\\\server\\share\\foreign.txt"}) {
    files.addFile(file, "foreign");
  }
}

void fillTree(const std::vector<SelectionItem>& items, const Catalogue& catalogue, test::PlainTree& tree,
              SelectionTree::Item parent = 0) {
  for (const SelectionItem& item : items) {
    const SelectionTree::Item added = tree.add(item.state, catalogue.componentMap.find(item.component), parent);
    fillTree(item.children, catalogue, tree, added);
  }
}

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

}  // namespace

CheckedRemoval::CheckedRemoval() {
  seedRegistry(machine.registry());
  seedFiles(machine.files());
  machine.system().setSpecialFolder(csidl::kPrograms, places::kUserPrograms);
  machine.system().setSpecialFolder(csidl::kCommonPrograms, places::kCommonPrograms);
  machine.system().setEnvironment("SystemRoot", places::kWindowsDir);
  machine.system().addLibrary(places::kVbaLibrary,
                              {{"Init", reinterpret_cast<void*>(&vbaInit)},
                               {"UnInstall", reinterpret_cast<void*>(&vbaUnInstall)}});
  vbaPackages().clear();
}

void CheckedRemoval::writeStore(const std::vector<uint8_t>& bytes) {
  machine.files().addFile(std::string(places::kUninstallDir) + "cvlinst.dat", std::string(bytes.begin(), bytes.end()));
}

void CheckedRemoval::writeLog(const std::vector<uint8_t>& bytes) {
  machine.files().addFile(std::string(places::kUninstallDir) + "cvlinst.log", std::string(bytes.begin(), bytes.end()));
}

void CheckedRemoval::readRecords(CConfigStore& store, CUninstallLog& log) {
  try {
    store.load(machine.files(), std::string(places::kUninstallDir) + "cvlinst.dat");
    log.load(machine.files(), std::string(places::kUninstallDir) + "cvlinst.log");
  } catch (const ArchiveError&) {
  }
}

void CheckedRemoval::denyOpening(RegRoot root, const std::string& key) {
  machine.registry().fail(root, key, MemoryRegistry::Op::Open, kAccessDenied);
  unopenableKeys_.insert(placeOf(prefixOf(root), key));
}

void CheckedRemoval::holdOpen(const std::string& path, Status refusal) {
  machine.files().fail(path, MemoryFileSystem::Op::Delete, refusal);
  filesHeldOpen_.push_back(path);
}

Pass CheckedRemoval::pass(Platform& through, Choices& selection, const Pass* repeat, RunMode mode,
                          const Selection* given) {
  Pass pass;
  LoadedInstallation installed;
  CConfigStore& store = installed.store;
  Catalogue& catalogue = installed.catalogue;
  StartupState& state = installed.state;
  test::PlainTree tree;
  test::ProgressRecorder progress;
  RemovalJournal journal;
  if (mode != RunMode::Real) journal.attach([&pass](const std::string& line) { pass.journal.push_back(line); });
  pass.started = installed.load(through) == StartupError::None;
  if (mode != RunMode::Plan &&
      finishBegunCleanup(through, pass.started ? state.uninstallDir : places::kUninstallDir, journal)) {
    pass.removed = pass.everythingChecked = true;
    return pass;
  }
  if (!pass.started) return pass;
  // The tree is the checker's own; the engine's components only label it.
  const ComponentModel model(store, {}, unopenableKeys_);
  if (model.offered() != catalogue.topComponents) {
    pass.offerFaults.push_back({"the top components offered are the store's installed ones",
                                "offered " + joined(catalogue.topComponents) + "; the store's: " + joined(model.offered())});
  }
  pass.selection = given ? *given : repeat ? repeatSelection(model, repeat->selection) : drawSelection(model, selection);
  pass.everythingChecked = checksEverything(pass.selection);
  pass.due = ComponentModel(store, takeRegistrySnapshot(machine).values, unopenableKeys_).dueFor(pass.selection);
  fillTree(pass.selection, catalogue, tree);
  RunMachine runMachine(through, journal, mode);
  RemovalContext context = installed.removalContext(runMachine.platform());
  context.silent = true;
  context.journal = &journal;
  context.recordFiles = &through.files();  // as the program has it: its bookkeeping is not journaled
  pass.removed = runUninstall(context, tree, progress);
  return pass;
}

std::vector<Violation> CheckedRemoval::judgeSince(const MachineSnapshot& before, const CConfigStore& store,
                                                  const CUninstallLog& log, const Pass& pass, const Pass* again) {
  machine.files().restart();
  const MachineSnapshot after = takeSnapshot(machine);
  const RunRecord record{.store = store,
                         .log = log,
                         .selection = pass.removed ? &pass.selection : nullptr,
                         .dueInRunAgain = again && again->removed ? again->due : std::vector<DueComponent>(),
                         .unopenableKeys = unopenableKeys_,
                         .before = before,
                         .after = after,
                         .system = machine.system(),
                         .vbaPackages = vbaPackages()};
  std::vector<Violation> violations = judgeRun(record);
  violations.insert(violations.end(), pass.offerFaults.begin(), pass.offerFaults.end());
  return violations;
}

// A plan changes nothing, starts nothing, loads nothing and leaves nothing
// for the restart.
std::vector<Violation> CheckedRemoval::planFaults(const MachineSnapshot& before) {
  std::vector<Violation> faults;
  for (const Change& change : changesBetween(before, takeSnapshot(machine))) {
    faults.push_back({"a plan changes nothing", describe(change)});
  }
  for (const auto& start : machine.system().runs()) faults.push_back({"a plan starts nothing", start.commandLine});
  for (const std::string& library : machine.system().libraryLoads()) faults.push_back({"a plan loads nothing", library});
  for (const std::string& path : machine.system().shellDeletes()) faults.push_back({"a plan deletes nothing", path});
  for (const std::string& path : machine.files().scheduledAtRestart()) {
    faults.push_back({"a plan leaves nothing for the restart", path});
  }
  return faults;
}

Outcome CheckedRemoval::run(Choices& selection, RunMode mode, const Selection* given) {
  const MachineSnapshot before = takeSnapshot(machine);
  CConfigStore originalStore;
  CUninstallLog originalLog;
  readRecords(originalStore, originalLog);
  Outcome outcome{pass(machine, selection, nullptr, mode, given), {}};
  if (mode == RunMode::Plan) {
    outcome.violations = planFaults(before);
    outcome.violations.insert(outcome.violations.end(), outcome.offerFaults.begin(), outcome.offerFaults.end());
  } else {
    outcome.violations = judgeSince(before, originalStore, originalLog, outcome);
  }
  return outcome;
}

}  // namespace cvl::checker
