#include "game/world/SnowFall.h"

#include "game/assets/math/Random.h"

#include <algorithm>

SnowFall::SnowFall() {
    Setup();
}

void SnowFall::Setup() {
    lifeScale = 10.0f;
    extra = 1.0f;
    allocatePool(kParticles);
    for (Particle& p : particles) {
        p.size = 0.5f * rand01() + 1.0f;
        p.life = 5.0f;
        float r = rand01(), g = rand01(), b = rand01();
        p.colour = {r, g, b};
        float x = randomSign(rand01() / 2.0f) * 3500.0f;
        float z = randomSign(rand01() / 2.0f) * 3500.0f;
        p.position = p.spawnPosition = {x, 750.0f, z};
        p.velocity = p.baseVelocity = {0.0f, 0.0f, 0.0f};
    }
}

void SnowFall::SetPair(float a, float b) {
    density = std::min(a, 1.0f);
    extra = b;
}

void SnowFall::InitParticle(Particle& p) {
    p.life = rand01() * 5.0f * lifeScale;
    p.position = p.spawnPosition;
    p.velocity = p.baseVelocity;
}

bool SnowFall::Update(float elapsed) {
    float g = 200.5f * elapsed;
    for (Particle& p : particles) {
        p.life -= kLifeRate * elapsed;
        if (p.life <= 0.0f || p.position.y < 0.0f) {
            p.life = 0.0f;
            InitParticle(p);
        }
        p.velocity.y -= g;
        p.position = p.position + p.velocity * elapsed;
    }
    return true;
}

int SnowFall::drawnCount() const {
    int n = static_cast<int>(static_cast<float>(maxParticles) * density);
    return std::clamp(n, 0, maxParticles);
}

void SnowFall::Render() {
    beginFrame(GL_MODULATE, GL_SRC_ALPHA, GL_ONE);
    int n = drawnCount();
    float keep = 1.0f - density;
    for (int i = 0; i < n; ++i) {
        const Particle& p = particles[static_cast<size_t>(i)];
        addBillboard(p.position, p.size, keep + density * p.colour.x, keep + density * p.colour.y,
                     keep + density * p.colour.z, 1.0f, true);
    }
    endFrame();
}
