#include "uninstaller/engine/record/removal_log_file.h"

#include <ctime>

namespace cvl {

platform::Status RemovalLogFile::open(const std::string& path) {
  return files_.open(path, platform::OpenMode::AppendNoLink, file_);
}

void RemovalLogFile::writeLine(const std::string& line) {
  if (!file_) return;
  line_.assign(line).append("\r\n");
  if (file_->write(line_.data(), static_cast<uint32_t>(line_.size())) != platform::kSuccess) failed_ = true;
}

bool RemovalLogFile::close() {
  file_.reset();
  return !failed_;
}

std::string localTimeText() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  char text[32] = {};
  if (local == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) == 0) return "unknown time";
  return text;
}

}  // namespace cvl
