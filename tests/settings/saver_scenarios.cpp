// Backup and restore of the user's settings, on each platform.
#include <cctype>

#include "settings/command_arguments.h"
#include "settings/settings_saver.h"
#include "settings_fixture.h"

using namespace cvl::platform;
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

TEST_P(Backup, MergesIntoATemporaryKeyLeftFromBefore) {
  put(kTemp + "\\Old", "Stale", RegValue::dword(7));
  put(kTemp, "Text", RegValue::string("earlier"));
  put(kCur, "Text", RegValue::string("now"));
  runBackup(platform());
  EXPECT_EQ(text(kTemp, "Text"), "now");
  EXPECT_EQ(number(kTemp + "\\Old", "Stale"), 7u);
}

// The home folder override stands for the folder placeholders only.
TEST_P(Backup, TextValuesArriveWithPlaceholdersExpanded) {
  const std::string user = platform().system().userName();
  ASSERT_FALSE(user.empty());
  put(kCur + "\\Paths", "Mine", RegValue::string("%USERNAME%\\Files"));
  put(kCur + "\\Paths", "Share", RegValue::string("50% of %TEMP%"));
  put(kCur, "Address", RegValue::string("http://host/a%20b%20c"));
  put(kCur, "Pair", RegValue::string("a%%b"));
  put(kCur, "Folder", RegValue::string("%personal%\\x"));
  scratch_->setVariable("CvlHomeDir", "H:\\");
  runBackup(platform());
  scratch_->setVariable("CvlHomeDir", nullptr);
  EXPECT_EQ(text(kTemp + "\\Paths", "Mine"), user + "\\Files");
  EXPECT_EQ(text(kTemp + "\\Paths", "Share"), "50% of %TEMP%");
  EXPECT_EQ(text(kTemp, "Address"), "http://host/a%20b%20c");
  EXPECT_EQ(text(kTemp, "Pair"), "a%%b");
  EXPECT_EQ(text(kTemp, "Folder"), "H:\\x");
}

TEST_P(Backup, LongNamesAreCopiedAndHideNothingThatSortsAfterThem) {
  const std::string longValue(300, 'a'), longKey(255, 'a');
  put(kCur, longValue, RegValue::dword(300));
  put(kCur, "Later", RegValue::dword(1));
  put(kCur + "\\" + longKey, longValue, RegValue::string("deep"));
  put(kCur + "\\Later", "V", RegValue::dword(2));
  runBackup(platform());
  EXPECT_EQ(number(kTemp, longValue), 300u);
  EXPECT_EQ(number(kTemp, "Later"), 1u);
  EXPECT_EQ(text(kTemp + "\\" + longKey, longValue), "deep");
  EXPECT_EQ(number(kTemp + "\\Later", "V"), 2u);
}

// Names are case-blind within a key, so each spelling lives in its own key.
// Subkeys with reserved-looking names are copied.
TEST_P(Backup, EntriesNamedDeletedInExactlyThatCaseAreLeftBehind) {
  put(kCur, "~Deleted", RegValue::string("gone"));
  put(kCur + "\\~deleted", "Kept", RegValue::dword(1));
  put(kCur + "\\Other", "~DELETED", RegValue::string("kept"));
  put(kCur + "\\Other\\~Deleted", "Gone", RegValue::dword(2));
  put(kCur + "\\__TEMP__", "A", RegValue::dword(1));
  put(kCur + "\\SUBVERSION", "B", RegValue::dword(2));
  runBackup(platform());
  EXPECT_FALSE(read(kTemp, "~Deleted").has_value());
  EXPECT_EQ(number(kTemp + "\\~deleted", "Kept"), 1u);
  EXPECT_EQ(text(kTemp + "\\Other", "~DELETED"), "kept");
  EXPECT_FALSE(exists(kTemp + "\\Other\\~Deleted"));
  EXPECT_EQ(number(kTemp + "\\__TEMP__", "A"), 1u);
  EXPECT_EQ(number(kTemp + "\\SUBVERSION", "B"), 2u);
}

class Restore : public SettingsFixture {};

TEST_P(Restore, MergesIntoExistingSettingsAndRemovesTheTemporaryKey) {
  put(kCur, "Keep", RegValue::string("mine"));
  put(kCur, "Shared", RegValue::dword(1));
  put(kCur + "\\Own", "Local", RegValue::binary({9}));
  put(kCur + "\\Both", "Old", RegValue::string("old"));
  put(kTemp, "Shared", RegValue::dword(2));
  put(kTemp, "New", RegValue::string("new"));
  put(kTemp + "\\Both", "Added", RegValue::dword(3));
  put(kTemp + "\\Both\\Deeper", "", RegValue::string("default"));
  runRestore(platform());
  EXPECT_EQ(text(kCur, "Keep"), "mine");
  EXPECT_EQ(number(kCur, "Shared"), 2u);
  EXPECT_EQ(text(kCur, "New"), "new");
  EXPECT_EQ(read(kCur + "\\Own", "Local").value_or(RegValue{}).data, std::vector<uint8_t>{9});
  EXPECT_EQ(text(kCur + "\\Both", "Old"), "old");
  EXPECT_EQ(number(kCur + "\\Both", "Added"), 3u);
  EXPECT_EQ(text(kCur + "\\Both\\Deeper", ""), "default");
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

TEST_P(Restore, RemovesADeepTemporaryKeyCompletely) {
  std::string deep = kTemp;
  for (const char* level : {"A", "B", "C", "D", "E"}) {
    deep += std::string("\\") + level;
    put(deep, "Level", RegValue::string(level));
    put(deep + "Sibling\\Below", "", RegValue::dword(1));
  }
  runRestore(platform());
  EXPECT_FALSE(exists(kTemp));
  EXPECT_EQ(text(kCur + "\\A\\B\\C\\D\\E", "Level"), "E");
  EXPECT_EQ(number(kCur + "\\A\\B\\CSibling\\Below", ""), 1u);
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

TEST_P(CommandLine, BackupWordInAnyCaseRunsTheBackupAndNeitherWordNothing) {
  put(kCur, "V", RegValue::dword(1));
  put(kTemp, "W", RegValue::dword(2));
  runStowset(platform(), "Stowset.exe /BACK /REST");
  EXPECT_FALSE(read(kTemp, "V").has_value());
  EXPECT_FALSE(read(kCur, "W").has_value());
  runStowset(platform(), "\"C:\\Program Files\\Corvel\\Stowset.exe\" backup");
  EXPECT_EQ(number(kTemp, "V"), 1u);
  EXPECT_TRUE(exists(kCur));
}

TEST_P(CommandLine, BothWordsBackUpFirstAndRestoreSecond) {
  put(kOld, "V", RegValue::dword(80));
  runStowset(platform(), "Stowset.exe /Restore /BACKUP");
  EXPECT_EQ(number(kCur, "V"), 80u);
  EXPECT_FALSE(exists(kTemp));
}

TEST_P(CommandLine, WordsInTheProgramPathAreNoCommands) {
  put(kTemp, "V", RegValue::dword(3));
  put(kCur, "V", RegValue::dword(0));
  runStowset(platform(), "C:\\Backup\\Stowset.exe RESTORE");
  EXPECT_EQ(number(kCur, "V"), 3u);
  EXPECT_FALSE(exists(kTemp));
  // Unquoted and holding blanks: only the program's own path says where it ends.
  std::string ownPath = platform().system().modulePath();
  for (char& c : ownPath) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  put(kTemp, "V", RegValue::dword(4));
  runStowset(platform(), ownPath + " restore");
  EXPECT_EQ(number(kCur, "V"), 4u);
  EXPECT_FALSE(exists(kTemp));
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
