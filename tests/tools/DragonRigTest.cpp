#include "tools/tcdata-build/DragonRig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Loops must join (the animation jumps from the last key back to key 0), and a bone that moves
// must carry its children with it, since skinning has no hierarchy of its own.
TEST(DragonRig, StripsLoopAndCarryChildBones) {
    std::vector<bonemodel::Strip> strips = dragon::strips();
    ASSERT_EQ(strips.size(), 32u);
    for (const bonemodel::Strip& s : strips) {
        ASSERT_EQ(s.tracks.size(), size_t(dragon::BoneCount)) << s.name;
        EXPECT_LE(s.name.size(), 19u);
        EXPECT_FALSE(s.tracks[dragon::Body]) << s.name << " moves the whole body";
        bool any = false;
        for (int b = 0; b < dragon::BoneCount; ++b) {
            const auto& track = s.tracks[size_t(b)];
            int parent = dragon::bone(b).parent;
            if (parent >= 0 && s.tracks[size_t(parent)]) {
                EXPECT_TRUE(track) << s.name << ": bone " << b << " left behind";
            }
            if (!track) {
                continue;
            }
            any = true;
            ASSERT_EQ(track->size(), size_t(dragon::kKeys));
            for (int e = 0; e < 16; ++e) {
                EXPECT_NEAR(track->front()[size_t(e)], track->back()[size_t(e)], 1e-4)
                    << s.name << " bone " << b;
            }
        }
        EXPECT_TRUE(any) << s.name;
    }
}

// A joint's pivot stays where it is under its own bone's turn: the key matrices turn about the
// pivot, not about the origin.
TEST(DragonRig, JawTurnsAboutItsHinge) {
    for (const bonemodel::Strip& s : dragon::strips()) {
        if (s.name != "MouthOpen") {
            continue;
        }
        const auto& jaw = s.tracks[dragon::Jaw];
        ASSERT_TRUE(jaw);
        const float* p = dragon::bone(dragon::Jaw).pivot;
        const bonemodel::KeyMatrix& m = (*jaw)[dragon::kKeys / 2];
        for (int r = 0; r < 3; ++r) {
            float moved = m[size_t(r)] * p[0] + m[size_t(4 + r)] * p[1] + m[size_t(8 + r)] * p[2] +
                          m[size_t(12 + r)];
            EXPECT_NEAR(moved, p[r], 1e-3);
        }
        EXPECT_LT(m[10], 0.95f); // and it does open
        EXPECT_FALSE(s.tracks[dragon::Head]);
        return;
    }
    FAIL() << "no MouthOpen strip";
}

} // namespace
