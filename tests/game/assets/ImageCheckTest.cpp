// Image data checked before decoding: hostile headers and broken structure are refused at
// once, in little time and memory; the images the game's tools write pass and decode.
#include "game/assets/ImageCheck.h"
#include "game/assets/ImageDecode.h"
#include "tests/game/assets/HostileImages.h"
#include "tools/tcdata-build/Canvas.h"
#include "tools/tcdata-build/ImageFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace hostileimages;

const unsigned char* bytes(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

Canvas testCanvas() {
    Canvas c(64, 32, Rgba{0.2f, 0.4f, 0.6f, 1.0f});
    c.disc(20.0f, 16.0f, 8.0f, Rgba{1.0f, 0.0f, 0.0f, 1.0f});
    return c;
}

// Runs the decode on a thread of its own and says whether it ended within the time; a hung
// decoder is left behind (the test program's exit ends it).
bool decodesWithin(int ms, ImageKind kind, const std::string& data, bool* decoded) {
    auto copy = std::make_shared<std::string>(data);
    auto done = std::make_shared<std::promise<bool>>();
    std::future<bool> result = done->get_future();
    std::thread([copy, done, kind] {
        DecodedImage image;
        std::string why;
        done->set_value(decodeImage(kind, bytes(*copy), copy->size(), 16384, &image, &why));
    }).detach();
    if (result.wait_for(std::chrono::milliseconds(ms)) != std::future_status::ready) {
        return false;
    }
    *decoded = result.get();
    return true;
}

TEST(ImageCheck, ImagesOfTheGameToolsPassAndDecode) {
    Canvas canvas = testCanvas();
    struct Case {
        ImageKind kind;
        std::string data;
    } cases[] = {{ImageKind::Png, encodePng(canvas)},
                 {ImageKind::Jpeg, encodeJpeg(canvas)},
                 {ImageKind::Bmp, bmp(64, 32, 64 * 3 * 32)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        ImageHeader header;
        std::string why;
        ASSERT_TRUE(checkImage(c.kind, bytes(c.data), c.data.size(), 16384, &header, &why)) << why;
        EXPECT_EQ(header.width, 64u);
        EXPECT_EQ(header.height, 32u);
        DecodedImage image;
        ASSERT_TRUE(decodeImage(c.kind, bytes(c.data), c.data.size(), 16384, &image, &why)) << why;
        EXPECT_EQ(image.width, 64u);
        EXPECT_EQ(image.rgba.size(), 64u * 32u * 4u);
    }
    // The bottom row comes first: the disc's red sits at the same place from either end.
    DecodedImage png;
    std::string why;
    ASSERT_TRUE(
        decodeImage(ImageKind::Png, bytes(cases[0].data), cases[0].data.size(), 16384, &png, &why));
    const unsigned char* centre = &png.rgba[(size_t{16} * 64 + 20) * 4];
    EXPECT_GT(centre[0], 200);
    EXPECT_LT(centre[2], 60);
    const unsigned char* corner = &png.rgba[0];
    EXPECT_NEAR(corner[2], 153, 2);
}

TEST(ImageCheck, SizesNoTextureNeedsAreRefusedBeforeDecoding) {
    std::string why;
    // Tens of thousands of pixels a side from a few kilobytes.
    std::string wide = claimingPng(30000, 30000, 48 << 10);
    EXPECT_FALSE(checkImage(ImageKind::Png, bytes(wide), wide.size(), 16384, nullptr, &why));
    EXPECT_NE(why.find("30000 x 30000"), std::string::npos) << why;
    // Within GL's limit on a side, but a gigabyte of pixels from a small file.
    std::string dense = claimingPng(16000, 16000, 4 << 10);
    EXPECT_FALSE(checkImage(ImageKind::Png, bytes(dense), dense.size(), 16384, nullptr, &why));
    // Larger than the GL maximum the caller gives.
    std::string wider = claimingPng(2048, 16, 2048 * 4 + 1);
    EXPECT_TRUE(checkImage(ImageKind::Png, bytes(wider), wider.size(), 16384, nullptr, &why));
    EXPECT_FALSE(checkImage(ImageKind::Png, bytes(wider), wider.size(), 1024, nullptr, &why));
    // A 23304 x 8200 JPEG in a few hundred bytes.
    std::string jpeg = claimingJpeg(23304, 8200);
    ASSERT_LT(jpeg.size(), 300u);
    EXPECT_TRUE(checkJpeg(bytes(jpeg), jpeg.size(), nullptr, &why)) << why;
    EXPECT_FALSE(checkImage(ImageKind::Jpeg, bytes(jpeg), jpeg.size(), 16384, nullptr, &why));
    std::string square = claimingJpeg(4000, 4000);
    EXPECT_FALSE(checkImage(ImageKind::Jpeg, bytes(square), square.size(), 16384, nullptr, &why));
    // A 115-byte BMP header that claims a gigabyte of RLE pixels.
    std::string rle = bmp(20000, 20000, 61, 8, 1);
    EXPECT_FALSE(checkImage(ImageKind::Bmp, bytes(rle), rle.size(), 16384, nullptr, &why));
    // Each of them fails quickly in the decoder too.
    for (const auto& c :
         {std::make_pair(ImageKind::Png, wide), std::make_pair(ImageKind::Png, dense),
          std::make_pair(ImageKind::Jpeg, jpeg), std::make_pair(ImageKind::Bmp, rle)}) {
        bool decoded = true;
        auto began = std::chrono::steady_clock::now();
        ASSERT_TRUE(decodesWithin(5000, c.first, c.second, &decoded));
        EXPECT_FALSE(decoded);
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(500));
    }
}

TEST(ImageCheck, JpegMarkersAndSegmentsMustLieInsideTheData) {
    std::string why;
    // The start marker and a comment whose length runs past the end: this hung the decoder.
    const std::string sixBytes("\xFF\xD8\xFF\xFE\x00\xFF", 6);
    EXPECT_FALSE(checkJpeg(bytes(sixBytes), sixBytes.size(), nullptr, &why));
    bool decoded = true;
    ASSERT_TRUE(decodesWithin(5000, ImageKind::Jpeg, sixBytes, &decoded)) << "decoder hangs";
    EXPECT_FALSE(decoded);

    std::string good = encodeJpeg(testCanvas());
    ASSERT_TRUE(checkJpeg(bytes(good), good.size(), nullptr, &why)) << why;
    for (size_t cut = 0; cut < good.size(); cut += (cut < 700 ? 1 : 97)) {
        ASSERT_FALSE(checkJpeg(bytes(good), cut, nullptr, nullptr)) << "cut at " << cut;
    }
    // A frame without a scan, a scan without a frame, no end marker.
    std::string noScan = good.substr(0, good.find("\xFF\xDA")) + "\xFF\xD9";
    EXPECT_FALSE(checkJpeg(bytes(noScan), noScan.size(), nullptr, &why));
    std::string frameless = good;
    frameless[frameless.find("\xFF\xC0") + 1] = '\xFE'; // the frame becomes a comment
    EXPECT_FALSE(checkJpeg(bytes(frameless), frameless.size(), nullptr, &why));
    std::string arithmetic = good;
    arithmetic[arithmetic.find("\xFF\xC0") + 1] = '\xC9';
    EXPECT_FALSE(checkJpeg(bytes(arithmetic), arithmetic.size(), nullptr, &why));
    EXPECT_FALSE(checkJpeg(bytes(std::string("\xFF\xD8\xFF\xD9", 4)), 4, nullptr, &why));
}

TEST(ImageCheck, BmpHeadersMustAgreeWithTheFile) {
    std::string why;
    EXPECT_TRUE(checkBmp(bytes(bmp(4, 4, 48)), 54 + 48, nullptr, &why)) << why;
    EXPECT_TRUE(checkBmp(bytes(bmp(4, -4, 48)), 54 + 48, nullptr, &why)) << why; // top first
    struct Case {
        const char* what;
        std::string data;
    } cases[] = {
        {"rows past the end", bmp(4, 4, 47)},
        {"a huge claim", bmp(65535, 65535, 60)},
        {"no width", bmp(0, 4, 48)},
        {"no height", bmp(4, 0, 48)},
        {"bit count 7", bmp(4, 4, 48, 7)},
        {"RLE8 with 24 bits", bmp(4, 4, 48, 24, 1)},
        {"JPEG inside", bmp(4, 4, 48, 24, 4)},
        {"palette past the end", bmp(4, 4, 8, 8)},
        {"cut header", bmp(4, 4, 48).substr(0, 30)},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(checkBmp(bytes(c.data), c.data.size(), nullptr, &why)) << c.what;
        bool decoded = true;
        ASSERT_TRUE(decodesWithin(5000, ImageKind::Bmp, c.data, &decoded)) << c.what;
        EXPECT_FALSE(decoded) << c.what;
    }
    std::string info = bmp(4, 4, 48);
    info[14] = 41; // an info header size no format has
    EXPECT_FALSE(checkBmp(bytes(info), info.size(), nullptr, &why));
    std::string offset = bmp(4, 4, 48);
    offset[10] = 10; // pixels inside the headers
    EXPECT_FALSE(checkBmp(bytes(offset), offset.size(), nullptr, &why));
}

TEST(ImageCheck, PngHeaderFieldsAndPixelDataAreChecked) {
    std::string why;
    std::string good = encodePng(testCanvas());
    ASSERT_TRUE(checkPng(bytes(good), good.size(), nullptr, &why)) << why;
    std::string zeroWide = claimingPng(0, 16, 64);
    EXPECT_FALSE(checkPng(bytes(zeroWide), zeroWide.size(), nullptr, &why));
    std::string depth = good;
    depth[8 + 8 + 8] = 3; // bit depth 3
    EXPECT_FALSE(checkPng(bytes(depth), depth.size(), nullptr, &why));
    std::string noData =
        std::string("\x89PNG\r\n\x1a\n", 8) + good.substr(8, 25) + pngChunk("IEND", "");
    EXPECT_FALSE(checkPng(bytes(noData), noData.size(), nullptr, &why));
    EXPECT_NE(why.find("no image data"), std::string::npos) << why;
}

} // namespace
