// Random installations of the suite for the checker: components with
// targets and file groups, nested groups (shown expanded or not) and
// dependencies both ways, target folders in the registry, and an install
// log whose entries are mostly ordinary and sometimes hostile (empty,
// relative, drive-root, UNC, 8.3 and device-prefixed targets, ".." and
// drive names, wildcards, very long names, every shared container, the
// uninstaller's own keys, names differing only in case, duplicated
// entries, names as Windows reads them otherwise: a zero byte inside,
// trailing dots and blanks, "./", devices). What the log names is placed on
// the machine, with foreign files and keys around it; some files are in
// use, some keys cannot be opened, and some groups name themselves.
#include <functional>
#include <set>

#include "tests/checker/checked_removal.h"
#include "tests/checker/safety_rules.h"

namespace cvl::checker {
namespace {

using namespace platform;
using Strings = std::vector<std::string>;
using namespace std::string_literals;

const Strings kTargets = {"<TARGETDIR>", "<TARGETDIR>\\Tools", "C:\\Program Files\\Corvel\\Extras", "<WINSYSDIR>",
                          "", "Relative\\Dir", "SYSTEM32", "C:", "\\\\server\\share\\Corvel", "\\\\server",
                          "<UNKNOWN>\\X", "\\Program Files\\Corvel", "C:\\Program Files\\Corvel\\*",
                          "C:/Program Files/Corvel/Slashed", "C:\\Program Files\\Corvel\\" + std::string(200, 'L'),
                          "\\\\?\\C:\\Program Files\\Corvel\\Uninstall", "\\\\.\\C:\\Program Files\\Corvel",
                          "\\\\localhost\\C$\\Program Files\\Corvel\\Uninstall", "<TARGETDIR>\\Uninstall\\.",
                          "C:\\PROGRA~1\\Corvel", "C:\\PROGRA~1\\Corvel\\UNINST~1"};
// Folders the component keys give the top components' targets.
const Strings kTargetDirs = {"C:\\Program Files\\Corvel\\", "C:\\Program Files\\Corvel", "C:\\Program Files\\Corvel\\Alt\\",
                             "c:\\program files\\corvel\\lower", "C:\\PROGRA~1\\Corvel\\Short", "D:\\Corvel", "",
                             "<TARGETDIR>\\Nested", "C:\\Program Files\\Corvel\\" + std::string(260, 'L')};
const Strings kFiles = {"app.dll", "Tool.exe", "readme.txt", "help.hlp", "HELP.GID", "Server.ocx", "sub\\inner.dll",
                        "x..y.dll", "APP.DLL", "kernel32.dll", "KERNEL32.DLL", "foreign.dll", "..\\boot.ini",
                        "..\\..\\boot.ini", "\\boot.ini", "C:\\boot.ini", "\\\\server\\share\\foreign.txt", "*.*",
                        "*.dll", "../boot.ini", "sub\\..\\..\\boot.ini", std::string(250, 'N') + ".dll",
                        "cvlinst.dat", "cvlinst.log", "cvlpsapi.dll", "app.dll\0x"s, "kernel32.dll\0x"s, "APP.DLL.",
                        "app.dll ", "KERNEL32.DLL.", "kernel32.dll. ", "./KERNEL32.DLL", "x/kernel32.dll", "", ".",
                        "CON", "nul.txt", "com1.dll", "notes.gidx", "cvlinst.log.", "UNINST~1\\cvlinst.dat",
                        "TOOLWI~1.EXE"};
const Strings kDirs = {"Bin", "Help", "Uninstall", "..", "..\\..\\WINDOWS", "\\WINDOWS", "C:\\WINDOWS",
                       "\\\\server\\share", "Bin\\..\\..", "UNINST~1"};
// Key templates; "#" stands for a per-group name.
const std::vector<std::pair<std::string, Strings>> kKeys = {
    {"HKLM\\Software\\Corvel\\#", {"Version=1", "(Default)=Corvel"}},
    {"HKLM\\Software\\Corvel\\#\\Settings", {"Path=C:\\"}},
    {"HKCU\\Software\\Corvel\\#", {"Window=1"}},
    {"HKCR\\CLSID\\{C0000000-0000-0000-0000-00000000000#}", {"(Default)=Corvel"}},
    {"HKCR\\Corvel.Doc", {"(Default)=Corvel Document"}},
    {"HKCR\\.cvx", {"(Default)=Corvel.Doc"}},
    {"HKCR\\.cvx\\OpenWithProgids", {"Corvel.Doc="}},
    {"HKCR\\*\\shellex\\ContextMenuHandlers\\Corvel#", {"(Default)={C0}"}},
    {"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", {"CorvelAgent=agent.exe"}},
    {"HKCU\\Software\\Foreign\\Settings", {"CorvelPlugin=1", "----Comment----=x", "=1", "NoEquals"}},
    {"HKLM\\Software\\Corvel\\#\\NEW USER SETTINGS\\Prefs", {"Colour=1"}},
    {"hklm\\Software\\Corvel\\#Lower", {"Lower=1"}},
    {"HKU\\.DEFAULT\\Software\\Corvel\\#", {"User=1"}},
    // Hostile: shared containers, the suite's own records, roots.
    {"HKLM\\Software\\Corvel", {"Installed=1"}},
    {"HKLM\\software\\corvel\\uninstall", {"Version=1"}},
    {"HKLM\\software\\corvel\\uninstall\\components", {}},
    {"HKCR\\CLSID", {"CorvelMark=1"}},
    {"HKCR\\*\\shellex", {"CorvelMark=1"}},
    {"HKCR\\*\\shellex\\ContextMenuHandlers", {"CorvelMark=1"}},
    {"HKCR\\Directory\\shell", {"CorvelMark=1"}},
    {"HKCR\\Directory\\Background\\shellex", {}},
    {"HKLM\\SOFTWARE\\Classes\\Folder\\shell", {"CorvelMark=1"}},
    {"HKLM\\Software\\Foreign\\NEW USER SETTINGS\\Prefs", {"CorvelPref=1"}},
    {"HKLM\\SOFTWARE", {"CorvelFlag=1"}},
    {"HKLM", {}}, {"HKCR\\", {}}, {"\\Software\\Corvel", {}},
    {"HKLM\\Software\\Foreign\0\\Software\\Corvel"s, {"ForeignPref=1"}},
    {"HKCR\\Corvel.Doc\0\\x"s, {}}, {"HKLM\\Software\\Foreign\\Prefs", {"ForeignPref\0x=1"s}},
    {"HKCR\\Drive\\shellex", {"CorvelMark=1"}}, {"HKCR\\Unknown\\shell", {}}, {"HKCR\\AllFilesystemObjects", {}},
    {"HKCR\\.cvx\\OpenWithList", {}}, {"HKCR\\.cvx\\ShellEx", {}}, {"HKCR\\Interface", {}},
    {"HKCR\\TypeLib", {}}, {"HKCR\\AppID", {"CorvelMark=1"}},
    {"HKU\\S-1-5-21-7_Classes\\*\\shellex\\ContextMenuHandlers", {"CorvelMark=1"}},
    {"HKU\\S-1-5-21-7_Classes\\CLSID", {}},
    {"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System", {"DisplayName=x"}},
    {"HKCU\\Software\\Corvel\\Uninstall\\#", {"Mirror=1"}},
    {"HKLM\\software\\corvel\\uninstall\\components\\#", {"MSIPath=x", "(Default)=C:\\"}},
    {"HKCU\\Software\\Corvel", {"Installed=1"}},
    // The suite's own entries inside the shared containers.
    {"HKCR\\Interface\\{C1000000-0000-0000-0000-00000000000#}", {"(Default)=ICorvel"}},
    {"HKCR\\TypeLib\\{C2000000-0000-0000-0000-00000000000#}", {}},
    {"HKCR\\AppID\\{C3000000-0000-0000-0000-00000000000#}", {"(Default)=Corvel"}},
    {"HKCR\\Drive\\shellex\\ContextMenuHandlers\\Corvel#", {"(Default)={C0}"}},
    {"HKCR\\.cvx\\OpenWithList\\Corvel#.exe", {}},
    {"HKU\\S-1-5-21-7_Classes\\Corvel.Doc", {"(Default)=Corvel Document"}},
    {"HKU\\S-1-5-21-7_Classes\\Drive\\shellex", {"CorvelMark=1"}},
    {"HKU\\S-1-5-21-7_Classes\\Interface", {}},
    {"HKCU\\Software\\Classes\\Unknown\\shell", {"CorvelMark=1"}}};
const std::vector<std::pair<std::string, std::string>> kTitles = {
    {"T0", "Corvel Word"}, {"T1", "..\\..\\..\\Desktop\\Notes"}, {"T2", "C:\\boot"}, {"T3", "\\\\server\\share\\foreign"},
    {"T4", "\\Evil"}, {"T5", "Sub\\Corvel Calc"}, {"T6", "Folder Link"}, {"T7", "corvel word"},
    {"T8", "Corvel Word.lnk\0\\Program Files\\Foreign\0x"s}};
const Strings kShortcuts = {"0:<FOLDER_PROGRAMS>\\Corvel\\T0", "0:<FOLDER_PROGRAMS>\\Corvel\\T", "0:<FOLDER_PROGRAMS>\\T",
                            "<FOLDER_PROGRAMS>\\Corvel\\T", "0:<COMMON_FOLDER_PROGRAMS>\\Corvel\\T",
                            "0:<FOLDER_PROGRAMS>\\..\\..\\T", "0:NoFolder"};
const std::vector<std::pair<RegType, std::string>> kCommands = {
    {RegType::Sz, "C:\\Program Files\\Corvel\\cleanup.exe /q"},
    {RegType::Sz, "cmd /c exit"},
    {RegType::Sz, "\"C:\\Program Files\\Corvel\\Tool With Blanks.exe\" -x"},
    {RegType::Sz, "C:\\Program Files\\Corvel\\Tool With Blanks.exe arg"},
    {RegType::ExpandSz, "%SystemRoot%\\system32\\cmd.exe /c exit"},
    {RegType::Sz, "relative\\tool.exe"},
    {RegType::Sz, "regsvr32 /s C:\\Program Files\\Corvel\\app.dll"}};
const Strings kComponentNames = {"Word", "Calc", "Draw", "Tools", "Shared", "Extra", "Viewer", "Fonts"};

// Where Windows would take a path: relative ones from C:\, the start-up
// folder; a device prefix reaches the drive itself.
std::optional<std::string> placeOnDisk(const std::string& path) {
  auto expanded = expandMacros(path, pathMacros());
  if (!expanded || expanded->find('*') != std::string::npos) return std::nullopt;
  if (expanded->rfind("\\\\?\\", 0) == 0 || expanded->rfind("\\\\.\\", 0) == 0) return expanded->substr(4);
  if (absoluteFolder(*expanded)) return expanded;
  return (expanded->rfind("\\", 0) == 0 ? "C:" : "C:\\") + *expanded;
}

// Builds a store and a log, and puts on the machine what the log names for
// the store's components, where Windows would find it, with foreign files
// and keys around it.
class RandomSuite {
 public:
  RandomSuite(Choices& choices, CheckedRemoval& removal, CConfigStore& store)
      : choices_(choices), removal_(removal), machine_(removal.machine), store_(store) {}

  void build(CUninstallLog& log) {
    addComponents(store_.enterSet("default.cdf"));
    if (choices_.percent(3)) {
      removal_.denyOpening(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs");
    }
    if (choices_.percent(1)) removal_.denyOpening(RegRoot::LocalMachine, "software\\corvel\\uninstall\\paths");
    CSection& data = store_.enterSet("value.shl").addSection("Data");
    for (const auto& [id, text] : kTitles) data.assign(id, text);
    CSection& core = store_.enterSet("corecomp.ini").addSection("Win32");
    for (const char* name : {"KERNEL32.DLL", "MFC42.DLL"}) core.assign(name, "1");
    for (int index = 0; index < 5; ++index) {
      if (choices_.percent(10)) continue;  // a group the log lacks
      const std::string name = (choices_.percent(50) ? "G" : "g") + std::to_string(index);
      addGroup(log, name, index);
      if (choices_.percent(15)) addGroup(log, upper(name) == name ? "g" + name.substr(1) : upper(name), index + 5);
    }
  }

  // Both where the target as written leads and where the registry's folder
  // puts it, so that a wrong substitution finds files to take.
  void place(const CUninstallLog& log) {
    const CSectionSet* components = store_.findSectionSet("default.cdf");
    if (components == nullptr) return;
    const ComponentModel model(store_, takeRegistrySnapshot(machine_).values, {});
    for (const auto& [name, section] : components->sections()) {
      std::string target;
      std::vector<std::string> groups;
      for (const auto& [key, value] : *section) {
        if (upper(key) == "TARGET") target = upper(value);
        if (upper(key).rfind("FILEGROUP", 0) == 0) groups.push_back(value);
      }
      std::set<std::string> targets = {target};
      if (model.knows(upper(name))) targets.insert(model.targetOf(name));
      for (const std::string& groupName : groups) {
        const CFilegroup* group = log.findFileGroup(groupName);
        for (const std::string& at : targets) {
          if (group != nullptr) placeGroup(at, *group);
        }
      }
    }
  }

 private:
  // Each component is a top component or a member of an earlier one, which
  // may itself be a member: groups nest.
  void addComponents(CSectionSet& components) {
    components.addSection("TopComponents");
    components.addSection("Components");
    std::vector<CSection*> sections;
    const uint32_t count = 1 + choices_.below(static_cast<uint32_t>(kComponentNames.size()));
    for (uint32_t i = 0; i < count; ++i) addComponent(components, i, sections);
    addHostileLinks(components, sections);
  }

  void addComponent(CSectionSet& components, uint32_t index, std::vector<CSection*>& sections) {
    CSection& top = *components.findSection("TopComponents");
    const std::string& name = kComponentNames[index];
    CSection& section = components.addSection(name);
    sections.push_back(&section);
    section.assign(choices_.percent(20) ? "Uninstallable" : "UNINSTALLABLE", choices_.percent(4) ? "Y" : "yes");
    if (!choices_.percent(4)) section.assign("INCLUDEINBUILD", "YES");
    section.assign(choices_.percent(20) ? "Selected" : "SELECTED", choices_.percent(10) ? "NO" : "YES");
    section.assign("TARGET", choices_.percent(60) ? kTargets[0] : choices_.pick(kTargets));
    for (uint32_t g = 0, n = 1 + choices_.below(2); g < n; ++g) {
      const std::string group = std::to_string(choices_.below(5));
      section.assign("FILEGROUP" + std::to_string(g), (choices_.percent(20) ? "G" : "g") + group);
    }
    std::string misc;
    if (choices_.percent(15)) misc += "VBA,";
    if (choices_.percent(30)) misc += "EXPAND,";
    if (choices_.percent(10)) misc += "SERVED";
    if (!misc.empty()) section.assign("MISC", misc);
    if (index > 0) addDependency(sections, index);
    if (index > 0 && choices_.percent(40)) {
      sections[choices_.below(index)]->assign("MEMBER" + std::to_string(index), name);
      if (choices_.percent(10)) sections[choices_.below(index)]->assign("MEMBERALSO" + std::to_string(index), name);
      if (choices_.percent(50)) section.assign("VISIBLE", "YES");
      if (!choices_.percent(10)) return;  // members are mostly not offered at the top
    } else if (!choices_.percent(10)) {
      section.assign("VISIBLE", "YES");
    }
    top.assign("TOP" + std::to_string(index), name);
    if (choices_.percent(10)) top.assign("TWICE" + std::to_string(index), name);
    seedComponentKey(name);
  }

  // A required component usually lists its dependent back; not always.
  void addDependency(std::vector<CSection*>& sections, uint32_t index) {
    const std::string& name = kComponentNames[index];
    if (choices_.percent(25)) {
      const uint32_t needed = choices_.below(index);
      sections[index]->assign("REQUIRED1", kComponentNames[needed]);
      if (choices_.percent(75)) sections[needed]->assign("REQUIREDBY" + std::to_string(index), name);
    }
    if (choices_.percent(8)) sections[index]->assign("REQUIREDBY1", kComponentNames[choices_.below(index)]);
    if (choices_.percent(5)) sections[index]->assign("REQUIRED2", "Ghost");
  }

  // Names of nothing, a group naming a member above it (a loop, which stops
  // start-up), and a second section under a name differing only in case.
  void addHostileLinks(CSectionSet& components, std::vector<CSection*>& sections) {
    const auto count = static_cast<uint32_t>(sections.size());
    if (choices_.percent(4)) choices_.pick(sections)->assign("MEMBERGHOST", "Ghost");
    if (choices_.percent(3)) components.findSection("TopComponents")->assign("TOPGHOST", "Ghost");
    if (choices_.percent(2)) sections[choices_.below(count)]->assign("MEMBERLOOP", kComponentNames[choices_.below(count)]);
    if (choices_.percent(4)) {
      CSection& again = components.addSection(upper(kComponentNames[choices_.below(count)]));
      for (const char* flag : {"UNINSTALLABLE", "INCLUDEINBUILD", "SELECTED", "VISIBLE"}) again.assign(flag, "YES");
      again.assign("TARGET", choices_.pick(kTargets));
      again.assign("FILEGROUP1", "g" + std::to_string(choices_.below(5)));
    }
  }

  // The component's key: RunOnce commands, a package path, the folder its
  // target is put in; sometimes it or its RunOnce key cannot be opened.
  void seedComponentKey(const std::string& component) {
    const std::string key = "software\\corvel\\uninstall\\components\\" + component;
    for (uint32_t i = 0, n = choices_.below(3); i < n; ++i) {
      const auto& [type, command] = choices_.pick(kCommands);
      machine_.registry().seedValue(RegRoot::LocalMachine, key + "\\RunOnce", std::string(1, char('a' + i)),
                                    RegValue::string(command, type));
    }
    if (choices_.percent(50)) {
      machine_.registry().seedValue(RegRoot::LocalMachine, key, "MSIPath",
                                    RegValue::string("C:\\Corvel\\" + component + ".msi"));
    }
    if (choices_.percent(50)) {
      machine_.registry().seedValue(RegRoot::LocalMachine, key, "", RegValue::string(choices_.pick(kTargetDirs)));
    }
    if (choices_.percent(5)) removal_.denyOpening(RegRoot::LocalMachine, key);
    if (choices_.percent(5)) removal_.denyOpening(RegRoot::LocalMachine, key + "\\RunOnce");
  }

  void fillFiles(StringList& files, int32_t& count) {
    for (uint32_t i = 0, n = 1 + choices_.below(4); i < n; ++i) {
      files.push_back(choices_.percent(30) ? choices_.pick(kFiles) : kFiles[choices_.below(9)]);
    }
    if (choices_.percent(10)) files.push_back(files.front());
    count = static_cast<int32_t>(files.size()) + (choices_.percent(5) ? 1 : 0) - (choices_.percent(5) ? 2 : 0);
  }

  void addGroup(CUninstallLog& log, const std::string& name, int index) {
    auto group = std::make_unique<CFilegroup>();
    group->setName(name);
    group->setShared(choices_.percent(25));
    group->setSelfRegister(choices_.percent(30));
    int32_t count = 0;
    fillFiles(group->files(), count);
    group->setFileCount(count);
    CDir* previous = nullptr;
    for (uint32_t d = 0, n = choices_.below(3); d < n; ++d) {
      CDir& dir = previous == nullptr ? group->makeRootDir()
                  : choices_.percent(30) ? previous->makeFirstChild() : previous->makeNextSibling();
      dir.setOwnName(choices_.percent(25) ? choices_.pick(kDirs) : kDirs[choices_.below(3)]);
      fillFiles(dir.files(), count);
      dir.setFileCount(count);
      previous = &dir;
    }
    const std::string tag = "App" + std::to_string(index);
    for (uint32_t k = 0, n = choices_.below(4); k < n; ++k) {
      const auto& [pattern, lines] = choices_.percent(30) ? choices_.pick(kKeys) : kKeys[choices_.below(13)];
      std::string key = pattern;
      if (const auto hash = key.find('#'); hash != std::string::npos) key.replace(hash, 1, tag);
      group->registry().keys().assign(key, lines);
    }
    for (uint32_t s = 0, n = choices_.below(3); s < n; ++s) {
      std::string entry = choices_.pick(kShortcuts);
      if (entry.back() == 'T') entry += std::to_string(choices_.below(9));
      group->shellObjects().items().push_back(entry);
    }
    group->shellObjects().setItemCount(static_cast<int32_t>(group->shellObjects().items().size()));
    log.addGroup(std::move(group));
  }

  bool spend() { return ++placed_ <= kMostPlaced; }

  // The file itself where Windows would find it, the same name in the system
  // folder and one level up, and a foreign file beside it.
  void seedFiles(const std::string& folder, const StringList& files, bool shared) {
    for (const std::string& name : files) {
      const std::string logged = name.substr(name.find_last_of("\\/") + 1);
      if (logged.empty() || logged == ".") continue;  // the folder itself
      const auto path = placeOnDisk(folder + name);
      if (!path || !spend()) continue;
      uint32_t attributes = attr::kArchive;
      if (choices_.percent(20)) attributes |= attr::kReadOnly;
      if (choices_.percent(5)) attributes |= attr::kSystem;
      machine_.files().addFile(*path, "suite", attributes);
      // Held open by a program that runs: it goes at the next restart.
      if (choices_.percent(4)) {
        removal_.holdOpen(*path, choices_.percent(50) ? kSharingViolation : kAccessDenied);
      }
      const std::string dir = path->substr(0, path->rfind('\\'));
      const std::string leaf = path->substr(path->rfind('\\') + 1);
      machine_.files().addFile(dir + "\\foreign.txt", "foreign");
      machine_.files().addFile(std::string(places::kSystemDir) + "\\" + leaf, "foreign");
      if (dir.find('\\') != std::string::npos) {
        machine_.files().addFile(dir.substr(0, dir.rfind('\\')) + "\\" + leaf, "foreign");
      }
      if (shared && !choices_.percent(15)) {
        const auto raw = expandMacros(folder + name, pathMacros());
        if (raw) {
          machine_.registry().seedValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                                        *raw, RegValue::dword(choices_.below(4)));
        }
      }
    }
  }

  void seedKey(const std::string& key, const StringList& lines) {
    const auto slash = key.find('\\');
    if (slash == std::string::npos || slash == 0 || slash + 1 == key.size() || !spend()) return;
    const std::string prefix = key.substr(0, slash);
    const std::string subKey = key.substr(slash + 1);
    std::vector<RegRoot> roots;
    for (const std::string& spelled : {prefix, upper(prefix)}) {
      roots.push_back(spelled == "HKCR" ? RegRoot::ClassesRoot : spelled == "HKCU" ? RegRoot::CurrentUser
                      : spelled == "HKLM" ? RegRoot::LocalMachine : RegRoot::Users);
    }
    if (roots[1] == RegRoot::LocalMachine && choices_.percent(30)) roots.push_back(RegRoot::CurrentUser);
    for (RegRoot root : roots) {
      for (const std::string& line : lines) {
        const auto equals = line.find('=');
        if (equals == std::string::npos || equals == 0) continue;
        const std::string name = line.substr(0, equals);
        const std::string value = equalsNoCase(name, "(Default)") ? "" : name;
        machine_.registry().seedValue(root, subKey, value, RegValue::string("suite"));
      }
      if (choices_.percent(50)) machine_.registry().seedValue(root, subKey, "ForeignValue", RegValue::string("kept"));
      if (choices_.percent(30)) {
        machine_.registry().seedValue(root, subKey + "\\ForeignSub", "Kept", RegValue::string("kept"));
      }
      if (choices_.percent(4)) removal_.denyOpening(root, choices_.percent(50) ? subKey : subKey + "\\ForeignSub");
    }
  }

  void seedShortcut(const std::string& entry) {
    const auto colon = entry.find(':');
    std::string location = colon == std::string::npos ? entry : entry.substr(colon + 1);
    const auto last = location.rfind('\\');
    if (last == std::string::npos || !spend()) return;
    std::string title;
    const CSectionSet* data = store_.findSectionSet("value.shl");
    const CSection* titles = data ? data->findSection("Data") : nullptr;
    if (const std::string* text = titles ? titles->find(location.substr(last + 1)) : nullptr) title = *text;
    const std::string user = location.substr(0, last + 1) + title + ".lnk";
    for (const std::string& path : {user, "<COMMON_FOLDER_PROGRAMS>" + user.substr(user.find('\\'))}) {
      const auto onDisk = placeOnDisk(path);
      if (!onDisk || choices_.percent(20)) continue;
      if (title == "Folder Link") {
        machine_.files().addFile(*onDisk + "\\Foreign.lnk", "foreign");
      } else {
        machine_.files().addFile(*onDisk, "shortcut");
      }
      machine_.files().addFile(onDisk->substr(0, onDisk->rfind('\\')) + "\\Foreign.lnk", "foreign");
    }
  }

  void placeGroup(const std::string& target, const CFilegroup& group) {
    seedFiles(target + "\\", group.files(), group.shared());
    for (const CDir* position = group.rootDir(); position != nullptr;) {
      const CDir* dir = CFilegroup::nextDir(position);
      seedFiles(target + "\\" + dir->name() + "\\", dir->files(), group.shared());
    }
    for (const auto& [key, lines] : group.registry().keys()) {
      seedKey(key, lines);
      if (const auto at = upper(key).find("\\NEW USER SETTINGS\\"); at != std::string::npos) {
        seedKey(key.substr(0, at) + "\\" + key.substr(at + 19), lines);
      }
    }
    for (const std::string& entry : group.shellObjects().items()) seedShortcut(entry);
  }

  static constexpr int kMostPlaced = 400;  // keeps crafted logs quick to place
  Choices& choices_;
  CheckedRemoval& removal_;
  MemoryPlatform& machine_;
  CConfigStore& store_;
  int placed_ = 0;
};

}  // namespace

void installRandomSuite(Choices& choices, CheckedRemoval& removal) {
  CConfigStore store;
  CUninstallLog log;
  RandomSuite suite(choices, removal, store);
  suite.build(log);
  suite.place(log);
  removal.writeStore(bytesOf(store));
  removal.writeLog(bytesOf(log));
}

void placeLoggedItems(Choices& choices, CheckedRemoval& removal) {
  CConfigStore store;
  CUninstallLog log;
  removal.readRecords(store, log);
  RandomSuite(choices, removal, store).place(log);
}

}  // namespace cvl::checker
