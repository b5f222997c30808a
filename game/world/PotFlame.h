// The flames over the two fountain pots: 1000 particles rising from the pot's mouth, their
// life and redness following the music level; drawn with the level of detail.
#pragma once

#include "game/world/ParticleEmitter.h"

class PotFlame : public CParticleEmitter<Particle> {
  public:
    static constexpr int kParticles = 1000;

    PotFlame();

    void Setup() override;
    bool Update(float elapsed) override;
    void Render() override;
    void InitParticle(Particle& p) override;
    // Stores level; v = level / 14 becomes the size scale (useSize) and each chosen colour
    // override (at most 1; -1 for the ones not chosen).
    void SetLevel(float level, bool useRed, bool useGreen, bool useBlue, bool useSize) override;
    // The red of a particle as drawn: the red override when it is 0 or more, else
    // (scale + 0.3) x the particle's own red.
    float drawnRed(const Particle& p) const;

    float level = 0.0f;
    float redOverride = -1.0f;
    float blueOverride = -1.0f;
    float greenOverride = -1.0f;
    float scale = 0.0f;
};
