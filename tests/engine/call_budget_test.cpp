// Every removed file, folder, key and value costs a bounded number of
// platform calls, in a removal and in a plan, and the cost per item does not
// grow with the installation. A change that adds a call per item, or a walk
// over everything per item, fails here long before anyone times it.
#include <gtest/gtest.h>

#include "platform/forwarding.h"
#include "platform/forwarding_key.h"
#include "tests/engine/engine_world.h"
#include "uninstaller/engine/record/run_mode.h"

namespace cvl::test {
namespace {

using namespace platform;

struct Calls {
  uint64_t registry = 0, files = 0;
};

class CountedKey : public ForwardingRegKey {
 public:
  CountedKey(RegKeyPtr inner, Calls& calls) : ForwardingRegKey(std::move(inner)), calls_(calls) {}
  ~CountedKey() override { ++calls_.registry; }  // closing a handle is a call too
  static Status wrap(Status status, RegKeyPtr& out, Calls& calls) {
    if (status == kSuccess) out = std::make_unique<CountedKey>(std::move(out), calls);
    return status;
  }
  Status info(RegKeyInfo& out) const override { return ++calls_.registry, inner_->info(out); }
  Status isLink(bool& out) const override { return ++calls_.registry, inner_->isLink(out); }
  Status enumKey(uint32_t index, std::string& name, uint32_t capacity) const override {
    return ++calls_.registry, inner_->enumKey(index, name, capacity);
  }
  Status enumValue(uint32_t index, std::string& name, RegValue* value, uint32_t nameCapacity,
                   uint32_t dataCapacity) const override {
    return ++calls_.registry, inner_->enumValue(index, name, value, nameCapacity, dataCapacity);
  }
  Status queryValue(const std::string& name, RegValue& value, uint32_t capacity) const override {
    return ++calls_.registry, inner_->queryValue(name, value, capacity);
  }
  Status setValue(const std::string& name, const RegValue& value) override {
    return ++calls_.registry, inner_->setValue(name, value);
  }
  Status deleteValue(const std::string& name) override { return ++calls_.registry, inner_->deleteValue(name); }
  Status openKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) const override {
    return ++calls_.registry, wrap(inner_->openKey(subKey, access, out), out, calls_);
  }
  Status createKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return ++calls_.registry, wrap(inner_->createKey(subKey, access, out), out, calls_);
  }
  Status deleteKey(const std::string& subKey) override { return ++calls_.registry, inner_->deleteKey(subKey); }
  Status deleteSelf() override { return ++calls_.registry, inner_->deleteSelf(); }

 private:
  Calls& calls_;
};

class CountedRegistry : public ForwardingRegistry {
 public:
  CountedRegistry(Registry& inner, Calls& calls) : ForwardingRegistry(inner), calls_(calls) {}
  Status openKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return ++calls_.registry, CountedKey::wrap(inner_.openKey(root, subKey, access, out), out, calls_);
  }
  Status createKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return ++calls_.registry, CountedKey::wrap(inner_.createKey(root, subKey, access, out), out, calls_);
  }
  Status deleteKey(RegRoot root, const std::string& subKey) override {
    return ++calls_.registry, inner_.deleteKey(root, subKey);
  }

 private:
  Calls& calls_;
};

// File contents are not counted: reading the store is start-up's cost.
class CountedFiles : public ForwardingFileSystem {
 public:
  CountedFiles(FileSystem& inner, Calls& calls) : ForwardingFileSystem(inner), calls_(calls) {}
  Status open(const std::string& path, OpenMode mode, FilePtr& out) override {
    return ++calls_.files, inner_.open(path, mode, out);
  }
  Status status(const std::string& path, FileStatus& out) override { return ++calls_.files, inner_.status(path, out); }
  Status setAttributes(const std::string& path, uint32_t attributes) override {
    return ++calls_.files, inner_.setAttributes(path, attributes);
  }
  Status identity(const std::string& path, FileIdentity& out) override {
    return ++calls_.files, inner_.identity(path, out);
  }
  Status fileIndex(const std::string& path, uint64_t& out) override { return ++calls_.files, inner_.fileIndex(path, out); }
  Status deleteFile(const std::string& path) override { return ++calls_.files, inner_.deleteFile(path); }
  Status removeDirectory(const std::string& path) override { return ++calls_.files, inner_.removeDirectory(path); }
  Status find(const std::string& pattern, const std::function<bool(const FoundEntry&)>& visit) override {
    return ++calls_.files, inner_.find(pattern, visit);
  }

 private:
  Calls& calls_;
};

class CountedPlatform : public Platform {
 public:
  explicit CountedPlatform(Platform& inner) : registry_(inner.registry(), calls), files_(inner.files(), calls),
                                              system_(inner.system()) {}
  Registry& registry() override { return registry_; }
  FileSystem& files() override { return files_; }
  System& system() override { return system_; }
  Calls calls;

 private:
  CountedRegistry registry_;
  CountedFiles files_;
  System& system_;
};

struct Cost {
  double registryPerItem, filesPerItem;  // per key and value; per file and folder
};

// components × (4 folders of 8 files, 6 keys of 3 values), removed whole or planned.
Cost costOf(int components, bool plan) {
  EngineWorld w;
  for (int c = 0; c < components; ++c) {
    const std::string name = "Part" + std::to_string(c);
    w.addTop({.name = name, .fileGroups = {name + "_FILES"}, .target = "<TARGETDIR>\\" + name});
    fixture::FileGroup group{.name = name + "_FILES"};
    for (int d = 0; d < 4; ++d) {
      group.directories.push_back({"D" + std::to_string(d), {"f0.dat", "f1.dat", "f2.dat", "f3.dat", "f4.dat",
                                                              "f5.dat", "f6.dat", "f7.dat"}});
    }
    for (int k = 0; k < 6; ++k) {
      group.registry.push_back({"HKLM\\SOFTWARE\\Corvel\\" + name + "\\K" + std::to_string(k), {"V0=x", "V1=x", "V2=x"}});
    }
    w.suite.groups.push_back(group);
  }
  w.install();
  // Only the components' own items are counted, not the keys start-up read their folders from.
  for (int c = 0; c < components; ++c) {
    EXPECT_EQ(w.registry.deleteKey(RegRoot::LocalMachine, kComponentsKey + ("Part" + std::to_string(c))), kSuccess);
  }
  CountedPlatform counted(w.platform);
  RemovalJournal journal;
  RunMachine machine(counted, journal, runModeFor(plan, false));
  RemovalContext context = w.installation.removalContext(machine.platform());
  context.silent = true;
  for (int c = 0; c < components; ++c) w.check("Part" + std::to_string(c));
  EXPECT_TRUE(runUninstall(context, w.tree, w.progress));
  EXPECT_EQ(w.exists("Part0\\D0\\f0.dat"), plan);
  return {counted.calls.registry / (components * (6.0 + 18)),  // keys, values
          counted.calls.files / (components * (32.0 + 5))};    // files, folders
}

TEST(CallBudget, EachItemCostsAFewCallsWhateverTheSizeOfTheInstallation) {
  for (const bool plan : {false, true}) {
    SCOPED_TRACE(plan ? "plan" : "removal");
    const Cost small = costOf(4, plan);
    const Cost large = costOf(32, plan);
    // Budgets a little above today's cost; see the removal's loops before raising one.
    // Keys are opened a level at a time, as themselves, so no link is followed.
    // Handles closed count as calls.
    EXPECT_LE(large.registryPerItem, plan ? 1.35 : 1.7);
    EXPECT_LE(large.filesPerItem, plan ? 1.3 : 2.0);
    EXPECT_LE(large.registryPerItem, small.registryPerItem * 1.1 + 0.2);
    EXPECT_LE(large.filesPerItem, small.filesPerItem * 1.1 + 0.2);
    std::printf("%s: registry %.2f -> %.2f, files %.2f -> %.2f calls per item\n", plan ? "plan" : "removal",
                small.registryPerItem, large.registryPerItem, small.filesPerItem, large.filesPerItem);
  }
}

}  // namespace
}  // namespace cvl::test
