#include "game/shell/ViewSetup.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double dist(double ax, double ay, double az, double bx, double by, double bz) {
    return std::sqrt((ax - bx) * (ax - bx) + (ay - by) * (ay - by) + (az - bz) * (az - bz));
}

TEST(FrustumSphere, FixedWindowFigures) {
    computeFrustumSphere(45.0f, 800.0f, 600.0f, 5.0f, 4500.0f);
    EXPECT_NEAR(frustumSphereCenter[2], -3298.2f, 0.5f);
    EXPECT_EQ(frustumSphereCenter[0], 0.0f);
    EXPECT_EQ(frustumSphereCenter[1], 0.0f);
    EXPECT_NEAR(frustumSphereRadius, 3331.0f, 0.5f);
}

TEST(FrustumSphere, CentreIsEquallyFarFromNearAndFarCorners) {
    // Near corners are the viewport's half size in pixels, far corners follow the field of
    // view; both sets must lie on the sphere.
    const float sizes[][2] = {{800, 600}, {1280, 720}, {300, 900}};
    for (const auto& s : sizes) {
        computeFrustumSphere(45.0f, s[0], s[1], 5.0f, 4500.0f);
        double z = -frustumSphereCenter[2];
        double hf = std::tan(22.5 * 3.14159265358979 / 180.0) * 4500.0;
        double wf = s[0] / s[1] * hf;
        double toNear = dist(0, 0, z, s[0] / 2, s[1] / 2, 5.0);
        double toFar = dist(0, 0, z, wf, hf, 4500.0);
        EXPECT_NEAR(toNear, toFar, 0.05) << s[0] << "x" << s[1];
        EXPECT_NEAR(frustumSphereRadius, toFar, 0.05);
    }
}

TEST(FrustumSphere, WiderWindowGivesLargerSphere) {
    computeFrustumSphere(45.0f, 800.0f, 600.0f, 5.0f, 4500.0f);
    float narrow = frustumSphereRadius;
    computeFrustumSphere(45.0f, 1600.0f, 600.0f, 5.0f, 4500.0f);
    EXPECT_GT(frustumSphereRadius, narrow);
}

} // namespace
