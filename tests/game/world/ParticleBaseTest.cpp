// The particle base without a display: the shared soft dot, the level of detail and the
// game's 15-bit random numbers.
#include "game/assets/SplatTexture.h"
#include "game/assets/math/Random.h"
#include "game/world/ParticleSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

TEST(SplatTexture, SoftDotFromCentreToRim) {
    std::vector<unsigned char> px(kSplatSize * kSplatSize * 4);
    buildSplatPixels(px.data());
    auto texel = [&](int row, int col) { return &px[4 * (row * kSplatSize + col)]; };
    // The centre texel (row 16, column 16) sits at distance 0: 0.4 x 255 = 102.
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(texel(16, 16)[c], 102);
    }
    // Distance 1 and beyond: the corners, the first row and column, (16, 0) on the rim.
    for (auto rc : {std::pair{0, 0}, {0, 16}, {16, 0}, {31, 31}, {0, 31}}) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(texel(rc.first, rc.second)[c], 0) << rc.first << "," << rc.second;
        }
    }
    // Halfway out (d = 0.5): 0.4 x (0.25 - 0.75 + 1) = 0.2 -> 51.
    EXPECT_EQ(texel(16, 24)[0], 51);
    EXPECT_EQ(texel(8, 16)[3], 51);
    // Every channel of a texel is the same byte, and the dot never grows outwards.
    for (int col = 17; col < kSplatSize; ++col) {
        EXPECT_LE(texel(16, col)[0], texel(16, col - 1)[0]);
        EXPECT_EQ(texel(16, col)[1], texel(16, col)[2]);
    }
}

class Pool : public CParticleSystem {};

TEST(ParticleLevelOfDetail, FullUpCloseAnEighthFarAway) {
    Pool p;
    p.maxParticles = 1000;
    p.viewDistance = 0.0f;
    EXPECT_EQ(p.LevelOfDetailCount(), 1000);
    p.viewDistance = 1000.0f;
    EXPECT_EQ(p.LevelOfDetailCount(), 500);
    p.viewDistance = 1750.0f;
    EXPECT_EQ(p.LevelOfDetailCount(), 125);
    p.viewDistance = 9000.0f;
    EXPECT_EQ(p.LevelOfDetailCount(), 125);
    p.maxParticles = 2000;
    p.viewDistance = 1999.0f;
    EXPECT_EQ(p.LevelOfDetailCount(), 250);
}

TEST(ParticleBase, StartsWithoutTextureAndIdentityView) {
    Pool p;
    EXPECT_EQ(p.textureId, -1);
    EXPECT_FLOAT_EQ(p.viewDistance, 0.0f);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(p.viewMatrix.m[i], i % 5 == 0 ? 1.0f : 0.0f);
    }
    Particle q;
    EXPECT_FALSE(q.active);
    EXPECT_FLOAT_EQ(q.life, 0.0f);
}

TEST(Random, FifteenBitRangeWhateverTheLibraryGives) {
    std::srand(12345);
    int lo = 32767, hi = 0, below = 0;
    double sum = 0.0;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        int v = rand15();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        float f = rand01();
        ASSERT_GE(f, 0.0f);
        ASSERT_LE(f, 1.0f);
        sum += f;
        below += randomSign(1.0f) < 0.0f ? 1 : 0;
    }
    // The whole range is reached, evenly: not a sliver of it, not beyond it.
    EXPECT_LT(lo, 50);
    EXPECT_GT(hi, 32700);
    EXPECT_NEAR(sum / n, 0.5, 0.01);
    EXPECT_NEAR(static_cast<double>(below) / n, 0.5, 0.01);
    EXPECT_FLOAT_EQ(randomSign(0.0f) + 0.0f, 0.0f);
}

} // namespace
