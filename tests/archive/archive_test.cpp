#include <gtest/gtest.h>

#include "tests/archive/bytes.h"
#include "uninstaller/store/archive_containers.h"

namespace cvl {
namespace {

using namespace test;

Bytes storedString(const std::string& text) {
  return store([&](Archive& a) { a.writeString(text); });
}

std::string readOneString(const Bytes& bytes) {
  return load(bytes, [](Archive& a) { return a.readString(); });
}

TEST(ArchiveString, LengthPrefixesAtEveryThreshold) {
  const std::pair<size_t, std::string> cases[] = {
      {0, "00"},          {3, "03"},          {254, "FE"},
      {255, "FF FF 00"},  {256, "FF 00 01"},  {65533, "FF FD FF"},
      {65534, "FF FF FF FE FF 00 00"},        {65535, "FF FF FF FF FF 00 00"},
  };
  for (const auto& [length, prefix] : cases) {
    const std::string text(length, 'x');
    const Bytes bytes = storedString(text);
    const Bytes expectedPrefix = hex(prefix);
    ASSERT_EQ(bytes.size(), expectedPrefix.size() + length) << length;
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + expectedPrefix.size()), expectedPrefix) << length;
    EXPECT_EQ(readOneString(bytes), text) << length;
  }
  EXPECT_EQ(storedString("abc"), hex("03 61 62 63"));
}

TEST(ArchiveString, WideFormIsConvertedToTheCodePage) {
  EXPECT_EQ(readOneString(hex("FF FE FF 03 61 00 62 00 63 00")), "abc");
  // e-acute is in the code page, a CJK character is not.
  EXPECT_EQ(readOneString(hex("FF FE FF 02 E9 00 2D 4E")), "\xE9?");
  EXPECT_EQ(readOneString(hex("FF FE FF 00")), "");
  // The wide count may itself use the 16-bit form.
  Bytes longWide = hex("FF FE FF FF 00 01");
  for (int i = 0; i < 256; ++i) longWide.insert(longWide.end(), {'w', 0});
  EXPECT_EQ(readOneString(longWide), std::string(256, 'w'));
  // A second wide marker inside the wide count is just a length.
  EXPECT_THROW(readOneString(hex("FF FE FF FF FE FF 41 00")), ArchiveEndOfFile);
}

TEST(ArchiveString, ValuesStraddlingTheBufferRoundTrip) {
  const std::string big(3 * Archive::kBufferSize + 17, 'b');
  const Bytes bytes = store([&](Archive& a) {
    a.writeBytes(std::string(Archive::kBufferSize - 3, 'p').data(), Archive::kBufferSize - 3);
    a.writeU32(0xA1B2C3D4);
    a.writeString(big);
    a.writeU16(0xBEEF);
    a.writeString("tail");
    EXPECT_EQ(a.position(), Archive::kBufferSize - 3 + 4 + 3 + big.size() + 2 + 5);
  });
  load(bytes, [&](Archive& a) {
    std::string pad(Archive::kBufferSize - 3, '\0');
    a.readBytes(pad.data(), pad.size());
    EXPECT_EQ(a.readU32(), 0xA1B2C3D4u);
    EXPECT_EQ(a.readString(), big);
    EXPECT_EQ(a.readU16(), 0xBEEF);
    EXPECT_EQ(a.readString(), "tail");
    EXPECT_EQ(a.remaining(), 0u);
    return 0;
  });
}

TEST(ArchiveIntegers, LittleEndianAndFlags) {
  EXPECT_EQ(store([](Archive& a) {
              a.writeU32(0x01020304);
              a.writeU16(0x0506);
              a.writeByte(7);
              a.writeFlag(true);
              a.writeFlag(false);
            }),
            hex("04 03 02 01 06 05 07 01 00 00 00 00 00 00 00"));
  load(hex("02 00 00 00 00 00 00 80 00 00 00 00 FF FF FF FF"), [](Archive& a) {
    EXPECT_TRUE(a.readFlag());
    EXPECT_TRUE(a.readFlag());
    EXPECT_FALSE(a.readFlag());
    EXPECT_EQ(a.readI32(), -1);
    return 0;
  });
}

TEST(ArchiveShortCount, SixteenBitsOrEscapedToThirtyTwo) {
  const std::pair<uint32_t, std::string> cases[] = {
      {0, "00 00"}, {2, "02 00"}, {65534, "FE FF"}, {65535, "FF FF FF FF 00 00"}, {70000, "FF FF 70 11 01 00"}};
  for (const auto& [count, encoding] : cases) {
    EXPECT_EQ(store([&](Archive& a) { a.writeShortCount(count); }), hex(encoding)) << count;
    EXPECT_EQ(load(hex(encoding), [](Archive& a) { return a.readShortCount(); }), count) << count;
  }
}

TEST(ArchiveContainers, ListsAndMapsInOrder) {
  StringList empty;
  StringMap emptyMap;
  EXPECT_EQ(store([&](Archive& a) { serializeStringList(a, empty); }), hex("00 00"));
  EXPECT_EQ(store([&](Archive& a) { serializeStringMap(a, emptyMap); }), hex("00 00"));

  StringList list{"one", "", "three"};
  const Bytes listBytes = store([&](Archive& a) { serializeStringList(a, list); });
  EXPECT_EQ(listBytes, hex("03 00 03 6F 6E 65 00 05 74 68 72 65 65"));
  StringList reread{"stale", "stale", "stale", "stale"};
  load(listBytes, [&](Archive& a) { serializeStringList(a, reread); });
  EXPECT_EQ(reread, list);

  // A repeated key keeps its first place and the value read last.
  const Bytes mapBytes = cat({hex("03 00"), str("b"), str("1"), str("a"), str("2"),
                                    str("b"), str("3")});
  StringMap map;
  load(mapBytes, [&](Archive& a) { serializeStringMap(a, map); });
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(map.begin()->first, "b");
  EXPECT_EQ(*map.find("b"), "3");
  EXPECT_EQ(*map.find("a"), "2");
  EXPECT_EQ(map.find("B"), nullptr);
  EXPECT_EQ(*map.findNoCase("B"), "3");
}

TEST(ArchiveEndOfFile, TruncationAnywhereIsAnError) {
  // Inside the characters: no short string comes back.
  EXPECT_THROW(readOneString(hex("05 61 62")), ArchiveEndOfFile);
  EXPECT_THROW(readOneString(hex("FF 00")), ArchiveEndOfFile);
  EXPECT_THROW(readOneString(hex("FF FE FF 02 61 00 62")), ArchiveEndOfFile);
  EXPECT_THROW(load(hex("01 02 03"), [](Archive& a) { return a.readU32(); }), ArchiveEndOfFile);
  EXPECT_THROW(load(hex("FF FF 01"), [](Archive& a) { return a.readShortCount(); }), ArchiveEndOfFile);

  try {
    load(hex("00 00 00 00 03 61"), [](Archive& a) { return a.readU32(), a.readString(); });
    FAIL();
  } catch (const ArchiveEndOfFile& error) {
    EXPECT_EQ(error.offset(), 5u);
    EXPECT_STREQ(error.what(), "unexpected end of file at byte 5 while reading a string");
  }
}

TEST(ArchiveEndOfFile, HugeCountsFailBeforeAllocating) {
  // Each of these would ask for gigabytes if believed.
  EXPECT_THROW(readOneString(hex("FF FF FF FF FF FF FF 61")), ArchiveEndOfFile);
  EXPECT_THROW(readOneString(hex("FF FE FF FF FF FF FF FF FF 61 00")), ArchiveEndOfFile);
  StringList list;
  EXPECT_THROW(load(hex("FF FF FF FF FF FF 00"), [&](Archive& a) { serializeStringList(a, list); }),
               ArchiveEndOfFile);
  EXPECT_TRUE(list.empty());
  StringMap map;
  // Three bytes left cannot hold two pairs.
  EXPECT_THROW(load(hex("02 00 00 00 00"), [&](Archive& a) { serializeStringMap(a, map); }),
               ArchiveEndOfFile);
  // ...but exactly enough room passes the check.
  EXPECT_NO_THROW(load(hex("02 00 00 00 00 00"), [&](Archive& a) { serializeStringMap(a, map); }));
}

// A file whose operations fail with a Win32 status.
class FailingFile : public platform::File {
 public:
  platform::Status read(void*, uint32_t, uint32_t& done) override { return done = 0, platform::kAccessDenied; }
  platform::Status write(const void*, uint32_t) override { return platform::kSharingViolation; }
  platform::Status flush() override { return platform::kSuccess; }
  uint64_t size() const override { return 100; }
};

TEST(ArchiveFileError, FailuresOfTheFilePropagate) {
  FailingFile file;
  Archive loading(file, Archive::Direction::Loading);
  try {
    loading.readByte();
    FAIL();
  } catch (const ArchiveFileError& error) {
    EXPECT_EQ(error.status(), platform::kAccessDenied);
  }
  Archive storing(file, Archive::Direction::Storing);
  storing.writeString("buffered until close");
  try {
    storing.close();
    FAIL();
  } catch (const ArchiveFileError& error) {
    EXPECT_EQ(error.status(), platform::kSharingViolation);
  }
}

}  // namespace
}  // namespace cvl
