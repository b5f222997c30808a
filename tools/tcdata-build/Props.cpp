// The static props: the fountain at the world's centre, the flame pots on the big circle, the
// fire-ball pole and the stage under the frequency bars. Each model's origin is where the
// scene places it; parts below it reach into the ground.
#include "tools/tcdata-build/Artwork.h"
#include "tools/tcdata-build/Mesh.h"

#include <cmath>

namespace {

bonemodel::Material material(float r, float g, float b, float gloss) {
    bonemodel::Material m;
    m.colour[0] = r;
    m.colour[1] = g;
    m.colour[2] = b;
    m.specular[0] = m.specular[1] = m.specular[2] = gloss;
    return m;
}

std::string single(bonemodel::Part part) {
    bonemodel::Model model;
    model.parts.push_back(std::move(part));
    return bonemodel::write(model);
}

// Drawn 50 below the spray, which rises from 25 above the model's origin: a wide stone basin
// with water in it and a pedestal bowl on top.
std::string fountainPot() {
    bonemodel::Part p;
    p.materials = {material(0.72f, 0.70f, 0.66f, 0.2f), material(0.25f, 0.45f, 0.85f, 0.9f),
                   material(0.55f, 0.52f, 0.48f, 0.2f)};
    MeshBuilder m(p);
    // Basin: outer wall up, rim, inner wall down to the water.
    m.lathe({{46, -20}, {48, 0}, {50, 8}, {50, 11}, {46, 11}, {44, 9}}, 40, {}, 0, {2, 0, 0, 0, 0});
    m.lathe({{0, 8.5f}, {44, 8.5f}}, 40, {}, 1);
    // Pedestal and upper bowl.
    m.lathe({{7, 8}, {5, 14}, {4.5f, 19}, {9, 22}, {12, 25}, {10.5f, 25.5f}, {0, 24}}, 24, {}, 0,
            {2, 2, 0, 0, 0, 1});
    return single(p);
}

// Drawn 40 below the flames: a bronze urn on a foot, its mouth at the flames.
std::string flamePot() {
    bonemodel::Part p;
    p.materials = {material(0.70f, 0.45f, 0.20f, 0.8f), material(0.35f, 0.18f, 0.08f, 0.4f),
                   material(1.0f, 0.55f, 0.15f, 0.6f)};
    MeshBuilder m(p);
    m.lathe({{13, -15},
             {13, 0},
             {8, 3},
             {6, 8},
             {11, 16},
             {17, 26},
             {18, 34},
             {16, 38},
             {19, 40},
             {17, 41},
             {13, 38},
             {0, 36}},
            28, {}, 0, {1, 1, 1, 0, 0, 0, 0, 2, 2, 2, 1});
    return single(p);
}

// The pole's origin is 90 below where it is placed, and the spray starts 110 above the
// origin: a dark iron column with gold bands and a cup at the top.
std::string fireBallPole() {
    bonemodel::Part p;
    p.materials = {material(0.22f, 0.22f, 0.26f, 0.7f), material(0.90f, 0.70f, 0.25f, 0.9f)};
    MeshBuilder m(p);
    std::vector<std::pair<float, float>> profile = {{12, -10}, {12, 4}, {8, 8}, {4, 12}};
    std::vector<int> bands = {0, 1, 0};
    for (int k = 1; k <= 6; ++k) {
        float y = 12 + k * 14.0f;
        profile.emplace_back(3.2f, y - 2);
        profile.emplace_back(4.2f, y - 1);
        profile.emplace_back(4.2f, y + 1);
        profile.emplace_back(3.2f, y + 2);
        bands.insert(bands.end(), {0, 1, 1, 1});
    }
    for (auto pt : std::vector<std::pair<float, float>>{
             {3, 100}, {5, 103}, {9, 108}, {10, 111}, {8.5f, 111}, {0, 108}}) {
        profile.push_back(pt);
    }
    bands.insert(bands.end(), {0, 0, 1, 1, 1, 0});
    m.lathe(profile, 20, {}, 0, bands);
    return single(p);
}

// Drawn 10 below the bars, which stand in two rows along x from -350 to 350 at z -20 and 20:
// a long stage with a glowing edge on legs reaching the ground.
std::string barsPlatform() {
    bonemodel::Part p;
    p.materials = {material(0.20f, 0.22f, 0.30f, 0.8f), material(0.30f, 0.75f, 1.0f, 1.0f),
                   material(0.12f, 0.12f, 0.16f, 0.3f)};
    MeshBuilder m(p);
    m.box({-380, -4, -45}, {380, 0, 45}, 0);
    m.box({-384, -7, -48}, {384, -4, 48}, 1);
    m.box({-376, -14, -42}, {376, -7, 42}, 2);
    for (float x = -360; x <= 360; x += 120) {
        for (float z : {-32.0f, 32.0f}) {
            m.box({x - 5, -60, z - 5}, {x + 5, -14, z + 5}, 2);
        }
    }
    // Light strips between the rows.
    m.box({-370, 0, -1.5f}, {370, 0.8f, 1.5f}, 1);
    return single(p);
}

} // namespace

void addProps(ZipWriter& zip) {
    zip.add("FountainPot.dat", fountainPot());
    zip.add("FountainPot2.dat", flamePot());
    zip.add("FireBallPoll.dat", fireBallPole());
    zip.add("FreqBarsPlatform.dat", barsPlatform());
}
