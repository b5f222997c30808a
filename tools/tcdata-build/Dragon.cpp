// "MyBoneExportDragon.dat": the skeletal dragon. Nose along +Z, up +Y, its left wing at +X;
// about 120 units from snout to tail and 112 across the wings, flying a little ahead of and
// above its origin. Part 0 is the breath anchor: its first quad's first vertex sits 10 above
// the mouth (the breath is drawn 10 below its anchor), on the body bone, so the breath stays
// at the mouth's rest position.
#include "tools/tcdata-build/Artwork.h"
#include "tools/tcdata-build/DragonRig.h"
#include "tools/tcdata-build/DragonSkin.h"
#include "tools/tcdata-build/ImageFile.h"
#include "tools/tcdata-build/Mesh.h"

#include <cmath>

using namespace dragon;

namespace {

enum Material { Scales, Belly, MembraneA, MembraneB, Horn, Eye, Mouth, Spike };

bonemodel::Material material(float r, float g, float b, float gloss) {
    bonemodel::Material m;
    m.colour[0] = r;
    m.colour[1] = g;
    m.colour[2] = b;
    m.specular[0] = m.specular[1] = m.specular[2] = gloss;
    return m;
}

Weights one(int b) {
    return {{b, 1.0f}};
}
Weights two(int a, int b, float t) {
    return {{a, 1 - t}, {b, t}};
}

Ring ring(float x, float y, float z, float side, float up, Weights w) {
    return Ring{{x, y, z}, side, up, std::move(w)};
}

void body(MeshBuilder& m) {
    // Tail tip to chest to the back of the head, one tube; weights slide from bone to bone.
    std::vector<Ring> spine = {
        ring(0, 4.0f, -64, 0.3f, 0.3f, one(Tail4)),
        ring(0, 4.3f, -58, 0.8f, 0.8f, one(Tail4)),
        ring(0, 4.8f, -52, 1.2f, 1.1f, two(Tail3, Tail4, 0.5f)),
        ring(0, 5.3f, -45, 1.7f, 1.6f, one(Tail3)),
        ring(0, 5.9f, -38, 2.2f, 2.1f, two(Tail2, Tail3, 0.5f)),
        ring(0, 6.5f, -32, 2.8f, 2.6f, one(Tail2)),
        ring(0, 7.1f, -26, 3.4f, 3.2f, two(Tail1, Tail2, 0.5f)),
        ring(0, 7.6f, -20, 4.2f, 3.9f, one(Tail1)),
        ring(0, 8.0f, -14, 5.2f, 4.8f, two(Body, Tail1, 0.5f)),
        ring(0, 8.6f, -6, 6.4f, 6.0f, one(Body)),
        ring(0, 9.2f, 4, 7.4f, 6.8f, one(Body)),
        ring(0, 10.0f, 13, 7.0f, 6.3f, one(Body)),
        ring(0, 11.0f, 21, 5.0f, 4.8f, two(Body, Neck1, 0.5f)),
        ring(0, 12.6f, 26, 4.2f, 4.2f, one(Neck1)),
        ring(0, 14.5f, 31, 3.8f, 3.8f, two(Neck1, Neck2, 0.5f)),
        ring(0, 16.4f, 35, 3.5f, 3.5f, one(Neck2)),
        ring(0, 18.0f, 39, 3.6f, 3.6f, two(Neck2, Head, 0.5f)),
        ring(0, 19.0f, 43, 3.9f, 3.3f, one(Head)),
        ring(0, 19.1f, 47, 3.2f, 2.5f, one(Head)),
        ring(0, 18.7f, 51, 2.4f, 1.7f, one(Head)),
        ring(0, 18.2f, 55, 1.5f, 1.0f, one(Head)),
    };
    m.tube(spine, 12, {0, 1, 0}, Scales, Belly);
    // Lower jaw on its hinge.
    std::vector<Ring> jaw = {
        ring(0, 16.4f, 42, 2.8f, 1.3f, one(Jaw)),
        ring(0, 16.0f, 46, 2.5f, 1.1f, one(Jaw)),
        ring(0, 16.1f, 50, 1.9f, 0.9f, one(Jaw)),
        ring(0, 16.6f, 54, 1.1f, 0.6f, one(Jaw)),
    };
    m.tube(jaw, 8, {0, 1, 0}, Scales, Mouth);
    // Horns sweeping back, eyes, teeth.
    for (float s : {-1.0f, 1.0f}) {
        m.cone({2.2f * s, 21.0f, 42}, {4.0f * s, 25.5f, 33}, 1.0f, 6, Horn, one(Head));
        m.cone({1.6f * s, 21.2f, 45}, {2.6f * s, 23.4f, 40}, 0.6f, 5, Horn, one(Head));
        m.box({2.2f * s - 0.8f, 19.6f, 46.6f}, {2.2f * s + 0.8f, 20.6f, 48.6f}, Eye, one(Head));
        for (int t = 0; t < 4; ++t) {
            float z = 45.5f + 2.3f * t;
            m.cone({1.5f * s, 17.4f, z}, {1.4f * s, 16.2f, z + 0.3f}, 0.35f, 4, Horn, one(Head));
        }
    }
    // Spikes along the back.
    struct SpikeAt {
        float z, y, size;
        int bone;
    };
    const SpikeAt spikes[] = {
        {36, 19.5f, 1.6f, Neck2}, {30, 18.0f, 2.0f, Neck1},  {24, 16.0f, 2.2f, Neck1},
        {16, 16.0f, 2.6f, Body},  {8, 15.8f, 2.8f, Body},    {0, 15.0f, 2.8f, Body},
        {-8, 14.0f, 2.6f, Body},  {-18, 11.3f, 2.2f, Tail1}, {-28, 9.6f, 1.8f, Tail2},
        {-38, 7.9f, 1.5f, Tail2}, {-48, 6.3f, 1.2f, Tail3},  {-56, 5.0f, 0.9f, Tail4}};
    for (const SpikeAt& s : spikes) {
        m.cone({0, s.y - 1.0f, s.z}, {0, s.y + s.size, s.z - s.size * 1.2f}, s.size * 0.45f, 4,
               Spike, one(s.bone));
    }
    // The spade at the tail's end: a flat, scaled blade growing out of the tail's tip.
    std::vector<Ring> spade = {
        ring(0, 4.0f, -61, 0.5f, 0.45f, one(Tail4)), ring(0, 4.0f, -63.5f, 1.9f, 0.55f, one(Tail4)),
        ring(0, 4.0f, -66, 3.1f, 0.5f, one(Tail4)),  ring(0, 4.0f, -68.5f, 2.2f, 0.4f, one(Tail4)),
        ring(0, 4.0f, -71, 0.7f, 0.25f, one(Tail4)),
    };
    m.tube(spade, 8, {0, 1, 0}, Scales);
}

void limbs(MeshBuilder& m) {
    for (float s : {-1.0f, 1.0f}) {
        int arm = s > 0 ? ArmL : ArmR, leg = s > 0 ? LegL : LegR;
        std::vector<Ring> armRings = {
            ring(4.5f * s, 6.5f, 16.5f, 1.8f, 1.8f, one(arm)),
            ring(6.2f * s, 1.5f, 19.5f, 1.3f, 1.3f, one(arm)),
            ring(6.0f * s, -1.8f, 23.5f, 1.0f, 1.0f, one(arm)),
        };
        m.tube(armRings, 6, {0, 0, 1}, Scales);
        for (float c : {-0.7f, 0.0f, 0.7f}) {
            m.cone({(6.0f + c) * s, -2.0f, 24}, {(6.0f + 1.4f * c) * s, -4.0f, 25.6f}, 0.4f, 4,
                   Horn, one(arm));
        }
        std::vector<Ring> legRings = {
            ring(4.8f * s, 6.5f, -8, 3.2f, 3.4f, one(leg)),
            ring(6.6f * s, 1.0f, -4.5f, 2.2f, 2.2f, one(leg)),
            ring(6.6f * s, -4.5f, -8.5f, 1.3f, 1.3f, one(leg)),
            ring(6.6f * s, -6.2f, -5.5f, 1.0f, 0.8f, one(leg)),
        };
        m.tube(legRings, 8, {0, 0, 1}, Scales, Belly);
        for (float c : {-0.9f, 0.0f, 0.9f}) {
            m.cone({(6.6f + c) * s, -6.4f, -4.8f}, {(6.6f + 1.5f * c) * s, -7.2f, -2.4f}, 0.45f, 4,
                   Horn, one(leg));
        }
    }
}

// One wing: a bony leading edge from shoulder to elbow to tip and a ribbed membrane back to
// the flank, with scallops between the finger tips.
void wing(MeshBuilder& m, float s) {
    int upper = s > 0 ? WingUpperL : WingUpperR, outer = s > 0 ? WingOuterL : WingOuterR;
    V3 shoulder{5.5f * s, 13, 13}, elbow{26 * s, 17, 10}, tip{56 * s, 19.5f, 0};
    const int columns = 9, rows = 5;
    auto columnWeights = [&](float u) -> Weights {
        if (u < 0.12f) {
            return two(Body, upper, u / 0.12f);
        }
        if (u < 0.36f) {
            return one(upper);
        }
        if (u < 0.46f) {
            return two(upper, outer, (u - 0.36f) / 0.1f);
        }
        return one(outer);
    };
    auto leading = [&](float u) {
        return u < 0.4f ? lerp(shoulder, elbow, u / 0.4f) : lerp(elbow, tip, (u - 0.4f) / 0.6f);
    };
    // Trailing edge through the finger tips; between them it is pulled in.
    const V3 trail[] = {{5 * s, 11, -10},
                        {14 * s, 8.5f, -17},
                        {28 * s, 9, -18},
                        {42 * s, 11.5f, -12},
                        {52 * s, 15, -5}};
    auto trailing = [&](float u) {
        float f = u * 4;
        int i = std::min(3, static_cast<int>(f));
        V3 p = lerp(trail[i], trail[i + 1], f - i);
        p = lerp(p, tip, std::max(0.0f, (u - 0.85f) / 0.15f));
        float scallop = std::pow(std::sin((f - i) * 3.14159f), 1.5f) * (1 - u * 0.6f);
        return lerp(p, leading(u), 0.18f * scallop);
    };
    std::vector<V3> points;
    std::vector<Weights> weights;
    for (int r = 0; r < rows; ++r) {
        float v = r / float(rows - 1);
        for (int c = 0; c < columns; ++c) {
            float u = c / float(columns - 1);
            V3 p = lerp(leading(u), trailing(u), v);
            p.y -= std::sin(v * 3.14159f) * 1.6f * (1 - u * 0.5f); // the membrane sags
            points.push_back(p);
            weights.push_back(columnWeights(u));
        }
    }
    m.panel(points, weights, rows, columns,
            [](int, int c) { return c % 2 == 0 ? int(MembraneA) : int(MembraneB); });
    std::vector<Ring> arm;
    for (int c = 0; c < columns; ++c) {
        float u = c / float(columns - 1);
        float radius = 1.4f - 1.0f * u;
        V3 p = leading(u);
        p.y += 0.4f;
        arm.push_back(Ring{p, radius, radius, columnWeights(u)});
    }
    m.tube(arm, 6, {0, 1, 0}, Scales);
    m.cone(elbow + V3{0, 0.6f, 0}, elbow + V3{1.5f * s, 2.6f, 2.4f}, 0.6f, 4, Horn, one(upper));
}

} // namespace

void addDragon(ZipWriter& zip) {
    bonemodel::Model model;
    // Part 0: the breath anchor, never drawn while the breath is attached.
    bonemodel::Part anchor;
    {
        MeshBuilder m(anchor);
        // The breath is drawn 10 below its anchor, so the anchor sits 10 above the mouth.
        V3 mouth{0, 17.4f + 10.0f, 57};
        int a = m.vertex(mouth, {0, 0, 1}, one(Body));
        int b = m.vertex(mouth + V3{0.2f, 0, 0}, {0, 0, 1}, one(Body));
        int c = m.vertex(mouth + V3{0.2f, 0.2f, 0}, {0, 0, 1}, one(Body));
        int d = m.vertex(mouth + V3{0, 0.2f, 0}, {0, 0, 1}, one(Body));
        m.quad(a, b, c, d, 0);
        anchor.materials = {material(1, 0.6f, 0.2f, 0)};
    }
    model.parts.push_back(anchor);
    bonemodel::Part dragon;
    // The colours are the skin's (DragonSkin.cpp); the materials give the light and the shine.
    dragon.materials = {
        material(1.0f, 1.0f, 1.0f, 0.45f), // scales
        material(1.0f, 1.0f, 1.0f, 0.25f), // belly
        material(1.0f, 1.0f, 1.0f, 0.15f), // membrane
        material(0.9f, 0.9f, 0.9f, 0.15f), // membrane, alternate cells
        material(1.0f, 1.0f, 1.0f, 0.60f), // horn, claw, tooth
        material(1.0f, 1.0f, 1.0f, 1.00f), // eye
        material(1.0f, 1.0f, 1.0f, 0.10f), // mouth
        material(1.0f, 1.0f, 1.0f, 0.50f), // spikes
    };
    MeshBuilder m(dragon);
    body(m);
    limbs(m);
    wing(m, 1);
    wing(m, -1);
    dragonskin::apply(dragon, [](int material) {
        switch (material) {
        case Belly:
            return dragonskin::Region::Belly;
        case MembraneA:
        case MembraneB:
            return dragonskin::Region::Membrane;
        case Horn:
            return dragonskin::Region::Horn;
        case Spike:
            return dragonskin::Region::Spike;
        case Eye:
            return dragonskin::Region::Eye;
        case Mouth:
            return dragonskin::Region::Mouth;
        default:
            return dragonskin::Region::Scales;
        }
    });
    model.textures = {dragonskin::kTextureName};
    model.parts.push_back(dragon);
    model.keyCount = kKeys;
    model.strips = strips();
    zip.add("MyBoneExportDragon.dat", bonemodel::write(model));
    zip.add(dragonskin::kTextureName, encodeJpeg(dragonskin::paint()));
}
