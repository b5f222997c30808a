// Snow over the whole world: 3000 flakes falling from height 750 over a 3500-wide square.
// How many are drawn, and how much of their own colour they show, follows the density.
#pragma once

#include "game/world/ParticleEmitter.h"

class SnowFall : public CParticleEmitter<Particle> {
  public:
    static constexpr int kParticles = 3000;

    SnowFall();

    void Setup() override;
    bool Update(float elapsed) override;
    // The first trunc(maxParticles x density) flakes, each channel (1 - density) + density x
    // the flake's own colour.
    void Render() override;
    void InitParticle(Particle& p) override;
    // density a (at most 1); b is kept.
    void SetPair(float a, float b) override;
    int drawnCount() const;

    float lifeScale = 10.0f;
    float density = 0.0f;
    float extra = 1.0f;
};
