#include "game/assets/TextureManager.h"
#include "game/assets/DataArchive.h"
#include "tests/game/assets/HostileImages.h"
#include "tests/support/GLContextFixture.h"
#include "tests/support/TestPaths.h"
#include "tests/support/ZipFiles.h"

#include <IL/il.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An image of the given DevIL type, w x h, every pixel (r, g, b, 255).
std::string encodeImage(ILenum type, int w, int h, unsigned char r, unsigned char g,
                        unsigned char b) {
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    std::vector<unsigned char> px(static_cast<size_t>(w * h * 3));
    for (size_t i = 0; i < px.size(); i += 3) {
        px[i] = r;
        px[i + 1] = g;
        px[i + 2] = b;
    }
    ilTexImage(w, h, 1, 3, IL_RGB, IL_UNSIGNED_BYTE, px.data());
    ILuint size = ilSaveL(type, nullptr, 0);
    std::string out(size, '\0');
    ilSaveL(type, out.data(), size);
    ilDeleteImages(1, &image);
    return out;
}

// A 2 x 2 PNG whose top row is white and whose bottom row is black.
std::string topWhitePng() {
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    unsigned char px[12] = {255, 255, 255, 255, 255, 255, 0, 0, 0, 0, 0, 0};
    ilTexImage(2, 2, 1, 3, IL_RGB, IL_UNSIGNED_BYTE, px);
    ilRegisterOrigin(IL_ORIGIN_UPPER_LEFT); // px starts with the top row
    ILuint size = ilSaveL(IL_PNG, nullptr, 0);
    std::string out(size, '\0');
    ilSaveL(IL_PNG, out.data(), size);
    ilDeleteImages(1, &image);
    return out;
}

// A GL context for the suite, and an archive of test images.
class TextureManagerTest : public testsupport::GLTest {
  protected:
    void SetUp() override {
        std::string png = encodeImage(IL_PNG, 8, 8, 255, 0, 0);
        std::string bmp = encodeImage(IL_BMP, 4, 4, 0, 0, 255);
        std::string jpg = encodeImage(IL_JPG, 16, 16, 200, 200, 200);
        testsupport::writeZip(dir.file("tcdata.d"),
                              {{"red.png", png},
                               {"odd.png", encodeImage(IL_PNG, 6, 10, 0, 255, 0)},
                               {"blue.bmp", bmp},
                               {"sky.jpg", jpg},
                               {"caps.PNG", png},
                               {"shot.png.dat", png},
                               {"broken.png", png.substr(0, png.size() / 2)},
                               {"broken.bmp", bmp.substr(0, bmp.size() / 2)},
                               {"broken.jpg", jpg.substr(0, jpg.size() / 2)},
                               {"plain.txt", "not an image"},
                               {"hang.jpg", std::string("\xFF\xD8\xFF\xFE\x00\xFF", 6)},
                               {"wide.jpg", hostileimages::claimingJpeg(23304, 8200)},
                               {"wide.png", hostileimages::claimingPng(30000, 30000, 48 << 10)},
                               {"big.bmp", hostileimages::bmp(20000, 20000, 61, 8, 1)},
                               {"top.png", topWhitePng()}});
        archive = new CDataArchive(dir.file("tcdata.d").c_str());
        dataArchive = archive;
    }
    void TearDown() override {
        textureManager.clearAll();
        dataArchive = nullptr;
        delete archive;
    }
    // The texel at (0, 0) of a texture's base level.
    static std::vector<unsigned char> texel(GLuint name, int* width) {
        glBindTexture(GL_TEXTURE_2D, name);
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        std::vector<unsigned char> px(static_cast<size_t>(w * h * 4) + 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        *width = w;
        return {px[0], px[1], px[2], px[3]};
    }

    testsupport::ScratchDir dir;
    CDataArchive* archive = nullptr;
};

TEST_F(TextureManagerTest, SameNameSharesOneSlotUntilTheLastRelease) {
    int a = -1, b = -1;
    ASSERT_TRUE(textureManager.loadTexture("red.png", a, GL_CLAMP_TO_EDGE, true));
    ASSERT_TRUE(textureManager.loadTexture("red.png", b, GL_REPEAT, false));
    EXPECT_EQ(a, b);
    EXPECT_EQ(textureManager.refs(a), 2);
    GLuint name = textureManager.getGLName(a);
    EXPECT_NE(name, 0u);
    int w = 0;
    std::vector<unsigned char> px = texel(name, &w);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(px, (std::vector<unsigned char>{255, 0, 0, 255}));
    EXPECT_TRUE(textureManager.releaseTexture(a));
    EXPECT_EQ(textureManager.findTexture("red.png"), a);
    EXPECT_TRUE(textureManager.releaseTexture(a));
    EXPECT_EQ(textureManager.findTexture("red.png"), -1);
    EXPECT_EQ(glIsTexture(name), GL_FALSE);
}

TEST_F(TextureManagerTest, TheTopOfTheImageIsAtTextureCoordinateOne) {
    int s = -1;
    ASSERT_TRUE(textureManager.loadTexture("top.png", s, GL_CLAMP_TO_EDGE, false));
    int w = 0;
    // GL's first texel row is t = 0, the bottom of the image.
    EXPECT_EQ(texel(textureManager.getGLName(s), &w)[0], 0);
}

TEST_F(TextureManagerTest, OtherLetterCaseLoadsASecondSlot) {
    int a = -1, b = -1;
    ASSERT_TRUE(textureManager.loadTexture("red.png", a, GL_CLAMP_TO_EDGE, true));
    ASSERT_TRUE(textureManager.loadTexture("RED.png", b, GL_CLAMP_TO_EDGE, true));
    EXPECT_NE(a, b);
    EXPECT_NE(textureManager.getGLName(a), textureManager.getGLName(b));
}

TEST_F(TextureManagerTest, DecoderFollowsTheCaseSensitiveExtension) {
    int s = -1;
    EXPECT_FALSE(textureManager.loadTexture("caps.PNG", s, GL_CLAMP_TO_EDGE, true));
    EXPECT_EQ(s, -1);
    EXPECT_TRUE(textureManager.loadTexture("shot.png.dat", s, GL_CLAMP_TO_EDGE, true));
    int w = 0;
    EXPECT_EQ(texel(textureManager.getGLName(s), &w)[0], 255);
    EXPECT_TRUE(textureManager.loadTexture("blue.bmp", s, GL_CLAMP_TO_EDGE, false));
    EXPECT_EQ(texel(textureManager.getGLName(s), &w)[2], 255);
    EXPECT_TRUE(textureManager.loadTexture("sky.jpg", s, GL_CLAMP_TO_EDGE, true));
    EXPECT_NEAR(texel(textureManager.getGLName(s), &w)[1], 200, 3);
    // Mipmapping rescales sides that are not powers of two.
    EXPECT_TRUE(textureManager.loadTexture("odd.png", s, GL_CLAMP_TO_EDGE, true));
}

TEST_F(TextureManagerTest, MissingOrDamagedImagesFailWithoutASlot) {
    int s = 7;
    EXPECT_FALSE(textureManager.loadTexture("absent.png", s, GL_CLAMP_TO_EDGE, true));
    EXPECT_EQ(s, -1);
    for (const char* name : {"broken.png", "broken.bmp", "broken.jpg", "plain.txt"}) {
        EXPECT_FALSE(textureManager.loadTexture(name, s, GL_CLAMP_TO_EDGE, true)) << name;
        EXPECT_EQ(s, -1) << name;
    }
    EXPECT_EQ(textureManager.findFreeSlot(), 0);
    EXPECT_EQ(textureManager.getGLName(-1), 0u);
    EXPECT_EQ(textureManager.getGLName(100), 0u);
    EXPECT_FALSE(textureManager.releaseTexture(100));
}

// Images that hung the decoder, or made it work for seconds and take gigabytes, or that GL
// cannot take: each fails at once, takes no slot and says which file and why.
TEST_F(TextureManagerTest, HostileImagesFailAtOnceWithTheirReason) {
    struct Case {
        const char* name;
        const char* reason;
    } cases[] = {
        {"hang.jpg", "segment length runs past the end"},
        {"wide.jpg", "23304 x 8200"},
        {"wide.png", "30000 x 30000"},
        {"big.bmp", "BMP"},
        {"broken.png", "PNG"},
        {"absent.png", "absent.png is not in the data archive"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int s = 3;
        EXPECT_FALSE(textureManager.loadTexture(c.name, s, GL_CLAMP_TO_EDGE, true));
        EXPECT_EQ(s, -1);
        const std::string& why = textureManager.loadError();
        EXPECT_EQ(why.find(c.name), 0u) << why;
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }
    EXPECT_EQ(textureManager.findFreeSlot(), 0);
    // Larger than this GL allows on a side is refused too.
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    EXPECT_GE(largest, 1024);
    int s = -1;
    EXPECT_TRUE(textureManager.loadTexture("red.png", s, GL_CLAMP_TO_EDGE, true));
    EXPECT_TRUE(textureManager.loadError().empty());
}

TEST_F(TextureManagerTest, TheHundredAndFirstFailsUntilOneIsReleased) {
    unsigned char px[4] = {1, 2, 3, 4};
    int s = -1;
    for (int i = 0; i < 99; ++i) {
        ASSERT_TRUE(textureManager.createTexture(("made" + std::to_string(i)).c_str(), 1, 1,
                                                 GL_RGBA, px, s));
    }
    ASSERT_TRUE(textureManager.loadTexture("red.png", s, GL_CLAMP_TO_EDGE, true));
    EXPECT_EQ(textureManager.findFreeSlot(), -1);
    int extra = 5;
    EXPECT_FALSE(textureManager.loadTexture("blue.bmp", extra, GL_CLAMP_TO_EDGE, true));
    EXPECT_EQ(extra, -1);
    EXPECT_FALSE(textureManager.createTexture("splat", 1, 1, GL_RGBA, px, extra));
    int made7 = textureManager.findTexture("made7");
    EXPECT_TRUE(textureManager.releaseTexture(made7)); // one release frees a made texture
    ASSERT_TRUE(textureManager.loadTexture("blue.bmp", extra, GL_CLAMP_TO_EDGE, true));
    EXPECT_EQ(extra, made7);
}

} // namespace
