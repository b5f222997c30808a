// The car's path program: big circles either way round, spiral transitions between the big
// circle and the figure-eight's outer points, and the figure-eight of two lobes and two chords.
#include "game/ride/RideTrack.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <utility>

namespace {

constexpr float kHalfWidth = 15.0f;
const float kA0 = std::acos(4.0f / 9.0f);
// Radians a transition sweeps between the big circle and a lobe's outer point.
constexpr float kTransitionSweep = 7.85f;

Vector3 onCircle(float cx, float cz, float radius, float angle) {
    return {cx + radius * std::sin(angle), 0.0f, cz - radius * std::cos(angle)};
}

Vector3 chordEnd(int which) {
    float x = CRideTrack::kLobeRadius * std::sin(kA0);
    float z = CRideTrack::kLobeCentre - CRideTrack::kLobeRadius * std::cos(kA0);
    switch (which) {
    case 1:
        return {x, 0.0f, z};
    case 2:
        return {-x, 0.0f, z};
    case 3:
        return {x, 0.0f, -z};
    default:
        return {-x, 0.0f, -z};
    }
}

} // namespace

int32_t CRideTrack::entryKind(int offset) const {
    return program[(currentSegment + offset + kProgram) % kProgram].kind;
}

void CRideTrack::pushSample(const Vector3 rails[4], const Vector3& centre) {
    for (TrackHistory<kHistory>* h :
         {&innerRails[0], &innerRails[1], &outerRails[0], &outerRails[1], &levelTrail, &carPath}) {
        h->shift();
    }
    TrackHistory<kHistory>* order[4] = {&innerRails[0], &innerRails[1], &outerRails[0],
                                        &outerRails[1]};
    for (int i = 0; i < 4; ++i) {
        TrackPoint& p = (*order[i])[0];
        p.position = {rails[i].x, 0.0f, rails[i].z};
        p.normal = {0.0f, 0.0f, 0.0f};
    }
    levelTrail[0].position = {centre.x, 0.0f, centre.z};
    levelTrail[0].normal = {0.0f, 1.0f, 0.0f};
}

// Rails about a circle's centre. On the big circles and transitions the radii grow from the
// inside out; on the lobes they are ordered so that the drawn rails stay on their side.
void CRideTrack::pushRing(float cx, float cz, float angle, float radius, bool lobeLower,
                          bool lobe) {
    float h = railHalfGap, w = kHalfWidth;
    float big[4] = {radius - w - h, radius - w + h, radius + w - h, radius + w + h};
    float upper[4] = {radius - w + h, radius - w - h, radius + w + h, radius + w - h};
    float lower[4] = {radius + w - h, radius + w + h, radius - w - h, radius - w + h};
    const float* radii = !lobe ? big : lobeLower ? lower : upper;
    Vector3 rails[4];
    for (int i = 0; i < 4; ++i) {
        rails[i] = onCircle(cx, cz, radii[i], angle);
    }
    pushSample(rails, onCircle(cx, cz, radius, angle));
}

void CRideTrack::pushChord(const Vector3& from, const Vector3& to, float t) {
    Vector3 d = to - from;
    Vector3 p = from + d * t;
    float len = std::sqrt(d.x * d.x + d.z * d.z);
    Vector3 n{d.z / len, 0.0f, -d.x / len};
    float h = railHalfGap, w = kHalfWidth;
    Vector3 rails[4] = {p - n * (w - h), p - n * (w + h), p + n * (w + h), p + n * (w - h)};
    pushSample(rails, p);
    heading = std::atan2(d.z, d.x);
}

void CRideTrack::circleStep(float dt, bool increasing) {
    int32_t count = program[currentSegment].count;
    if (segmentDone) {
        segmentDone = false;
        pathAngle = 4.71f;
        path.laps = increasing ? 0 : 1;
    }
    if (increasing) {
        pathAngle += angularSpeed * dt;
        if (pathAngle > 6.28f) {
            pathAngle -= 6.28f;
            ++path.laps;
        }
        segmentDone = path.laps == count && pathAngle >= 1.57f;
        heading = pathAngle;
    } else {
        pathAngle -= angularSpeed * dt;
        if (pathAngle < 0.0f) {
            pathAngle += 6.28f;
            ++path.laps;
        }
        segmentDone = path.laps == count && pathAngle <= 1.57f;
        heading = pathAngle + 3.14f;
    }
    direction = increasing;
    path.radius = kBigRadius;
    pushRing(0.0f, 0.0f, pathAngle, kBigRadius, false, false);
}

void CRideTrack::transitionStep(float dt) {
    if (segmentDone) {
        segmentDone = false;
        path.wraps = 0;
        // Out from the big circle to a lobe's outer point, or back in; the direction of the
        // previous circle or lobe decides the sense.
        bool fromFigureEight = entryKind(-1) == PathSegment::FigureEight;
        if (!direction) {
            pathAngle = fromFigureEight ? 6.28f : 7.85f;
            path.endAngle = fromFigureEight ? 4.71f : 0.0f;
            path.endsAtZero = !fromFigureEight;
        } else {
            pathAngle = fromFigureEight ? 3.14f : 1.57f;
            path.endAngle = fromFigureEight ? 4.71f : 3.14f;
            path.endsAtZero = false;
        }
        path.radius = fromFigureEight ? kOuterRadius : kBigRadius;
        // 300 units over the 7.85 radians of the sweep. Tied to the angle rather than to the
        // time the sweep takes, so a speed change on the way still ends on the other circle.
        path.radiusRate = (fromFigureEight ? -300.0f : 300.0f) / kTransitionSweep;
    }
    float turn = angularSpeed * dt;
    path.radius += path.radiusRate * turn;
    bool done = false;
    if (!direction) {
        pathAngle -= turn;
        if (pathAngle < 0.0f) {
            if (!path.endsAtZero) {
                pathAngle += 6.28f;
            }
            ++path.wraps;
        }
        heading = pathAngle + 3.14f;
        done = path.wraps == 1 && pathAngle <= path.endAngle;
    } else {
        pathAngle += turn;
        if (pathAngle > 6.28f) {
            pathAngle -= 6.28f;
            ++path.wraps;
        }
        heading = pathAngle;
        done = path.wraps == 1 && pathAngle >= path.endAngle;
    }
    pushRing(0.0f, 0.0f, pathAngle, path.radius, false, false);
    if (done) {
        segmentDone = true;
        // Swapped after the last sample is in, so each rail's history stays on its side.
        if (path.endsAtZero) {
            pathAngle += 6.28f;
            swapRails();
        }
    }
}

void CRideTrack::figureEightStep(float dt) {
    int32_t count = program[currentSegment].count;
    float chordLength = std::sqrt(std::pow(chordEnd(3).x - chordEnd(2).x, 2.0f) +
                                  std::pow(chordEnd(3).z - chordEnd(2).z, 2.0f));
    if (segmentDone || speedChanged) {
        path.chordRate = smallCircleSpeed * kLobeRadius / chordLength;
        speedChanged = false;
    }
    if (segmentDone) {
        segmentDone = false;
        path.crossings = 0;
        if (entryKind(-2) == PathSegment::CircleUp) {
            path.lobeState = 1;
            path.exitFlag = true;
            pathAngle = 3.14f;
            if (entryKind(2) == PathSegment::CircleDown) {
                path.crossings = 1;
                path.exitFlag = false;
                direction = false;
            }
        } else {
            path.lobeState = 3;
            path.exitFlag = false;
            pathAngle = 0.0f;
            heading = 3.14f;
            if (entryKind(2) == PathSegment::CircleUp) {
                path.exitFlag = true;
                direction = true;
            }
        }
    }
    bool done = false;
    switch (path.lobeState) {
    case 1: // upper lobe
        pathAngle += smallCircleSpeed * dt;
        heading = pathAngle;
        done = path.crossings == count && pathAngle >= 3.14f && path.exitFlag;
        if (!done && pathAngle > 6.28f - kA0) {
            path.lobeState = 2;
            path.chordT = 0.0f;
            pushChord(chordEnd(2), chordEnd(3), 0.0f);
            break;
        }
        pushRing(0.0f, kLobeCentre, pathAngle, kLobeRadius, false, true);
        break;
    case 3: // lower lobe
        pathAngle -= smallCircleSpeed * dt;
        heading -= smallCircleSpeed * dt;
        done = path.crossings == count && pathAngle <= 0.0f && !path.exitFlag;
        if (!done && pathAngle <= -(3.14f - kA0)) {
            path.lobeState = 4;
            path.chordT = 0.0f;
            pushChord(chordEnd(4), chordEnd(1), 0.0f);
            break;
        }
        pushRing(0.0f, -kLobeCentre, pathAngle, kLobeRadius, true, true);
        break;
    default: { // the chords
        bool toLower = path.lobeState == 2;
        path.chordT += path.chordRate * dt;
        if (path.chordT >= 1.0f) {
            if (toLower) {
                path.lobeState = 3;
                pathAngle = 3.14f - kA0;
                heading = pathAngle + 3.14f;
                pushRing(0.0f, -kLobeCentre, pathAngle, kLobeRadius, true, true);
            } else {
                path.lobeState = 1;
                pathAngle = kA0;
                heading = pathAngle;
                ++path.crossings;
                pushRing(0.0f, kLobeCentre, pathAngle, kLobeRadius, false, true);
            }
        } else {
            pushChord(toLower ? chordEnd(2) : chordEnd(4), toLower ? chordEnd(3) : chordEnd(1),
                      path.chordT);
        }
        break;
    }
    }
    if (done) {
        segmentDone = true;
        path.radius = kOuterRadius;
        if (!path.exitFlag) {
            swapRails();
        }
    }
}

void CRideTrack::pathStep(float dt) {
    switch (program[currentSegment].kind) {
    case PathSegment::CircleDown:
        circleStep(dt, false);
        break;
    case PathSegment::CircleUp:
        circleStep(dt, true);
        break;
    case PathSegment::FigureEight:
        figureEightStep(dt);
        break;
    default:
        transitionStep(dt);
        break;
    }
}

void CRideTrack::rerollAfterFigureEight() {
    int32_t i = currentSegment == 0 ? kProgram : currentSegment;
    program[i - 4].count = std::rand() % 3 + 1;
    program[i - 2].kind = std::rand() % 2 + 2;
    program[i - 2].count = std::rand() % 2 + 1;
}

void CRideTrack::swapRails() {
    for (int i = 0; i < kHistory; ++i) {
        std::swap(innerRails[0][i], outerRails[0][i]);
        std::swap(innerRails[1][i], outerRails[1][i]);
    }
}
