#pragma once
// The plain-text file a logged run (/LOG=) appends its journal to. It is
// opened before anything is removed and never truncated, so the runs on a
// machine follow one another in one file. Lines are gathered and written in
// large pieces: one write per line would cost more than the removal itself.
#include <string>

#include "platform/file_system.h"

namespace cvl {

class RemovalLogFile {
 public:
  explicit RemovalLogFile(platform::FileSystem& files) : files_(files) {}
  RemovalLogFile(const RemovalLogFile&) = delete;
  RemovalLogFile& operator=(const RemovalLogFile&) = delete;
  ~RemovalLogFile() { close(); }

  // Opens (or creates) the file for appending. The status of the open.
  platform::Status open(const std::string& path);
  bool isOpen() const { return static_cast<bool>(file_); }

  // Adds one line; "\r\n" is appended.
  void writeLine(const std::string& line);
  // Writes what is gathered and closes; true when every write succeeded.
  bool close();

 private:
  void writeOut();

  platform::FileSystem& files_;
  platform::FilePtr file_;
  std::string pending_;
  bool failed_ = false;
};

// "2026-12-09 04:10:00", the local time now.
std::string localTimeText();

}  // namespace cvl
