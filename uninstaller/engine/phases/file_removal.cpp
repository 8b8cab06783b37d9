#include "uninstaller/engine/phases/file_removal.h"

#include <array>
#include <vector>

#include "platform/zero_byte.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/suite/suite_layout.h"
#include "uninstaller/engine/phases/logged_files.h"
#include "uninstaller/engine/phases/restart_removal.h"
#include "uninstaller/engine/record/noted_changes.h"
#include "uninstaller/engine/record/removal_record.h"
#include "uninstaller/removal/long_name_match.h"
#include "uninstaller/removal/own_files.h"
#include "uninstaller/removal/safe_paths.h"
#include "uninstaller/removal/shared_dll.h"
#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/removal/noted_paths.h"
#include "uninstaller/store/config_store.h"

namespace cvl {
namespace {

using namespace platform;

// Index and search files the help system builds beside any help file.
constexpr std::array<const char*, 4> kHelpSideFiles = {"*.GID", "*.FTS", "*.FTG", "*.CHW"};

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool isRemovableFile(const FileStatus& status) {
  return (status.attributes & (attr::kSystem | attr::kVolumeLabel | attr::kDirectory)) == 0;
}

// Zero would mean "leave unchanged" to the file system.
uint32_t writableAttributes(uint32_t attributes) {
  const uint32_t kept = attributes & ~(attr::kReadOnly | attr::kNormal);
  return kept != 0 ? kept : attr::kNormal;
}

std::vector<std::string> namesMatching(FileSystem& files, const std::string& directory, const std::string& pattern) {
  std::vector<std::string> names;
  // No match and a failed search alike leave nothing to remove.
  (void)files.find(directory + pattern, [&](const FoundEntry& entry) {
    if (longNameMatches(pattern, entry.name)) names.push_back(entry.name);
    return true;
  });
  return names;
}

void removeHelpSideFiles(RemovalContext& context, const std::string& directory, bool shared) {
  for (const char* pattern : kHelpSideFiles) {
    for (const std::string& name : namesMatching(context.files(), directory, pattern)) {
      removeFile(context, directory + name, directory, shared);
    }
  }
}

// The store, the log, the process library and the removal record are the
// uninstaller's own, and so is its program: only the final clean-up removes
// the first four, whatever a component logged.
bool isUninstallerFile(RemovalContext& context, const std::string& fullPath, OwnFiles::Reach reach) {
  if (!context.ownFiles) {
    context.ownFiles = std::make_shared<OwnFiles>(
        context.files(), std::vector<std::string>{context.store.path(), context.uninstallDir + names::kLogFile,
                                                  context.uninstallDir + names::kProcessLibrary,
                                                  context.system().modulePath(), context.uninstallDir + kRecordFileName});
  }
  return context.ownFiles->holds(fullPath, reach);
}

}  // namespace

bool isKeptWhole(RemovalContext& context, const std::string& fullPath, uint32_t attributes) {
  // Unregistering runs the file's code, whatever name reaches it.
  return !isRemovableFile(FileStatus{attributes}) || isUninstallerFile(context, fullPath, OwnFiles::Reach::Data);
}

void removeFile(RemovalContext& context, const std::string& fullPath, const std::string& directory, bool shared) {
  FileSystem& files = context.files();
  RemovalJournal& journal = *context.journal;
  if (holdsZeroByte(fullPath)) return journal.kept("file", fullPath, "damaged name");
  FileStatus status;
  const std::string upperPath = upper(fullPath);
  if (files.status(fullPath, status) != kSuccess) {
    // Gone already, perhaps by a run cut short: its side files and its
    // folder may still be left.
    journal.kept("file", fullPath, "not found");
    if (endsWith(upperPath, ".HLP") && (!shared || noteSaysDeletedHere(context, fullPath))) {
      removeHelpSideFiles(context, fullPath.substr(0, fullPath.find_last_of("\\/") + 1), shared);
    }
    return context.notedPaths.noteDirForRemoval(directory);
  }
  if (!isRemovableFile(status)) return journal.kept("file", fullPath, "not removable");
  // Clearing read-only changes the file under every name it has; a deletion reaches this name only.
  const auto reach = (status.attributes & attr::kReadOnly) ? OwnFiles::Reach::Data : OwnFiles::Reach::Name;
  if (isUninstallerFile(context, fullPath, reach)) return journal.kept("file", fullPath, "the uninstaller's own file");
  if (context.catalogue.coreFiles.count(resolvedFileName(fullPath)) != 0) {
    return journal.kept("file", fullPath, "core file");
  }
  if (shared) {
    std::string why;
    if (releaseNotedShare(context, fullPath, why) != 0) return journal.kept("file", fullPath, why);
  }

  // A failure to clear read-only shows as the failed delete that follows.
  if (status.attributes & attr::kReadOnly) (void)files.setAttributes(fullPath, writableAttributes(status.attributes));
  const Status deleted = files.deleteFile(fullPath);
  if (deleted != kSuccess && !(isInUse(files, fullPath, deleted) && scheduleAtRestart(context, "file", fullPath))) {
    context.hadErrors = true;
    journal.kept("file", fullPath, windowsErrorText(deleted));
  }
  // The side files lie beside the help file itself, which a logged name
  // holding a subfolder puts below the group's folder.
  if (endsWith(upperPath, ".HLP")) removeHelpSideFiles(context, fullPath.substr(0, fullPath.find_last_of("\\/") + 1), shared);
  context.notedPaths.noteDirForRemoval(directory);
}

void removeComponentFiles(RemovalContext& context, const CComponent& component) {
  for (const std::string& groupName : component.fileGroups) {
    const CFilegroup* group = context.log.findFileGroup(groupName);
    if (group == nullptr) continue;
    context.releasingComponent = component.name;
    context.releasingGroup = group->name();
    forEachLoggedFile(component, *group, context.pathMacros,
                      [&](const std::string& fileName, const std::string& directory) {
                        removeFile(context, directory + fileName, directory, group->shared());
                      });
  }
}

}  // namespace cvl
