// The data archive the build generates: every entry the game loads is there under its exact
// name, decodes or loads the way the game will, and the build gives the same bytes each time.
#include "game/assets/DataArchive.h"
#include "game/assets/TextureManager.h"
#include "game/assets/bone/BoneModel.h"
#include "tests/support/GLContextFixture.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const std::string kArchive = std::string(TC_DIST_DIR) + "/data/tcdata.d";

const char* const kImages[] = {
    "north.jpg",
    "south.jpg",
    "east.jpg",
    "west.jpg",
    "up.jpg",
    "grass3.jpg",
    "terrainNormalMap.png",
    "flame6.png",
    "flame.png",
    "water.png",
    "Wing.png",
    "snowflake.png",
    "Exhaust.png",
    "font2.png",
    "MenuF1.png",
    "ExitEsc.png",
    "WMPLogo.png",
    "NoMusicStreaming.png",
    "TCBackground.jpg",
    "Tonecrest.png",
    "OverView.png",
    "ViewPoint.png",
    "Wave.png",
    "Help.png",
    "QuickSetup.png",
    "Save.png",
    "Cancel.png",
    "Menu1.png",
    "HyKey.png",
    "Forward.png",
    "Near.png",
    "Mid.png",
    "Far.png",
    "Backward.png",
    "Center.png",
    "ViewCenter.png",
    "ViewFreqBars.png",
    "Cycle.png",
    "SmoothRough.png",
    "SlowFast.png",
    "Knob.png",
    "HeadTilt.png",
    "Dragon.png",
    "Explanation.png",
    "QuickSetupHeading.png",
    "CircleOne.png",
    "CircleTwo.png",
    "CircleThree.png",
    "Previous.png",
    "Next.png",
    "Step1RunWMP.png",
    "Step1Text.png",
    "Step2SelectPlugin.png",
    "Step2Text.png",
    "WMPFindPlugin.png",
    "Step3PlayMusic.png",
    "Step3Text.png",
    "WMPTCPlaying.png",
    "CheckMark.png",
    "2Dot0.png",
    "BrightfoldSoftware.png",
    "BrightfoldDotCom.png",
    "Notice.png",
    "DragonSplash.jpg",
    "RideTheMusicalWave.png",
};
const char* const kProps[] = {"FountainPot.dat", "FountainPot2.dat", "FreqBarsPlatform.dat",
                              "FireBallPoll.dat"};
const char* const kDragonStrips[] = {
    "GentleFlap",    "SmallMouthOpen", "SmallTailWhip", "SmallBobHead", "SmallRightHead",
    "RightLeg",      "LeftLeg",        "SmallNod",      "RightArm",     "LeftArm",
    "TailWave",      "SmallLeftHead",  "AwkwardWingL",  "BobHead",      "MouthOpen",
    "Flap",          "WhipTail",       "RightLeftHead", "AwkwardWingR", "LeftNeck",
    "Flap2",         "QuickFlap",      "LeftArmSwipe",  "LegsThrashR",  "WhipTailBig",
    "BigFlap",       "BigBobHead",     "TailSlash",     "HeadBack",     "SnapMouth",
    "RightArmSwipe", "LegsThrashL"};

class GameArchiveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        dataArchive = &archive;
    }
    void TearDown() override {
        textureManager.clearAll();
        dataArchive = nullptr;
    }
    // Bytes of texel rows [row0, row1) of the bound texture's base level, RGBA.
    static std::vector<unsigned char> pixels(int slot, int* width, int* height) {
        glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(slot));
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, height);
        std::vector<unsigned char> px(size_t(*width) * size_t(*height) * 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        return px;
    }

    testsupport::OffscreenGL gl;
    CDataArchive archive{kArchive.c_str()};
};

TEST_F(GameArchiveTest, EveryImageDecodesThroughTheTextureManager) {
    for (const char* name : kImages) {
        int slot = -1;
        EXPECT_TRUE(textureManager.loadTexture(name, slot, GL_CLAMP_TO_EDGE, true)) << name;
        textureManager.releaseTexture(slot);
    }
}

// Glyph g is in column g mod 16, row g div 16 from the top; 'A' is glyph 33 and code 127
// (glyph 95) is empty. GL's rows count from the bottom of the image.
TEST_F(GameArchiveTest, FontCellsFollowTheGlyphLayout) {
    int slot = -1, w = 0, h = 0;
    ASSERT_TRUE(textureManager.loadTexture("font2.png", slot, GL_CLAMP_TO_EDGE, false));
    std::vector<unsigned char> px = pixels(slot, &w, &h);
    ASSERT_EQ(w, h);
    int cell = w / 16;
    auto ink = [&](int g) {
        int column = g % 16, rowFromTop = g / 16;
        long sum = 0;
        for (int y = 0; y < cell; ++y) {
            int glRow = h - 1 - (rowFromTop * cell + y);
            for (int x = 0; x < cell; ++x) {
                unsigned char r = px[(size_t(glRow) * w + size_t(column * cell + x)) * 4];
                sum += r > 128 ? 1 : 0;
            }
        }
        return sum;
    };
    EXPECT_GT(ink(33), cell * 2);       // 'A'
    EXPECT_GT(ink(128 + 33), cell * 2); // 'A' of set 1
    EXPECT_EQ(ink(0), 0);               // space
    EXPECT_EQ(ink(95), 0);              // code 127
    EXPECT_GT(ink(1), ink(14));         // '!' has more ink than '.'
}

TEST_F(GameArchiveTest, PropsLoadAsStaticModels) {
    for (const char* name : kProps) {
        CBoneModel prop;
        ASSERT_TRUE(prop.loadBoneModel(name)) << prop.loadError();
        EXPECT_FALSE(prop.animated) << name;
        ASSERT_FALSE(prop.parts.empty()) << name;
        EXPECT_GT(prop.parts[0].quads.size() + prop.parts[0].triangles.size(), 20u) << name;
    }
}

TEST_F(GameArchiveTest, DragonHasEveryMoveAndItsBreathAnchor) {
    CBoneModel dragon;
    ASSERT_TRUE(dragon.loadBoneModel("MyBoneExportDragon.dat")) << dragon.loadError();
    EXPECT_TRUE(dragon.animated);
    EXPECT_GE(dragon.keyCount, 26); // the breath plays over keys 10 to 25
    for (const char* name : kDragonStrips) {
        int found = 0, moving = 0;
        for (const ActionStrip& s : dragon.strips) {
            if (std::strcmp(s.name, name) == 0) {
                ++found;
                for (const BoneTrack& t : s.tracks) {
                    moving += t.moves != 0 ? 1 : 0;
                }
            }
        }
        EXPECT_EQ(found, 1) << name;
        EXPECT_GT(moving, 0) << name << " moves no bone";
    }
    ASSERT_GE(dragon.parts.size(), 2u);
    ASSERT_FALSE(dragon.parts[0].quads.empty());
    const BoneVertex& anchor =
        dragon.parts[0].vertices[size_t(dragon.parts[0].quads[0].corners[0])];
    // The mouth is the front-most point of the body part, on the centre line.
    float front = -1e9f;
    for (const BoneVertex& v : dragon.parts[1].vertices) {
        if (std::fabs(v.position.x) < 1.0f) {
            front = std::max(front, v.position.z);
        }
    }
    EXPECT_NEAR(anchor.position.z, front, 2.0f);
    EXPECT_NEAR(anchor.position.x, 0.0f, 0.01f);
    ASSERT_FALSE(anchor.weights.empty());
}

TEST_F(GameArchiveTest, HeightPointsAre256FloatsOfGroundBelowTheRide) {
    ASSERT_TRUE(archive.readFile("TerrainHeightPoints.dat"));
    ASSERT_EQ(archive.getSize(), 1024u);
    std::vector<float> h(256);
    std::memcpy(h.data(), archive.getData(), 1024);
    float lowest = 1e9f, highest = -1e9f;
    for (int k = 0; k < 256; ++k) {
        ASSERT_TRUE(std::isfinite(h[size_t(k)]));
        // The terrain is drawn at (-2000, 142, -2000), points 320 apart, heights times 20.
        float x = -2000 + 320.0f * float(k / 16), z = -2000 + 320.0f * float(k % 16);
        float y = 142 + 20 * h[size_t(k)];
        if (std::sqrt(x * x + z * z) < 1400) {
            EXPECT_LT(y, -40) << "ground too high under the ride at " << x << ", " << z;
        }
        lowest = std::min(lowest, y);
        highest = std::max(highest, y);
    }
    EXPECT_GT(highest - lowest, 200); // rolling hills, not a plain
}

TEST(GameArchiveBuild, TheSameSourcesGiveTheSameBytes) {
    testsupport::ScratchDir dir;
    std::string tool = TC_TCDATA_BUILD;
    for (const char* name : {"a.zip", "b.zip"}) {
        std::string command = tool + " " + dir.file(name) + " > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    std::string a = testsupport::readFile(dir.file("a.zip"));
    EXPECT_GT(a.size(), 100000u);
    EXPECT_TRUE(a == testsupport::readFile(dir.file("b.zip")));
    EXPECT_TRUE(a == testsupport::readFile(kArchive));
}

} // namespace
