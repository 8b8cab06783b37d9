#pragma once
// A platform for one test with an empty scratch directory and scratch keys
// below HKCU and HKLM: the in-memory Windows everywhere and, in the Windows
// build, the real one, so one set of expectations runs against each.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"

namespace cvl::test {

struct Scratch {
  virtual ~Scratch() = default;
  virtual platform::Platform& platform() = 0;
  // A symbolic link at link to target; false where none can be made.
  virtual bool makeLink(const std::string& link, const std::string& target) = 0;
  // A registry link at key naming target, a native path such as
  // "\\REGISTRY\\MACHINE\\SOFTWARE\\X", made the way Windows makes one.
  virtual void plantLink(platform::RegRoot root, const std::string& key, const std::string& target) = 0;
  // Sets an environment variable of that Windows; null removes it.
  virtual void setVariable(const std::string& name, const char* value) = 0;
  std::string dir;  // no trailing backslash
  std::string key;
};

// Its scratch places sit beside others (a file, a key) so that sweeps
// climbing up from them stop before the drive or the root.
struct MemoryScratch : Scratch {
  explicit MemoryScratch(const std::string& tag);
  platform::Platform& platform() override { return memory; }
  bool makeLink(const std::string& link, const std::string&) override {
    memory.files().addFile(link, "", platform::attr::kReparsePoint);
    return true;
  }
  void plantLink(platform::RegRoot root, const std::string& key, const std::string& target) override {
    memory.registry().seedLink(root, key, target);
  }
  void setVariable(const std::string& name, const char* value) override {
    value ? memory.system().setEnvironment(name, value) : memory.system().unsetEnvironment(name);
  }
  platform::MemoryPlatform memory;
};

struct ScratchKind {
  std::string name;
  std::function<std::unique_ptr<Scratch>()> make;
};
inline void PrintTo(const ScratchKind& kind, std::ostream* out) { *out << kind.name; }

// Scratch places named after tag: in memory, and on the real Windows in the
// Windows build.
std::vector<ScratchKind> scratchKinds(const std::string& tag);
ScratchKind win32Scratch(const std::string& tag);

inline std::string kindName(const ::testing::TestParamInfo<ScratchKind>& info) { return info.param.name; }
#define CVL_ON_EACH_PLATFORM(Suite, kinds) \
  INSTANTIATE_TEST_SUITE_P(Platforms, Suite, ::testing::ValuesIn(kinds), ::cvl::test::kindName)

// Removes a key with everything below it, leaf first; a link goes itself,
// never what it names. Independent of the code under test.
void eraseKey(platform::Registry& registry, platform::RegRoot root, const std::string& key);
// Removes a directory with everything below it, read-only files included.
void eraseDir(platform::FileSystem& files, const std::string& dir);
// The names of a key's subkeys or values in the order enumeration gives them.
std::vector<std::string> keyNames(const platform::RegKey& key);
std::vector<std::string> valueNames(const platform::RegKey& key);

// Each test starts with the scratch directory and keys empty; they go
// afterwards, as does a changed current directory.
class OnEachPlatform : public ::testing::TestWithParam<ScratchKind> {
 protected:
  void SetUp() override;
  void TearDown() override;

  platform::Platform& platform() { return scratch_->platform(); }
  platform::Registry& reg() { return platform().registry(); }
  platform::FileSystem& files() { return platform().files(); }
  platform::System& sys() { return platform().system(); }

  // Below the scratch directory.
  std::string path(const std::string& relative) const { return scratch_->dir + "\\" + relative; }
  void makeDir(const std::string& relative);  // with its parents
  void writeFile(const std::string& relative, const std::string& content = "x");
  std::string readFile(const std::string& relative);  // "<unopened>" when it cannot be
  bool exists(const std::string& relative);

  // Below the scratch key of a root; keyPath gives the install log's notation.
  std::string subKey(const std::string& relative) const { return scratch_->key + "\\" + relative; }
  std::string keyPath(const std::string& prefix, const std::string& relative) const {
    return prefix + "\\" + subKey(relative);
  }
  platform::RegKeyPtr scratchKey(uint32_t access = platform::access::kAllAccess);
  // Creates the key, each named value holding "data".
  platform::RegKeyPtr makeKey(const std::string& relative, std::initializer_list<const char*> values = {},
                              platform::RegRoot root = platform::RegRoot::CurrentUser);
  bool hasKey(platform::RegRoot root, const std::string& relative);
  bool hasValue(platform::RegRoot root, const std::string& relative, const std::string& name);

  std::unique_ptr<Scratch> scratch_;

 private:
  std::string savedDirectory_;
};

}  // namespace cvl::test
