#include "uninstaller/engine/phases/cleanup_resume.h"

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/phases/final_cleanup.h"
#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/removal/noted_paths.h"
#include "uninstaller/store/config_store.h"

namespace cvl {

bool finishBegunCleanup(platform::Platform& platform, const std::string& uninstallDir, RemovalJournal& journal,
                        platform::FileSystem* recordFiles) {
  platform::FileSystem& files = recordFiles ? *recordFiles : platform.files();
  CConfigStore store;
  store.setPath(uninstallDir + kStoreFileName);
  platform::FileStatus storeStatus;
  const bool storeThere = files.status(store.path(), storeStatus) == platform::kSuccess;
  RemovalRecord record;
  const auto state = record.open(files, uninstallDir + kRecordFileName, bindingOf(files, store.path()), false);
  if (!record.cleanupBegun() || (storeThere && state != RemovalRecord::State::Bound)) return false;

  Catalogue catalogue;
  CUninstallLog log;
  NotedPaths noted;
  const PathMacros macros{{"<TARGETDIR>", record.cleanupTarget()}};
  RemovalContext context(platform, catalogue, log, macros, noted, store, uninstallDir);
  context.journal = &journal;
  context.record = record;
  journal.note("final clean-up: begun by a run that was cut short, finished now");
  removeUninstallerTraces(context);
  return true;
}

}  // namespace cvl
