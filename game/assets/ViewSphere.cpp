#include "game/assets/ViewSphere.h"

#include <cmath>

float frustumSphereCenter[3] = {0.0f, 0.0f, 0.0f};
float frustumSphereRadius = 0.0f;

float distanceToFrustumCenter(const float eye[3]) {
    float dx = eye[0] - frustumSphereCenter[0];
    float dy = eye[1] - frustumSphereCenter[1];
    float dz = eye[2] - frustumSphereCenter[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}
