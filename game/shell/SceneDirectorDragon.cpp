// The scene director's share of the dragon: the breath, the frequency bars and the winged
// flock created, drawn and deleted in their places of the world's order, and the dragon model
// set up with its choreography and handed to the ride's music feed.
#include "game/shell/SceneDirector.h"

#include "game/ride/DragonFeed.h"

#include <GL/gl.h>

void CSceneDirector::createBreath() {
    dragonParts.breath = new BreathStream;
    dragonParts.breath->SetIntensity(3.0f);
}

void CSceneDirector::createBars() {
    dragonParts.bars = new FrequencyBars;
    dragonParts.bars->LoadImage("water.png");
    dragonParts.bars->SetSolid(false);
}

void CSceneDirector::createFlock() {
    dragonParts.flock = new WingFlock;
    dragonParts.flock->LoadImage("Wing.png");
}

void CSceneDirector::placeBars() {
    SceneActor* actor = dragonParts.bars;
    actor->SetPosition(0.0f, -25.0f, 800.0f);
    actor->SetRotation(0.0f, 0.0f, 0.0f, 0.0f);
    if (ride != nullptr) {
        ride->setSpectrumSink(actor);
    }
}

// After the props: the bars stand on their platform model, and the first model becomes the
// dragon, whose moves and level the ride's feed drives.
void CSceneDirector::setUpDragon() {
    dragonParts.bars->setPlatform(models[3]);
    setupDragon(*models[0], dragonParts.breath);
    if (ride != nullptr) {
        RideFeedTargets targets = ride->feedTargets();
        targets.dragon = models[0];
        targets.flock = dragonParts.flock;
        targets.beatBurst = world.beatBurst;
        targets.world = [this](float level) { feedWorldLevel(world, level); };
        ride->setFeedTargets(targets);
    }
}

// A prop model under its emitter, lowered by drop.
void CSceneDirector::drawProp(CBoneModel* model, float drop, float dt) {
    if (model == nullptr) {
        return;
    }
    glPushMatrix();
    glTranslatef(0.0f, drop, 0.0f);
    model->drawBoneModel(dt);
    glPopMatrix();
}

void CSceneDirector::showDragonParts(bool shown) {
    dragonPartsShown = shown;
    if (ride != nullptr) {
        RideFeedTargets targets = ride->feedTargets();
        targets.dragon = shown ? models[0] : nullptr;
        targets.flock = shown ? dragonParts.flock : nullptr;
        ride->setFeedTargets(targets);
    }
}

void CSceneDirector::drawFlock(float dt) {
    if (dragonParts.flock != nullptr && dragonPartsShown) {
        dragonParts.flock->Update(dt);
        dragonParts.flock->Render();
    }
}

void CSceneDirector::drawBars(float dt) {
    if (dragonParts.bars != nullptr && dragonPartsShown) {
        dragonParts.bars->Draw(dt);
    }
}

void CSceneDirector::deleteBarsAndFlock() {
    if (ride != nullptr) {
        ride->setSpectrumSink(nullptr);
        ride->setFeedTargets(RideFeedTargets{});
    }
    delete dragonParts.bars;
    dragonParts.bars = nullptr;
    delete dragonParts.flock;
    dragonParts.flock = nullptr;
}

// The breath goes after the dragon that carries it.
void CSceneDirector::deleteBreath() {
    delete dragonParts.breath;
    dragonParts.breath = nullptr;
}
