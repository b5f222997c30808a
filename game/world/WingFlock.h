// Ten winged creatures that fly about the scene flapping two textured wings: every so often
// one component of a creature's velocity turns, the creatures bounce off the walls of a box
// around the scene, and their wings grow with the music. Creatures out of view stand still.
#pragma once

#include "game/world/ParticleEmitter.h"

struct WingParticle : Particle {
    int turnStep = 0;        // the velocity component the next turn changes: x, y, z
    float wingAngle = 90.0f; // degrees, kept between 20 and 90
    float wingRate = 230.0f; // degrees per unit of time; the sign is the flap's direction
    float roll = 0.0f;       // degrees added to both wings
    float turnTimer = 0.0f;
    bool visible = true;
};

class WingFlock : public CParticleEmitter<WingParticle> {
  public:
    static constexpr int kCreatures = 10;
    static constexpr float kMaxElapsed = 0.1f;

    WingFlock();

    void Setup() override;
    bool Update(float elapsed) override;
    void Render() override;
    void InitParticle(Particle& p) override;
    // agility (the music, at most 1) and a stored extra value.
    void SetPair(float a, float b) override;

    // One creature's step once it is in view: bounce, turn when its timer passes interval,
    // clamp, move and flap. interval and kick are drawn once per update; a turn draws the
    // interval that the following creatures of the update use.
    void moveCreature(WingParticle& c, float elapsed, float& interval, float kick);
    // Length of a wing at the current agility.
    float wingLength(const WingParticle& c) const;

    float unused = 0.0f;
    float lifeScale = 200.0f;
    float agility = 0.0f;
    float extra = 1.0f;
};
