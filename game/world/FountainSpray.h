// The fountain in the middle of the world: 2000 drops thrown up from the pot and falling
// back, their life and speed following the music; drawn blue, tinted through the texture
// environment colour, with the level of detail.
#pragma once

#include "game/world/ParticleEmitter.h"

class FountainSpray : public CParticleEmitter<Particle> {
  public:
    static constexpr int kParticles = 2000;

    FountainSpray();

    void Setup() override;
    bool Update(float elapsed) override;
    // Environment colours alternate from drop to drop: (t1, t2, t3) and (t2, t1, t3).
    void Render() override;
    void InitParticle(Particle& p) override;
    // a: life scale, b: speed scale.
    void SetPair(float a, float b) override;
    void SetTint(float t1, float t2, float t3);

    float lifeScale = 1.0f;
    float speedScale = 1.0f;
    // The tint the ride gives at silence until it gives its own.
    float tint[3] = {1.0f, 1.0f, 0.0f};
};
