// Process services whose outcome is the same on every platform.
#include "contract_fixture.h"

namespace cvl::platform::contract {
namespace {

TEST_P(Contract, SystemShellDeleteRemovesFilesAndTreesAndFailsOnWhatIsMissing) {
  writeFile("Shortcut.lnk", "link");
  ASSERT_EQ(files().createDirectory(path("Folder")), kSuccess);
  ASSERT_EQ(files().createDirectory(path("Folder\\Inner")), kSuccess);
  writeFile("Folder\\Inner\\deep.lnk", "link");
  EXPECT_TRUE(sys().shellDelete(path("Shortcut.lnk"), 0));
  EXPECT_FALSE(sys().shellDelete(path("Shortcut.lnk"), 0));
  EXPECT_TRUE(sys().shellDelete(path("Folder"), 0));
  FileStatus status;
  EXPECT_EQ(files().status(path("Folder"), status), kFileNotFound);
  EXPECT_EQ(files().status(scratch_->directory, status), kSuccess);
}

TEST_P(Contract, SystemUnsetEnvironmentVariableIsAbsent) {
  EXPECT_FALSE(sys().environment("CVL_CONTRACT_SURELY_UNSET"));
}

}  // namespace
}  // namespace cvl::platform::contract
