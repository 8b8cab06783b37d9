#include "uninstaller/engine/record/removal_log_file.h"

#include <ctime>

namespace cvl {
namespace {

constexpr size_t kWriteSize = 64 * 1024;

}  // namespace

platform::Status RemovalLogFile::open(const std::string& path) {
  return files_.open(path, platform::OpenMode::Append, file_);
}

void RemovalLogFile::writeLine(const std::string& line) {
  if (!file_) return;
  pending_ += line;
  pending_ += "\r\n";
  if (pending_.size() >= kWriteSize) writeOut();
}

void RemovalLogFile::writeOut() {
  if (!pending_.empty() && file_->write(pending_.data(), static_cast<uint32_t>(pending_.size())) != platform::kSuccess) {
    failed_ = true;
  }
  pending_.clear();
}

bool RemovalLogFile::close() {
  if (!file_) return !failed_;
  writeOut();
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
