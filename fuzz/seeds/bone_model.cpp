#include "fuzz/seeds/Seeds.h"
#include "tools/bonemodel/BoneModelWriter.h"

namespace {

bonemodel::Part quadPart(float x) {
    bonemodel::Part part;
    for (int i = 0; i < 4; ++i) {
        bonemodel::Vertex v;
        v.position[0] = x + static_cast<float>(i % 2);
        v.position[1] = static_cast<float>(i / 2);
        v.weights = {{0, 0.5f}, {1, 0.5f}};
        part.vertices.push_back(v);
    }
    bonemodel::Face quad;
    quad.cornerCount = 4;
    quad.corners[1] = 1, quad.corners[2] = 3, quad.corners[3] = 2;
    quad.u[1] = 1.0f, quad.v[2] = 1.0f;
    quad.texture = 0;
    bonemodel::Face tri;
    tri.corners[1] = 1, tri.corners[2] = 2;
    tri.material = 1;
    part.faces = {quad, tri};
    bonemodel::Material a, b;
    b.colour[0] = 0.5f;
    part.materials = {a, b};
    return part;
}

} // namespace

void writeSeeds(SeedWriter& out) {
    bonemodel::Model still;
    still.textures = {"Prop.png"};
    still.parts = {quadPart(0.0f)};
    out.add("still.dat", bonemodel::write(still));

    bonemodel::Model moving = still;
    moving.parts.push_back(quadPart(2.0f));
    moving.parts[1].materials.clear();
    moving.keyCount = 2;
    bonemodel::KeyMatrix turn = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
    bonemodel::Strip walk;
    walk.name = "Walk";
    walk.tracks = {std::vector<bonemodel::KeyMatrix>{bonemodel::identityKey(), turn}, std::nullopt};
    bonemodel::Strip rest;
    rest.name = "Rest";
    rest.tracks = {std::nullopt, std::vector<bonemodel::KeyMatrix>(2, bonemodel::identityKey())};
    moving.strips = {walk, rest};
    out.add("moving.dat", bonemodel::write(moving));

    out.add("empty.dat", bonemodel::write(bonemodel::Model{}));
}
