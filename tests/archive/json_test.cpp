#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/memory/memory_file_system.h"
#include "tests/archive/bytes.h"
#include "tools/archive_json/archive_json.h"
#include "tools/archive_json/cvlinst_command.h"
#include "uninstaller/installlog/uninstall_log.h"

namespace cvl {
namespace {

using test::Bytes;

// Written the way test fixtures are: only what matters, defaults elsewhere.
const char* kLogFixture = R"({
  "format": "log",
  "groups": [
    { "name": "CORE", "shared": true, "auxValue": 4000000000, "auxMap": { "z": "1", "a": "2" },
      "files": [ "b.dll", "a.dll" ],
      "dirs": [ { "name": "BIN", "files": [ "x.exe" ] },
                { "name": "HELP", "level": 1 },
                { "name": "DEEP", "level": 2, "fileCount": -1 },
                { "name": "SAMPLES", "level": 1 },
                { "name": "LIB" } ],
      "registry": { "HKLM\\Software\\Corvel": [ "(Default)=x", "Path=C:\\" ], "HKCU\\A": [] },
      "shellObjects": { "name": "Menu", "items": [ "1:Programs\\Corvel\\Word.lnk" ] } },
    { "name": "Extras", "selfRegister": true, "fileCount": 3 } ] })";

const char* kStoreFixture = R"({
  "format": "store",
  "sets": [
    { "key": "C:\\SETUP\\DEFAULT.CDF", "name": "default.cdf",
      "sections": { "Word": { "SELECTED": "Yes", "FILEGROUP": "CORE" }, "Components": {} } },
    { "name": "value.shl", "sections": { "Data": { "Title": "Corvel" } } } ] })";

Bytes packed(const Json& document) {
  Bytes bytes;
  const std::string error = packJson(document, bytes);
  EXPECT_EQ(error, "");
  return bytes;
}

TEST(ArchiveJson, LogFixturesPackAndDumpWithEveryField) {
  const Bytes bytes = packed(Json::parse(kLogFixture));
  const Dump dump = dumpArchive(bytes);
  EXPECT_TRUE(dump.notes.empty());
  EXPECT_EQ(dump.document, Json::parse(R"({"format": "log", "version": 1, "groups": [
    { "name": "CORE", "shared": true, "auxValue": 4000000000, "selfRegister": false, "auxMap": { "z": "1", "a": "2" },
      "fileCount": 2, "files": [ "b.dll", "a.dll" ],
      "dirs": [ { "name": "BIN", "level": 0, "fileCount": 1, "files": [ "x.exe" ] },
                { "name": "HELP", "level": 1, "fileCount": 0, "files": [] },
                { "name": "DEEP", "level": 2, "fileCount": -1, "files": [] },
                { "name": "SAMPLES", "level": 1, "fileCount": 0, "files": [] },
                { "name": "LIB", "level": 0, "fileCount": 0, "files": [] } ],
      "registry": { "HKLM\\Software\\Corvel": [ "(Default)=x", "Path=C:\\" ], "HKCU\\A": [] },
      "shellObjects": { "name": "Menu", "itemCount": 1, "items": [ "1:Programs\\Corvel\\Word.lnk" ] } },
    { "name": "Extras", "shared": false, "auxValue": 0, "selfRegister": true, "auxMap": {}, "fileCount": 3,
      "files": [], "dirs": [], "registry": {}, "shellObjects": { "name": "", "itemCount": 0, "items": [] } } ] })"));

  // The tree really is the one the levels describe.
  CUninstallLog log;
  test::load(bytes, [&](Archive& a) { log.serialize(a); });
  const CDir* bin = log.findFileGroup("core")->rootDir();
  EXPECT_EQ(bin->firstChild()->firstChild()->name(), "BIN\\HELP\\DEEP");
  EXPECT_EQ(bin->firstChild()->nextSibling()->name(), "BIN\\SAMPLES");
  EXPECT_EQ(bin->nextSibling()->name(), "LIB");

  EXPECT_EQ(packed(dump.document), bytes);
}

TEST(ArchiveJson, StoreFixturesKeepTheListedKeyAndIgnoreTrailingBytes) {
  Bytes bytes = packed(Json::parse(kStoreFixture));
  bytes.push_back('S');
  const Dump dump = dumpArchive(bytes);
  EXPECT_TRUE(dump.notes.empty());
  Json expected = Json::parse(kStoreFixture);
  expected["trailingBytes"] = 1;
  EXPECT_EQ(dump.document, expected);
  bytes.pop_back();
  EXPECT_EQ(packed(dump.document), bytes);
}

TEST(ArchiveJson, EveryByteOfTheCodePageSurvives) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
  Json document = Json::parse(R"({"format": "store", "sets": [{"name": "s", "sections": {"x": {}}}]})");
  const Bytes withPlainValue = packed(document);
  // Put every byte into a value by way of the binary form.
  Bytes bytes(withPlainValue.begin(), withPlainValue.end() - 2);
  bytes.insert(bytes.end(), {1, 0, 3, 'k', 'e', 'y', 0xFF, 0xFF, 0x00});
  bytes.insert(bytes.end(), all.begin(), all.end());

  const Dump dump = dumpArchive(bytes);
  const std::string text = dump.document.dump();
  EXPECT_EQ(dump.document["sets"][0]["sections"]["x"]["key"].get<std::string>().substr(0x7E, 4), "\x7F\xE2\x82\xAC");
  EXPECT_EQ(packed(Json::parse(text)), bytes);
}

TEST(ArchiveJson, FilesNotInTheWrittenFormAreNoted) {
  // A wide string reads fine but would come back narrow.
  const Bytes wide = test::cat({test::u32(1), test::hex("FF FE FF 01 61 00"), test::str("a"), test::u32(0)});
  Dump dump = dumpArchive(wide);
  EXPECT_EQ(dump.document["sets"][0]["name"], "a");
  ASSERT_EQ(dump.notes.size(), 1u);
  EXPECT_EQ(dump.notes[0], "not in the form the writers produce from byte 4 on; pack will not reproduce it byte for byte");

  Bytes log = packed(Json::parse(kLogFixture));
  log.push_back(0);
  dump = dumpArchive(log);
  EXPECT_EQ(dump.notes, std::vector<std::string>{"1 bytes after the last group are never read"});

  log[31] = 2;  // the version
  dump = dumpArchive(log);
  EXPECT_EQ(dump.document["groups"].size(), 0u);
  EXPECT_EQ(dump.notes, std::vector<std::string>{"version 2 is newer than 1; the uninstaller reads this log as empty"});
}

TEST(ArchiveJson, PackSaysWhereTheDocumentIsWrong) {
  const std::pair<const char*, const char*> cases[] = {
      {R"([])", "document: expected an object"},
      {R"({"format": "zip"})", "format: expected \"store\" or \"log\""},
      {R"({"format": "log"})", "document: missing \"groups\""},
      {R"({"format": "log", "groups": [{"name": "x", "fileCont": 1}]})", "groups[0]: unknown member \"fileCont\""},
      {R"({"format": "log", "groups": [{"name": "x", "files": ["a", 1]}]})", "groups[0].files[1]: expected a string"},
      {R"({"format": "log", "groups": [{"name": "x", "shared": 1}]})", "groups[0].shared: expected true or false"},
      {R"({"format": "log", "groups": [{"name": "x", "fileCount": 2147483648}]})",
       "groups[0].fileCount: expected a number from -2147483648 to 2147483647"},
      {R"({"format": "log", "groups": [{"name": "x", "dirs": [{"name": "a", "level": 1}]}]})",
       "groups[0].dirs[0].level: expected a number from 0 to 0"},
      {R"({"format": "log", "groups": [{"name": "x", "dirs": [{"name": "a"}, {"name": "b", "level": 2}]}]})",
       "groups[0].dirs[1].level: expected a number from 0 to 1"},
      {R"({"format": "log", "groups": [{"name": "\u4e2d"}]})", "groups[0].name: text has characters outside Windows-1252"},
      {R"({"format": "store", "sets": [{"name": "s", "sections": {"x": {"k": 5}}}]})",
       "sets[0].sections.x.k: expected a string"},
      // Shell-object items have no count of their own: a wrong one shifts the stream.
      {R"({"format": "log", "groups": [{"name": "x", "shellObjects": {"items": ["a", "b"], "itemCount": 1}}]})",
       "groups[0].shellObjects.itemCount: does not match the number of items"},
      {R"({"format": "log", "groups": [{"name": "x", "shellObjects": {"itemCount": 1}}]})",
       "groups[0].shellObjects.itemCount: does not match the number of items"},
  };
  for (const auto& [text, error] : cases) {
    Bytes bytes;
    EXPECT_EQ(packJson(Json::parse(text), bytes), error) << text;
  }
  Bytes bytes;
  EXPECT_EQ(packJson(Json::parse(R"({"format": "log", "groups": [{"name": "x", "fileCount": 9,
      "shellObjects": {"itemCount": -1}}]})"), bytes), "") << "no items: a count of 0 or less stays packable";
}

TEST(ArchiveJson, DeepDirectoryTreesStayFlat) {
  CUninstallLog log;
  CDir* node = &log.addGroup(std::make_unique<CFilegroup>()).makeRootDir();
  for (int i = 1; i < 50000; ++i) node = &node->makeFirstChild();
  const Bytes bytes = test::store([&](Archive& a) { log.serialize(a); });
  const Dump dump = dumpArchive(bytes);
  EXPECT_EQ(dump.document["groups"][0]["dirs"].back()["level"], 49999);
  EXPECT_FALSE(dump.document.dump().empty());
  EXPECT_EQ(packed(dump.document), bytes);
}

TEST(ArchiveJson, FixturesPackIntoAFileSystemAndLoadFromIt) {
  platform::MemoryFileSystem files;
  files.addDirectory("C:\\U");
  ASSERT_EQ(packJson(Json::parse(kLogFixture), files, "C:\\U\\cvlinst.log"), "");
  CUninstallLog log;
  log.load(files, "C:\\U\\cvlinst.log");
  EXPECT_NE(log.findFileGroup("extras"), nullptr);
  EXPECT_THROW(log.load(files, "C:\\U\\missing.log"), ArchiveFileError);
  EXPECT_EQ(packJson(Json::parse(kLogFixture), files, "C:\\Missing\\cvlinst.log").rfind("C:\\Missing\\cvlinst.log: cannot write", 0), 0u);
}

class CvlinstTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("cvlinst-test-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  void write(const std::string& name, const Bytes& bytes) const {
    std::ofstream(path(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  Bytes read(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  int run(std::vector<std::string> arguments) {
    out_.str("");
    err_.str("");
    return runCvlinst(arguments, out_, err_);
  }

  std::filesystem::path dir_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(CvlinstTest, DumpAndPackRoundTripOnDisk) {
  for (const char* fixture : {kLogFixture, kStoreFixture}) {
    const Bytes original = packed(Json::parse(fixture));
    write("original", original);
    ASSERT_EQ(run({"dump", path("original")}), 0) << err_.str();
    EXPECT_EQ(err_.str(), "");
    const std::string json = out_.str();
    write("dumped.json", Bytes(json.begin(), json.end()));
    ASSERT_EQ(run({"pack", path("dumped.json"), path("again")}), 0) << err_.str();
    EXPECT_EQ(read("again"), original);
  }
}

TEST_F(CvlinstTest, BadInputIsOneLineAndStatusTwo) {
  // One set whose key of 11 characters is cut after 5.
  write("cvlinst.dat", test::cat({test::u32(1), test::hex("0B"), test::text("defau")}));
  EXPECT_EQ(run({"dump", path("cvlinst.dat")}), kCvlinstBadInput);
  EXPECT_EQ(err_.str(), path("cvlinst.dat") + ": unexpected end of file at byte 5 while reading a string\n");
  EXPECT_EQ(out_.str(), "");

  const Bytes log = packed(Json::parse(kLogFixture));
  write("cvlinst.log", Bytes(log.begin(), log.begin() + 40));
  EXPECT_EQ(run({"dump", path("cvlinst.log")}), kCvlinstBadInput);
  EXPECT_EQ(err_.str(), path("cvlinst.log") + ": unexpected end of file at byte 39 while reading a group count of 2\n");

  write("bad.json", Bytes{'{', '"'});
  EXPECT_EQ(run({"pack", path("bad.json"), path("out")}), kCvlinstBadInput);
  EXPECT_EQ(err_.str(), path("bad.json") + ": not valid JSON\n");
  EXPECT_FALSE(std::filesystem::exists(path("out")));

  EXPECT_EQ(run({"dump", path("missing")}), kCvlinstBadInput);
  EXPECT_EQ(err_.str(), path("missing") + ": cannot read the file\n");
  EXPECT_EQ(run({"unpack"}), kCvlinstBadInput);
  EXPECT_EQ(err_.str().rfind("usage: ", 0), 0u);
}

}  // namespace
}  // namespace cvl
