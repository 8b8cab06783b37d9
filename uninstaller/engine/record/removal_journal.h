#pragma once
// What a removal run did and decided, one line per action in the order
// done: what went, what stayed and why, which commands ran. Administrators
// read it as the run's record (/LOG=); without a sink nothing is written
// and only the counts are kept.
#include <functional>
#include <string>

#include "uninstaller/engine/record/printable_line.h"

namespace cvl {

class RemovalJournal {
 public:
  using Sink = std::function<void(const std::string& line)>;

  struct Counts {
    int removed = 0;
    int kept = 0;
    int scheduled = 0;  // in use, removed at restart
    int ran = 0;        // commands and library calls
  };

  void attach(Sink sink) { sink_ = std::move(sink); }
  bool attached() const { return static_cast<bool>(sink_); }

  // kind: "file", "folder", "shortcut", "key", "value", "component".
  void removed(const char* kind, const std::string& what);
  void kept(const char* kind, const std::string& what, const std::string& reason);
  void scheduledAtRestart(const char* kind, const std::string& what);
  void ran(const std::string& command, const std::string& outcome);
  void note(const std::string& text);

  const Counts& counts() const { return counts_; }
  std::string summary() const;

 private:
  void write(const std::string& line) const {
    if (sink_) sink_(printableLine(line));
  }

  Sink sink_;
  Counts counts_;
};

// "Windows error 5 (access denied)" and the like, for kept reasons.
std::string windowsErrorText(long status);

}  // namespace cvl
