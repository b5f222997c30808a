#include "game/world/PoleSpray.h"

#include "game/assets/math/Random.h"

#include <algorithm>

PoleSpray::PoleSpray(float radiusOfSpawn) : spawnRadius(radiusOfSpawn) {
    Setup();
}

void PoleSpray::Setup() {
    radius = 110.0f;
    origin = {0.0f, 0.0f, 0.0f};
    mode = 0;
    lifeScale = 0.5f;
    extra = 1.0f;
    allocatePool(kParticles);
    for (Particle& p : particles) {
        p.size = 3.0f * rand01() + 2.0f;
        p.life = 5.0f;
        float r = rand01(), g = rand01(), b = rand01();
        p.colour = {r, g, b};
        float dx = randomSign(rand01() / 2.0f);
        float dy = randomSign(rand01() / 2.0f);
        float dz = randomSign(rand01() / 2.0f);
        Vector3 d = normalized(Vector3{dx, dy, dz});
        p.velocity = p.baseVelocity = d * 100.0f;
        p.position = p.spawnPosition = d * spawnRadius;
    }
}

void PoleSpray::SetPair(float a, float b) {
    lifeScale = a + 0.5f;
    darkness = std::min(a / 120.0f, 1.0f);
    extra = b;
}

void PoleSpray::InitParticle(Particle& p) {
    p.life = rand01() * 5.0f * lifeScale;
    p.position = p.spawnPosition;
    p.velocity = p.baseVelocity;
}

bool PoleSpray::Update(float elapsed) {
    for (Particle& p : particles) {
        p.life -= kLifeRate * elapsed;
        if (p.life > 0.0f) {
            p.position = p.position + p.velocity * elapsed;
        } else {
            InitParticle(p);
        }
    }
    return true;
}

void PoleSpray::Render() {
    beginFrame(GL_MODULATE, GL_SRC_ALPHA, GL_ONE);
    float k = 1.0f - darkness;
    for (const Particle& p : particles) {
        addBillboard(p.position, p.size, k * p.colour.x, k * p.colour.y, k * p.colour.z, 1.0f);
    }
    endFrame();
}
