#include "uninstaller/removal/command_program.h"

#include "uninstaller/removal/safe_paths.h"

namespace cvl {
namespace {

using namespace platform;

bool isFile(FileSystem& files, const std::string& path) {
  FileStatus status;
  return files.status(path, status) == kSuccess && !(status.attributes & attr::kDirectory);
}

bool isBareName(const std::string& name) {
  return !name.empty() && name.find_first_of("\\/:") == std::string::npos && name.find("..") == std::string::npos;
}

std::optional<std::string> inSystemFolder(Platform& platform, const std::string& name) {
  // Windows adds ".exe" to a name without an extension.
  const std::string file = name.find('.') == std::string::npos ? name + ".exe" : name;
  const std::string path = platform.system().systemDirectory() + "\\" + file;
  if (!isFile(platform.files(), path)) return std::nullopt;
  return path;
}

std::optional<ProgramStart> quotedProgram(Platform& platform, const std::string& line) {
  const auto close = line.find('"', 1);
  if (close == std::string::npos) return std::nullopt;
  const std::string program = line.substr(1, close - 1);
  if (isAbsolutePath(program)) return ProgramStart{program, line};
  if (const auto found = isBareName(program) ? inSystemFolder(platform, program) : std::nullopt) {
    return ProgramStart{*found, line};
  }
  return std::nullopt;
}

// Longest first, down to the first token. When no prefix names a file,
// Windows would try each of them with ".exe" added, and start whichever
// another program left there: nothing is started.
std::optional<ProgramStart> unquotedAbsoluteProgram(FileSystem& files, const std::string& line) {
  for (auto end = line.size(); end != std::string::npos && end > 0; end = line.rfind(' ', end - 1)) {
    const std::string candidate = line.substr(0, end);
    if (!isFile(files, candidate)) continue;
    if (candidate.find(' ') == std::string::npos) return ProgramStart{candidate, line};
    return ProgramStart{candidate, "\"" + candidate + "\"" + line.substr(end)};
  }
  return std::nullopt;
}

}  // namespace

std::optional<ProgramStart> programOfCommand(Platform& platform, const std::string& commandLine) {
  const auto start = commandLine.find_first_not_of(' ');
  if (start == std::string::npos) return std::nullopt;
  const std::string line = commandLine.substr(start);
  if (line.front() == '"') return quotedProgram(platform, line);
  if (isAbsolutePath(line)) return unquotedAbsoluteProgram(platform.files(), line);
  const std::string first = line.substr(0, line.find(' '));
  if (const auto found = isBareName(first) ? inSystemFolder(platform, first) : std::nullopt) {
    return ProgramStart{*found, line};
  }
  return std::nullopt;
}

}  // namespace cvl
