#pragma once
// The plain-text file a logged run (/LOG=) appends its journal to. It is
// opened before anything is removed and never truncated, so the runs on a
// machine follow one another in one file. Each line is handed to Windows
// in one write as it comes, so a run that crashes or is killed leaves its
// record up to its last line; flushing the disk's cache for each line
// would cost more than the removal, and the removal record covers what a
// power cut may lose. A plan changes nothing and is simply made again, so
// its lines are gathered and handed over in blocks. A link at the path is
// refused, never followed.
#include <string>

#include "platform/file_system.h"

namespace cvl {

class RemovalLogFile {
 public:
  explicit RemovalLogFile(platform::FileSystem& files) : files_(files) {}
  RemovalLogFile(const RemovalLogFile&) = delete;
  RemovalLogFile& operator=(const RemovalLogFile&) = delete;
  ~RemovalLogFile() { close(); }

  enum class Writes { EachLine, Gathered };
  // Opens (or creates) the file for appending. The status of the open.
  platform::Status open(const std::string& path, Writes writes = Writes::EachLine);
  bool isOpen() const { return static_cast<bool>(file_); }

  // Writes one line and "\r\n".
  void writeLine(const std::string& line);
  // Hands over the lines gathered so far; true when every write succeeded.
  bool flush();
  // Closes; true when every write succeeded.
  bool close();

 private:
  void writeGathered();

  platform::FileSystem& files_;
  platform::FilePtr file_;
  std::string pending_;  // lines not yet handed over; reused, so a line costs no allocation
  Writes writes_ = Writes::EachLine;
  bool failed_ = false;
};

// "2026-12-09 04:10:00", the local time now.
std::string localTimeText();

}  // namespace cvl
