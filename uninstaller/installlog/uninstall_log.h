#pragma once
// The install log "cvlinst.log": the file groups the installer recorded, in
// log order, read once at start-up and only read afterwards.
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"
#include "uninstaller/installlog/filegroup.h"
#include "uninstaller/suite/suite_layout.h"

namespace cvl {

inline constexpr const char* kLogFileName = names::kLogFile;
inline constexpr const char* kLogHeader = "Corvel Uninstallation Log File";
inline constexpr uint32_t kLogVersion = 1;

class CUninstallLog : public ArchiveRecord {
 public:
  using Groups = std::vector<std::unique_ptr<CFilegroup>>;

  const char* className() const override { return "CUninstallLog"; }
  // Loading empties the log first. A header other than kLogHeader (exactly)
  // or a version above kLogVersion leaves it empty without complaint.
  void serialize(Archive& archive) override;

  // Reads the file. False when it is not a log this program can read (a
  // foreign header or a newer version); it then stays empty. Raises
  // ArchiveFileError when it cannot be opened and ArchiveEndOfFile when it
  // ends early; the groups read so far then stay.
  bool load(platform::FileSystem& files, const std::string& path);

  // The first group in log order whose name matches ignoring case, or null.
  const CFilegroup* findFileGroup(const std::string& name) const;

  const Groups& groups() const { return groups_; }
  CFilegroup& addGroup(std::unique_ptr<CFilegroup> group);
  void clear();

 private:
  Groups groups_;
  bool formatKnown_ = true;  // the last load met kLogHeader and a version up to kLogVersion
  // Upper-cased name to the first group of that name, extended on lookup
  // over the groups added since, so a lookup never walks the log.
  mutable std::unordered_map<std::string, size_t> firstByName_;
  mutable size_t indexed_ = 0;
};

}  // namespace cvl
