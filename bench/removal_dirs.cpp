// The sweep of 1000 noted empty directories nested up to 10 deep, against
// removing the same directories deepest first with plain RemoveDirectoryA.
// Usage: removal_dir_bench [ROUNDS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "bench_clock.h"
#include "build_name.h"
#include "uninstaller/removal/noted_paths.h"

namespace {

constexpr int kChains = 100;
constexpr int kDepth = 10;

// Every directory, parents before children.
std::vector<std::string> directoriesBelow(const std::string& root) {
  std::vector<std::string> dirs;
  for (int chain = 0; chain < kChains; ++chain) {
    std::string dir = root + "\\CHAIN" + std::to_string(chain);
    for (int level = 0; level < kDepth; ++level) {
      dirs.push_back(dir);
      dir += "\\LEVEL" + std::to_string(level + 1);
    }
  }
  return dirs;
}

bool create(const std::vector<std::string>& dirs) {
  for (const std::string& dir : dirs) {
    if (!CreateDirectoryA(dir.c_str(), nullptr)) return false;
  }
  return true;
}

int leftOver(const std::vector<std::string>& dirs) {
  int left = 0;
  for (const std::string& dir : dirs) left += GetFileAttributesA(dir.c_str()) != INVALID_FILE_ATTRIBUTES;
  return left;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  cvl::bench::printBuild();
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string root = std::string(temp) + "CVLBENCH" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(root.c_str(), nullptr);
  // Something the sweep must stop at, as any installation's parent holds.
  const std::string keeper = root + "\\KEEP.TXT";
  CloseHandle(CreateFileA(keeper.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));

  const std::vector<std::string> dirs = directoriesBelow(root);
  cvl::platform::Win32Platform platform;
  std::vector<double> baseline, sweep;
  for (int round = 0; round < rounds; ++round) {
    if (!create(dirs)) return std::printf("cannot create the directories\n"), 1;
    baseline.push_back(cvl::bench::timeMs([&] {
      for (auto dir = dirs.rbegin(); dir != dirs.rend(); ++dir) RemoveDirectoryA(dir->c_str());
    }));
    if (leftOver(dirs)) return std::printf("baseline left directories behind\n"), 1;

    if (!create(dirs)) return std::printf("cannot create the directories\n"), 1;
    cvl::NotedPaths noted;
    for (const std::string& dir : dirs) noted.noteDirForRemoval(dir);
    sweep.push_back(cvl::bench::timeMs([&] { noted.removeNotedDirs(platform); }));
    if (int left = leftOver(dirs)) return std::printf("sweep left %d directories behind\n", left), 1;
  }
  DeleteFileA(keeper.c_str());
  RemoveDirectoryA(root.c_str());
  std::printf("%zu directories, %d deep\n", dirs.size(), kDepth);
  cvl::bench::printRatio("directory sweep vs RemoveDirectoryA", baseline, sweep);
  return 0;
}
