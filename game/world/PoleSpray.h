// The spray around the fire-ball pole: 1000 sparks thrown out in every direction from a small
// sphere, living longer and darker as the music gets louder. Drawn additively, all of them.
#pragma once

#include "game/world/ParticleEmitter.h"

class PoleSpray : public CParticleEmitter<Particle> {
  public:
    static constexpr int kParticles = 1000;

    // Sparks start on a sphere of this radius.
    explicit PoleSpray(float spawnRadius);

    void Setup() override;
    bool Update(float elapsed) override;
    void Render() override;
    void InitParticle(Particle& p) override;
    // Life scale a + 0.5, darkness a / 120 (at most 1); b is kept.
    void SetPair(float a, float b) override;

    float spawnRadius;
    float lifeScale = 0.5f;
    float darkness = 0.0f;
    float extra = 1.0f;
};
