// The write-back's file mechanics on the real file system: replacing a
// hidden store, setting its times back, refusing a read-only one.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/win32/win32_platform.h"
#include "tests/archive/bytes.h"
#include "uninstaller/store/config_store.h"
#include "uninstaller/store/whole_file.h"

namespace cvl {
namespace {

using platform::FileStatus;
using test::Bytes;

class RealWriteBackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = (std::filesystem::temp_directory_path() / "cvl-write-back-test").string();
    std::filesystem::create_directories(dir_);
    path_ = dir_ + "\\cvlinst.dat";
    CConfigStore seed;
    seed.enterSet("default.cdf").setValue("Word", "SELECTED", "YES");
    original_ = test::store([&](Archive& a) { seed.serialize(a); });
    ASSERT_TRUE(writeWholeFileFlushed(files(), path_, original_));
    ASSERT_TRUE(store_.load(files(), path_));
  }
  void TearDown() override {
    files().setAttributes(path_, platform::attr::kNormal);
    std::filesystem::remove_all(dir_);
  }
  platform::FileSystem& files() { return platform_.files(); }
  Bytes content() {
    Bytes bytes;
    EXPECT_TRUE(readWholeFile(files(), path_, bytes));
    return bytes;
  }

  platform::Win32Platform platform_;
  std::string dir_;
  std::string path_;
  Bytes original_;
  CConfigStore store_;
};

TEST_F(RealWriteBackTest, ReplacesAHiddenStoreAndKeepsItsTimes) {
  FileStatus old;
  ASSERT_EQ(files().status(path_, old), platform::kSuccess);
  old.attributes = platform::attr::kHidden | platform::attr::kArchive;
  old.written -= 10'000'000ull * 3600 * 24 * 365;  // a year earlier
  old.accessed = old.written;
  ASSERT_EQ(files().setStatus(path_, old), platform::kSuccess);
  ASSERT_EQ(files().status(path_, old), platform::kSuccess);

  store_.markRemoved("WORD");
  ASSERT_TRUE(writeBackStore(files(), store_));

  Bytes expected = test::store([&](Archive& a) { store_.serialize(a); });
  expected.push_back('S');
  EXPECT_EQ(content(), expected);
  FileStatus now;
  ASSERT_EQ(files().status(path_, now), platform::kSuccess);
  EXPECT_EQ(now.written, old.written);
  EXPECT_EQ(now.attributes, old.attributes);
  EXPECT_FALSE(std::filesystem::exists(path_ + ".new"));
}

TEST_F(RealWriteBackTest, LeavesAReadOnlyStoreAlone) {
  ASSERT_EQ(files().setAttributes(path_, platform::attr::kReadOnly), platform::kSuccess);
  store_.markRemoved("WORD");
  EXPECT_FALSE(writeBackStore(files(), store_));
  EXPECT_EQ(content(), original_);
  EXPECT_FALSE(std::filesystem::exists(path_ + ".new"));
}

}  // namespace
}  // namespace cvl
