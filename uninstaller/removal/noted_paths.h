#pragma once
// Directories and registry keys that the removal phases touched. They are
// not removed on the spot: each tree is swept once at the end of a run,
// deepest first, removing what is then empty and never what still holds
// something.
#include <string>

#include "platform/platform.h"
#include "uninstaller/removal/open_as_itself.h"
#include "uninstaller/removal/path_node.h"

namespace cvl {

class NotedPaths {
 public:
  // Drops one trailing backslash; folders differing only in case are one.
  void noteDirForRemoval(const std::string& dir);
  // A machine key ("HKLM...") is noted under "HKCU" as well, so the current
  // user's copy is swept too.
  void noteKeyForRemoval(const std::string& keyPath);

  // Each sweep visits its whole tree once and leaves the tree as it is.
  // Links among the keys stay and are reported to kept.
  void removeNotedDirs(platform::Platform& platform) const;
  void removeNotedKeys(platform::Platform& platform, const KeptKeyReport& kept = {}) const;

  void clearNotedPaths();

  CPathNode dirTree;  // first level: drives or shares ("C:")
  // Set when the run goes on from one cut short: a noted folder found
  // missing was removed by that run and keeps no parent.
  bool missingDirsWereRemoved = false;
  CPathNode keyTree;  // first level: root prefixes ("HKLM")
};

// The program's one instance, living until exit.
NotedPaths& notedPaths();

}  // namespace cvl
