#include "game/world/BeatBurst.h"

#include "game/assets/SpriteFootprint.h"
#include "game/assets/math/Random.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

// 2 toward zero; what would end within 2 of zero becomes zero.
float slowDown(float v) {
    if (v > 0.0f) {
        v -= 2.0f;
        return v < 2.0f ? 0.0f : v;
    }
    if (v < 0.0f) {
        v += 2.0f;
        return v > -2.0f ? 0.0f : v;
    }
    return v;
}

} // namespace

BeatBurst::BeatBurst() {
    allocatePool(kParticles);
    duration = 1.0f;
    elapsedTime = duration;
    running = false;
    direction = {0.0f, 0.0f, 0.0f};
}

void BeatBurst::Burst(bool beat, float a, float x, float y, float z, int newSpawnMode) {
    if (elapsedTime < duration || beat == running) {
        return;
    }
    amount = a;
    elapsedTime = 0.0f;
    running = beat;
    direction = {x, y, z};
    spawnMode = newSpawnMode;
    ResetAll();
}

void BeatBurst::ResetAll() {
    Vector3 spawn{0.0f, 0.0f, 0.0f};
    if (spawnMode == 0) {
        float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        Matrix4 view;
        view.fromArray(m);
        Matrix4 inverse = view.affineInverse();
        Vector3 eye{inverse.m[12], inverse.m[13], inverse.m[14]};
        spawn = eye + direction * 20.0f;
    }
    amount = std::min(std::fabs(amount) / 60.0f, 1.0f);
    float size = amount + 0.1f;
    float previousSpeed = 200.0f;
    for (Particle& p : particles) {
        Vector3 d{randomSign(rand01()), randomSign(rand01()), randomSign(rand01())};
        d.normalize();
        float speed = previousSpeed == 200.0f ? 300.0f * amount + 100.0f : 200.0f * amount + 100.0f;
        previousSpeed = speed;
        p.active = true;
        p.baseVelocity = d * speed;
        p.position = spawn;
        p.size = size;
        p.life = 70.0f;
        p.colour = {amount, speed == 300.0f ? amount : 0.0f, 0.0f};
    }
}

bool BeatBurst::Update(float elapsed) {
    if (elapsed == 0.0f) {
        Render();
        return true;
    }
    elapsedTime = std::min(elapsedTime, duration) + elapsed;
    if (!running) {
        return false;
    }
    float g = -50.0f * elapsed;
    int dead = 0;
    for (Particle& p : particles) {
        if (p.active) {
            p.position = p.position + p.baseVelocity * elapsed;
            p.baseVelocity.y += g;
            p.life -= kLifeRate * elapsed;
            if (p.life < 0.0f) {
                p.active = false;
            }
            p.baseVelocity.x = slowDown(p.baseVelocity.x);
            p.baseVelocity.z = slowDown(p.baseVelocity.z);
        }
        if (!p.active) {
            ++dead;
        }
    }
    Render();
    if (dead == maxParticles) {
        running = false;
    }
    return true;
}

void BeatBurst::Render() {
    beginFrame(GL_MODULATE, GL_SRC_ALPHA, GL_ONE);
    // The sparks only add light, so they hide nothing drawn after them: with depth writes the
    // dark rims of their quads would cut discs out of the rails behind.
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    glDepthMask(GL_FALSE);
    SpriteFootprint footprint;
    int active = 0;
    for (const Particle& p : particles) {
        if (p.active) {
            ++active;
            footprint.include(
                footprint.project(p.position, billboardRight * p.size, billboardUp * p.size));
        }
    }
    inLayer = false;
    if (footprint.fill() > kLayerFill && footprint.meanDepth() > kLayerDepth) {
        int rect[4];
        footprint.rect(rect);
        // At half the window's size, as a spark's rays are thin; where sparks 64 pixels across
        // lie a dozen deep their light saturates and a quarter shows the same. The window's
        // depth is left as it was.
        const double meanSide = std::sqrt(footprint.fill() / static_cast<double>(active));
        const int divisor =
            footprint.meanDepth() >= kQuarterDepth && meanSide >= kQuarterSide ? 4 : 2;
        inLayer = layer.begin(rect, divisor, CCoarseLayer::Blend::Add, false);
    }
    for (Particle& p : particles) {
        if (!p.active) {
            continue;
        }
        addBillboard(p.position, p.size, p.colour.x, p.colour.y, p.colour.z, 1.0f);
        p.colour.y = std::min(p.colour.y + 0.01f, 1.0f);
        p.colour.z = 1.0f - p.colour.y;
    }
    if (inLayer) {
        // First the sparks' nearest depth alone, for the composite's test against the window:
        // their whole quads, untextured, which costs a fraction of the textured ones. A quad's
        // clear rim adds no light; its depth only lets the light of sparks farther back at that
        // pixel show in front of a surface lying between them, as the nearest spark's depth
        // already does where sparks overlap. Then their light, every spark added whatever lies
        // in front of it in the layer.
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_ALPHA_TEST);
        drawBatch();
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_ALPHA_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glDisable(GL_DEPTH_TEST);
        flushQuads();
        layer.end();
    }
    endFrame();
    glDepthMask(depthWrites);
}
