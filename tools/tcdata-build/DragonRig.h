// The dragon's skeleton and its action strips. Every bone turns about its own pivot in the
// frame of its parent; a strip gives each bone it moves Euler angles as a function of the
// phase of the loop, and its key matrices are the bones' resulting model-space transforms.
#pragma once

#include "tools/bonemodel/BoneModelWriter.h"

#include <string>
#include <vector>

namespace dragon {

enum Bone {
    Body,
    Neck1,
    Neck2,
    Head,
    Jaw,
    WingUpperL,
    WingOuterL,
    WingUpperR,
    WingOuterR,
    Tail1,
    Tail2,
    Tail3,
    Tail4,
    ArmL,
    ArmR,
    LegL,
    LegR,
    BoneCount
};

struct BoneInfo {
    float pivot[3];
    int parent; // -1 for the body
};

const BoneInfo& bone(int b);

// Keys per loop; the last key repeats the first so that the loop joins.
constexpr int kKeys = 32;

// Every strip the dragon's moves are combined from, with its key tracks.
std::vector<bonemodel::Strip> strips();

} // namespace dragon
