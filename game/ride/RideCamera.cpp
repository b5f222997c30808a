// The ride camera: a look-at from the trail (or the world's centre) for the current view
// point, the one-minute cycle through the view points, and the head tilt that lets the target
// follow the slope of the wave.
#include "game/ride/RideTrack.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

const int32_t kCycle[7] = {viewpoint::kForwardNear,   viewpoint::kFrequencyBars,
                           viewpoint::kForwardMid,    viewpoint::kLookAtCenter,
                           viewpoint::kBackward,      viewpoint::kForwardFar,
                           viewpoint::kLookFromCenter};
constexpr float kCycleSeconds = 60.0f;

// How far behind the car a forward view rides, or 0 for the other views.
int forwardDistance(int32_t view) {
    switch (view) {
    case viewpoint::kForwardNear:
        return 25;
    case viewpoint::kForwardMid:
        return 50;
    case viewpoint::kForwardFar:
        return 100;
    default:
        return 0;
    }
}

// True for the codes of the seven views and of the cycle.
bool isViewPoint(int32_t code) {
    return code == viewpoint::kCycle ||
           std::find(std::begin(kCycle), std::end(kCycle), code) != std::end(kCycle);
}

} // namespace

void CRideTrack::easeTilt(float dt, int n, bool reversed, float rate) {
    const Vector3& a = carPath[reversed ? n + 1 : n].position;
    const Vector3& b = carPath[reversed ? n : n + 1].position;
    Vector3 d = normalized(b - a);
    tilt = normalized(tilt);
    float cosine = std::max(-1.0f, std::min(1.0f, tilt.dot(d)));
    float angle = std::fabs(std::acos(cosine));
    float step = rate * dt;
    if (angle - step > 0.0f) {
        tilt = tilt + (d - tilt) * (step / angle);
    } else {
        tilt = d;
    }
}

CameraShot CRideTrack::cameraShot(int32_t current, bool headTilt) const {
    int n = forwardDistance(current);
    const Vector3 lift{0.0f, 20.0f, 0.0f};
    CameraShot shot;
    Vector3& eye = shot.eye;
    Vector3& target = shot.target;
    switch (current) {
    case viewpoint::kLookFromCenter:
        eye = {0.0f, 350.0f, 0.0f};
        target = carPath[0].position;
        shot.normalised = false;
        break;
    case viewpoint::kBackward:
        eye = carPath[0].position + lift;
        target = {carPath[1].position.x, eye.y, carPath[1].position.z};
        if (headTilt) {
            target.y += tilt.y;
        }
        shot.normalised = false;
        break;
    case viewpoint::kForwardNear:
    case viewpoint::kForwardMid:
    case viewpoint::kForwardFar: {
        eye = carPath[n].position + lift;
        const Vector3& ahead = carPath[headTilt ? n - 1 : 0].position;
        target = {ahead.x, eye.y + (headTilt ? tilt.y : 0.0f), ahead.z};
        break;
    }
    case viewpoint::kLookAtCenter:
        eye = carPath[100].position + lift;
        target = {0.0f, 0.0f, 0.0f};
        break;
    case viewpoint::kFrequencyBars:
        eye = carPath[100].position + lift;
        target = {0.0f, 0.0f, 800.0f};
        break;
    default:
        shot.placed = false;
        break;
    }
    return shot;
}

void CRideTrack::placeRideCamera(float dt, const RideView& view) {
    billboardFromView = 0.0f;
    int32_t current = view.viewPoint;
    // A code no view uses (a settings file from elsewhere) shows the default view, the cycle;
    // the code itself stays as the settings have it.
    if (!isViewPoint(current)) {
        current = viewpoint::kCycle;
    }
    if (current == viewpoint::kCycle) {
        cycleTimer += dt;
        if (cycleTimer >= kCycleSeconds) {
            cycleTimer = 0.0f;
            cycleStep = (cycleStep + 1) % 7;
        }
        current = kCycle[cycleStep];
        if (cycleStep == 6) {
            billboardFromView = 1.0f;
        }
    }
    cameraViewPoint = current;
    int n = forwardDistance(current);
    if (view.headTilt) {
        if (current == viewpoint::kBackward) {
            easeTilt(dt, 0, false, 1.0f);
        } else if (n > 0) {
            easeTilt(dt, n, true, 1.0f);
        } else if (current == viewpoint::kLookFromCenter) {
            easeTilt(dt, 0, false, 0.7f);
        }
    }
    CameraShot shot = cameraShot(current, view.headTilt);
    if (shot.placed) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(shot.eye.x, shot.eye.y, shot.eye.z, shot.target.x, shot.target.y, shot.target.z,
                  0.0, 1.0, 0.0);
        Vector3 d = shot.target - shot.eye;
        viewDirection = shot.normalised ? normalized(d) : d;
    }
    feedMusic(dt, current, view.dragonOn);
}
