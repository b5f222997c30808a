// What the plug-in draws into the player's pane, read back from the pane's pixel surface.
#include "tests/plugin/FakeHost.h"

#include <climits>
#include <cstdio>
#include <string>

namespace {

using fakehost::levelsOf;
using fakehost::PluginTest;

constexpr uint32_t kBlack = 0x000000;

uint32_t rgb(int r, int g, int b) {
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
}

class DrawTest : public PluginTest {
  protected:
    void TearDown() override {
        if (HasFailure() && surface != nullptr) {
            save(std::string("plugin-") +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        }
        if (dc != nullptr) {
            DeleteDC(dc);
        }
        PluginTest::TearDown();
    }
    // Render into a rectangle of width x height at the top left of a wider surface: the
    // figure reaches 75 pixels beyond the rectangle's width.
    void render(int width, int height, const TimedLevel& l) {
        surface = std::make_unique<plat::PixelSurface>(width + 100, height, 0);
        dc = plat::createSurfaceDC(surface.get());
        RECT rect{0, 0, width, height};
        TimedLevel copy = l;
        ASSERT_EQ(effects->Render(&copy, dc, &rect), S_OK);
    }
    // Leftmost and rightmost non-black column over rows top..bottom-1.
    HDC dc = nullptr;

    // Keeps the picture for a look when a test fails.
    void save(const std::string& name) {
        std::FILE* f =
            std::fopen((std::string(TC_TEST_STATE_DIR) + "/" + name + ".ppm").c_str(), "wb");
        if (f == nullptr) {
            return;
        }
        std::fprintf(f, "P6\n%d %d\n255\n", surface->width(), surface->height());
        for (int y = 0; y < surface->height(); ++y) {
            for (int x = 0; x < surface->width(); ++x) {
                uint32_t p = surface->at(x, y);
                unsigned char px[3] = {static_cast<unsigned char>(p >> 16),
                                       static_cast<unsigned char>(p >> 8),
                                       static_cast<unsigned char>(p)};
                std::fwrite(px, 1, 3, f);
            }
        }
        std::fclose(f);
    }

    void span(int top, int bottom, int* left, int* right) {
        *left = INT_MAX;
        *right = INT_MIN;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < surface->width(); ++x) {
                if (surface->at(x, y) != kBlack) {
                    *left = std::min(*left, x);
                    *right = std::max(*right, x);
                }
            }
        }
    }
};

TEST_F(DrawTest, A600WideRectangleGivesStep5AndAFigureFrom80To675) {
    // Every band at 128: V 128 -> 100 after scaling by 200/255, a 64 -> 50, d 80 -> 62.
    render(600, 400, levelsOf(128, 128));
    int left = 0, right = 0;
    span(170, 400, &left, &right); // below the text
    EXPECT_EQ(left, 80);
    EXPECT_EQ(right, 675);
    // The line at cy + V runs from each segment's right edge towards its left edge.
    EXPECT_NE(surface->at(675, 300), kBlack);
    EXPECT_EQ(surface->at(80, 300), kBlack);
    // The outer rectangle cy + a .. cy + d, rows 250..261: segment 1 (x 80..84) has the colour
    // of the band after segment 2, segment 2 (x 85..89) the one after segment 3. The band sum
    // 256 gives red = low byte of 255 - 384 = 127 and blue = low byte of 256 = 0.
    for (int x = 80; x <= 84; ++x) {
        EXPECT_EQ(surface->at(x, 255), rgb(127, 250, 0)) << x; // green 255 - 2.1 * 2
    }
    for (int x = 85; x <= 89; ++x) {
        EXPECT_EQ(surface->at(x, 255), rgb(127, 248, 0)) << x; // green 255 - 2.1 * 3
    }
    // Mirrored above the centre line (away from the text).
    EXPECT_EQ(surface->at(400, 145), surface->at(400, 255));
    EXPECT_NE(surface->at(400, 145), surface->at(405, 145));
    EXPECT_EQ(surface->at(82, 200), kBlack);
}

TEST_F(DrawTest, SilenceFlattensTheFigureOntoTheCentreLineInRed) {
    render(600, 400, levelsOf(0, 0));
    for (int x = 81; x <= 675; ++x) {
        uint32_t p = surface->at(x, 200);
        EXPECT_EQ(p >> 16, 255u) << x;
        EXPECT_EQ(p & 0xFF, 0u) << x;
    }
    // The first segment (the rightmost) has green 3.
    EXPECT_EQ(surface->at(675, 200), rgb(255, 3, 0));
    EXPECT_EQ(surface->at(80, 200), kBlack);
    EXPECT_EQ(surface->at(676, 200), kBlack);
    int left = 0, right = 0;
    span(170, 200, &left, &right);
    EXPECT_EQ(left, INT_MAX) << "figure above the centre line";
    span(201, 400, &left, &right);
    EXPECT_EQ(left, INT_MAX) << "figure below the centre line";
}

TEST_F(DrawTest, ABandSumOf200WrapsItsRedTo211) {
    // Height 510: cy 255 and scale 1. Band 8 belongs to segment 118 (x 665..669).
    TimedLevel l = levelsOf(0, 0);
    l.frequency[0][8] = 100;
    l.frequency[1][8] = 100;
    render(600, 510, l);
    // V 100, a 50, b 25, c 12, d 62: the outer rectangle spans rows 305..316.
    EXPECT_EQ(surface->at(667, 310), rgb(211, 5, 200)); // green 255 - 2.1 * 119
    EXPECT_EQ(surface->at(667, 200), rgb(211, 5, 200)); // and mirrored: 193..204
    EXPECT_EQ(surface->at(672, 310), kBlack);
}

TEST_F(DrawTest, RenderWindowedDrawsTheSameIntoThePlayersWindow) {
    TimedLevel l = levelsOf(0, 0);
    for (int i = 0; i < SA_BUFFER_SIZE; ++i) {
        l.frequency[0][i] = static_cast<unsigned char>(i * 7);
        l.frequency[1][i] = static_cast<unsigned char>(255 - i);
    }
    render(600, 400, l);
    plat::PixelSurface direct = *surface;
    ASSERT_NE(openPane(600, 400), nullptr);
    ASSERT_EQ(effects->Create(pane), S_OK);
    ASSERT_EQ(effects->RenderWindowed(&l, TRUE), S_OK);
    int differing = 0;
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 600; ++x) {
            differing += surface->at(x, y) != direct.at(x, y);
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_NE(surface->at(300, 200), 0x123456u);
    save("plugin-pane"); // for a look at what the player shows
}

TEST_F(DrawTest, TheTextFitsItsLinesAndClickHereFitsTheHotArea) {
    render(600, 400, levelsOf(0, 0));
    int magentaLeft = INT_MAX, magentaRight = INT_MIN, white = 0, yellow = 0, red = 0;
    for (int y = 40; y < 170; ++y) {
        for (int x = 0; x < 600; ++x) {
            uint32_t p = surface->at(x, y);
            if (p == rgb(255, 0, 255)) {
                magentaLeft = std::min(magentaLeft, x);
                magentaRight = std::max(magentaRight, x);
                EXPECT_GE(y, 128);
                EXPECT_LE(y, 145);
            }
            white += p == rgb(255, 255, 255);
            yellow += p == rgb(255, 255, 0);
            red += p == rgb(255, 0, 0);
        }
    }
    EXPECT_GE(magentaLeft, 9);
    EXPECT_LE(magentaRight, 80);
    EXPECT_GT(magentaRight, magentaLeft + 30);
    EXPECT_GT(white, 100);
    EXPECT_GT(yellow, 100);
    EXPECT_GT(red, 100);
}

TEST_F(DrawTest, OddRectanglesAndMissingLevelsDrawWithoutHarm) {
    ASSERT_NE(openPane(200, 100), nullptr);
    HDC paneDc = GetDC(pane);
    ASSERT_NE(paneDc, nullptr);
    TimedLevel loud = levelsOf(255, 255);
    for (RECT r : {RECT{0, 0, 0, 0}, RECT{10, 10, -50, -80}, RECT{0, 0, 100000, 100000},
                   RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX}}) {
        EXPECT_EQ(effects->Render(&loud, paneDc, &r), S_OK);
        EXPECT_EQ(effects->Render(nullptr, paneDc, &r), S_OK);
    }
    EXPECT_EQ(effects->Render(&loud, paneDc, nullptr), E_POINTER);
    // A context that draws nowhere.
    RECT r{0, 0, 600, 400};
    EXPECT_EQ(effects->Render(&loud, nullptr, &r), S_OK);
    // The context's own pen and brush are back in place: the stock ones it started with.
    EXPECT_EQ(SelectObject(paneDc, GetStockObject(WHITE_PEN)), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(paneDc, GetStockObject(WHITE_BRUSH)), GetStockObject(WHITE_BRUSH));
    ReleaseDC(pane, paneDc);
}

TEST_F(DrawTest, AWindowWithoutADrawingSurfaceStillAnswers) {
    ASSERT_NE(openPane(300, 200), nullptr);
    plat::bindWindowSurface(pane, nullptr);
    ASSERT_EQ(effects->Create(pane), S_OK);
    TimedLevel l = levelsOf(9, 9);
    EXPECT_EQ(effects->RenderWindowed(&l, TRUE), S_OK);
    EXPECT_EQ(readBlock().spectrum[0][0], 9);
    // A window that is gone has no device context.
    DestroyWindow(pane);
    HWND gone = pane;
    pane = nullptr;
    EXPECT_EQ(effects->Create(gone), S_OK);
    EXPECT_EQ(effects->RenderWindowed(&l, TRUE), E_FAIL);
}

} // namespace
