// A burst of 600 glowing sparks that the ride fires on a beat: the sparks fly out from a point
// in front of the eye, fall, slow down sideways and fade from red or yellow towards green.
// Its Update also draws it; a burst runs until every spark has died.
#pragma once

#include "game/world/ParticleEmitter.h"

class BeatBurst : public CParticleEmitter<Particle> {
  public:
    static constexpr int kParticles = 600;

    BeatBurst();

    // Starts a burst when the last one has had its duration and beat differs from running:
    // amount a, direction (x, y, z), spawnMode (0: from the eye, along the direction).
    void Burst(bool beat, float a, float x, float y, float z, int newSpawnMode) override;
    void ResetAll() override;
    // Elapsed 0 only draws. Otherwise advances the clock and, while running, the sparks, then
    // draws them; returns false when no burst is running.
    bool Update(float elapsed) override;
    // Draws the living sparks, adding their light without writing depth; each one drawn turns
    // a little greener.
    void Render() override;

    int spawnMode = 0;
    float elapsedTime = 0.0f;
    float duration = 1.0f;
    bool running = false;
    float amount = 0.0f;
    Vector3 direction;
};
