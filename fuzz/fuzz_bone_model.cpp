// The bone model reader over any bytes: a model or a clear error, and a loaded model's numbers
// all finite and its indices inside its tables.
#include "game/assets/bone/BoneModel.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CBoneModel model;
    if (!model.parse(data, size)) {
        if (model.loadError().empty() || !model.parts.empty()) {
            std::abort();
        }
        return 0;
    }
    for (const BoneModelPart& part : model.parts) {
        for (const BoneVertex& v : part.vertices) {
            for (float f :
                 {v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y, v.normal.z}) {
                if (!std::isfinite(f)) {
                    std::abort();
                }
            }
            for (const BoneWeight& w : v.weights) {
                if (!std::isfinite(w.weight)) {
                    std::abort();
                }
            }
        }
    }
    for (const ActionStrip& strip : model.strips) {
        for (const BoneTrack& track : strip.tracks) {
            for (const Quaternion& q : track.rotations) {
                if (!(std::fabs(q.length() - 1.0f) < 1e-3f)) {
                    std::abort();
                }
            }
        }
    }
    return 0;
}
