#include "uninstaller/engine/record/log_path_check.h"

#include <optional>

#include "platform/platform.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/phases/logged_files.h"
#include "uninstaller/engine/record/removal_record.h"
#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/removal/own_files.h"
#include "uninstaller/suite/suite_layout.h"

namespace cvl {
namespace {

void addFilesIn(const std::string& folder, std::vector<std::string>& files) {
  if (folder.empty()) return;
  for (const char* name : {names::kStoreFile, names::kLogFile, names::kProcessLibrary, kRecordFileName}) {
    files.push_back(folder + name);
  }
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The log's name as the open reads it: a relative one starts at the current
// directory. A drive-relative one ("D:run.log") on another drive depends
// on a current folder not known here, so none is given.
std::optional<std::string> fullPathOf(platform::FileSystem& files, const std::string& path) {
  if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) return path;  // a share or a device
  const bool drive = path.size() >= 2 && path[1] == ':';
  if (drive && path.size() >= 3 && isSeparator(path[2])) return path;
  std::string current = files.currentDirectory();
  if (current.empty() || current.back() != '\\') current += '\\';
  if (drive) {
    if (!platform::equalsNoCase(path.substr(0, 2), current.substr(0, 2))) return std::nullopt;
    return current + path.substr(2);
  }
  if (!path.empty() && isSeparator(path[0])) return current.substr(0, 2) + path;
  return current + path;
}

bool namesLoggedFile(OwnFiles& logFile, const Catalogue& catalogue, const CUninstallLog& log,
                     const PathMacros& macros) {
  bool found = false;
  for (const auto& entry : catalogue.componentMap) {
    for (const std::string& groupName : entry.component->fileGroups) {
      const CFilegroup* group = log.findFileGroup(groupName);
      if (group == nullptr) continue;
      forEachLoggedFile(*entry.component, *group, macros, [&](const std::string& name, const std::string& folder) {
        found = found || logFile.holds(folder + name);
      });
      if (found) return true;
    }
  }
  return false;
}

}  // namespace

std::vector<std::string> uninstallerFiles(const std::string& uninstallDir, const std::string& programPath) {
  std::vector<std::string> files;
  addFilesIn(uninstallDir, files);
  addFilesIn(programPath.substr(0, programPath.find_last_of("\\/") + 1), files);
  if (!programPath.empty()) files.push_back(programPath);
  return files;
}

bool refusesLogPath(platform::FileSystem& files, const std::string& logPath, const std::vector<std::string>& ownFiles,
                    const Catalogue& catalogue, const CUninstallLog& log, const PathMacros& macros) {
  const std::optional<std::string> fullPath = fullPathOf(files, logPath);
  if (!fullPath || isRemovalRecordPath(*fullPath) || OwnFiles(files, ownFiles).holds(*fullPath)) return true;
  // The log is the one "own" file here: each logged file is compared with
  // it, and each logged folder's identity is looked up once.
  OwnFiles logFile(files, {*fullPath});
  return namesLoggedFile(logFile, catalogue, log, macros);
}

}  // namespace cvl
