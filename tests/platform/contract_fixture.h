#pragma once
// One set of expectations that every Platform must meet, run against each
// implementation. Each run gets an empty scratch key and directory.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace cvl::platform::contract {

struct Scratch {
  virtual ~Scratch() = default;
  virtual Platform& platform() = 0;
  // A symbolic link at link to target; false where none can be made.
  virtual bool makeLink(const std::string& link, const std::string& target) = 0;
  // A registry link at key naming target, a native path such as
  // "\\REGISTRY\\MACHINE\\SOFTWARE\\X", made the way Windows makes one.
  virtual void plantLink(RegRoot root, const std::string& key, const std::string& target) = 0;
  std::string directory;  // no trailing backslash
  RegRoot root = RegRoot::CurrentUser;
  std::string key = "Software\\CvlContractTest";
};

struct Implementation {
  std::string name;
  std::function<std::unique_ptr<Scratch>()> make;
};
inline void PrintTo(const Implementation& implementation, std::ostream* out) { *out << implementation.name; }

class Contract : public ::testing::TestWithParam<Implementation> {
 protected:
  void SetUp() override;
  void TearDown() override;

  Registry& reg() { return scratch_->platform().registry(); }
  FileSystem& files() { return scratch_->platform().files(); }
  System& sys() { return scratch_->platform().system(); }
  bool onMemory() const { return GetParam().name == "Memory"; }

  // Paths and keys below the scratch directory and key.
  std::string path(const std::string& name) const { return scratch_->directory + "\\" + name; }
  std::string keyPath(const std::string& name) const { return scratch_->key + "\\" + name; }
  RegKeyPtr scratchKey(uint32_t access = access::kAllAccess);
  RegKeyPtr createKey(const std::string& name);
  void writeFile(const std::string& name, const std::string& content);
  std::string readFile(const std::string& name);

  std::unique_ptr<Scratch> scratch_;

 private:
  std::string savedDirectory_;
};

// Removes a key with everything below it, leaf first; a link goes itself,
// never what it names.
void deleteKeyTree(Registry& registry, RegRoot root, const std::string& key);
// Removes a directory with everything below it, read-only files included.
void deleteDirectoryTree(FileSystem& files, const std::string& directory);

std::string implementationName(const ::testing::TestParamInfo<Implementation>& info);

}  // namespace cvl::platform::contract
