#include "tools/tcdata-preview/ModelPose.h"

#include <cstring>
#include <strings.h>

std::vector<BoneTransform> poseAt(const CBoneModel& model, const std::vector<std::string>& strips,
                                  int key) {
    size_t bones = model.strips.empty() ? 0 : model.strips.front().tracks.size();
    std::vector<BoneTransform> pose(bones);
    for (const std::string& name : strips) {
        for (const ActionStrip& strip : model.strips) {
            if (strcasecmp(strip.name, name.c_str()) != 0) {
                continue;
            }
            for (size_t b = 0; b < bones; ++b) {
                const BoneTrack& t = strip.tracks[b];
                if (t.moves == 0) {
                    continue;
                }
                const Quaternion& q = t.rotations[size_t(key)];
                const Vector3& tr = t.translations[size_t(key)];
                BoneTransform& p = pose[b];
                if (!p.moves) {
                    p.rotation = q;
                    p.translation = tr;
                } else {
                    // The pose so far applied after this strip's transform.
                    p.translation = p.rotation.rotate(tr) + p.translation;
                    p.rotation = q * p.rotation;
                }
                p.moves = true;
            }
            break;
        }
    }
    return pose;
}

Vector3 skinned(const BoneVertex& v, const std::vector<BoneTransform>& pose) {
    Vector3 p = v.position;
    for (const BoneWeight& w : v.weights) {
        if (w.bone < 0 || size_t(w.bone) >= pose.size() || !pose[size_t(w.bone)].moves) {
            continue;
        }
        const BoneTransform& t = pose[size_t(w.bone)];
        Vector3 moved = t.rotation.rotate(v.position) + t.translation;
        p = p + (moved - v.position) * w.weight;
    }
    return p;
}
