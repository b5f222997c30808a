// The bounding sphere of the view frustum, in eye space, which the view setup fills in on
// every reshape. World objects skip their work when their own sphere lies outside it.
#pragma once

// Centre (eye space, z negative: in front of the viewer) and radius.
extern float frustumSphereCenter[3];
extern float frustumSphereRadius;

// Distance from an eye-space point to the frustum sphere's centre.
float distanceToFrustumCenter(const float eye[3]);
