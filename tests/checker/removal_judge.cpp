#include "tests/checker/removal_judge.h"

#include <algorithm>
#include <cctype>

#include "tests/checker/safety_rules.h"
#include "uninstaller/store/archive_error.h"
#include "uninstaller/store/byte_file.h"

namespace cvl::checker {
namespace {

using namespace platform;
using Kind = Change::Kind;
using places::kSharedDlls;

constexpr const char* kComponentKeys = "software\\corvel\\uninstall\\components\\";

std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }
std::string nameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }
std::string mirrorOf(const std::string& place) { return "HKCU" + place.substr(4); }
bool isMachinePlace(const std::string& place) { return place.rfind("HKLM", 0) == 0; }
bool isBareName(const std::string& name) { return !name.empty() && name.find_first_of("\\/:") == std::string::npos; }
std::string withoutLeadingBlanks(const std::string& text) {
  return text.substr(std::min(text.find_first_not_of(' '), text.size()));
}
// What a bare program name stands for in the system folder.
std::string systemFile(const std::string& name) {
  return std::string(places::kSystemDir) + "\\" + (name.find('.') == std::string::npos ? name + ".exe" : name);
}

// A pattern matched on the long name alone: a search also finds long names
// through their short ones ("NOTES~1.GID" for "notes.gidx"), which must not count.
bool longNameMatches(const std::string& pattern, const std::string& name) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*') {
    for (size_t skip = 0; skip <= name.size(); ++skip) {
      if (longNameMatches(pattern.substr(1), name.substr(skip))) return true;
    }
    return false;
  }
  return !name.empty() && (pattern[0] == '?' || std::toupper(static_cast<unsigned char>(pattern[0])) ==
                                                    std::toupper(static_cast<unsigned char>(name[0]))) &&
         longNameMatches(pattern.substr(1), name.substr(1));
}

std::optional<std::string> valueNameOf(const std::string& line) {
  const auto equals = line.find('=');
  if (equals == std::string::npos || equals == 0) return std::nullopt;
  const std::string name = line.substr(0, equals);
  if (equalsNoCase(name, "----Comment----")) return std::nullopt;
  return equalsNoCase(name, "(Default)") ? std::string() : upper(name);
}

const CFilegroup* firstGroupNamed(const CUninstallLog& log, const std::string& name) {
  for (const auto& group : log.groups()) {
    if (equalsNoCase(group->name(), name)) return group.get();
  }
  return nullptr;
}

// The log's own count says how many of the names are meant.
StringList counted(int32_t count, const StringList& files) {
  return StringList(files.begin(), files.begin() + std::clamp<int64_t>(count, 0, static_cast<int64_t>(files.size())));
}

std::string expandEnvironment(const std::string& text) {
  const std::map<std::string, std::string> environment = {{"SYSTEMROOT", places::kWindowsDir}};
  std::string out;
  size_t at = 0;
  for (;;) {
    const auto open = text.find('%', at);
    const auto close = open == std::string::npos ? open : text.find('%', open + 1);
    if (close == std::string::npos) break;
    const auto value = environment.find(upper(text.substr(open + 1, close - open - 1)));
    out += text.substr(at, open - at) + (value != environment.end() ? value->second : text.substr(open, close - open + 1));
    at = close + 1;
  }
  return out + text.substr(at);
}

int32_t storedCount(const MachineSnapshot& machine, const std::string& name) {
  const auto value = machine.values.find({kSharedDlls, name});
  if (value == machine.values.end() || value->second.data.size() != 4) return -1;
  return static_cast<int32_t>(value->second.asDword());
}

std::optional<CConfigStore> storeOf(const MachineSnapshot& machine, const std::string& path) {
  const auto file = machine.files.find(upper(path));
  if (file == machine.files.end()) return std::nullopt;
  ByteFile bytes(std::vector<uint8_t>(file->second.content.begin(), file->second.content.end()));
  CConfigStore store;
  try {
    Archive archive(bytes, Archive::Direction::Loading);
    store.serialize(archive);
  } catch (const ArchiveError&) {
    return std::nullopt;
  }
  return store;
}

std::string selectedIn(const CConfigStore& store, const std::string& component) {
  const CSectionSet* set = store.findSectionSet("default.cdf");
  const CSection* section = set ? set->findSection(component) : nullptr;
  const std::string* selected = section ? section->find("SELECTED") : nullptr;
  return selected ? *selected : "(none)";
}

// What the log says about one file, over all due components.
struct LoggedFile {
  int sharedOccurrences = 0;
  int plainOccurrences = 0;
  bool selfRegister = false;
  bool selfRegisterPlain = false;  // listed by a self-registering group that is not shared
  bool core = false;
  std::set<std::string> rawPaths;  // upper case, as named in the SharedDLLs key
  std::map<std::string, int> sharedByRaw;  // shared listings per spelling, each releasing its own count
};

class AllowList {
 public:
  explicit AllowList(const RunRecord& run) : run_(run) {
    if (const CSectionSet* set = run.store.findSectionSet("corecomp.ini")) {
      if (const CSection* win32 = set->findSection("Win32")) {
        for (const auto& [key, value] : *win32) coreNames_.insert(upper(key));
      }
    }
    if (const CSectionSet* set = run.store.findSectionSet("value.shl")) dataStrings_ = set->findSection("Data");
    if (run.selection == nullptr) return;
    model_.emplace(run.store, run.before.values, run.unopenableKeys);
    if (!model_->startsUp()) return;
    due_ = model_->dueFor(*run.selection);
    due_.insert(due_.end(), run.dueInRunAgain.begin(), run.dueInRunAgain.end());
    for (const DueComponent& component : due_) addComponent(component);
    everythingChecked_ = !run.selection->empty();
    for (const SelectionItem& item : *run.selection) {
      everythingChecked_ = everythingChecked_ && item.state == CheckState::Checked;
      if (item.state == CheckState::Checked && model_->knows(item.component)) addRunOnce(item.component);
    }
  }

  std::vector<Violation> judge() {
    const std::vector<Change> changes = changesBetween(run_.before, run_.after);
    // A help file that was due takes its side files along whether or not its
    // own delete went through; one that stayed tried once per listing.
    for (const auto& [path, file] : files_) {
      if (path.size() <= 4 || path.substr(path.size() - 4) != ".HLP" || !mayGo(file, path)) continue;
      helpFolders_[folderOf(path)] += run_.after.files.count(path) ? std::max(1, file.plainOccurrences) : 1;
    }
    for (const Change& change : changes) judgeChange(change);
    judgeStarts();
    judgeLibraries();
    judgeWriteBack();
    for (const Change& change : changes) {
      const auto file = files_.find(change.path);
      if (change.kind != Kind::FileDeleted || file == files_.end() || !file->second.selfRegister ||
          isOwnRecord(change.path) || isHelpSideFile(change.path) || unregistered_.count(change.path)) {
        continue;
      }
      // A file a plain group deletes outright is unregistered only through a
      // self-registering plain group; a shared one whenever its count ran out.
      if (file->second.selfRegisterPlain || file->second.plainOccurrences == 0) {
        flag("a self-registering file is unregistered before it goes", change.path);
      }
    }
    return violations_;
  }

 private:
  // What the store, the log and the checked items allow.
  std::optional<std::string> onDisk(const std::string& path) const {
    const auto folder = absoluteFolder(path);
    return folder ? std::optional(withLongNames(*folder, run_.before)) : std::nullopt;
  }

  void addComponent(const DueComponent& component) {
    for (const std::string& groupName : component.fileGroups) {
      const CFilegroup* group = firstGroupNamed(run_.log, groupName);
      if (group == nullptr) continue;
      for (const std::string& file : counted(group->fileCount(), group->files())) {
        addFile(component.target, "", file, *group);
      }
      for (const CDir* position = group->rootDir(); position != nullptr;) {
        const CDir* dir = CFilegroup::nextDir(position);
        for (const std::string& file : counted(dir->fileCount(), dir->files())) {
          addFile(component.target, dir->name(), file, *group);
        }
      }
      for (const std::string& entry : group->shellObjects().items()) addShortcut(entry);
      for (const auto& [key, lines] : group->registry().keys()) addKey(key, lines, true);
    }
    const std::string key = placeOf("HKLM", kComponentKeys + component.name);
    if (!component.vba || !opens(key)) return;
    const auto package = run_.before.values.find({key, "MSIPATH"});
    if (package != run_.before.values.end() && !package->second.asString().empty()) {
      msiPaths_.insert(upper(package->second.asString()));
    }
  }

  void addFile(const std::string& target, const std::string& dirName, const std::string& name, const CFilegroup& group) {
    if (!dirName.empty() && !confinedName(dirName)) return;
    const auto rawFolder = expandMacros(target + "\\" + (dirName.empty() ? "" : dirName + "\\"), macros_);
    const auto folder = rawFolder ? absoluteFolder(*rawFolder) : std::nullopt;
    const auto inside = confinedName(name);
    if (!folder || !inside) return;
    LoggedFile& file = files_[withLongNames(*folder + "\\" + *inside, run_.before)];
    ++(group.shared() ? file.sharedOccurrences : file.plainOccurrences);
    file.selfRegister |= group.selfRegister();
    file.selfRegisterPlain |= group.selfRegister() && !group.shared();
    file.core |= coreNames_.count(nameOf(*inside)) != 0;
    file.rawPaths.insert(upper(*rawFolder + name));
    if (group.shared()) ++file.sharedByRaw[upper(*rawFolder + name)];
    noteDir(*rawFolder);
  }

  // A noted folder's ancestors are those of its text, as the sweep walks it.
  void noteDir(const std::string& rawFolder) {
    for (size_t slash = rawFolder.find('\\', 3); slash != std::string::npos; slash = rawFolder.find('\\', slash + 1)) {
      if (const auto folder = onDisk(rawFolder.substr(0, slash + 1))) notedDirs_.insert(*folder);
    }
    if (const auto folder = onDisk(rawFolder + "\\")) notedDirs_.insert(*folder);
  }

  void addShortcut(const std::string& entry) {
    const auto colon = entry.find(':');
    const std::string location = colon == std::string::npos ? entry : entry.substr(colon + 1);
    const auto last = location.rfind('\\');
    if (last == std::string::npos) return;
    const std::string* title = dataStrings_ ? dataStrings_->find(location.substr(last + 1)) : nullptr;
    const std::string user = location.substr(0, last + 1) + (title ? *title : "") + ".lnk";
    const auto first = user.find('\\');
    const auto inside = confinedName(user.substr(first + 1));
    for (const std::string& head : {user.substr(0, first), std::string("<COMMON_FOLDER_PROGRAMS>")}) {
      const auto folderText = expandMacros(head + "\\", macros_);
      const auto folder = folderText ? absoluteFolder(*folderText) : std::nullopt;
      if (!folder || !inside) continue;
      const std::string path = withLongNames(*folder + "\\" + *inside, run_.before);
      shortcuts_.insert(path);
      noteDir(folderOf(path));
    }
  }

  void noteKey(const std::string& place) {
    for (std::optional<std::string> at = place; at && at->find('\\') != std::string::npos; at = parentPlace(*at)) {
      notedKeys_.insert(*at);
    }
  }

  // The suite's own keys and class registrations go whole, unless they are
  // shared containers; elsewhere only the logged values go. A key below
  // "\NEW USER SETTINGS\" brings its twin without that segment, judged alike.
  void addKey(const std::string& key, const StringList& lines, bool withTwin) {
    const auto slash = key.find('\\');
    if (slash == std::string::npos || slash == 0) return;
    const std::string upperKey = upper(key);
    const std::string rest = key.substr(slash + 1);
    const std::string exact = placeOf(key.substr(0, slash), rest);
    const std::string valuePlace = placeOf(upper(key.substr(0, slash)), rest);
    const bool owned =
        upperKey.find("SOFTWARE\\CORVEL") != std::string::npos || upperKey.find("HKCR\\") != std::string::npos;
    if (owned && !isSharedContainer(exact)) {
      wholeKeys_.push_back(exact);
      if (isMachinePlace(exact)) {
        wholeKeys_.push_back(mirrorOf(exact));
        noteKey(mirrorOf(exact));
      }
    } else {
      for (const std::string& line : lines) {
        const auto name = valueNameOf(line);
        if (!name) continue;
        values_.insert({valuePlace, *name});
        if (isMachinePlace(valuePlace)) values_.insert({mirrorOf(valuePlace), *name});
      }
    }
    noteKey(valuePlace);
    if (isMachinePlace(valuePlace)) noteKey(mirrorOf(valuePlace));
    const auto at = upperKey.find("\\NEW USER SETTINGS\\");
    if (withTwin && at != std::string::npos) addKey(key.substr(0, at) + "\\" + key.substr(at + 19), lines, false);
  }

  void addRunOnce(const std::string& component) {
    const std::string place = placeOf("HKLM", kComponentKeys + component + "\\RunOnce");
    if (!opens(place)) return;
    for (auto it = run_.before.values.lower_bound({place, ""});
         it != run_.before.values.end() && it->first.first == place; ++it) {
      const RegValue& value = it->second;
      if (value.type == RegType::Sz) runOnce_.insert(value.asString());
      if (value.type == RegType::ExpandSz) runOnce_.insert(expandEnvironment(value.asString()));
    }
  }

  // Judging.
  bool opens(const std::string& place) const { return !run_.unopenableKeys.count(place); }
  void flag(const std::string& rule, const std::string& what) { violations_.push_back({rule, what}); }
  bool isFileBefore(const std::optional<std::string>& path) const {
    const auto found = path ? run_.before.files.find(*path) : run_.before.files.end();
    return found != run_.before.files.end() && !found->second.directory;
  }

  bool isOwnRecord(const std::string& path) const {
    return path == upper(run_.store.path()) || path == recordDir_ + "\\CVLINST.LOG" ||
           path == recordDir_ + "\\CVLPSAPI.DLL" ||
           (folderOf(path) == recordDir_ && longNameMatches("deis*.isu", nameOf(path)));
  }

  // The uninstaller's bookkeeping across runs cut short, and the copy that
  // replaces it in one step: they may come, change and go in any run.
  bool isRemovalRecord(const std::string& path) const {
    return path == recordDir_ + "\\CVLINST.REC" || path == recordDir_ + "\\CVLINST.REC.NEW";
  }

  // A system file is never deleted.
  bool mayGo(const LoggedFile& file, const std::string& path) const {
    const auto before = run_.before.files.find(path);
    if (file.core || before == run_.before.files.end() || (before->second.status.attributes & attr::kSystem)) {
      return false;
    }
    if (file.plainOccurrences > 0) return true;
    if (!opens(kSharedDlls)) return false;
    // The file goes when the count of one of its spellings runs out.
    for (const auto& [raw, listings] : file.sharedByRaw) {
      const int32_t count = storedCount(run_.before, raw);
      if (count >= 1 && count <= listings) return true;
    }
    return false;
  }

  bool isHelpSideFile(const std::string& path) const {
    if (!helpFolders_.count(folderOf(path)) || coreNames_.count(nameOf(path))) return false;
    for (const char* pattern : {"*.GID", "*.FTS", "*.FTG", "*.CHW"}) {
      if (longNameMatches(pattern, nameOf(path))) return true;
    }
    return false;
  }

  void judgeFileDeleted(const std::string& path) {
    if (isOwnRecord(path)) {
      if (!everythingChecked_) flag("own records stay until the final clean-up", path);
      return;
    }
    const auto file = files_.find(path);
    if (file != files_.end() && mayGo(file->second, path)) return;
    if (shortcuts_.count(path) || isHelpSideFile(path)) return;
    if (everythingChecked_ && path == upper(places::kCommonFiles) + "\\CORVEL\\CVLUNST.EXE") return;
    flag(file == files_.end() ? "only logged files inside their absolute folder"
         : file->second.core  ? "core files stay"
                              : "shared or system files stay",
         path);
  }

  bool inWholeKey(const std::string& place) const {
    for (const std::string& top : wholeKeys_) {
      if (!isAtOrBelow(place, top)) continue;
      bool sharedBetween = false;
      for (std::optional<std::string> at = place; at && *at != top; at = parentPlace(*at)) {
        sharedBetween = sharedBetween || isSharedContainer(*at);
      }
      if (!sharedBetween) return true;
    }
    return false;
  }

  // The final clean-up takes the uninstall keys whole, and the suite's key
  // only when it holds nothing more, no value of its own ever.
  bool inFinalCleanup(const std::string& place) const {
    if (!everythingChecked_) return false;
    if (isUninstallRecord(place)) return true;
    const auto value = run_.before.values.lower_bound({place, ""});
    const bool ownValues = value != run_.before.values.end() && value->first.first == place;
    return place == "HKLM\\SOFTWARE\\CORVEL" && !ownValues;
  }

  bool keyMayGo(const std::string& place) const {
    return inFinalCleanup(place) || inWholeKey(place) || (notedKeys_.count(place) && !isSharedContainer(place));
  }

  // Each shared listing of the file releases its count once; deleting a
  // help file releases the side files of its folder once more each, logged
  // or not, when its group is shared.
  int releases(const std::string& valueName) const {
    int count = 0;
    for (const auto& [path, file] : files_) {
      if (file.sharedOccurrences > 0 && file.rawPaths.count(valueName)) {
        count = file.sharedOccurrences;
        break;
      }
    }
    const auto path = onDisk(valueName);
    return count + (path && isHelpSideFile(*path) ? helpFolders_.at(folderOf(*path)) : 0);
  }

  bool valueMayGo(const std::string& place, const std::string& name) const {
    // Values of the uninstall keys go with them in the final clean-up, the
    // suite key's never, whatever the log lists.
    if (isUninstallRecord(place)) return inFinalCleanup(place);
    if (place == "HKLM\\SOFTWARE\\CORVEL" || place == "HKCU\\SOFTWARE\\CORVEL") return false;
    if (inWholeKey(place) || values_.count({place, name})) return true;
    if (place != kSharedDlls && place != mirrorOf(kSharedDlls)) return false;
    const int32_t count = storedCount(run_.before, name);
    return count >= 1 && count <= releases(name);
  }

  bool countMayChange(const std::string& name) const {
    const int32_t count = storedCount(run_.before, name);
    const int32_t lowered = storedCount(run_.after, name);
    return lowered >= 1 && lowered < count && lowered >= count - releases(name);
  }

  void judgeChange(const Change& change) {
    const std::string& path = change.path;
    const bool fileChange =
        change.kind == Kind::FileDeleted || change.kind == Kind::FileAltered || change.kind == Kind::FileCreated;
    if (fileChange && isRemovalRecord(path)) return;
    switch (change.kind) {
      case Kind::FileDeleted:
        judgeFileDeleted(path);
        break;
      case Kind::DirDeleted: {
        const bool cleanup = everythingChecked_ && (path == upper(places::kCommonFiles) + "\\CORVEL" ||
                                                    path == onDisk(macros_.at("<TARGETDIR>") + "\\"));
        if (!notedDirs_.count(path) && !cleanup) flag("only emptied folders of what was removed", path);
        break;
      }
      case Kind::FileAltered: {
        const FileState& was = run_.before.files.at(path);
        const FileState& is = run_.after.files.at(path);
        if (was.directory) break;  // a folder's times follow its content
        const bool storeKept = path == upper(run_.store.path()) && was.status.attributes == is.status.attributes &&
                               was.status.created == is.status.created && was.status.written == is.status.written;
        if (!storeKept) flag("files are deleted or left as they were", path);
        break;
      }
      case Kind::FileCreated:
      case Kind::KeyCreated:
        flag("nothing is created", path);
        break;
      case Kind::KeyDeleted:
        if (!keyMayGo(path)) flag(isSharedContainer(path) ? "shared containers stay" : "only the suite's keys", path);
        break;
      case Kind::ValueDeleted:
        if (!valueMayGo(path, change.valueName)) flag("only logged values or the suite's keys", describe(change));
        break;
      case Kind::ValueWritten:
        if (path != kSharedDlls || !countMayChange(change.valueName)) {
          flag("only shared counts are lowered", describe(change));
        }
        break;
    }
  }

  // The program file must be the one the command names, found without any
  // search: a quoted or blank-free absolute path as it stands, an unquoted
  // one with blanks as its longest prefix that is a file, a bare name only
  // in the system folder.
  bool programIsExplicit(const std::string& command, const std::string& application) const {
    const std::string line = withoutLeadingBlanks(command);
    const auto inSystemFolder = [&](const std::string& name) {
      return isBareName(name) && equalsNoCase(application, systemFile(name));
    };
    if (!line.empty() && line[0] == '"') {
      const std::string token = line.substr(1, line.find('"', 1) - 1);
      return absoluteFolder(token) ? equalsNoCase(application, token) : inSystemFolder(token);
    }
    if (!absoluteFolder(line)) return inSystemFolder(line.substr(0, line.find(' ')));
    const bool endsAtBlank = line.size() == application.size() || line[application.size()] == ' ';
    if (line.compare(0, application.size(), application) != 0 || !endsAtBlank) return false;
    for (size_t end = application.size(); end < line.size();) {
      end = std::min(line.find(' ', end + 1), line.size());
      if (isFileBefore(absoluteFolder(line.substr(0, end)))) return false;
    }
    return true;
  }

  // A command whose program is there to be found: a quoted absolute path, an
  // unquoted one of which a prefix ending at a blank is a file, or a name
  // the system folder holds.
  bool namesProgram(const std::string& command) const {
    const std::string line = withoutLeadingBlanks(command);
    const auto inSystemFolder = [&](const std::string& name) {
      const auto path = absoluteFolder(systemFile(name));
      return isBareName(name) && path && run_.before.files.count(*path);
    };
    if (!line.empty() && line[0] == '"') {
      const auto close = line.find('"', 1);
      if (close == std::string::npos) return false;
      const std::string token = line.substr(1, close - 1);
      return absoluteFolder(token) || inSystemFolder(token);
    }
    if (!absoluteFolder(line)) return inSystemFolder(line.substr(0, line.find(' ')));
    for (size_t end = line.size(); end != std::string::npos && end > 0; end = line.rfind(' ', end - 1)) {
      if (isFileBefore(absoluteFolder(line.substr(0, end)))) return true;
    }
    return false;
  }

  void judgeUnregistration(const std::string& commandLine) {
    const std::string marker = " /u /s \"";
    const auto at = commandLine.rfind(marker);
    const bool closed = commandLine.size() >= 2 && commandLine.back() == '"';
    const auto file = at == std::string::npos || !closed
                          ? std::nullopt
                          : onDisk(commandLine.substr(at + marker.size(), commandLine.size() - at - marker.size() - 1));
    const auto logged = file ? files_.find(*file) : files_.end();
    // Unregistered, a file that stays would be left without its registration.
    if (logged == files_.end() || !logged->second.selfRegister || !mayGo(logged->second, *file) || isOwnRecord(*file)) {
      flag("regsvr32 only on a logged self-registering file that goes", commandLine);
      return;
    }
    unregistered_.insert(*file);
  }

  void judgeStart(const std::string& commandLine, const std::string& application) {
    for (const std::string& command : runOnce_) {
      const bool requoted = !application.empty() && command.compare(0, application.size(), application) == 0 &&
                            commandLine == "\"" + application + "\"" + command.substr(application.size());
      if (commandLine != command && !requoted) continue;
      ranCommands_.insert(command);
      if (application.empty() || !programIsExplicit(command, application)) {
        flag("RunOnce programs found without a search", commandLine);
      }
      return;
    }
    if (application.empty()) {
      const bool tool = upper(commandLine).find("REGSVR32") != std::string::npos;
      flag(tool ? "regsvr32 by its full path" : "only RunOnce commands of checked top components", commandLine);
    } else if (equalsNoCase(application, systemFile("regsvr32"))) {
      judgeUnregistration(commandLine);
    } else {
      flag("only RunOnce commands of checked top components", commandLine);
    }
  }

  // Every command of a checked top component that names a program runs.
  void judgeStarts() {
    for (const auto& start : run_.system.runs()) judgeStart(start.commandLine, start.application);
    for (const std::string& command : runOnce_) {
      if (command.size() < 260 && namesProgram(command) && !ranCommands_.count(command)) {
        flag("RunOnce commands of checked top components run", command);
      }
    }
  }

  void judgeLibraries() {
    for (const std::string& library : run_.system.libraryLoads()) {
      if (msiPaths_.empty() || !equalsNoCase(library, places::kVbaLibrary)) {
        flag("only the VBA runtime library, for a removed VBA component", library);
      }
    }
    for (const std::string& package : run_.vbaPackages) {
      if (!msiPaths_.count(package)) flag("the VBA installer only gets collected packages", package);
    }
  }

  // A run that leaves the suite installed writes the store back with exactly
  // the components due marked as no longer selected, and nothing else changed.
  void judgeWriteBack() {
    if (!model_ || everythingChecked_) return;
    auto expected = storeOf(run_.before, run_.store.path());
    auto written = storeOf(run_.after, run_.store.path());
    if (!expected || !written) return;
    model_->markRemoved(*expected, due_);
    if (bytesOf(*expected) == bytesOf(*written)) return;
    std::string differences;
    if (const CSectionSet* set = expected->findSectionSet("default.cdf")) {
      for (const auto& [name, section] : set->sections()) {
        const std::string want = selectedIn(*expected, name), got = selectedIn(*written, name);
        if (want != got) differences += " " + name + ": SELECTED " + got + ", expected " + want + ";";
      }
    }
    flag("the store marks exactly the components due as removed",
         differences.empty() ? upper(run_.store.path()) + " changed otherwise" : differences);
  }

  const RunRecord& run_;
  const std::map<std::string, std::string> macros_ = pathMacros();
  const std::string recordDir_ = folderOf(upper(places::kUninstallDir));
  std::optional<ComponentModel> model_;
  std::vector<DueComponent> due_;
  bool everythingChecked_ = false;  // the final clean-up may run
  std::set<std::string> coreNames_;
  const CSection* dataStrings_ = nullptr;
  std::map<std::string, LoggedFile> files_;  // by canonical path
  std::set<std::string> shortcuts_;
  std::set<std::string> notedDirs_;  // noted folders and their ancestors
  std::vector<std::string> wholeKeys_;
  std::set<std::pair<std::string, std::string>> values_;
  std::set<std::string> notedKeys_;  // noted keys and their ancestors
  std::set<std::string> runOnce_;
  std::set<std::string> ranCommands_;
  std::set<std::string> msiPaths_;
  std::map<std::string, int> helpFolders_;  // where logged help files went, and how many
  std::set<std::string> unregistered_;
  std::vector<Violation> violations_;
};

}  // namespace

std::map<std::string, std::string> pathMacros() {
  return {{"<TARGETDIR>", upper(places::kTargetDir)},
          {"<WINSYSDIR>", upper(places::kSystemDir)},
          {"<FOLDER_PROGRAMS>", places::kUserPrograms},
          {"<COMMON_FOLDER_PROGRAMS>", places::kCommonPrograms}};
}

std::vector<uint8_t> bytesOf(ArchiveRecord& record) {
  ByteFile file;
  Archive archive(file, Archive::Direction::Storing);
  record.serialize(archive);
  archive.close();
  return file.takeBytes();
}

std::vector<Violation> judgeRun(const RunRecord& run) { return AllowList(run).judge(); }

}  // namespace cvl::checker
