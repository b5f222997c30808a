#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>

namespace {

class GdiTest : public ::testing::Test {
  protected:
    void SetUp() override { dc = plat::createSurfaceDC(&surface); }
    void TearDown() override { EXPECT_TRUE(DeleteDC(dc)); }

    int count(uint32_t rgb) const {
        int n = 0;
        for (int y = 0; y < surface.height(); ++y) {
            for (int x = 0; x < surface.width(); ++x) {
                n += surface.at(x, y) == rgb;
            }
        }
        return n;
    }

    plat::PixelSurface surface{40, 30, 0};
    HDC dc = nullptr;
};

TEST_F(GdiTest, FillRectCoversTheRectangleWithoutItsRightAndBottomEdges) {
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT r{2, 3, 12, 8};
    EXPECT_NE(FillRect(dc, &r, red), 0);
    EXPECT_EQ(count(0xFF0000), 10 * 5);
    EXPECT_EQ(surface.at(2, 3), 0xFF0000u);
    EXPECT_EQ(surface.at(11, 7), 0xFF0000u);
    EXPECT_EQ(surface.at(12, 7), 0u);
    EXPECT_EQ(surface.at(11, 8), 0u);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 40, 5), CLR_INVALID);
    // Clipped at the surface's edges; an inverted rectangle is empty.
    RECT big{-100, -100, 100, 100};
    FillRect(dc, &big, red);
    EXPECT_EQ(count(0xFF0000), 40 * 30);
    RECT inverted{10, 10, 5, 5};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &inverted, blue);
    EXPECT_EQ(count(0x0000FF), 0);
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_TRUE(DeleteObject(blue));
    EXPECT_EQ(FillRect(dc, &r, red), 0) << "a deleted brush";
}

TEST_F(GdiTest, RectangleOutlinesWithThePenFillsWithTheBrushAndNormalisesCorners) {
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(0, 255, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    EXPECT_EQ(oldPen, GetStockObject(BLACK_PEN));
    EXPECT_EQ(oldBrush, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(Rectangle(dc, 15, 12, 5, 2)); // corners swapped: 5..14 x 2..11
    EXPECT_EQ(count(0x00FF00), 2 * 10 + 2 * 8);
    EXPECT_EQ(count(0x0000FF), 8 * 8);
    EXPECT_EQ(surface.at(5, 2), 0x00FF00u);
    EXPECT_EQ(surface.at(14, 11), 0x00FF00u);
    EXPECT_EQ(surface.at(15, 11), 0u);
    // No width or no height: nothing.
    surface.resize(40, 30, 0);
    EXPECT_TRUE(Rectangle(dc, 5, 5, 5, 20));
    EXPECT_TRUE(Rectangle(dc, 5, 5, 20, 5));
    EXPECT_EQ(count(0), 40 * 30);
    // A hollow brush and a null pen.
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 0, 4, 4);
    EXPECT_EQ(count(0x00FF00), 12);
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, brush);
    surface.resize(40, 30, 0);
    Rectangle(dc, 0, 0, 4, 4);
    EXPECT_EQ(count(0x0000FF), 16);

    EXPECT_FALSE(DeleteObject(brush)) << "still selected";
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_PEN)), GetStockObject(BLACK_PEN));
}

TEST_F(GdiTest, LinesLeaveOutTheirEndPointAndMoveTheCurrentPosition) {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    SelectObject(dc, pen);
    POINT previous{-1, -1};
    EXPECT_TRUE(MoveToEx(dc, 10, 5, &previous));
    EXPECT_EQ(previous.x, 0);
    EXPECT_TRUE(LineTo(dc, 2, 5));
    EXPECT_EQ(count(0xFFFFFF), 8);
    EXPECT_EQ(surface.at(10, 5), 0xFFFFFFu);
    EXPECT_EQ(surface.at(2, 5), 0u);
    LineTo(dc, 2, 9); // from the old end point, down
    EXPECT_EQ(surface.at(2, 5), 0xFFFFFFu);
    EXPECT_EQ(surface.at(2, 9), 0u);
    // A diagonal touches one pixel per step.
    surface.resize(40, 30, 0);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 10, 10);
    EXPECT_EQ(count(0xFFFFFF), 10);
    EXPECT_EQ(surface.at(9, 9), 0xFFFFFFu);
    // A shallow slope rounds to the nearest row.
    surface.resize(40, 30, 0);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 20, 2);
    EXPECT_EQ(surface.at(4, 0), 0xFFFFFFu);
    EXPECT_EQ(surface.at(6, 1), 0xFFFFFFu);
    EXPECT_EQ(surface.at(16, 2), 0xFFFFFFu);
    // A wide pen draws a square nib.
    HPEN wide = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
    SelectObject(dc, wide);
    surface.resize(40, 30, 0);
    MoveToEx(dc, 10, 10, nullptr);
    LineTo(dc, 11, 10);
    EXPECT_EQ(count(0xFF0000), 9);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
    DeleteObject(wide);
}

TEST_F(GdiTest, HugeLinesAreClippedQuickly) {
    SelectObject(dc, GetStockObject(WHITE_PEN));
    auto start = std::chrono::steady_clock::now();
    MoveToEx(dc, INT_MAX, 15, nullptr);
    LineTo(dc, INT_MIN, 15);
    MoveToEx(dc, INT_MIN, INT_MIN, nullptr);
    LineTo(dc, INT_MAX, INT_MAX);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(surface.at(0, 15), 0xFFFFFFu);
    EXPECT_EQ(surface.at(39, 15), 0xFFFFFFu);
    EXPECT_LT(seconds, 5.0) << "the line was walked outside the surface";
}

TEST_F(GdiTest, TextDrawsInItsColoursOnAnOpaqueOrTransparentBackground) {
    SIZE extent{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "Click Here", 10, &extent));
    EXPECT_EQ(extent.cy, 16);
    EXPECT_GT(extent.cx, 40);
    EXPECT_LE(extent.cx, 71) << "\"Click Here\" must fit the plug-in's hot area";
    SIZE wider{};
    GetTextExtentPoint32A(dc, "Click Here!", 11, &wider);
    EXPECT_GT(wider.cx, extent.cx);

    SetTextColor(dc, RGB(255, 0, 255));
    EXPECT_EQ(SetBkColor(dc, RGB(0, 0, 80)), RGB(255, 255, 255));
    EXPECT_TRUE(TextOutA(dc, 1, 2, "Hi", 2));
    GetTextExtentPoint32A(dc, "Hi", 2, &extent);
    int ink = count(0xFF00FF);
    EXPECT_GT(ink, 10);
    EXPECT_EQ(ink + count(0x000050), extent.cx * 16) << "the cell is filled with the background";
    EXPECT_EQ(surface.at(1 + extent.cx, 2), 0u);

    surface.resize(40, 30, 0x112233);
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    TextOutA(dc, 1, 2, "Hi", 2);
    EXPECT_EQ(count(0xFF00FF), ink);
    EXPECT_EQ(count(0x000050), 0);
    // Characters above 127 and control characters draw without harm.
    EXPECT_TRUE(TextOutA(dc, 0, 0, "\xC4\x01\xFF", 3));
    EXPECT_FALSE(TextOutA(dc, 0, 0, nullptr, 3));
    EXPECT_TRUE(TextOutA(dc, 0, 0, nullptr, 0));
}

TEST(GdiContextTest, ContextsWithoutASurfaceAndUnknownHandlesFail) {
    HDC none = plat::createSurfaceDC(nullptr);
    RECT r{0, 0, 10, 10};
    EXPECT_EQ(FillRect(none, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
    EXPECT_FALSE(LineTo(none, 5, 5));
    EXPECT_FALSE(TextOutA(none, 0, 0, "x", 1));
    EXPECT_TRUE(DeleteDC(none));
    EXPECT_FALSE(DeleteDC(none));
    HDC bogus = reinterpret_cast<HDC>(&r);
    EXPECT_EQ(SelectObject(bogus, GetStockObject(WHITE_PEN)), nullptr);
    EXPECT_FALSE(Rectangle(bogus, 0, 0, 5, 5));
    EXPECT_EQ(SetTextColor(bogus, 0), CLR_INVALID);
    EXPECT_FALSE(DeleteObject(&r));
    EXPECT_EQ(GetStockObject(99), nullptr);
}

} // namespace
