#include "game/world/WingFlock.h"

#include "game/assets/ViewSphere.h"
#include "game/assets/math/Random.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.1415927f;

void bounce(WingParticle& c) {
    Vector3& v = c.velocity;
    const Vector3& p = c.position;
    if ((v.y > 0.0f && p.y > 300.0f) || (v.y < 0.0f && p.y < 10.0f)) {
        v.y = -v.y;
    }
    if ((v.x > 0.0f && p.x > 1400.0f) || (v.x < 0.0f && p.x < -1400.0f)) {
        v.x = -v.x;
    }
    if ((v.z > 0.0f && p.z > 1400.0f) || (v.z < 0.0f && p.z < -1400.0f)) {
        v.z = -v.z;
    }
}

} // namespace

WingFlock::WingFlock() {
    mode = 0;
    Setup();
}

void WingFlock::Setup() {
    allocatePool(kCreatures);
    unused = 0.0f;
    lifeScale = 200.0f;
    agility = 0.0f;
    extra = 1.0f;
    for (WingParticle& c : particles) {
        c.size = 5.0f;
        c.life = (rand01() + 0.3f) * 200.0f;
        float r = rand01(), g = rand01(), b = rand01();
        c.colour = {r, g, b};
        float x = randomSign(rand01() / 2.0f * 1400.0f);
        float y = rand01() * 300.0f;
        float z = randomSign(rand01() / 2.0f * 1400.0f) + 300.0f;
        c.spawnPosition = c.position = {x, y, z};
        float vx = randomSign(rand01() * 60.0f);
        float vy = randomSign(rand01() * 30.0f);
        float vz = randomSign(rand01() * 60.0f);
        c.velocity = c.baseVelocity = {vx, vy, vz};
        c.turnStep = 0;
        c.wingAngle = 90.0f;
        c.wingRate = 230.0f;
        c.roll = 0.0f;
        c.turnTimer = 0.0f;
        c.visible = true;
    }
}

void WingFlock::InitParticle(Particle& p) {
    p.life = (rand01() + 0.3f) * lifeScale;
    p.position = p.spawnPosition;
    p.velocity = p.baseVelocity;
}

void WingFlock::SetPair(float a, float b) {
    agility = std::min(a, 1.0f);
    extra = b;
}

float WingFlock::wingLength(const WingParticle& c) const {
    return c.size * (2.0f * agility + 1.5f);
}

bool WingFlock::Update(float elapsed) {
    elapsed = std::min(elapsed, kMaxElapsed);
    float r = rand01();
    float interval = std::clamp(r * 20.0f, 1.0f, 2.0f);
    float kick = randomSign((agility * 3.0f + 50.0f) * r + 10.0f);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (WingParticle& c : particles) {
        const Vector3& p = c.position;
        const float eye[3] = {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
                              m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                              m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
        if (distanceToFrustumCenter(eye) > frustumSphereRadius + c.size) {
            c.visible = false;
            continue;
        }
        c.visible = true;
        moveCreature(c, elapsed, interval, kick);
    }
    return true;
}

void WingFlock::moveCreature(WingParticle& c, float elapsed, float& interval, float kick) {
    bounce(c);
    c.turnTimer += elapsed;
    if (c.turnTimer > interval) {
        Vector3& v = c.velocity;
        switch (c.turnStep) {
        case 0:
            v.x = -v.x + kick;
            c.turnStep = 1;
            break;
        case 1:
            v.y = 0.4f * kick - v.y;
            c.turnStep = 2;
            break;
        default:
            v.z = -v.z + kick;
            c.turnStep = 0;
            break;
        }
        c.turnTimer = 0.0f;
        float r2 = rand01();
        c.roll = randomSign(r2 * 30.0f);
        interval = std::clamp(std::fabs(r2 * 20.0f), 1.0f, 2.0f);
    }
    bounce(c);
    c.velocity.x = std::clamp(c.velocity.x, -100.0f, 100.0f);
    c.velocity.y = std::clamp(c.velocity.y, -60.0f, 60.0f);
    c.velocity.z = std::clamp(c.velocity.z, -100.0f, 100.0f);
    c.position = c.position + c.velocity * elapsed;
    c.wingAngle += elapsed * c.wingRate;
    if (c.wingAngle > 90.0f) {
        c.wingAngle = 90.0f;
        c.wingRate = -c.wingRate;
    } else if (c.wingAngle < 20.0f) {
        c.wingAngle = 20.0f;
        c.wingRate = -c.wingRate;
    }
}

void WingFlock::Render() {
    glDisable(GL_CULL_FACE);
    // Blended over what is behind: with the background thrown away (source alpha, zero), a
    // far creature's mipmapped wing, whose alpha is above 0 everywhere, draws as a black
    // square.
    beginFrame(GL_MODULATE, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const float st[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    for (const WingParticle& c : particles) {
        if (!c.visible) {
            continue;
        }
        float L = wingLength(c);
        Vector3 n = normalized(Vector3{-c.velocity.z, 0.0f, c.velocity.x});
        Vector3 F = normalized(c.velocity);
        for (float sign : {1.0f, -1.0f}) {
            float theta = (sign * c.wingAngle + c.roll) * kPi / 180.0f;
            float s = std::sin(theta), co = std::cos(theta);
            Vector3 T{n.x * s * L, co * L, n.z * s * L};
            Vector3 W = normalized(T);
            Vector3 C = c.position + T;
            const Vector3 corners[4] = {C - (W + F) * L, C + (W - F) * L, C + (W + F) * L,
                                        C + (F - W) * L};
            addQuad(corners, st, std::min(c.colour.x, 1.0f), std::min(c.colour.y, 1.0f),
                    std::min(c.colour.z, 1.0f), 1.0f);
        }
    }
    endFrame();
    glEnable(GL_CULL_FACE);
}
