#include "game/ride/RideTrack.h"

#include <initializer_list>

float rideSmoothing = 0.5f;
float rideSpeed = 0.5f;
bool rideSpeedChanged = false;
float rideLevel = 0.0f;

namespace {

const PathSegment kProgramStart[CRideTrack::kProgram] = {
    {PathSegment::FigureEight, 1}, {PathSegment::Transition, 0},  {PathSegment::CircleDown, 1},
    {PathSegment::Transition, 0},  {PathSegment::FigureEight, 2}, {PathSegment::Transition, 0},
    {PathSegment::CircleUp, 1},    {PathSegment::Transition, 0},  {PathSegment::FigureEight, 1},
    {PathSegment::Transition, 0},  {PathSegment::CircleUp, 1},    {PathSegment::Transition, 0},
};

Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

} // namespace

RailColour railColour(float height) {
    float c = (height - 60.0f) / 400.0f;
    c = c > 1.0f ? 1.0f : c > 0.0f ? c : 0.0f;
    return {c, 0.0f, 1.0f - c};
}

CRideTrack::CRideTrack(float speedSetting, IMusicSource& source) : music(source) {
    setSpeed(speedSetting);
    for (int i = 0; i < kProgram; ++i) {
        program[i] = kProgramStart[i];
    }
}

void CRideTrack::setSpeed(float speed) {
    angularSpeed = 0.2f * speed + 0.2f;
    smallCircleSpeed = angularSpeed * 1.67f;
    speedChanged = true;
}

bool CRideTrack::Draw(float dt) {
    render(dt, RideView{});
    return SceneObject::Draw(dt);
}

void CRideTrack::updateRideFrame(float dt, const RideView& view) {
    if (dt == 0.0f) {
        return;
    }
    if (rideSpeedChanged) {
        setSpeed(rideSpeed);
        rideSpeedChanged = false;
    }
    if (segmentDone) {
        currentSegment = (currentSegment + 1) % kProgram;
    }
    pathStep(dt);
    bool figureEightEnded =
        segmentDone && (currentSegment == 0 || currentSegment == 4 || currentSegment == 8);
    if (figureEightEnded) {
        rerollAfterFigureEight();
    }
    updateWave(dt);
    setRailAxes();
    placeRideCamera(dt, view);
}

// The rail sprites of the two newest points lie in the track's plane: right across the track,
// up perpendicular to it and to the direction of travel.
void CRideTrack::setRailAxes() {
    Vector3 a = normalized(outerRails[1][0].position - outerRails[1][1].position);
    Vector3 b = normalized(innerRails[1][1].position - outerRails[1][1].position);
    Vector3 c = normalized(cross(a, b));
    for (TrackHistory<kHistory>* rail : {&innerRails[1], &outerRails[1]}) {
        for (int i = 0; i < 2; ++i) {
            (*rail)[i].right = b;
            (*rail)[i].up = c;
        }
    }
}

void CRideTrack::render(float dt, const RideView& view) {
    updateRideFrame(dt, view);
    drawRails(view);
}
