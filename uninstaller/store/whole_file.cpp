#include "uninstaller/store/whole_file.h"

#include <algorithm>

namespace cvl {

bool readWholeFile(platform::FileSystem& files, const std::string& path, std::vector<uint8_t>& out) {
  platform::FilePtr file;
  if (files.open(path, platform::OpenMode::Read, file) != platform::kSuccess) return false;
  out.assign(static_cast<size_t>(file->size()), 0);
  size_t filled = 0;
  while (filled < out.size()) {
    uint32_t done = 0;
    const uint32_t chunk = static_cast<uint32_t>(std::min<size_t>(out.size() - filled, 1u << 20));
    if (file->read(out.data() + filled, chunk, done) != platform::kSuccess || done == 0) return false;
    filled += done;
  }
  return true;
}

bool writeWholeFileFlushed(platform::FileSystem& files, const std::string& path, const std::vector<uint8_t>& bytes) {
  platform::FilePtr file;
  if (files.open(path, platform::OpenMode::CreateAlways, file) != platform::kSuccess) return false;
  for (size_t written = 0; written < bytes.size();) {
    const uint32_t chunk = static_cast<uint32_t>(std::min<size_t>(bytes.size() - written, 1u << 20));
    if (file->write(bytes.data() + written, chunk) != platform::kSuccess) return false;
    written += chunk;
  }
  return file->flush() == platform::kSuccess;
}

}  // namespace cvl
