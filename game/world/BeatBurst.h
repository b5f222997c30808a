// A burst of 600 glowing sparks that the ride fires on a beat: the sparks fly out from a point
// in front of the eye, fall, slow down sideways and fade from red or yellow towards green.
// Its Update also draws it; a burst runs until every spark has died. A burst starts with all
// its sparks in one spot close to the eye: while they lie many deep there they are drawn
// through a coarse layer, at half the window's size or, large and a dozen deep, a quarter.
#pragma once

#include "game/assets/CoarseLayer.h"
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
    // Whether the last Render went through the layer.
    bool drewThroughLayer() const { return inLayer; }

    int spawnMode = 0;
    float elapsedTime = 0.0f;
    float duration = 1.0f;
    bool running = false;
    float amount = 0.0f;
    Vector3 direction;
    // Sparks that fill more pixels than this together, and lie kLayerDepth deep on average
    // over the rectangle they cover, are drawn through the layer.
    static constexpr double kLayerFill = 400000.0;
    static constexpr double kLayerDepth = 3.0;
    // From this deep on average, with sparks this many pixels across on average, the layer is
    // a quarter of the window's size.
    static constexpr double kQuarterDepth = 12.0;
    static constexpr double kQuarterSide = 64.0;
    CCoarseLayer layer;

  private:
    bool inLayer = false;
};
