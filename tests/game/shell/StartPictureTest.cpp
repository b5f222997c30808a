// The first frame kept for the next start: written as the window shows it (top row first),
// shown again only under the same key, and a damaged file or another window size is refused;
// without one, the splash's backdrop from the archive stands in.
#include "game/shell/StartPicture.h"

#include "game/menu/FlashGuardFile.h"
#include "platform/window/StartupPicture.h"
#include "tests/support/GLContextFixture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

class StartPictureTest : public testsupport::GLTest {
  protected:
    void SetUp() override {
        folder = fs::path(::testing::TempDir()) / "tc-start-picture";
        fs::remove_all(folder);
        fs::create_directories(folder);
        glViewport(0, 0, 64, 64);
    }
    void TearDown() override {
        CloseStartupPicture();
        fs::remove_all(folder);
    }
    // Draws blue over red (the top half blue) and keeps it.
    void keepFrame(CStartPicture& picture) {
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 32, 64, 32);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        picture.keepFirstFrame();
    }
    bool shows(int side = 64) {
        CStartPicture picture(side, side, folder.string());
        bool shown = picture.show(0, 0);
        EXPECT_EQ(shown, StartupPictureShown());
        CloseStartupPicture();
        return shown;
    }
    fs::path kept() const { return folder / CStartPicture::kName; }

    fs::path folder;
};

TEST_F(StartPictureTest, KeptFrameIsShownUnderItsKeyOnly) {
    EXPECT_FALSE(shows()); // nothing kept yet
    CStartPicture first(64, 64, folder.string());
    keepFrame(first);
    ASSERT_EQ(fs::file_size(kept()), 24u + 64 * 64 * 3);
    {
        std::ifstream in(kept(), std::ios::binary);
        in.seekg(24);
        char top[3] = {};
        in.read(top, 3);
        EXPECT_EQ(static_cast<unsigned char>(top[2]), 255); // the top row is the blue one
        EXPECT_EQ(static_cast<unsigned char>(top[0]), 0);
    }
    EXPECT_TRUE(shows());
    EXPECT_FALSE(shows(32)); // another window size

    // The guard's file decides the splash's warning: a change makes the kept frame stale until
    // a start keeps a new one.
    ASSERT_TRUE(flashguardfile::save((folder / flashguardfile::kName).string().c_str(), false));
    CStartPicture changed(64, 64, folder.string());
    EXPECT_NE(changed.key(), first.key());
    EXPECT_FALSE(changed.show(0, 0));
    keepFrame(changed);
    EXPECT_TRUE(shows());

    // A damaged file is refused.
    fs::resize_file(kept(), fs::file_size(kept()) - 1);
    EXPECT_FALSE(shows());
    std::ofstream(kept(), std::ios::binary) << "TCSPLASH";
    EXPECT_FALSE(shows());

    // With the game's archive beside it, the splash's backdrop shows instead, and the first
    // frame is kept as ever.
    fs::create_directories(folder / "data");
    fs::copy_file(std::string(TC_DIST_DIR) + "/data/tcdata.d", folder / "data" / "tcdata.d");
    CStartPicture fresh(64, 64, folder.string());
    EXPECT_TRUE(fresh.show(0, 0));
    EXPECT_TRUE(StartupPictureShown());
    CloseStartupPicture();
    keepFrame(fresh);
    EXPECT_EQ(fs::file_size(kept()), 24u + 64 * 64 * 3);

    // Decoded ahead only without any kept frame (a first start), and stretched to the size
    // given; the picture shows from it.
    std::vector<uint8_t> rgb;
    CBackdropAhead withKept(folder.string());
    EXPECT_FALSE(withKept.take(64, 64, rgb));
    fs::remove(kept());
    { CBackdropAhead neverTaken(folder.string()); } // stops without a size
    CBackdropAhead otherSize(folder.string());
    otherSize.stretchTo(32, 32);
    EXPECT_FALSE(otherSize.take(64, 64, rgb));
    CBackdropAhead ahead(folder.string());
    ahead.stretchTo(64, 64);
    ASSERT_TRUE(ahead.take(64, 64, rgb));
    ASSERT_EQ(rgb.size(), 64u * 64 * 3);
    // The backdrop reaches every corner: a dark blue sky at the top left, the sunset's orange at
    // the bottom right.
    auto luma = [&](int x, int y) {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * 64 + x) * 3];
        return p[0] + p[1] + p[2];
    };
    EXPECT_GT(luma(0, 0), 30);
    EXPECT_GT(luma(63, 63), 3 * luma(0, 0));
    CBackdropAhead again(folder.string());
    CStartPicture firstStart(64, 64, folder.string());
    EXPECT_TRUE(firstStart.show(0, 0, &again));
    EXPECT_TRUE(StartupPictureShown());
    EXPECT_FALSE(again.take(64, 64, rgb)); // taken once
}

} // namespace
