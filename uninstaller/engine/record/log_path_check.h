#pragma once
// Where a run's log (/LOG=) must not go. The run is elevated and appends
// to whatever file its command line names, so the name must not lead it
// into a file the uninstaller reads or removes: its own files (the store,
// the install log, the process library, the removal record, its program)
// or a file the install log lists for a component. A name is compared as
// Windows resolves it (case, either slash, trailing dots and blanks), then
// by what the file is (a short name, the drive's share, a linked folder).
//
// The log is opened once the start-up has read the store and the install
// log, before the selection is made, so which components go is not known
// yet. Every file the install log lists for any component is refused
// instead: more than the run removes, but decided once, before the file is
// opened, so nothing is created in, written to or held open on a file the
// run then reads or deletes, and a refused name ends the way a log that
// cannot be opened does.
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "uninstaller/engine/path_macros.h"

namespace cvl {

class Catalogue;
class CUninstallLog;

// The uninstaller's files in uninstallDir (where the start-up looked for
// the store; none when empty) and beside programPath, where a clean-up
// left half done finds them, and the program itself.
std::vector<std::string> uninstallerFiles(const std::string& uninstallDir, const std::string& programPath);

// Whether logPath names a removal record anywhere, one of ownFiles, or a
// file the install log lists for one of the catalogue's components. A
// relative name is taken from the current directory.
bool refusesLogPath(platform::FileSystem& files, const std::string& logPath, const std::vector<std::string>& ownFiles,
                    const Catalogue& catalogue, const CUninstallLog& log, const PathMacros& macros);

}  // namespace cvl
