#include "game/assets/DataArchive.h"
#include "tests/support/TestPaths.h"
#include "tests/support/ZipFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
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

// Sets the uncompressed size of the only entry, in its local and its central header.
std::string declareSize(std::string zip, uint32_t size) {
    for (const auto& [signature, offset] :
         {std::make_pair(std::string("PK\x03\x04", 4), size_t{22}),
          std::make_pair(std::string("PK\x01\x02", 4), size_t{24})}) {
        size_t at = zip.find(signature);
        EXPECT_NE(at, std::string::npos);
        for (int i = 0; i < 4; ++i) {
            zip[at + offset + i] = static_cast<char>(size >> (8 * i));
        }
    }
    return zip;
}

TEST_F(DataArchiveTest, EntriesClaimingMoreThanTheLimitOrThanTheyHoldAreDamaged) {
    writeZip(path(), {{"prop.dat", std::string(5000, 'p')}}, true);
    const std::string good = testsupport::readFile(path());
    // 4 GiB declared: refused before anything is asked of memory.
    testsupport::writeFile(path(), declareSize(good, 0xFFFFFFFFu));
    {
        CDataArchive a(path().c_str());
        EXPECT_FALSE(a.readFile("prop.dat"));
        EXPECT_EQ(a.lastFailure(), CDataArchive::Failure::Damaged);
        EXPECT_EQ(a.getSize(), 0u);
        EXPECT_EQ(a.lastError(), "prop.dat in the data archive " + path() +
                                     " is damaged: it declares 4294967295 bytes, more than the "
                                     "64 MiB an entry may hold");
    }
    // Within the limit but more or less than the data holds.
    for (uint32_t declared : {uint32_t{60} << 20, uint32_t{4000}}) {
        SCOPED_TRACE(declared);
        testsupport::writeFile(path(), declareSize(good, declared));
        CDataArchive a(path().c_str());
        EXPECT_FALSE(a.readFile("prop.dat"));
        EXPECT_EQ(a.lastFailure(), CDataArchive::Failure::Damaged);
        EXPECT_NE(a.lastError().find("prop.dat in the data archive"), std::string::npos);
    }
    testsupport::writeFile(path(), good);
    CDataArchive a(path().c_str());
    EXPECT_TRUE(a.readFile("prop.dat"));
    EXPECT_EQ(a.getSize(), 5000u);
    EXPECT_EQ(a.lastFailure(), CDataArchive::Failure::None);
    EXPECT_EQ(a.lastError(), "");
}

TEST_F(DataArchiveTest, EveryFailureSaysWhichFileOfWhichArchiveAndWhy) {
    {
        CDataArchive a(dir.file("absent.d").c_str());
        EXPECT_FALSE(a.readFile("x.png"));
        EXPECT_EQ(a.lastFailure(), CDataArchive::Failure::ArchiveUnreadable);
        EXPECT_EQ(a.lastError(), "the data archive " + dir.file("absent.d") + " is missing");
    }
    testsupport::writeFile(path(), "plain text, no zip");
    {
        CDataArchive a(path().c_str());
        EXPECT_FALSE(a.readFile("x.png"));
        EXPECT_EQ(a.lastFailure(), CDataArchive::Failure::ArchiveUnreadable);
        EXPECT_NE(a.lastError().find(path() + " is not a zip archive"), std::string::npos);
    }
    const std::string payload = "PAYLOAD-0123456789-PAYLOAD";
    writeZip(path(), {{"a.dat", payload}, {"b.dat", std::string(3000, 'b')}}, true);
    std::string bytes = testsupport::readFile(path());
    bytes[bytes.find(payload) + 9] ^= 0x55;
    testsupport::writeFile(path(), bytes);
    CDataArchive a(path().c_str());
    EXPECT_FALSE(a.readFile("x.png"));
    EXPECT_EQ(a.lastFailure(), CDataArchive::Failure::NotFound);
    EXPECT_EQ(a.lastError(), "x.png is not in the data archive " + path());
    EXPECT_FALSE(a.readFile("a.dat"));
    EXPECT_EQ(a.lastFailure(), CDataArchive::Failure::Damaged);
    EXPECT_EQ(a.lastError(),
              "a.dat in the data archive " + path() + " is damaged: its checksum does not match");
    // Data that does not inflate.
    writeZip(path(), {{"c.dat", std::string(4000, 'c') + "tail"}});
    bytes = testsupport::readFile(path());
    size_t data = bytes.find("c.dat") + 5;
    for (size_t i = data; i < data + 8; ++i) {
        bytes[i] = static_cast<char>(0xFF);
    }
    testsupport::writeFile(path(), bytes);
    CDataArchive inflate(path().c_str());
    EXPECT_FALSE(inflate.readFile("c.dat"));
    EXPECT_EQ(inflate.lastFailure(), CDataArchive::Failure::Damaged);
    EXPECT_NE(inflate.lastError().find("c.dat in the data archive " + path() + " is damaged: "),
              std::string::npos)
        << inflate.lastError();
}

} // namespace
