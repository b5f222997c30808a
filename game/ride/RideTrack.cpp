#include "game/ride/RideTrack.h"

#include "game/assets/TextureManager.h"

#include <GL/gl.h>

#include <cmath>
#include <initializer_list>
#include <string>

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

void CRideTrack::drawRails(const RideView& view) {
    bool facing = view.viewPoint == viewpoint::kLookFromCenter || billboardFromView == 1.0f;
    if (firstDraw) {
        if (!textureManager.loadTexture("Exhaust.png", exhaustTexture, GL_CLAMP_TO_EDGE, true)) {
            throw std::string("Couldn't load track's texture: ") + textureManager.loadError();
        }
        firstDraw = false;
    }
    float size = 8.0f;
    if (facing) {
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        billboardRight = {m[0], m[4], m[8]};
        billboardUp = {m[1], m[5], m[9]};
        size = 5.0f;
    }
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
    const GLfloat environment[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, environment);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(exhaustTexture));
    glBegin(GL_QUADS);
    for (const TrackHistory<kHistory>* rail : {&innerRails[1], &outerRails[1]}) {
        for (int i = 0; i < kHistory; ++i) {
            const TrackPoint& p = (*rail)[i];
            RailColour colour = railColour(p.position.y);
            glColor4f(colour.red, colour.green, colour.blue, 1.0f);
            if (!facing) {
                billboardRight = p.right;
                billboardUp = p.up;
            }
            Vector3 r = billboardRight * size, u = billboardUp * size;
            Vector3 corners[4] = {p.position - r - u, p.position + r - u, p.position + r + u,
                                  p.position + u - r};
            const float st[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (int k = 0; k < 4; ++k) {
                glTexCoord2f(st[k][0], st[k][1]);
                glVertex3f(corners[k].x, corners[k].y, corners[k].z);
            }
        }
    }
    glEnd();
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
}
