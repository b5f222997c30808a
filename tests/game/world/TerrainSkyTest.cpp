// The terrain's grid from height files and the sky box's cube, without drawing.
#include "game/world/Skybox.h"
#include "game/world/Terrain.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

std::vector<unsigned char> heightFile(const std::vector<float>& heights) {
    std::vector<unsigned char> bytes(heights.size() * 4);
    std::memcpy(bytes.data(), heights.data(), bytes.size()); // this machine is little-endian
    return bytes;
}

TEST(Terrain, ZerosGiveAFlatGridFromZeroTo4800) {
    CTerrain t;
    auto file = heightFile(std::vector<float>(256, 0.0f));
    t.setHeights(file.data(), file.size());
    for (int i = 0; i < 16; ++i) {
        for (int j = 0; j < 16; ++j) {
            ASSERT_FLOAT_EQ(t.grid[i][j].x, 320.0f * i);
            ASSERT_FLOAT_EQ(t.grid[i][j].y, 0.0f);
            ASSERT_FLOAT_EQ(t.grid[i][j].z, 320.0f * j);
        }
    }
    EXPECT_FLOAT_EQ(t.grid[15][15].x, 4800.0f);
    EXPECT_FLOAT_EQ(t.grid[15][15].z, 4800.0f);
    EXPECT_FLOAT_EQ(t.tint[0], 0.0f);
    EXPECT_FLOAT_EQ(t.tint[1], 1.0f);
    EXPECT_EQ(t.groundTexture, -1);
    EXPECT_EQ(t.shadingTexture, -1);
}

TEST(Terrain, KnownFileRowsThenColumnsScaledBy20) {
    std::vector<float> h(256);
    for (int k = 0; k < 256; ++k) {
        h[k] = static_cast<float>(k) * 0.5f - 3.0f;
    }
    auto file = heightFile(h);
    CTerrain t;
    t.setHeights(file.data(), file.size());
    // The 16th float is h(0, 15), at (0, 20 h, 4800).
    EXPECT_FLOAT_EQ(t.grid[0][15].x, 0.0f);
    EXPECT_FLOAT_EQ(t.grid[0][15].y, 20.0f * h[15]);
    EXPECT_FLOAT_EQ(t.grid[0][15].z, 4800.0f);
    EXPECT_FLOAT_EQ(t.grid[1][0].y, 20.0f * h[16]);
    EXPECT_FLOAT_EQ(t.grid[15][15].y, 20.0f * h[255]);
    EXPECT_FLOAT_EQ(t.grid[7][3].y, 20.0f * h[7 * 16 + 3]);
    // A longer entry: only the first 256 floats count.
    file.resize(file.size() + 17, 0xff);
    t.setHeights(file.data(), file.size());
    EXPECT_FLOAT_EQ(t.grid[15][15].y, 20.0f * h[255]);
}

TEST(Terrain, ShortOrMissingHeightsGiveAFlatGrid) {
    std::vector<float> h(256, 2.0f);
    auto file = heightFile(h);
    CTerrain t;
    t.setHeights(file.data(), file.size());
    ASSERT_FLOAT_EQ(t.grid[3][3].y, 40.0f);
    t.setHeights(file.data(), file.size() - 1);
    for (int i = 0; i < 16; ++i) {
        for (int j = 0; j < 16; ++j) {
            ASSERT_FLOAT_EQ(t.grid[i][j].y, 0.0f);
            ASSERT_FLOAT_EQ(t.grid[i][j].z, 320.0f * j);
        }
    }
    t.setHeights(nullptr, 0);
    EXPECT_FLOAT_EQ(t.grid[15][0].x, 4800.0f);
    // Without an archive the constructor finds no file: flat as well.
    CTerrain none;
    EXPECT_FLOAT_EQ(none.grid[9][9].y, 0.0f);
    EXPECT_FLOAT_EQ(none.grid[9][9].x, 2880.0f);
}

TEST(Skybox, CubeOfEdge1000AndTheFacesInDrawingOrder) {
    Skybox s;
    EXPECT_FLOAT_EQ(s.tint[0], 1.0f);
    const float expected[8][3] = {{-500, -500, -500}, {-500, -500, 500}, {500, -500, 500},
                                  {500, -500, -500},  {-500, 500, -500}, {-500, 500, 500},
                                  {500, 500, 500},    {500, 500, -500}};
    for (int c = 0; c < 8; ++c) {
        for (int k = 0; k < 3; ++k) {
            ASSERT_FLOAT_EQ(s.corner[c][k], expected[c][k]) << c;
        }
    }
    const Skybox::Face order[6] = {Skybox::Bottom, Skybox::Top,  Skybox::Front,
                                   Skybox::Back,   Skybox::Left, Skybox::Right};
    std::set<int> used;
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(Skybox::kDrawOrder[f].texture, order[f]);
        // Every face is a real face of the cube: its four corners share one coordinate.
        const int* c = Skybox::kDrawOrder[f].corner;
        int shared = 0;
        for (int k = 0; k < 3; ++k) {
            float v = s.corner[c[0]][k];
            if (v == s.corner[c[1]][k] && v == s.corner[c[2]][k] && v == s.corner[c[3]][k]) {
                ++shared;
                used.insert(k * 2 + (v > 0 ? 1 : 0));
            }
        }
        EXPECT_EQ(shared, 1) << f;
    }
    EXPECT_EQ(used.size(), 6u); // six different faces
    // Seen from the centre every face winds counter-clockwise, so culling keeps it.
    for (const auto& face : Skybox::kDrawOrder) {
        const float* a = s.corner[face.corner[0]];
        const float* b = s.corner[face.corner[1]];
        const float* c = s.corner[face.corner[2]];
        float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                      u[0] * v[1] - u[1] * v[0]};
        // The normal points at the centre: opposite to the face's own position.
        float dot = n[0] * a[0] + n[1] * a[1] + n[2] * a[2];
        EXPECT_LT(dot, 0.0f);
    }
}

TEST(Skybox, DrawThroughTheTreeDrawsNothingAndTintIsKeptAsGiven) {
    Skybox s;
    EXPECT_TRUE(s.Draw(0.5f));
    s.SetTint(-0.2f, 0.5f, 2.0f);
    EXPECT_FLOAT_EQ(s.tint[0], -0.2f);
    EXPECT_FLOAT_EQ(s.tint[2], 2.0f);
}

} // namespace
