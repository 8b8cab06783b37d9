#pragma once
// What phase 2 will do to each logged file, known before phase 1 starts:
// a shared self-registering file listed by several removed components is
// released once per listing, so only all listings together tell whether
// its count reaches 0 and it is deleted.
#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace cvl {

struct RemovalContext;

// One file however its listings spell it. Each spelling names a count of
// its own in the shared-library list, released once per listing.
struct ForecastFile {
  std::map<std::string, int> sharedReleases;  // by upper-cased full path as logged, duplicates included
  bool unshared = false;  // listed in a group that deletes it without a count
};

struct FileForecast {
  std::map<std::string, ForecastFile> files;  // by forecastKey
  std::set<std::string> unregistered;        // the same keys, of files already handed to regsvr32
};

// The key of a file in the forecast: the file itself where it exists, so
// that every spelling reaching it (its drive's share, an 8.3 alias) is one
// file; else its path as Windows resolves it.
std::string forecastKey(platform::FileSystem& files, const std::string& fullPath);

// Built from the components due for removal on first use, then kept for the run.
FileForecast& fileForecast(RemovalContext& context);

}  // namespace cvl
