// The ride camera: each view point's eye and target, the one-minute cycle, the head tilt and
// the look-at that reaches GL.
#include "tests/game/ride/RideTestSupport.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

namespace ridetest {
namespace {

void expectNear(const Vector3& a, const Vector3& b, float tolerance = 1e-3f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

class RideCameraTest : public RideTest {
  protected:
    void SetUp() override {
        RideTest::SetUp();
        ride = std::make_unique<CRideTrack>(0.5f, music);
        // A trail whose every point is told apart: P[i] = (3i, 100 + i, -2i - 50).
        for (int i = 0; i < CRideTrack::kHistory; ++i) {
            ride->carPath[i].position = P(i);
        }
    }
    static Vector3 P(int i) { return {3.0f * i, 100.0f + i, -2.0f * i - 50.0f}; }
    std::unique_ptr<CRideTrack> ride;
};

TEST_F(RideCameraTest, EveryViewPointHasItsEyeAndTarget) {
    struct Case {
        int32_t code;
        Vector3 eye, target;
        bool normalised;
    } cases[] = {
        {0, {0, 350, 0}, P(0), false},
        {1, P(0) + Vector3{0, 20, 0}, {P(1).x, 120, P(1).z}, false},
        {4, P(25) + Vector3{0, 20, 0}, {P(0).x, 145, P(0).z}, true},
        {23, P(50) + Vector3{0, 20, 0}, {P(0).x, 170, P(0).z}, true},
        {24, P(100) + Vector3{0, 20, 0}, {P(0).x, 220, P(0).z}, true},
        {21, P(100) + Vector3{0, 20, 0}, {0, 0, 0}, true},
        {20, P(100) + Vector3{0, 20, 0}, {0, 0, 800}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        CameraShot shot = ride->cameraShot(c.code, false);
        EXPECT_TRUE(shot.placed);
        expectNear(shot.eye, c.eye);
        expectNear(shot.target, c.target);
        EXPECT_EQ(shot.normalised, c.normalised);
    }
    for (int32_t other : {2, 3, 5, 22, 25, 26, -1}) {
        EXPECT_FALSE(ride->cameraShot(other, false).placed) << other;
    }
}

TEST_F(RideCameraTest, HeadTiltRaisesTheTargetAndForwardViewsLookOneFrameAhead) {
    ride->tilt = {0.0f, 0.6f, 0.8f};
    CameraShot back = ride->cameraShot(1, true);
    expectNear(back.target, {P(1).x, 120.6f, P(1).z});
    CameraShot near = ride->cameraShot(4, true);
    expectNear(near.target, {P(24).x, 145.6f, P(24).z});
    CameraShot far = ride->cameraShot(24, true);
    expectNear(far.target, {P(99).x, 220.6f, P(99).z});
    // The centre views have no tilt.
    expectNear(ride->cameraShot(21, true).target, {0, 0, 0});
}

TEST_F(RideCameraTest, LookAtReachesTheModelViewMatrix) {
    ride->placeRideCamera(0.02f, RideView{4, false, true});
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // The eye is where the inverse of the rigid transform puts the origin: -R^T t.
    Vector3 eye{-(m[0] * m[12] + m[1] * m[13] + m[2] * m[14]),
                -(m[4] * m[12] + m[5] * m[13] + m[6] * m[14]),
                -(m[8] * m[12] + m[9] * m[13] + m[10] * m[14])};
    expectNear(eye, P(25) + Vector3{0, 20, 0}, 0.05f);
    // Looking down -z of the eye space: the third row, negated, points at the target.
    Vector3 toTarget = P(0) - P(25);
    toTarget.y = 0.0f;
    float len = std::sqrt(toTarget.x * toTarget.x + toTarget.z * toTarget.z);
    EXPECT_NEAR(-m[2], toTarget.x / len, 1e-4f);
    EXPECT_NEAR(-m[10], toTarget.z / len, 1e-4f);
    EXPECT_NEAR(std::hypot(ride->viewDirection.x, ride->viewDirection.z), 1.0f, 1e-4f);
}

TEST_F(RideCameraTest, CodesNoViewUsesShowTheDefaultCycle) {
    // A settings file may hold any number: the ride must not stay black until a key is pressed.
    for (int32_t code : {7, -1, 2, 22, 26, 1000}) {
        SCOPED_TRACE(code);
        auto fresh = std::make_unique<CRideTrack>(0.5f, music);
        for (int i = 0; i < CRideTrack::kHistory; ++i) {
            fresh->carPath[i].position = P(i);
        }
        glLoadIdentity();
        glTranslatef(1.0f, 2.0f, 3.0f);
        RideView view{code, false, true};
        fresh->placeRideCamera(0.02f, view);
        EXPECT_EQ(view.viewPoint, code);
        // The cycle starts with the near forward view.
        EXPECT_EQ(fresh->cameraViewPoint, viewpoint::kForwardNear);
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        Vector3 eye{-(m[0] * m[12] + m[1] * m[13] + m[2] * m[14]),
                    -(m[4] * m[12] + m[5] * m[13] + m[6] * m[14]),
                    -(m[8] * m[12] + m[9] * m[13] + m[10] * m[14])};
        expectNear(eye, P(25) + Vector3{0, 20, 0}, 0.05f);
        // After a minute the cycle moves on, as it does for its own code.
        fresh->placeRideCamera(60.0f, view);
        EXPECT_EQ(fresh->cameraViewPoint, viewpoint::kFrequencyBars);
    }
}

TEST_F(RideCameraTest, CycleShowsEachViewForOneMinuteInItsOrder) {
    RideView view{viewpoint::kCycle, false, true};
    std::vector<int32_t> order;
    std::vector<float> billboard;
    // Half-second frames add up exactly; 8 minutes go round the cycle once and start again.
    for (int frame = 0; frame < 8 * 120; ++frame) {
        ride->placeRideCamera(0.5f, view);
        if (frame % 120 == 0) {
            order.push_back(ride->cameraViewPoint);
            billboard.push_back(ride->billboardFromView);
        }
        if (frame % 120 == 118) {
            // The last frame before the minute is up still shows the same view.
            EXPECT_EQ(ride->cameraViewPoint, order.back()) << frame;
        }
    }
    EXPECT_EQ(order, (std::vector<int32_t>{4, 20, 23, 21, 1, 24, 0, 4}));
    EXPECT_EQ(billboard, (std::vector<float>{0, 0, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(view.viewPoint, viewpoint::kCycle);
    // The last frame completed the eighth minute. Another view in between does not move the
    // cycle on.
    EXPECT_EQ(ride->cameraViewPoint, 20);
    ride->placeRideCamera(500.0f, RideView{1, false, true});
    ride->placeRideCamera(0.5f, view);
    EXPECT_EQ(ride->cameraViewPoint, 20);
}

TEST_F(RideCameraTest, TiltTurnsTowardTheSlopeAtItsRate) {
    // A trail climbing at 45 degrees toward the car.
    for (int i = 0; i < CRideTrack::kHistory; ++i) {
        ride->carPath[i].position = {0.0f, 500.0f - 10.0f * i, -10.0f * i};
    }
    RideView tilted{viewpoint::kForwardNear, true, true};
    ride->placeRideCamera(0.1f, tilted);
    float afterOne = std::acos(
        ride->tilt.y / std::sqrt(ride->tilt.y * ride->tilt.y + ride->tilt.z * ride->tilt.z));
    EXPECT_GT(afterOne, 0.02f);
    EXPECT_LT(afterOne, 0.12f); // about rate x dt = 0.1 rad of the way
    for (int i = 0; i < 40; ++i) {
        ride->placeRideCamera(0.1f, tilted);
    }
    const float h = std::sqrt(0.5f);
    expectNear(ride->tilt, {0.0f, h, h}, 1e-3f);
    // With the tilt off it keeps its direction.
    ride->placeRideCamera(5.0f, RideView{viewpoint::kForwardNear, false, true});
    expectNear(ride->tilt, {0.0f, h, h}, 1e-3f);
}

} // namespace
} // namespace ridetest
