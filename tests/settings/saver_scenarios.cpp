// Backup and restore of the user's settings, on each platform.
#include <cctype>

#include "settings/command_arguments.h"
#include "settings/settings_saver.h"
#include "settings_fixture.h"

using namespace settings_test;
using cvl::settings::runBackup;
using cvl::settings::runRestore;
using cvl::settings::runStowset;

namespace {

class Backup : public SettingsFixture {};

TEST_P(Backup, CopiesThreeLevelsOfValuesOfEveryTypeExactly) {
  const std::pair<std::string, const char*> levels[] = {
      {"", "top"}, {"\\General", "one"}, {"\\General\\Paths", "two"}, {"\\General\\Paths\\Recent", "three"}};
  for (const auto& [below, tag] : levels) putEveryType(kCur + below, tag);
  makeKey(kCur + "\\Empty");
  runBackup(platform());
  for (const auto& [below, tag] : levels) expectEveryTypeCopied(kTemp + below, tag);
  EXPECT_EQ(subkeys(kTemp), (std::vector<std::string>{"Empty", "General"}));
  EXPECT_TRUE(subkeys(kTemp + "\\General\\Paths\\Recent").empty());
  // The settings themselves are only read.
  EXPECT_TRUE(read(kCur + "\\General\\Paths\\Recent", "Multi").has_value());
}

TEST_P(Backup, PrefersTheCurrentVersionOverTheOlderOneAndWritesNothingWithoutEither) {
  makeKey("Software\\Corvel\\PathCrafter");
  runBackup(platform());
  EXPECT_FALSE(exists(kTemp));
  put(kCur, "From", RegValue::string("8.2"));
  put(kOld, "From", RegValue::string("8.0"));
  put(kOld, "OnlyOld", RegValue::dword(1));
  runBackup(platform());
  EXPECT_EQ(text(kTemp, "From"), "8.2");
  EXPECT_FALSE(read(kTemp, "OnlyOld").has_value());
}

// Single entries arrive as they were, but text with its placeholders expanded
// (the home folder override stands for the folder placeholders only) and
// entries named deleted in exactly that case left behind. Names are
// case-blind within a key, so each spelling lives in its own key. Long names
// hide nothing that sorts after them. A temporary key left from before takes
// the copy in.
TEST_P(Backup, CopiesEachEntryByItsNameAndText) {
  const std::string user = platform().system().userName();
  ASSERT_FALSE(user.empty());
  const std::string longValue(300, 'a'), longKey(255, 'a'), kLeftBehind = "<missing>";
  const struct {
    std::string below, name, stored, copied;
  } entries[] = {
      {"\\Paths", "Mine", "%USERNAME%\\Files", user + "\\Files"},
      {"\\Paths", "Share", "50% of %TEMP%", "50% of %TEMP%"},
      {"", "Address", "http://host/a%20b%20c", "http://host/a%20b%20c"},
      {"", "Pair", "a%%b", "a%%b"},
      {"", "Folder", "%personal%\\x", "H:\\x"},
      {"", longValue, "300", "300"},
      {"", "Later", "1", "1"},
      {"\\" + longKey, longValue, "deep", "deep"},
      {"\\Later", "V", "2", "2"},
      {"", "~Deleted", "gone", kLeftBehind},
      {"\\~deleted", "Kept", "1", "1"},
      {"\\Other", "~DELETED", "kept", "kept"},
      {"\\Other\\~Deleted", "Gone", "2", kLeftBehind},
      {"\\__TEMP__", "A", "1", "1"},
      {"\\SUBVERSION", "B", "2", "2"},
      {"", "Text", "now", "now"},
  };
  for (const auto& entry : entries) put(kCur + entry.below, entry.name, RegValue::string(entry.stored));
  put(kTemp, "Text", RegValue::string("earlier"));
  put(kTemp + "\\Old", "Stale", RegValue::dword(7));
  scratch_->setVariable("CvlHomeDir", "H:\\");
  runBackup(platform());
  scratch_->setVariable("CvlHomeDir", nullptr);
  for (const auto& entry : entries) EXPECT_EQ(text(kTemp + entry.below, entry.name), entry.copied) << entry.stored;
  EXPECT_FALSE(exists(kTemp + "\\Other\\~Deleted"));
  EXPECT_EQ(number(kTemp + "\\Old", "Stale"), 7u);
}

class Restore : public SettingsFixture {};

TEST_P(Restore, MergesIntoExistingSettingsAndRemovesTheTemporaryKeyCompletely) {
  put(kCur, "Keep", RegValue::string("mine"));
  put(kCur, "Shared", RegValue::dword(1));
  put(kCur + "\\Own", "Local", RegValue::binary({9}));
  put(kCur + "\\Both", "Old", RegValue::string("old"));
  put(kTemp, "Shared", RegValue::dword(2));
  put(kTemp, "New", RegValue::string("new"));
  put(kTemp + "\\Both", "Added", RegValue::dword(3));
  put(kTemp + "\\Both\\Deeper", "", RegValue::string("default"));
  std::string deep = kTemp;
  for (const char* level : {"A", "B", "C", "D", "E"}) {
    deep += std::string("\\") + level;
    put(deep, "Level", RegValue::string(level));
    put(deep + "Sibling\\Below", "", RegValue::dword(1));
  }
  runRestore(platform());
  EXPECT_EQ(text(kCur, "Keep"), "mine");
  EXPECT_EQ(number(kCur, "Shared"), 2u);
  EXPECT_EQ(text(kCur, "New"), "new");
  EXPECT_EQ(read(kCur + "\\Own", "Local").value_or(RegValue{}).data, std::vector<uint8_t>{9});
  EXPECT_EQ(text(kCur + "\\Both", "Old"), "old");
  EXPECT_EQ(number(kCur + "\\Both", "Added"), 3u);
  EXPECT_EQ(text(kCur + "\\Both\\Deeper", ""), "default");
  EXPECT_EQ(text(kCur + "\\A\\B\\C\\D\\E", "Level"), "E");
  EXPECT_EQ(number(kCur + "\\A\\B\\CSibling\\Below", ""), 1u);
  EXPECT_FALSE(exists(kTemp));
  EXPECT_TRUE(exists("Software"));
}

TEST_P(Restore, BackupOfTheOlderVersionLandsInTheCurrentOne) {
  putEveryType(kOld, "old");
  putEveryType(kOld + "\\View\\Toolbars", "bars");
  runBackup(platform());
  runRestore(platform());
  expectEveryTypeCopied(kCur, "old");
  expectEveryTypeCopied(kCur + "\\View\\Toolbars", "bars");
  EXPECT_TRUE(read(kOld, "Multi").has_value());
  EXPECT_FALSE(exists(kTemp));
}

TEST_P(Restore, ValueThatCannotBeWrittenKeepsTheTemporaryKeyForALaterRun) {
  put(kTemp + "\\A", "Refused", RegValue::dword(1));
  put(kTemp + "\\A", "Zed", RegValue::dword(2));
  put(kTemp + "\\B", "V", RegValue::dword(3));
  runRestore(*refusingWritesOf(platform(), "Refused"));
  // Everything else is carried over all the same.
  EXPECT_EQ(number(kCur + "\\A", "Zed"), 2u);
  EXPECT_EQ(number(kCur + "\\B", "V"), 3u);
  EXPECT_EQ(number(kTemp + "\\A", "Refused"), 1u);
  runRestore(platform());
  EXPECT_EQ(number(kCur + "\\A", "Refused"), 1u);
  EXPECT_FALSE(exists(kTemp));
}

TEST_P(Restore, DoesNothingWithoutATemporaryKeyButAnEmptyOneStillGoes) {
  runRestore(platform());
  EXPECT_FALSE(exists(kCur));
  makeKey(kTemp);
  runRestore(platform());
  EXPECT_FALSE(exists(kTemp));
  EXPECT_TRUE(exists(kCur));
}

class CommandLine : public SettingsFixture {};

// Each case starts with older settings and a temporary key: a backup adds
// the older value to the temporary key, a restore moves that key's values
// into the current settings; both back up first.
TEST_P(CommandLine, RunsTheBackupAndTheRestoreItsWordsName) {
  // Unquoted and holding blanks: only the program's own path says where it ends.
  std::string ownPath = platform().system().modulePath();
  for (char& c : ownPath) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const struct {
    std::string commandLine;
    bool backedUp, restored;
  } cases[] = {
      {"Stowset.exe /BACK /REST", false, false},
      {"\"C:\\Program Files\\Corvel\\Stowset.exe\" backup", true, false},
      {"Stowset.exe /Restore /BACKUP", true, true},
      {"C:\\Backup\\Stowset.exe RESTORE", false, true},  // words in the program path are no commands
      {ownPath + " restore", false, true},
  };
  for (const auto& [commandLine, backedUp, restored] : cases) {
    SCOPED_TRACE(commandLine);
    removeSavedKeys();
    put(kOld, "V", RegValue::dword(80));
    put(kTemp, "W", RegValue::dword(2));
    runStowset(platform(), commandLine);
    const std::string& holder = restored ? kCur : kTemp;
    EXPECT_EQ(exists(kTemp), !restored);
    EXPECT_EQ(exists(kCur), restored);
    EXPECT_EQ(number(holder, "W"), 2u);
    EXPECT_EQ(number(holder, "V"), backedUp ? 80u : kMissingNumber);
    EXPECT_EQ(number(kOld, "V"), 80u);
  }
}

CVL_SETTINGS_ON_EACH_PLATFORM(Backup);
CVL_SETTINGS_ON_EACH_PLATFORM(Restore);
CVL_SETTINGS_ON_EACH_PLATFORM(CommandLine);

TEST(CommandArguments, FollowTheProgramsOwnPathOrElseTheFirstToken) {
  using cvl::settings::argumentsOf;
  const std::string own = "C:\\Old Backup\\Stowset.exe";
  EXPECT_EQ(argumentsOf("\"c:\\old backup\\STOWSET.EXE\" /r", own), " /r");
  EXPECT_EQ(argumentsOf("C:\\Old Backup\\Stowset.exe", own), "");
  EXPECT_EQ(argumentsOf("\"D:\\Old Backup\\Stowset.exe\"/r", own), "/r");
  EXPECT_EQ(argumentsOf("D:\\Old\tBackup /r", own), "\tBackup /r");
  EXPECT_EQ(argumentsOf("\"D:\\Old Backup /r", own), "");
  EXPECT_EQ(argumentsOf("C:\\Old Backup\\Stowset.exe /r", ""), " Backup\\Stowset.exe /r");
}

}  // namespace
