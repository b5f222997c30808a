// What every concrete emitter adds to the particle base: its SceneActor face (placement and
// music input), a mode word, and its own pool of P (Particle or a record that extends it).
// SceneActor's Draw is the emitter's Update; a concrete class's Render serves both bases.
#pragma once

#include "game/world/ParticleSystem.h"
#include "game/world/SceneActor.h"

#include <cstddef>
#include <vector>

template <class P> class CParticleEmitter : public CParticleSystem, public SceneActor {
  public:
    bool Draw(float elapsed) override { return Update(elapsed); }
    void Render() override {}

    int mode = 0;
    std::vector<P> particles;

  protected:
    // A fixed pool of n default particles; maxParticles follows.
    void allocatePool(int n) {
        particles.assign(static_cast<size_t>(n), P{});
        maxParticles = n;
    }
};
