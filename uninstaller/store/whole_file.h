#pragma once
// Whole-file reads and durable whole-file writes through the platform.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace cvl {

// False when the file cannot be opened or read to its end.
bool readWholeFile(platform::FileSystem& files, const std::string& path, std::vector<uint8_t>& out);

// Creates or truncates the file, writes the bytes and flushes them to the
// disk before closing. False at the first step that fails.
bool writeWholeFileFlushed(platform::FileSystem& files, const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace cvl
