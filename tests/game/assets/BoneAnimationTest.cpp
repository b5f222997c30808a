// Playing action strips: combinations by name, the key timer, playlists, interpolation and
// where skinned vertices end up. Expected poses are worked out by hand from the key matrices.
#include "game/assets/bone/BoneModel.h"
#include "tools/bonemodel/BoneModelWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

namespace {

using bonemodel::KeyMatrix;

constexpr float kHalfRoot2 = 0.70710678f;

// A quarter turn about Z (x -> y).
KeyMatrix quarterTurnZ() {
    return {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}
// A quarter turn about X (y -> z).
KeyMatrix quarterTurnX() {
    return {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1};
}
KeyMatrix moved(float x, float y, float z) {
    KeyMatrix m = bonemodel::identityKey();
    m[12] = x, m[13] = y, m[14] = z;
    return m;
}

// Three bones and four keys. Strips: "Lift" moves bone 0 up by 2 per key, "Slide" moves bone 1
// along x by 3 per key, "TurnZ" turns bone 0 a quarter about Z at every key, "TurnX" turns bone
// 0 a quarter about X, and four more strips that move bone 2 only.
bonemodel::Model sampleModel() {
    bonemodel::Model model;
    bonemodel::Part part;
    for (int b = 0; b < 3; ++b) {
        bonemodel::Vertex v;
        v.position[0] = 1.0f;
        v.weights = {{b, 1.0f}};
        part.vertices.push_back(v);
    }
    bonemodel::Face tri;
    tri.corners[1] = 1, tri.corners[2] = 2;
    part.faces = {tri};
    part.materials.resize(1);
    model.parts = {part};
    model.keyCount = 4;
    auto strip = [&](const std::string& name, int bone, auto key) {
        bonemodel::Strip s;
        s.name = name;
        s.tracks.resize(3);
        s.tracks[size_t(bone)].emplace();
        for (int k = 0; k < 4; ++k) {
            s.tracks[size_t(bone)]->push_back(key(k));
        }
        model.strips.push_back(s);
    };
    strip("Lift", 0, [](int k) { return moved(0, 2.0f * k, 0); });
    strip("Slide", 1, [](int k) { return moved(3.0f * k, 0, 0); });
    strip("TurnZ", 0, [](int) { return quarterTurnZ(); });
    strip("TurnX", 0, [](int) { return quarterTurnX(); });
    for (const char* name : {"TailA", "TailB", "TailC", "TailD"}) {
        strip(name, 2, [](int k) { return moved(0, 0, 1.0f * k); });
    }
    return model;
}

class BoneAnimationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string bytes = bonemodel::write(sampleModel());
        ASSERT_TRUE(
            model.parse(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
        ASSERT_TRUE(model.animated);
        ASSERT_EQ(model.keyCount, 4);
    }
    // Interpolates the current combination at a key and a fraction.
    void poseAt(int key, float fraction) {
        model.key = static_cast<float>(key);
        model.fraction = fraction;
        model.newSegment = true;
        model.updateAnimation(0.0f);
    }
    Vector3 vertex(int i) const {
        return model.skinnedPosition(model.parts[0].vertices[size_t(i)]);
    }

    CBoneModel model;
};

void expectNear(const Vector3& a, const Vector3& b) {
    EXPECT_NEAR(a.x, b.x, 1e-4f);
    EXPECT_NEAR(a.y, b.y, 1e-4f);
    EXPECT_NEAR(a.z, b.z, 1e-4f);
}

class RecordingAttachment : public BoneAttachment {
  public:
    bool attachmentInView() override { return true; }
    bool attachmentUpdate(float) override { return true; }
    void attachmentRender() override {}
    void attachmentLevel(float value) override { levels.push_back(value); }
    std::vector<float> levels;
};

TEST_F(BoneAnimationTest, MusicValueChoosesTheLevelAndReachesTheAttachment) {
    RecordingAttachment breath;
    model.setAttachment(&breath);
    const struct {
        float value;
        int level;
    } cases[] = {{0.0f, 0}, {0.2999f, 0}, {0.3f, 1}, {0.5999f, 1}, {0.6f, 2}, {4.0f, 2}};
    for (const auto& c : cases) {
        model.setMusicLevel(c.value);
        EXPECT_EQ(model.musicLevel, c.level) << c.value;
        EXPECT_FLOAT_EQ(model.speedBoost, c.value * 10.0f);
    }
    ASSERT_EQ(breath.levels.size(), 6u);
    EXPECT_FLOAT_EQ(breath.levels[2], 0.3f);
}

TEST_F(BoneAnimationTest, StripsAreFoundIgnoringCaseAndMissingOnesThrow) {
    model.setupCombination({"lift", "SLIDE"});
    ASSERT_EQ(model.combinations.size(), 1u);
    model.setupCombination({"TailA", "TailB", "TailC", "TailD", "Lift", "Slide"});
    ASSERT_EQ(model.combinations.size(), 2u);
    for (int source : model.combinations[1].sourceStrip) {
        EXPECT_EQ(source, 1) << "every track names the last strip merged in";
    }
    try {
        model.setupCombination({"Lift", "GentleFlap"});
        FAIL() << "no throw";
    } catch (const std::string& message) {
        EXPECT_EQ(message, "CBoneModel::setupCombination, The Following Action Strip Not Found: "
                           "'GentleFlap'");
    }
    EXPECT_EQ(model.combinations.size(), 2u);
    const int bad[CBoneModel::kMaxCombined] = {0, 99, -1, -1, -1, -1, -1, -1};
    model.combineStrips(bad);
    const int none[CBoneModel::kMaxCombined] = {-1, 0, -1, -1, -1, -1, -1, -1};
    model.combineStrips(none);
    EXPECT_EQ(model.combinations.size(), 2u);
}

// Six strips: bone 2 follows the four tail strips, each adding its move; bones 0 and 1 follow
// their own strips exactly.
TEST_F(BoneAnimationTest, DisjointStripsEachDriveTheirOwnBones) {
    model.setupCombination({"Lift", "Slide"});
    model.setupCombination({"TailA", "TailB", "TailC", "TailD", "Lift", "Slide"});
    model.setCombination(0);
    poseAt(1, 0.5f);
    expectNear(vertex(0), {1.0f, 3.0f, 0.0f});
    expectNear(vertex(1), {1.0f + 4.5f, 0.0f, 0.0f});
    expectNear(vertex(2), {1.0f, 0.0f, 0.0f}); // its bone does not move: the file position
    model.setCombination(1);
    poseAt(2, 0.0f);
    expectNear(vertex(0), {1.0f, 4.0f, 0.0f});
    expectNear(vertex(1), {7.0f, 0.0f, 0.0f});
    expectNear(vertex(2), {1.0f, 0.0f, 4 * 2.0f});
}

// Two strips on one bone: the first-named strip's turn is applied after the second's.
TEST_F(BoneAnimationTest, StripsOnTheSameBoneComposeFirstNamedOutermost) {
    model.setupCombination({"TurnZ", "TurnX"});
    model.setupCombination({"TurnX", "TurnZ"});
    model.setCombination(0);
    poseAt(0, 0.0f);
    // (1, 0, 0) about X stays, then about Z goes to (0, 1, 0).
    expectNear(vertex(0), {0.0f, 1.0f, 0.0f});
    model.setCombination(1);
    poseAt(0, 0.0f);
    // About Z first to (0, 1, 0), then about X to (0, 0, 1).
    expectNear(vertex(0), {0.0f, 0.0f, 1.0f});
}

TEST_F(BoneAnimationTest, TheTimerAdvancesAtMostOneKeyPerFrame) {
    model.setupCombination({"Lift"});
    model.setCombination(0);
    const int combos[1] = {0}, loops[1] = {100};
    model.setPlaylist(combos, loops, 1, 0);
    model.startPlaylist(0);
    // speed 10: dt 0.15 is one and a half keys.
    model.updateAnimation(0.15f);
    EXPECT_EQ(model.key, 1.0f);
    EXPECT_NEAR(model.fraction, 0.5f, 1e-5f);
    // A huge frame still moves one key, and the fraction is held at 1.
    model.updateAnimation(10.0f);
    EXPECT_EQ(model.key, 2.0f);
    EXPECT_EQ(model.fraction, 1.0f);
    // Exactly 1.0 is not past the key.
    model.key = 0.0f;
    model.fraction = 0.5f;
    model.updateAnimation(0.05f);
    EXPECT_EQ(model.fraction, 1.0f);
    EXPECT_EQ(model.key, 0.0f);
    model.updateAnimation(0.001f);
    EXPECT_EQ(model.key, 1.0f);
    // The music adds to the speed: value 1 doubles it.
    model.setMusicLevel(1.0f);
    model.fraction = 0.0f;
    model.updateAnimation(0.04f);
    EXPECT_NEAR(model.fraction, 0.8f, 1e-5f);
    expectNear(vertex(0), {1.0f, 2.0f + 0.8f * 2.0f, 0.0f});
}

TEST_F(BoneAnimationTest, PlaylistWrapsAndReshufflesAfterItsLastEntry) {
    for (int i = 0; i < 6; ++i) {
        model.setupCombination({"Lift"});
    }
    const int combos[6] = {0, 1, 2, 3, 4, 5}, loops[6] = {1, 1, 1, 1, 1, 1};
    model.setPlaylist(combos, loops, 6, 0);
    model.startPlaylist(0);
    model.setCombination(0);
    EXPECT_EQ(model.currentEntry.combination, 0);
    EXPECT_EQ(model.currentEntry.loopsWanted, 1);
    std::srand(7);
    std::set<std::vector<int>> orders;
    for (int round = 0; round < 5; ++round) {
        for (int step = 1; step < 6; ++step) {
            model.nextPlaylistEntry(0);
            EXPECT_EQ(model.playlistIndex[0], step);
            EXPECT_EQ(model.currentCombination, model.currentEntry.combination);
            EXPECT_GE(model.currentEntry.loopsWanted, 1);
            EXPECT_LE(model.currentEntry.loopsWanted, 6);
            EXPECT_EQ(model.currentEntry.loopsDone, 0);
        }
        model.nextPlaylistEntry(0); // past the last: back to 0, reshuffled
        EXPECT_EQ(model.playlistIndex[0], 0);
        std::vector<int> order;
        std::set<int> members;
        for (const PlaylistEntry& e : model.playlists[0]) {
            order.push_back(e.combination);
            members.insert(e.combination);
        }
        EXPECT_EQ(members.size(), 6u) << "a shuffle keeps every entry once";
        orders.insert(order);
    }
    EXPECT_GT(orders.size(), 1u) << "the order changes from round to round";
}

// The timer runs over all keys; after the wanted loops the next entry of the music's level
// plays, so a loud passage switches to the loud playlist at the next wrap.
TEST_F(BoneAnimationTest, LoopsEndAtTheWrapAndTheMusicLevelPicksTheNextMove) {
    model.setupCombination({"Lift"});
    model.setupCombination({"Slide"});
    const int quiet[1] = {0}, loud[1] = {1}, two[1] = {2};
    model.setPlaylist(quiet, two, 1, 0);
    model.setPlaylist(loud, two, 1, 2);
    model.startPlaylist(0);
    model.setCombination(0);
    model.setMusicLevel(0.7f); // speed 17
    int wraps = 0;
    float lastKey = 0.0f;
    for (int frame = 0; frame < 12 && model.currentCombination == 0; ++frame) {
        model.updateAnimation(1.0f / 17.0f + 1e-4f);
        if (model.key < lastKey) {
            ++wraps;
        }
        lastKey = model.key;
    }
    EXPECT_EQ(wraps, 2);
    EXPECT_EQ(model.currentCombination, 1);
}

TEST_F(BoneAnimationTest, InvalidUsesLeaveTheModelAlone) {
    model.setupCombination({"Lift"});
    model.setCombination(0);
    model.startPlaylist(1); // empty
    EXPECT_EQ(model.currentEntry.combination, 0);
    EXPECT_EQ(model.currentEntry.loopsWanted, 0);
    model.setCombination(5);
    model.setCombinationRange(2, 1, 0);
    model.setCombinationRange(0, 4, 0); // past the last key
    EXPECT_EQ(model.currentCombination, 0);
    EXPECT_EQ(model.combinations[0].startKey, -1);
    model.setCombinationRange(1, 3, 0);
    EXPECT_EQ(model.combinations[0].endKey, 3);
    // A wrap with nothing to play: the move goes on looping.
    model.key = 2.0f;
    model.fraction = 0.99f;
    model.updateAnimation(0.01f);
    EXPECT_EQ(model.key, 0.0f);
    EXPECT_EQ(model.currentCombination, 0);
    // Fewer than two keys: nothing moves.
    model.keyCount = 1;
    model.fraction = 0.25f;
    model.updateAnimation(1.0f);
    EXPECT_EQ(model.fraction, 0.25f);
}

TEST(SlerpQuaternion, HalfWayIsHalfTheAngleTheShortWayAndTheCacheServesLaterCalls) {
    BoneTrack cache;
    Quaternion identity;
    Quaternion quarterZ(0.0f, 0.0f, kHalfRoot2, kHalfRoot2);
    Quaternion half = CBoneModel::slerpQuaternion(identity, quarterZ, 0.5f, cache, true);
    // 45 degrees about Z: (0, 0, sin 22.5, cos 22.5).
    EXPECT_NEAR(half.z, 0.38268343f, 1e-5f);
    EXPECT_NEAR(half.w, 0.92387953f, 1e-5f);
    EXPECT_NEAR(cache.omega, 3.14159265f / 4.0f, 1e-5f);
    EXPECT_EQ(cache.linear, 0);
    // The same rotation written negated is reached the short way, with and without recompute.
    Quaternion negated(-quarterZ.x, -quarterZ.y, -quarterZ.z, -quarterZ.w);
    for (bool recompute : {true, false}) {
        Quaternion q = CBoneModel::slerpQuaternion(identity, negated, 0.5f, cache, recompute);
        EXPECT_NEAR(q.z, 0.38268343f, 1e-5f);
        EXPECT_NEAR(q.w, 0.92387953f, 1e-5f);
    }
    // Nearly equal rotations blend linearly.
    Quaternion near(0.0f, 0.0f, 0.001f, 0.9999995f);
    Quaternion q = CBoneModel::slerpQuaternion(identity, near, 0.25f, cache, true);
    EXPECT_EQ(cache.linear, 1);
    EXPECT_NEAR(q.z, 0.00025f, 1e-7f);
}

} // namespace
