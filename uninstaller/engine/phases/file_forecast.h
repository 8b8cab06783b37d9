#pragma once
// What phase 2 will do to each logged file, known before phase 1 starts:
// a shared self-registering file listed by several removed components is
// released once per listing, so only all listings together tell whether
// its count reaches 0 and it is deleted.
#include <map>
#include <set>
#include <string>

namespace cvl {

struct RemovalContext;

struct ForecastFile {
  int sharedReleases = 0;  // listings in shared groups, duplicates included
  bool unshared = false;   // listed in a group that deletes it without a count
};

struct FileForecast {
  std::map<std::string, ForecastFile> files;  // by upper-cased full path
  std::set<std::string> unregistered;        // upper-cased full paths already handed to regsvr32
};

// Built from the components due for removal on first use, then kept for the run.
FileForecast& fileForecast(RemovalContext& context);

}  // namespace cvl
