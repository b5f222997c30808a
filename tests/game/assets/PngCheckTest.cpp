#include "game/assets/PngCheck.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

std::string chunk(const std::string& type, const std::string& data) {
    std::string c;
    auto n = static_cast<uint32_t>(data.size());
    c += static_cast<char>(n >> 24);
    c += static_cast<char>(n >> 16);
    c += static_cast<char>(n >> 8);
    c += static_cast<char>(n);
    c += type + data + "CRC!"; // the check looks at structure only; libpng checks the CRCs
    return c;
}

const std::string kSignature("\x89PNG\r\n\x1a\n", 8);

std::string wholePng() {
    return kSignature + chunk("IHDR", std::string(13, '\1')) + chunk("IDAT", "pixels") +
           chunk("IEND", "");
}

bool check(const std::string& s) {
    return pngIsWhole(reinterpret_cast<const unsigned char*>(s.data()), s.size());
}

TEST(PngCheck, OnlyTheWholeFileFromIhdrToIendPasses) {
    std::string png = wholePng();
    EXPECT_TRUE(check(png));
    EXPECT_TRUE(check(png + "trailing bytes are ignored"));
    for (size_t cut = 0; cut < png.size(); ++cut) {
        EXPECT_FALSE(check(png.substr(0, cut))) << "cut at " << cut;
    }
    EXPECT_FALSE(pngIsWhole(nullptr, 0));
}

TEST(PngCheck, ChunksThatDoNotFitOrComeInTheWrongOrderFail) {
    std::string huge = kSignature + chunk("IHDR", std::string(13, '\1'));
    huge += std::string("\xff\xff\xff\xf0IDAT", 8) + chunk("IEND", "");
    EXPECT_FALSE(check(huge));
    EXPECT_FALSE(check(kSignature + chunk("IDAT", "x") + chunk("IEND", "")));
    EXPECT_FALSE(check(kSignature + chunk("IHDR", std::string(12, '\1')) + chunk("IEND", "")));
    std::string badSignature = wholePng();
    badSignature[1] = 'Q';
    EXPECT_FALSE(check(badSignature));
}

} // namespace
