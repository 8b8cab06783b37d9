#include "uninstaller/engine/record/removal_log_file.h"

#include <ctime>

namespace cvl {

namespace {

constexpr size_t kGatheredBlock = 64 * 1024;

}  // namespace

platform::Status RemovalLogFile::open(const std::string& path, Writes writes) {
  (void)close();  // a block still gathered belongs to the file before
  writes_ = writes;
  return files_.open(path, platform::OpenMode::AppendNoLink, file_);
}

void RemovalLogFile::writeLine(const std::string& line) {
  if (!file_) return;
  pending_.append(line).append("\r\n");
  if (writes_ == Writes::EachLine || pending_.size() >= kGatheredBlock) writeGathered();
}

void RemovalLogFile::writeGathered() {
  if (!pending_.empty() && file_->write(pending_.data(), static_cast<uint32_t>(pending_.size())) != platform::kSuccess) {
    failed_ = true;
  }
  pending_.clear();
}

bool RemovalLogFile::flush() {
  if (file_) writeGathered();
  return !failed_;
}

bool RemovalLogFile::close() {
  (void)flush();
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
