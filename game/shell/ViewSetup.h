// Viewport, projection and the bounding sphere of the view frustum.
#pragma once

// The frustum sphere (frustumSphereCenter, frustumSphereRadius) that reshapeView fills in.
#include "game/assets/ViewSphere.h"

constexpr float kFieldOfView = 45.0f;
constexpr float kNearPlane = 5.0f;
constexpr float kFarPlane = 4500.0f;

// Viewport and a 45 degree perspective for a client size in pixels; then the frustum sphere
// and an identity model-view matrix. A zero height is taken as one pixel.
void reshapeView(int width, int height);

// Fills the frustum sphere for a vertical field of view in degrees, the viewport size in
// pixels and the near and far distances.
void computeFrustumSphere(float fov, float width, float height, float nearDist, float farDist);
