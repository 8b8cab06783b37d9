// The removal record as a second run reads it: notes come back whatever
// they hold, only a torn last line is dropped, and a record that cannot be
// understood, or that was written for another store, is not trusted.
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "uninstaller/engine/record/removal_record.h"

namespace cvl {
namespace {

constexpr const char* kPath = "C:\\UNINSTALL\\cvlinst.rec";
const StoreBinding kStore{1234, 5678};

RemovalRecord::State reopen(platform::MemoryPlatform& machine, RemovalRecord& record, StoreBinding store = kStore) {
  return record.open(machine.files(), kPath, store, false);
}

TEST(RemovalRecord, NotesComeBackOnlyFromAWholeRecordOfThisStore) {
  platform::MemoryPlatform machine;
  machine.files().addFile("C:\\UNINSTALL\\placeholder");
  RemovalRecord written;
  ASSERT_EQ(reopen(machine, written), RemovalRecord::State::Absent);
  ASSERT_TRUE(written.begin());
  const ReleaseNote hostile{"ODD\tNAME%", "GROUP\r\nTWO", "C:\\PROGRAM FILES\\SHARED.DLL", 2, 1};
  ASSERT_TRUE(written.noteRelease(hostile));
  ASSERT_TRUE(written.noteRunOnce({"APP", "cleanup", "\"C:\\TOOLS\\CLEAN.EXE\" /quiet"}));

  RemovalRecord again;
  ASSERT_EQ(reopen(machine, again), RemovalRecord::State::Bound);
  ASSERT_EQ(again.releases().size(), 1u);
  EXPECT_EQ(again.releases()[0].component, hostile.component);
  EXPECT_EQ(again.releases()[0].group, hostile.group);
  EXPECT_EQ(again.releases()[0].after, 1);
  EXPECT_TRUE(again.ranRunOnce({"APP", "cleanup", "\"C:\\TOOLS\\CLEAN.EXE\" /quiet"}));
  EXPECT_TRUE(again.runWasCut()) << "no end noted";

  // A note cut short in its write was never acted on.
  platform::FilePtr file;
  ASSERT_EQ(machine.files().open(kPath, platform::OpenMode::Append, file), platform::kSuccess);
  ASSERT_EQ(file->write("release\tAPP\tGR", 14), platform::kSuccess);
  file.reset();
  RemovalRecord torn;
  EXPECT_EQ(reopen(machine, torn), RemovalRecord::State::Bound);
  EXPECT_EQ(torn.releases().size(), 1u);

  RemovalRecord foreign;
  EXPECT_EQ(reopen(machine, foreign, {1234, 9999}), RemovalRecord::State::Foreign);
  EXPECT_TRUE(foreign.begin());
  EXPECT_TRUE(foreign.releases().empty()) << "replaced, not used";

  // Anything but a torn last line makes the record untrustworthy.
  machine.files().addFile(kPath, "Corvel removal record\t1\t1234\t5678\r\nrelease\tAPP\r\nremoval ended\r\n");
  RemovalRecord damaged;
  EXPECT_EQ(reopen(machine, damaged), RemovalRecord::State::Unreadable);
  EXPECT_FALSE(damaged.begin()) << "never overwritten";
}

}  // namespace
}  // namespace cvl
