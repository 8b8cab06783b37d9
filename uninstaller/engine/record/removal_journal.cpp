#include "uninstaller/engine/record/removal_journal.h"

#include "platform/status.h"

namespace cvl {

void RemovalJournal::removed(const char* kind, const std::string& what) {
  ++counts_.removed;
  if (attached()) write(std::string("removed ") + kind + ": " + what);
}

void RemovalJournal::kept(const char* kind, const std::string& what, const std::string& reason) {
  ++counts_.kept;
  if (attached()) write(std::string("kept ") + kind + ": " + what + " (" + reason + ")");
}

void RemovalJournal::scheduledAtRestart(const char* kind, const std::string& what) {
  ++counts_.scheduled;
  if (attached()) write(std::string("kept ") + kind + ": " + what + " (in use, removed at restart)");
}

void RemovalJournal::ran(const std::string& command, const std::string& outcome) {
  ++counts_.ran;
  if (attached()) write("ran: " + command + " (" + outcome + ")");
}

void RemovalJournal::note(const std::string& text) { write(text); }

std::string RemovalJournal::summary() const {
  return "summary: " + std::to_string(counts_.removed) + " removed, " + std::to_string(counts_.kept) + " kept, " +
         std::to_string(counts_.scheduled) + " removed at restart, " + std::to_string(counts_.ran) + " commands run";
}

std::string windowsErrorText(long status) {
  const std::string code = "Windows error " + std::to_string(status);
  switch (status) {
    case platform::kAccessDenied: return "access denied, " + code;
    case platform::kSharingViolation: return "in use, " + code;
    case platform::kFileNotFound:
    case platform::kPathNotFound: return "not found, " + code;
    default: return code;
  }
}

}  // namespace cvl
