// Poses a bone model for the preview: the named strips are composed for every bone in the
// order given (the first outermost) at one key, and the vertices are skinned with the result.
#pragma once

#include "game/assets/bone/BoneModel.h"

#include <string>
#include <vector>

struct BoneTransform {
    Quaternion rotation;
    Vector3 translation;
    bool moves = false;
};

// One transform per bone; bones no strip moves keep the identity. Unknown names are skipped.
std::vector<BoneTransform> poseAt(const CBoneModel& model, const std::vector<std::string>& strips,
                                  int key);
// A vertex's position under the pose: its file position plus, for every weight of a moving
// bone, weight x (T(p) - p).
Vector3 skinned(const BoneVertex& v, const std::vector<BoneTransform>& pose);
