#include "tests/checker/checked_removal.h"

#include <algorithm>

#include "tests/support/doubles/driver_doubles.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/phases/cleanup_resume.h"
#include "uninstaller/engine/uninstall_driver.h"
#include "uninstaller/removal/noted_paths.h"
#include "uninstaller/startup/startup_sequence.h"
#include "uninstaller/store/archive_error.h"

namespace cvl::checker {
namespace {

using namespace platform;

constexpr const char* kVbaLibrary = "\\Common Files\\Microsoft Shared\\VBA\\VBA6\\vbai60.dll";

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
  registry.seedValue(RegRoot::LocalMachine, "software\\corvel\\uninstall\\cdf", "", text(places::kUninstallDir));
  registry.seedValue(RegRoot::LocalMachine, "software\\corvel\\uninstall\\paths", "TARGETDIR", text(places::kTargetDir));
  registry.seedValue(RegRoot::LocalMachine, "software\\corvel\\uninstall\\paths", "WINSYSDIR", text(places::kSystemDir));
  registry.seedValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                     text(places::kProgramFiles));
  registry.seedValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir",
                     text(places::kCommonFiles));
  const std::string uninstallEntries = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
  registry.seedValue(RegRoot::LocalMachine, uninstallEntries + "Corvel System", "DisplayName", text("Corvel System"));
  registry.seedValue(RegRoot::LocalMachine, uninstallEntries + "Foreign App", "DisplayName", text("Foreign App"));
  registry.seedValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                     "C:\\WINDOWS\\SYSTEM32\\foreign.dll", RegValue::dword(3));
  // Other programs' entries in every container the suite writes into.
  registry.seedValue(RegRoot::LocalMachine, "Software\\Corvel\\Other Product", "Setting", text("kept"));
  registry.seedValue(RegRoot::CurrentUser, "Software\\Corvel\\Other Product", "Setting", text("kept"));
  registry.seedValue(RegRoot::LocalMachine, "SOFTWARE", "ForeignFlag", text("kept"));
  registry.seedValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "ForeignAgent",
                     text("agent.exe"));
  registry.seedValue(RegRoot::CurrentUser, "Software\\Foreign\\Settings", "ForeignSetting", text("kept"));
  registry.seedValue(RegRoot::LocalMachine, "Software\\Foreign\\Prefs", "ForeignPref", text("kept"));
  registry.seedValue(RegRoot::LocalMachine, "Software\\Foreign\\NEW USER SETTINGS\\Prefs", "ForeignPref", text("kept"));
  registry.seedValue(RegRoot::ClassesRoot, "CLSID\\{F0F0F0F0-0000-0000-0000-000000000001}", "", text("Foreign"));
  registry.seedValue(RegRoot::ClassesRoot, "*\\shellex\\ContextMenuHandlers\\Foreign", "", text("{F0}"));
  registry.seedValue(RegRoot::ClassesRoot, "Directory\\shell\\foreign\\command", "", text("foreign.exe"));
  registry.seedValue(RegRoot::ClassesRoot, "Directory\\Background\\shellex\\ContextMenuHandlers\\Foreign", "",
                     text("{F1}"));
  registry.seedValue(RegRoot::ClassesRoot, ".cvx\\OpenWithProgids", "Foreign.Doc", text(""));
  registry.seedValue(RegRoot::LocalMachine, "SOFTWARE\\Classes\\Folder\\shell\\foreign\\command", "", text("f.exe"));
  registry.seedValue(RegRoot::Users, ".DEFAULT\\Software\\Foreign", "Kept", text("kept"));
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

// Platforms that start programs by a full path record it with each start.
template <class Run>
std::string applicationOf(const Run& run) {
  if constexpr (requires { run.application; }) {
    return run.application;
  } else {
    return {};
  }
}

// The selection: each offered component checked or not. Without a choice
// everything is checked, the whole suite goes.
void selectTopComponents(Choices& choices, const Catalogue& catalogue, test::PlainTree& tree,
                         std::vector<std::string>& checked, bool& everything, const Pass* repeat,
                         std::vector<bool>* statesOut = nullptr) {
  everything = !catalogue.topComponents.empty();
  // Item by item while the same items are offered; else by name.
  const bool sameItems = repeat && repeat->states.size() == catalogue.topComponents.size();
  std::vector<bool> states;
  for (const std::string& name : catalogue.topComponents) {
    CComponent* component = catalogue.componentMap.find(name);
    const bool check = sameItems ? repeat->states[states.size()]
                       : repeat  ? repeat->everythingChecked ||
                                      (component && std::count(repeat->checked.begin(), repeat->checked.end(), component->name))
                                 : !choices.percent(35);
    states.push_back(check);
    tree.add(check ? CheckState::Checked : CheckState::Unchecked, component);
    if (check && component != nullptr) checked.push_back(component->name);
    everything = everything && check;
  }
  if (statesOut) *statesOut = states;
}

std::vector<DueComponent> dueComponents(const Catalogue& catalogue) {
  std::vector<DueComponent> due;
  for (const auto& entry : catalogue.componentMap) {
    const CComponent& c = *entry.component;
    if (c.isDueForRemoval()) due.push_back({c.name, c.target, c.fileGroups, c.vba});
  }
  return due;
}

std::map<std::string, std::string> checkerMacros() {
  return {{"<TARGETDIR>", upper(places::kTargetDir)},
          {"<WINSYSDIR>", upper(places::kSystemDir)},
          {"<FOLDER_PROGRAMS>", places::kUserPrograms},
          {"<COMMON_FOLDER_PROGRAMS>", places::kCommonPrograms}};
}

}  // namespace

CheckedRemoval::CheckedRemoval() {
  seedRegistry(machine.registry());
  seedFiles(machine.files());
  machine.system().setSpecialFolder(csidl::kPrograms, places::kUserPrograms);
  machine.system().setSpecialFolder(csidl::kCommonPrograms, places::kCommonPrograms);
  machine.system().setEnvironment("SystemRoot", "C:\\WINDOWS");
  machine.system().addLibrary(std::string(places::kProgramFiles) + kVbaLibrary,
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

Pass CheckedRemoval::pass(Platform& through, Choices& selection, const Pass* repeat) {
  Pass pass;
  CConfigStore store;
  Catalogue catalogue;
  StartupState state;
  NotedPaths noted;
  test::PlainTree tree;
  test::ProgressRecorder progress;
  pass.started = runStartup(through, store, catalogue, state) == StartupError::None;
  RemovalJournal journal;
  if (finishBegunCleanup(through, pass.started ? state.uninstallDir : places::kUninstallDir, journal)) {
    pass.removed = pass.everythingChecked = true;
    return pass;
  }
  if (!pass.started) return pass;
  selectTopComponents(selection, catalogue, tree, pass.checked, pass.everythingChecked, repeat, &pass.states);
  RemovalContext context(through, catalogue, state.log, state.pathMacros, noted, store, state.uninstallDir);
  context.silent = true;
  pass.removed = runUninstall(context, tree, progress);
  if (pass.removed) pass.due = dueComponents(catalogue);
  return pass;
}

std::vector<Violation> CheckedRemoval::judgeSince(const MachineSnapshot& before, const CConfigStore& store,
                                                  const CUninstallLog& log, const Pass& pass) {
  const MachineSnapshot after = takeSnapshot(machine);
  RunRecord record{store, log, {}, {}, false, checkerMacros(),
                   {places::kUninstallDir, places::kSystemDir, places::kProgramFiles, places::kCommonFiles},
                   {{"SYSTEMROOT", "C:\\WINDOWS"}}, before, after, {}, {}, machine.system().libraryLoads(),
                   vbaPackages()};
  if (pass.removed) {
    record.due = pass.due;
    record.checkedTopComponents = pass.checked;
    record.everythingChecked = pass.everythingChecked;
  }
  for (const auto& start : machine.system().runs()) {
    record.commandLines.push_back(start.commandLine);
    record.applications.push_back(applicationOf(start));
  }
  return judgeRun(record);
}

Outcome CheckedRemoval::run(Choices& selection) {
  Outcome outcome;
  const MachineSnapshot before = takeSnapshot(machine);
  const std::string storePath = std::string(places::kUninstallDir) + "cvlinst.dat";
  // The checker reads store and log on its own, before the run.
  CConfigStore originalStore;
  CUninstallLog originalLog;
  try {
    originalStore.load(machine.files(), storePath);
    originalLog.load(machine.files(), std::string(places::kUninstallDir) + "cvlinst.log");
  } catch (const ArchiveError&) {
  }

  CConfigStore store;
  Catalogue catalogue;
  StartupState state;
  NotedPaths noted;
  test::PlainTree tree;
  test::ProgressRecorder progress;
  std::vector<std::string> checked;
  outcome.started = runStartup(machine, store, catalogue, state) == StartupError::None;
  if (outcome.started) {
    selectTopComponents(selection, catalogue, tree, checked, outcome.everythingChecked, nullptr);
    RemovalContext context(machine, catalogue, state.log, state.pathMacros, noted, store, state.uninstallDir);
    context.silent = true;
    outcome.removed = runUninstall(context, tree, progress);
  }

  const MachineSnapshot after = takeSnapshot(machine);
  RunRecord record{originalStore, originalLog, {}, {}, false, checkerMacros(),
                   {places::kUninstallDir, places::kSystemDir, places::kProgramFiles, places::kCommonFiles},
                   {{"SYSTEMROOT", "C:\\WINDOWS"}}, before, after, {}, {}, machine.system().libraryLoads(),
                   vbaPackages()};
  if (outcome.removed) {
    record.due = dueComponents(catalogue);
    record.checkedTopComponents = checked;
    record.everythingChecked = outcome.everythingChecked;
  }
  for (const auto& start : machine.system().runs()) {
    record.commandLines.push_back(start.commandLine);
    record.applications.push_back(applicationOf(start));
  }
  outcome.violations = judgeRun(record);
  return outcome;
}

}  // namespace cvl::checker
