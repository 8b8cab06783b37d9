#pragma once
// The final clean-up, begun by a run that was cut short, finished by the
// next: by then the store, the log and the registry keys that lead to them
// may be gone, so the record in the folder given is all there is to go by.
#include <string>

#include "platform/platform.h"
#include "uninstaller/engine/record/removal_journal.h"

namespace cvl {

// True when the removal record in uninstallDir (ending in a backslash)
// says the final clean-up had begun; the clean-up is then finished. A
// record of another store, while a store is there, is not taken.
// recordFiles, when given, reads and deletes the record unjournaled.
bool finishBegunCleanup(platform::Platform& platform, const std::string& uninstallDir, RemovalJournal& journal,
                        platform::FileSystem* recordFiles = nullptr);

}  // namespace cvl
