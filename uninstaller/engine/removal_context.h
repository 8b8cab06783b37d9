#pragma once
// Everything one removal run works with and what it reports back. The
// application fills the inputs at start-up; the driver and its phases read
// them and fill the results. Nothing here is owned: the context only points
// at objects that live for the whole program.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "uninstaller/engine/record/removal_journal.h"
#include "uninstaller/engine/phases/file_forecast.h"
#include "uninstaller/engine/path_macros.h"
#include "uninstaller/engine/record/removal_record.h"
#include "uninstaller/removal/open_as_itself.h"

namespace cvl {

class Catalogue;
class CUninstallLog;
class NotedPaths;
class CConfigStore;
class OwnFiles;

struct RemovalContext {
  RemovalContext(platform::Platform& platform, Catalogue& catalogue, const CUninstallLog& log,
                 const PathMacros& pathMacros, NotedPaths& notedPaths, CConfigStore& store, std::string uninstallDir)
      : platform(platform), catalogue(catalogue), log(log), pathMacros(pathMacros), notedPaths(notedPaths),
        store(store), uninstallDir(std::move(uninstallDir)) {}
  // Never copied: the journal may point at the context's own quiet one.
  RemovalContext(const RemovalContext&) = delete;
  RemovalContext& operator=(const RemovalContext&) = delete;

  platform::Platform& platform;
  Catalogue& catalogue;
  const CUninstallLog& log;
  const PathMacros& pathMacros;
  NotedPaths& notedPaths;
  CConfigStore& store;       // loaded from store.path(), cvlinst.dat
  std::string uninstallDir;  // ends in a backslash

  // The progress window, owner of any window the shell might raise; 0 for none.
  std::uintptr_t ownerWindow = 0;
  bool silent = false;
  bool showProgress = true;

  // Results of the run.
  bool allRemoved = true;   // every top-level item was fully checked
  bool hadErrors = false;   // a file or shortcut could not be deleted
  std::vector<std::string> msiPaths;  // upper case, in collection order
  // Files and folders in use, scheduled for deletion at restart, in order.
  std::vector<std::string> scheduledAtRestart;

  // The run's record; quiet unless the program gave it a log to write to.
  RemovalJournal quietJournal;
  RemovalJournal* journal = &quietJournal;

  // Nothing failed, but something waits for the restart.
  bool restartNeeded() const { return !hadErrors && !scheduledAtRestart.empty(); }

  std::optional<FileForecast> fileForecast;  // see fileForecast()
  std::shared_ptr<OwnFiles> ownFiles;  // the uninstaller's own files, looked up at their first use

  // What must not be done twice over runs cut short (noted_changes.h). Its
  // file is read and written through recordFiles when given, so that a
  // logged run does not list the uninstaller's own bookkeeping.
  RemovalRecord record;
  platform::FileSystem* recordFiles = nullptr;
  std::string releasingComponent, releasingGroup;  // whose listing phase 2 is at
  std::map<std::string, int> releaseListings;      // listings released so far, per component, group and path
  bool phasesDone = false;  // every phase has run: the selection may be written back

  // Keys a removal leaves for a reason of their own go into the journal,
  // once each however often the phases and the sweep come upon them.
  KeptKeyReport keptKeys() {
    return [this](const std::string& key, const std::string& reason) {
      if (keptKeysReported.insert(platform::upper(key)).second) journal->kept("key", key, reason);
    };
  }
  std::set<std::string> keptKeysReported;

  platform::Registry& registry() { return platform.registry(); }
  platform::FileSystem& files() { return platform.files(); }
  platform::System& system() { return platform.system(); }
};

}  // namespace cvl
