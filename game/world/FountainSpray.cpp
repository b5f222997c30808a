#include "game/world/FountainSpray.h"

#include "game/assets/math/Random.h"

FountainSpray::FountainSpray() {
    Setup();
}

void FountainSpray::Setup() {
    radius = 110.0f;
    origin = {0.0f, 100.0f, 0.0f};
    mode = 4;
    speedScale = 1.0f;
    allocatePool(kParticles);
    for (Particle& p : particles) {
        float r1 = rand01(), r2 = rand01(), r3 = rand01();
        p.colour = {r1, r2, r3};
        Vector3 direction{r1 / 2.0f, r2 / 2.0f + 4.0f, r3 / 2.0f};
        direction.x = randomSign(direction.x);
        direction.z = randomSign(direction.z);
        p.velocity = p.baseVelocity = direction * 100.0f;
        p.position = p.spawnPosition = {0.0f, 0.0f, 0.0f};
        p.life = 5.0f;
        p.size = 1.5f;
    }
}

void FountainSpray::SetPair(float a, float b) {
    lifeScale = a;
    speedScale = b;
}

void FountainSpray::SetTint(float t1, float t2, float t3) {
    tint[0] = t1;
    tint[1] = t2;
    tint[2] = t3;
}

void FountainSpray::InitParticle(Particle& p) {
    p.position = p.spawnPosition = {0.0f, 0.0f, 0.0f};
    p.life = rand01() * 5.0f * lifeScale;
    p.velocity = p.baseVelocity;
}

bool FountainSpray::Update(float elapsed) {
    float g = 200.5f * elapsed;
    for (Particle& p : particles) {
        p.life -= kLifeRate * elapsed;
        if (p.life <= 0.0f || p.position.y < 0.0f) {
            p.life = 0.0f;
            InitParticle(p);
        } else {
            p.velocity.y -= g;
            p.position = p.position + p.velocity * (elapsed * speedScale);
        }
    }
    return true;
}

void FountainSpray::Render() {
    beginFrame(GL_BLEND, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // The environment colour is state, so the drops of each colour go in one draw: first
    // every even drop with (t1, t2, t3), then every odd one with (t2, t1, t3).
    const float colours[2][4] = {{tint[0], tint[1], tint[2], 1.0f},
                                 {tint[1], tint[0], tint[2], 1.0f}};
    int n = LevelOfDetailCount();
    for (int parity = 0; parity < 2; ++parity) {
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, colours[parity]);
        for (int i = parity; i < n; i += 2) {
            const Particle& p = particles[static_cast<size_t>(i)];
            addBillboard(p.position, p.size, 0.0f, 0.0f, 1.0f, 1.0f);
        }
        flushQuads();
    }
    endFrame();
}
