#pragma once
// A platform for one test, with a scratch directory and a scratch key below
// HKCU and HKLM that the test may fill; both are removed afterwards. Each
// scratch place holds a keeper (a file, a value), so sweeps that climb up
// from what a test noted stop there.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "uninstaller/removal/noted_paths.h"

namespace cvl::test {

struct World {
  virtual ~World() = default;
  virtual platform::Platform& platform() = 0;
  std::string dir;  // no trailing backslash
  std::string key = "Software\\CvlRemovalTest";
};

struct WorldKind {
  std::string name;
  std::function<std::unique_ptr<World>()> make;
};
inline void PrintTo(const WorldKind& kind, std::ostream* out) { *out << kind.name; }
std::string worldName(const ::testing::TestParamInfo<WorldKind>& info);

// The in-memory platform everywhere, and the real one in the Windows build.
std::vector<WorldKind> worldKinds();
WorldKind memoryWorld();
WorldKind win32World();

#define CVL_ON_EACH_PLATFORM(Suite) \
  INSTANTIATE_TEST_SUITE_P(Platforms, Suite, ::testing::ValuesIn(::cvl::test::worldKinds()), ::cvl::test::worldName)

class OnEachPlatform : public ::testing::TestWithParam<WorldKind> {
 protected:
  void SetUp() override;
  void TearDown() override;

  platform::Platform& platform() { return world_->platform(); }

  // Directories and files below the scratch directory.
  std::string path(const std::string& relative) const { return world_->dir + "\\" + relative; }
  void makeDir(const std::string& relative);
  void makeFile(const std::string& relative);
  bool exists(const std::string& relative);

  // Keys below the scratch key of a root; keyPath gives the log's notation.
  std::string subKey(const std::string& relative) const { return world_->key + "\\" + relative; }
  std::string keyPath(const std::string& prefix, const std::string& relative) const {
    return prefix + "\\" + subKey(relative);
  }
  void makeKey(platform::RegRoot root, const std::string& relative, std::initializer_list<const char*> values = {});
  bool hasKey(platform::RegRoot root, const std::string& relative);
  bool hasValue(platform::RegRoot root, const std::string& relative, const std::string& name);

  NotedPaths noted;

 private:
  std::unique_ptr<World> world_;
};

// Removes a key with everything below it; independent of the code under test.
void eraseKey(platform::Registry& registry, platform::RegRoot root, const std::string& subKey);
void eraseDir(platform::FileSystem& files, const std::string& dir);

}  // namespace cvl::test
