#include "game/assets/DataArchive.h"
#include "tests/support/TestPaths.h"
#include "tests/support/ZipFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

void writeZip(const std::string& path, const testsupport::ZipEntries& es, bool stored = false) {
    ASSERT_TRUE(testsupport::writeZip(path, es, stored));
}

std::string contentOf(const CDataArchive& a) {
    return std::string(reinterpret_cast<const char*>(a.getData()), a.getSize());
}

class DataArchiveTest : public ::testing::Test {
  protected:
    std::string path() const { return dir.file("tcdata.d"); }
    testsupport::ScratchDir dir;
};

TEST_F(DataArchiveTest, FindsNamesInOtherLetterCaseFirstMatchWins) {
    writeZip(path(), {{"font2.png", "first"}, {"FONT2.png", "second"}, {"menu.png", "m"}});
    CDataArchive a(path().c_str());
    ASSERT_TRUE(a.readFile("FONT2.PNG"));
    EXPECT_EQ(contentOf(a), "first");
    ASSERT_TRUE(a.readFile("menu.png"));
    EXPECT_EQ(contentOf(a), "m");
}

TEST_F(DataArchiveTest, BareNameDoesNotFindAnEntryInAFolder) {
    writeZip(path(), {{"images/north.jpg", "n"}});
    CDataArchive a(path().c_str());
    EXPECT_FALSE(a.readFile("north.jpg"));
    EXPECT_TRUE(a.readFile("IMAGES/north.jpg"));
}

TEST_F(DataArchiveTest, FailedLookupKeepsThePreviousEntry) {
    std::string big(100000, 'x');
    big[777] = 'y';
    writeZip(path(), {{"big.dat", big}});
    CDataArchive a(path().c_str());
    ASSERT_TRUE(a.readFile("big.dat"));
    EXPECT_FALSE(a.readFile("missing.dat"));
    EXPECT_EQ(contentOf(a), big);
}

TEST_F(DataArchiveTest, ZeroByteEntryReadsWithSizeZero) {
    writeZip(path(), {{"a.dat", "abc"}, {"empty.dat", ""}});
    CDataArchive a(path().c_str());
    ASSERT_TRUE(a.readFile("a.dat"));
    ASSERT_TRUE(a.readFile("empty.dat"));
    EXPECT_EQ(a.getSize(), 0u);
}

TEST_F(DataArchiveTest, NoArchiveFailsEveryLookup) {
    CDataArchive a(dir.file("absent.d").c_str());
    EXPECT_FALSE(a.readFile("font2.png"));
    EXPECT_FALSE(a.readFile(""));
    EXPECT_EQ(a.getSize(), 0u);
    EXPECT_EQ(a.getData(), nullptr);
}

TEST_F(DataArchiveTest, TruncatedArchiveFailsCleanly) {
    writeZip(path(), {{"a.dat", std::string(5000, 'q')}});
    std::string bytes = testsupport::readFile(path());
    for (size_t keep : {bytes.size() - 10, bytes.size() / 2, size_t{30}, size_t{0}}) {
        testsupport::writeFile(path(), bytes.substr(0, keep));
        CDataArchive a(path().c_str());
        EXPECT_FALSE(a.readFile("a.dat")) << keep;
    }
}

TEST_F(DataArchiveTest, DamagedEntryDataIsAFailure) {
    const std::string payload = "PAYLOAD-0123456789-PAYLOAD";
    writeZip(path(), {{"a.dat", payload}}, true);
    std::string bytes = testsupport::readFile(path());
    size_t at = bytes.find(payload);
    ASSERT_NE(at, std::string::npos);
    bytes[at + 9] ^= 0x55; // the checksum no longer matches
    testsupport::writeFile(path(), bytes);
    CDataArchive a(path().c_str());
    EXPECT_FALSE(a.readFile("a.dat"));
    EXPECT_EQ(a.getSize(), 0u);
}

} // namespace
