#include "tools/tcdata-build/DragonRig.h"

#include <array>
#include <cmath>
#include <functional>

namespace dragon {

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kDeg = kPi / 180;

const BoneInfo kBones[BoneCount] = {
    {{0, 9, 4}, -1},     // Body
    {{0, 11, 21}, Body}, // Neck1
    {{0, 14.5f, 31}, Neck1},
    {{0, 18, 39}, Neck2},   // Head
    {{0, 16.6f, 42}, Head}, // Jaw hinge
    {{5.5f, 13, 13}, Body}, // WingUpperL
    {{26, 17, 10}, WingUpperL},
    {{-5.5f, 13, 13}, Body},
    {{-26, 17, 10}, WingUpperR},
    {{0, 8, -14}, Body}, // Tail1
    {{0, 7, -26}, Tail1},
    {{0, 6, -38}, Tail2},
    {{0, 5, -50}, Tail3},
    {{5, 6, 17}, Body}, // ArmL
    {{-5, 6, 17}, Body},
    {{5, 6, -8}, Body}, // LegL
    {{-5, 6, -8}, Body},
};

using Mat = std::array<float, 16>; // column order

Mat multiply(const Mat& a, const Mat& b) {
    Mat r{};
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            float s = 0;
            for (int k = 0; k < 4; ++k) {
                s += a[k * 4 + row] * b[c * 4 + k];
            }
            r[c * 4 + row] = s;
        }
    }
    return r;
}

Mat translation(float x, float y, float z) {
    Mat m = bonemodel::identityKey();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

// Rz * Ry * Rx: the X turn first.
Mat rotation(float ax, float ay, float az) {
    float cx = std::cos(ax * kDeg), sx = std::sin(ax * kDeg);
    float cy = std::cos(ay * kDeg), sy = std::sin(ay * kDeg);
    float cz = std::cos(az * kDeg), sz = std::sin(az * kDeg);
    Mat rx = bonemodel::identityKey(), ry = rx, rz = rx;
    rx[5] = cx, rx[6] = sx, rx[9] = -sx, rx[10] = cx;
    ry[0] = cy, ry[2] = -sy, ry[8] = sy, ry[10] = cy;
    rz[0] = cz, rz[1] = sz, rz[4] = -sz, rz[5] = cz;
    return multiply(rz, multiply(ry, rx));
}

// Euler angles in degrees for each bone; a bone left at zero is not moved by the strip.
struct Pose {
    float angle[BoneCount][3] = {};
    void set(int b, float x, float y, float z) {
        angle[b][0] = x;
        angle[b][1] = y;
        angle[b][2] = z;
    }
    void add(int b, float x, float y, float z) {
        angle[b][0] += x;
        angle[b][1] += y;
        angle[b][2] += z;
    }
};

using Motion = std::function<void(float phase, Pose& pose)>;

// Shapes of motion over one loop (phase 0 .. 2 pi), all returning to their start.
float wave(float phase, int cycles = 1, float lag = 0) {
    return std::sin(cycles * phase - lag);
}
// 0 at the ends, 1 in the middle, held open for a while.
float pulse(float phase) {
    float s = std::sin(phase / 2);
    return s * s;
}
// A quick rise and a quick return in the middle of the loop.
float snap(float phase) {
    float t = phase / (2 * kPi);
    return std::exp(-std::pow((t - 0.5f) * 7, 2.0f));
}

// Wing flap: up with the tip lagging, positive = up for both sides.
void flap(Pose& p, float upper, float outer, float phase, int cycles, bool left, bool right) {
    float a = upper * wave(phase, cycles), b = outer * wave(phase, cycles, 0.8f);
    if (left) {
        p.add(WingUpperL, 0, 0, a);
        p.add(WingOuterL, 0, 0, b);
    }
    if (right) {
        p.add(WingUpperR, 0, 0, -a);
        p.add(WingOuterR, 0, 0, -b);
    }
}

// Tail: each segment a little later than the one before, about Y (sideways) or X (up and down).
void tail(Pose& p, float amplitude, float phase, int axis, float growth = 1.2f) {
    float a = amplitude;
    for (int b = Tail1; b <= Tail4; ++b) {
        float v = a * wave(phase, 1, 0.7f * (b - Tail1));
        p.add(b, axis == 0 ? v : 0, axis == 1 ? v : 0, 0);
        a *= growth;
    }
}

// Head and neck pitch (nose up is negative about X).
void bob(Pose& p, float amplitude, float phase, int cycles) {
    p.add(Neck1, amplitude * 0.5f * wave(phase, cycles), 0, 0);
    p.add(Neck2, amplitude * 0.5f * wave(phase, cycles, 0.5f), 0, 0);
    p.add(Head, -amplitude * wave(phase, cycles, 1.0f), 0, 0);
}

// Head turn to the dragon's right (negative about Y) or left (positive).
void turn(Pose& p, float degrees) {
    p.add(Neck1, 0, degrees * 0.3f, 0);
    p.add(Neck2, 0, degrees * 0.35f, 0);
    p.add(Head, 0, degrees * 0.35f, 0);
}

const std::vector<std::pair<std::string, Motion>>& motions() {
    static const std::vector<std::pair<std::string, Motion>> list = {
        {"GentleFlap", [](float f, Pose& p) { flap(p, 18, 14, f, 1, true, true); }},
        {"Flap", [](float f, Pose& p) { flap(p, 32, 24, f, 1, true, true); }},
        {"Flap2", [](float f, Pose& p) { flap(p, 28, 22, f, 2, true, true); }},
        {"QuickFlap", [](float f, Pose& p) { flap(p, 34, 26, f, 3, true, true); }},
        {"BigFlap", [](float f, Pose& p) { flap(p, 44, 30, f, 1, true, true); }},
        {"AwkwardWingL",
         [](float f, Pose& p) {
             flap(p, 45, 40, f, 2, true, false);
             flap(p, 12, 6, f, 1, false, true);
             p.add(WingOuterR, 0, 0, 25); // the right wing half folded
         }},
        {"AwkwardWingR",
         [](float f, Pose& p) {
             flap(p, 45, 40, f, 2, false, true);
             flap(p, 12, 6, f, 1, true, false);
             p.add(WingOuterL, 0, 0, -25);
         }},
        {"SmallMouthOpen", [](float f, Pose& p) { p.add(Jaw, 12 * pulse(f), 0, 0); }},
        {"MouthOpen", [](float f, Pose& p) { p.add(Jaw, 26 * pulse(f), 0, 0); }},
        {"SnapMouth", [](float f, Pose& p) { p.add(Jaw, 34 * snap(f), 0, 0); }},
        {"SmallTailWhip", [](float f, Pose& p) { tail(p, 6, f, 1); }},
        {"WhipTail", [](float f, Pose& p) { tail(p, 11, f, 1); }},
        {"WhipTailBig", [](float f, Pose& p) { tail(p, 17, f, 1, 1.25f); }},
        {"TailWave", [](float f, Pose& p) { tail(p, 8, f, 0); }},
        {"TailSlash",
         [](float f, Pose& p) {
             float s = snap(f) - 0.3f * pulse(f);
             p.add(Tail1, 0, 12 * s, 0);
             p.add(Tail2, 0, 18 * s, 0);
             p.add(Tail3, 0, 26 * s, 0);
             p.add(Tail4, 0, 34 * s, 0);
         }},
        {"SmallBobHead", [](float f, Pose& p) { bob(p, 5, f, 1); }},
        {"BobHead", [](float f, Pose& p) { bob(p, 10, f, 2); }},
        {"BigBobHead", [](float f, Pose& p) { bob(p, 18, f, 2); }},
        {"SmallNod", [](float f, Pose& p) { p.add(Head, 9 * wave(f, 2), 0, 0); }},
        {"SmallRightHead", [](float f, Pose& p) { turn(p, -14 * pulse(f)); }},
        {"SmallLeftHead", [](float f, Pose& p) { turn(p, 14 * pulse(f)); }},
        {"RightLeftHead", [](float f, Pose& p) { turn(p, -28 * wave(f)); }},
        {"LeftNeck",
         [](float f, Pose& p) {
             float v = pulse(f);
             p.add(Neck1, 0, 18 * v, 0);
             p.add(Neck2, 0, 14 * v, 0);
             p.add(Head, -6 * v, -8 * v, 0);
         }},
        {"HeadBack",
         [](float f, Pose& p) {
             float v = pulse(f);
             p.add(Neck1, -16 * v, 0, 0);
             p.add(Neck2, -14 * v, 0, 0);
             p.add(Head, -18 * v, 0, 0);
         }},
        {"RightArm", [](float f, Pose& p) { p.add(ArmR, -25 * wave(f), 0, 0); }},
        {"LeftArm", [](float f, Pose& p) { p.add(ArmL, -25 * wave(f, 1, kPi), 0, 0); }},
        {"RightArmSwipe", [](float f, Pose& p) { p.add(ArmR, -70 * snap(f), 0, -25 * snap(f)); }},
        {"LeftArmSwipe", [](float f, Pose& p) { p.add(ArmL, -70 * snap(f), 0, 25 * snap(f)); }},
        {"RightLeg", [](float f, Pose& p) { p.add(LegR, 22 * wave(f), 0, 0); }},
        {"LeftLeg", [](float f, Pose& p) { p.add(LegL, 22 * wave(f, 1, kPi), 0, 0); }},
        {"LegsThrashR",
         [](float f, Pose& p) {
             p.add(LegR, 38 * wave(f, 3), 0, -10 * pulse(f));
             p.add(LegL, 30 * wave(f, 3, kPi), 0, 0);
         }},
        {"LegsThrashL",
         [](float f, Pose& p) {
             p.add(LegL, 38 * wave(f, 3), 0, 10 * pulse(f));
             p.add(LegR, 30 * wave(f, 3, kPi), 0, 0);
         }},
    };
    return list;
}

bool movesDirectly(const std::vector<Pose>& keys, int b) {
    for (const Pose& p : keys) {
        for (float a : p.angle[b]) {
            if (std::fabs(a) > 1e-4f) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

const BoneInfo& bone(int b) {
    return kBones[b];
}

std::vector<bonemodel::Strip> strips() {
    std::vector<bonemodel::Strip> out;
    for (const auto& [name, motion] : motions()) {
        std::vector<Pose> keys(kKeys);
        for (int k = 0; k < kKeys; ++k) {
            motion(2 * kPi * k / (kKeys - 1), keys[size_t(k)]);
        }
        // A bone moves when it or one of its parents turns in this strip.
        bool moves[BoneCount] = {};
        for (int b = 0; b < BoneCount; ++b) {
            moves[b] = movesDirectly(keys, b) || (kBones[b].parent >= 0 && moves[kBones[b].parent]);
        }
        bonemodel::Strip strip;
        strip.name = name;
        strip.tracks.resize(BoneCount);
        for (int b = 0; b < BoneCount; ++b) {
            if (moves[b]) {
                strip.tracks[size_t(b)].emplace();
            }
        }
        for (int k = 0; k < kKeys; ++k) {
            Mat global[BoneCount];
            for (int b = 0; b < BoneCount; ++b) {
                const float* pv = kBones[b].pivot;
                const float* a = keys[size_t(k)].angle[b];
                Mat local = multiply(
                    translation(pv[0], pv[1], pv[2]),
                    multiply(rotation(a[0], a[1], a[2]), translation(-pv[0], -pv[1], -pv[2])));
                global[b] =
                    kBones[b].parent < 0 ? local : multiply(global[kBones[b].parent], local);
                if (moves[b]) {
                    strip.tracks[size_t(b)]->push_back(global[b]);
                }
            }
        }
        out.push_back(std::move(strip));
    }
    return out;
}

} // namespace dragon
