// deleteKeyTree on a key with about 10 000 subkeys and values over 4
// levels, against the system's own RegDeleteTreeA on an identical key.
// Usage: removal_key_bench [ROUNDS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/win32_platform.h"
#include "bench_clock.h"
#include "build_name.h"
#include "uninstaller/removal/delete_key_tree.h"

namespace {

constexpr int kFanOut[] = {10, 10, 10, 9};  // 10 110 subkeys in all
constexpr int kLevels = 4;

using RegDeleteTreeFn = LONG(WINAPI*)(HKEY, LPCSTR);

// Creates the subkeys of one level below key, each with two values.
int fill(HKEY key, int level) {
  if (level == kLevels) return 0;
  int made = 0;
  for (int i = 0; i < kFanOut[level]; ++i) {
    HKEY child;
    const std::string name = "Key" + std::to_string(i);
    if (RegCreateKeyExA(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr) != ERROR_SUCCESS) {
      return -1;
    }
    const DWORD number = static_cast<DWORD>(i);
    RegSetValueExA(child, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\Corvel"), 10);
    RegSetValueExA(child, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    const int below = fill(child, level + 1);
    RegCloseKey(child);
    if (below < 0) return -1;
    made += 1 + below;
  }
  return made;
}

int build(const std::string& subKey) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return -1;
  }
  const int made = fill(key, 0);
  RegCloseKey(key);
  return made;
}

bool exists(const std::string& subKey) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  cvl::bench::printBuild();
  // RegDeleteTreeA is newer than the Windows version the build targets.
  const auto regDeleteTree = reinterpret_cast<RegDeleteTreeFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteTreeA")));
  if (!regDeleteTree) return std::printf("RegDeleteTreeA is missing\n"), 1;

  const std::string base = "Software\\CvlBench" + std::to_string(GetCurrentProcessId());
  const std::string tree = base + "\\Tree";
  cvl::platform::Win32Platform platform;
  std::vector<double> baseline, ours;
  int keys = 0;
  for (int round = 0; round < rounds; ++round) {
    keys = build(tree);
    if (keys < 0) return std::printf("cannot build the key\n"), 1;
    baseline.push_back(cvl::bench::timeMs([&] { regDeleteTree(HKEY_CURRENT_USER, tree.c_str()); }));
    if (exists(tree)) return std::printf("RegDeleteTreeA left the key\n"), 1;

    if (build(tree) < 0) return std::printf("cannot build the key\n"), 1;
    cvl::NotedPaths noted;
    ours.push_back(cvl::bench::timeMs([&] { cvl::deleteKeyTree(platform, noted, "HKCU\\" + tree); }));
    if (exists(tree)) return std::printf("deleteKeyTree left the key\n"), 1;
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, base.c_str());
  std::printf("%d subkeys with 2 values each, %d levels\n", keys, kLevels);
  cvl::bench::printRatio("deleteKeyTree vs RegDeleteTreeA", baseline, ours);
  return 0;
}
