// The ride's music feed, run at the end of the camera step with this frame's view loaded.
#include "game/ride/DragonFeed.h"
#include "game/ride/RideTrack.h"

#include <GL/gl.h>

namespace {

constexpr float kPi = 3.14159265358979f;
// The dragon's roll, as it was tuned: 3.14 radians in degrees, then a half turn more.
constexpr float kRoll = 3.14f * 180.0f / kPi;

} // namespace

bool beatOnWave(const TrackHistory<250>& carPath) {
    int i = 16;
    while (i > 0 && carPath[i].position.y > carPath[i + 1].position.y) {
        --i;
    }
    return i == 0 && !(carPath[0].position.y > carPath[1].position.y);
}

void CRideTrack::turnDragon(float dt) {
    float turnSpeed = normalisedLevel * 3.0f + 2.0f;
    dragonTurnTimer += dt;
    if (dragonTurnTimer > 60.0f) {
        dragonAngle += turnSpeed * dragonTurnSign;
        if (dragonAngle > 360.0f || dragonAngle < -360.0f) {
            dragonAngle = 0.0f;
            dragonTurnTimer = 0.0f;
            dragonTurnSign = -dragonTurnSign;
        }
    }
}

void CRideTrack::feedMusic(float dt, int32_t viewPoint, bool dragonOn) {
    const float level = rideLevel;
    turnDragon(dt);
    bool beat = beatOnWave(carPath);
    lastBeat = beat;
    SceneActor* burst = feed.beatBurst;
    CBoneModel* dragon = feed.dragon;
    const Vector3& p0 = carPath[0].position;
    float yaw = (1.57f - heading) * 180.0f / kPi + dragonAngle;
    switch (viewPoint) {
    case viewpoint::kFrequencyBars:
    case viewpoint::kLookAtCenter:
    case viewpoint::kForwardNear:
    case viewpoint::kForwardMid:
    case viewpoint::kForwardFar:
        if (burst != nullptr) {
            burst->Burst(beat, level, viewDirection.x, viewDirection.y, viewDirection.z, 0);
            burst->Draw(dt);
        }
        if (dragonOn && dragon != nullptr) {
            glPushMatrix();
            glTranslatef(p0.x, p0.y + 10.0f, p0.z);
            glRotatef(yaw, 0.0f, 1.0f, 0.0f);
            glRotatef(kRoll, 1.0f, 0.0f, 0.0f);
            glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
            dragon->drawBoneModel(dt);
            glPopMatrix();
            ++dragonDraws;
        }
        break;
    case viewpoint::kBackward: // the camera sits on the car: no dragon
        if (burst != nullptr) {
            burst->Burst(beat, level, viewDirection.x, viewDirection.y, viewDirection.z, 0);
            burst->Draw(dt);
        }
        break;
    case viewpoint::kLookFromCenter:
        glPushMatrix();
        glTranslatef(p0.x, p0.y + 10.0f, p0.z);
        if (burst != nullptr) {
            burst->Burst(beat, level, viewDirection.x, viewDirection.y, viewDirection.z, 1);
            burst->Draw(dt);
        }
        glRotatef(yaw, 0.0f, 1.0f, 0.0f);
        glRotatef(kRoll, 1.0f, 0.0f, 0.0f);
        if (dragonOn && dragon != nullptr) {
            glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
            dragon->drawBoneModel(dt);
            ++dragonDraws;
        }
        glPopMatrix();
        break;
    default:
        break;
    }
    normalisedLevel = level / 60.0f;
    if (feed.world) {
        feed.world(level);
    }
    if (dragon != nullptr) {
        dragon->setMusicLevel(normalisedLevel);
    }
    if (feed.flock != nullptr) {
        feed.flock->SetPair(normalisedLevel, 1.0f);
    }
}
