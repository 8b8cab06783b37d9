#pragma once
// The uninstaller's own files, known by what they are. A logged name may
// reach one of them in any spelling Windows accepts: another case or
// slash, a short name, the drive's share. A name is compared as text
// first, then by identity. A folder's index is looked up once, its whole
// identity only when the index is an owner folder's, and a file's own
// identity only when its folder holds one of the owners.
//
// What harms an own file depends on the use. A deletion reaches only the
// name it is given: another name of the same data (a hard link) leaves the
// own file whole, so a name that spells none of the owners' names is none
// of them, told without asking the disk. Writing, running or changing
// attributes reaches the data through any of its names.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace cvl {

class OwnFiles {
 public:
  enum class Reach { Name, Data };

  OwnFiles(platform::FileSystem& files, const std::vector<std::string>& paths);

  bool holds(const std::string& fullPath, Reach reach = Reach::Data);

 private:
  struct Own {
    std::string path;
    std::vector<std::string> segments;  // as Windows resolves the path
    std::optional<platform::FileIdentity> file;
    std::optional<platform::FileIdentity> folder;
    std::optional<uint64_t> folderIndex;
    std::optional<std::vector<std::string>> names;  // its long and short names as stored, upper case
  };

  std::optional<platform::FileIdentity> identityOf(const std::string& path);
  std::optional<platform::FileIdentity> folderIdentity(const std::string& folder);
  std::optional<uint64_t> indexOf(const std::string& folder);
  bool mayBeOwnersFolder(const std::string& folder);
  std::optional<std::vector<std::string>> storedNames(const std::string& path);
  bool mayNameAnOwner(const std::string& name);

  platform::FileSystem& files_;
  std::vector<Own> own_;
  bool namesRead_ = false;  // at the first use that reaches a name only
  bool anyExists_ = false;  // a missing file is reached by its name only
  std::map<std::string, std::optional<platform::FileIdentity>> folders_;  // by the folder's text
  std::map<std::string, bool> mayBeOwners_;                              // by the folder's text
};

}  // namespace cvl
