// Names as both platforms must read them. A name holding a zero byte
// would reach, through the real calls, whatever its text before the zero
// names: every call refuses it before touching anything.
#include "contract_fixture.h"

namespace cvl::platform::contract {
namespace {

using namespace std::string_literals;

TEST_P(Contract, NamesHoldingAZeroByteAreRefused) {
  writeFile("victim.txt", "kept");
  ASSERT_EQ(files().createDirectory(path("Folder")), kSuccess);
  writeFile("Folder\\inside.txt", "kept");
  RegKeyPtr key = makeKey("Victim");
  ASSERT_EQ(key->setValue("Setting", RegValue::string("kept")), kSuccess);
  RegKeyPtr child = makeKey("Victim\\Child");
  const std::string file = path("victim.txt") + "\0.tmp"s;
  const std::string folder = path("Folder") + "\0x"s;
  const std::string key0 = subKey("Victim") + "\0\\x"s;

  FileStatus status;
  FilePtr opened;
  EXPECT_EQ(files().status(file, status), kInvalidName);
  EXPECT_EQ(files().open(file, OpenMode::Read, opened), kInvalidName);
  EXPECT_EQ(files().open(file, OpenMode::CreateAlways, opened), kInvalidName);
  EXPECT_EQ(files().setAttributes(file, attr::kHidden), kInvalidName);
  EXPECT_EQ(files().deleteFile(file), kInvalidName);
  EXPECT_EQ(files().deleteAtRestart(file), kInvalidName);
  EXPECT_EQ(files().replaceFile(path("Folder\\inside.txt"), file), kInvalidName);
  EXPECT_EQ(files().removeDirectory(folder), kInvalidName);
  EXPECT_EQ(files().find(path("victim.txt\0*"s), [](const FoundEntry&) { return true; }), kInvalidName);
  EXPECT_FALSE(sys().shellDelete(folder, 0));
  EXPECT_EQ(readFile("victim.txt"), "kept");
  EXPECT_EQ(readFile("Folder\\inside.txt"), "kept");

  RegKeyPtr reached;
  RegValue value;
  EXPECT_EQ(reg().openKey(kUser, key0, access::kRead, reached), kInvalidName);
  EXPECT_EQ(reg().createKey(kUser, key0, access::kAllAccess, reached), kInvalidName);
  EXPECT_EQ(reg().deleteKey(kUser, subKey("Victim\\Child") + "\0x"s), kInvalidName);
  EXPECT_EQ(key->openKey("Child\0x"s, access::kRead, reached), kInvalidName);
  EXPECT_EQ(key->deleteKey("Child\0x"s), kInvalidName);
  EXPECT_EQ(key->queryValue("Setting\0x"s, value), kInvalidName);
  EXPECT_EQ(key->setValue("Setting\0x"s, RegValue::string("forged")), kInvalidName);
  EXPECT_EQ(key->deleteValue("Setting\0x"s), kInvalidName);
  ASSERT_EQ(key->queryValue("Setting", value), kSuccess);
  EXPECT_EQ(value.asString(), "kept");
  EXPECT_EQ(key->openKey("Child", access::kRead, reached), kSuccess);
}

// The core compares names as Windows reads them; both platforms read them so.
TEST_P(Contract, TrailingDotsAndBlanksAreDroppedAndEitherSlashSeparates) {
  ASSERT_EQ(files().createDirectory(path("Sub")), kSuccess);
  writeFile("Sub\\plain.txt", "x");
  FileStatus status;
  for (const char* spelling : {"Sub\\plain.txt.", "Sub\\plain.txt ", "Sub\\plain.txt. .", "Sub/plain.txt",
                               "Sub/./plain.txt", "Sub\\..\\Sub\\plain.txt"}) {
    EXPECT_EQ(files().status(path(spelling), status), kSuccess) << spelling;
  }
  EXPECT_EQ(files().deleteFile(path("Sub/plain.txt. ")), kSuccess);
  EXPECT_EQ(files().status(path("Sub\\plain.txt"), status), kFileNotFound);
}

}  // namespace
}  // namespace cvl::platform::contract
