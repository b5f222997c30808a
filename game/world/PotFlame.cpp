#include "game/world/PotFlame.h"

#include "game/assets/math/Random.h"

#include <algorithm>

PotFlame::PotFlame() {
    Setup();
}

void PotFlame::Setup() {
    radius = 110.0f;
    origin = {0.0f, 100.0f, 0.0f};
    mode = 1;
    allocatePool(kParticles);
    for (Particle& p : particles) {
        float r1 = rand01(), r2 = rand01(), r3 = rand01();
        p.colour = {r1, 0.2f, 0.2f};
        Vector3 direction{r1 / 2.0f, r2 / 2.0f + 4.0f, r3 / 2.0f};
        direction.x = randomSign(direction.x);
        direction.z = randomSign(direction.z);
        p.velocity = p.baseVelocity = direction * 100.0f;
        p.position = p.spawnPosition = {0.0f, 0.0f, 0.0f};
        p.life = 5.0f;
        p.size = 2.0f;
    }
}

void PotFlame::SetLevel(float newLevel, bool useRed, bool useGreen, bool useBlue, bool useSize) {
    level = newLevel;
    float v = newLevel / 14.0f;
    if (useSize) {
        scale = v;
    }
    redOverride = greenOverride = blueOverride = -1.0f;
    if (useRed) {
        redOverride = std::min(v, 1.0f);
    }
    if (useGreen) {
        greenOverride = std::min(v, 1.0f);
    }
    if (useBlue) {
        blueOverride = std::min(v, 1.0f);
    }
}

void PotFlame::InitParticle(Particle& p) {
    p.position = p.spawnPosition = {0.0f, 0.0f, 0.0f};
    p.life = 5.0f * rand01() * level;
    p.velocity = p.baseVelocity;
}

bool PotFlame::Update(float elapsed) {
    for (Particle& p : particles) {
        p.life -= kLifeRate * elapsed;
        if (p.life <= 0.0f) {
            InitParticle(p);
        } else {
            // A fixed step per update, whatever the frame time.
            p.position = p.position + p.velocity * 0.01f;
        }
    }
    return true;
}

float PotFlame::drawnRed(const Particle& p) const {
    return redOverride >= 0.0f ? redOverride : (scale + 0.3f) * p.colour.x;
}

void PotFlame::Render() {
    beginFrame(GL_MODULATE, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    int n = LevelOfDetailCount();
    for (int i = 0; i < n; ++i) {
        const Particle& p = particles[static_cast<size_t>(i)];
        addBillboard(p.position, p.size, drawnRed(p), 1.0f, 0.0f, 1.0f);
    }
    endFrame();
}
