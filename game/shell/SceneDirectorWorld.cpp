// The scene director's world: what buildScene creates, the order renderScene draws it in, the
// cloud impostor taking turns, and the order the destructor deletes it in.
#include "game/shell/SceneDirector.h"

#include "game/shell/Controls.h"

#include <GL/gl.h>

#include <initializer_list>
#include <stdexcept>
#include <string>

namespace {

struct CloudPlace {
    const char* name;
    float x, y, z;
};

const CloudPlace kClouds[WorldObjects::kClouds] = {
    {"cloud1", 200.0f, 200.0f, 300.0f},
    {"cloud2", 200.0f, 300.0f, 1000.0f},
    {"cloud3", -1000.0f, 200.0f, 300.0f},
};

template <class T> void deleteAndClear(T*& p) {
    delete p;
    p = nullptr;
}

} // namespace

void CSceneDirector::buildScene() {
    while (!buildWorldPart()) {
    }
}

// Each part takes a few to a few tens of milliseconds (image decoding, texture uploads); the
// parts are created in the same order, and so draw the same random numbers, whether they are
// built at once or a frame at a time.
bool CSceneDirector::buildWorldPart() {
    switch (worldPartsBuilt) {
    case 0:
        world.terrain = new CTerrain;
        createBreath();
        world.potFlames = new PotFlame;
        world.potFlames->LoadImage("flame6.png");
        world.potFlames->SetLevel(5.0f, false, false, false, true);
        world.beatBurst = new BeatBurst;
        world.beatBurst->LoadImage("flame.png");
        break;
    case 1:
        world.fountainSpray = new FountainSpray;
        world.fountainSpray->MakeSplatTexture();
        world.fountainSpray->SetPair(50.0f, 0.5f);
        createBars();
        createFlock();
        world.snow = new SnowFall;
        world.snow->LoadImage("snowflake.png");
        placeBars();
        break;
    case 2:
        world.terrain->LoadTextures("grass3.jpg");
        break;
    case 3:
        for (int i = 0; i < WorldObjects::kClouds; ++i) {
            world.clouds[i] = new CMFSCloud(kClouds[i].name);
            world.clouds[i]->setPosition(kClouds[i].x, kClouds[i].y, kClouds[i].z);
        }
        world.poleSpray = new PoleSpray(5.0f);
        world.poleSpray->LoadImage("water.png");
        break;
    case 4:
        for (CBoneModel*& m : models) {
            m = new CBoneModel;
        }
        loadProp(*models[1], "FountainPot.dat");
        loadProp(*models[2], "FountainPot2.dat");
        loadProp(*models[3], "FreqBarsPlatform.dat");
        loadProp(*models[4], "FireBallPoll.dat");
        break;
    case 5:
        setUpDragon();
        break;
    default:
        world.skybox = new Skybox;
        world.skybox->Load(0);
        worldPartsBuilt = kWorldParts;
        return true;
    }
    ++worldPartsBuilt;
    return false;
}

// A prop missing from the archive stays empty and draws nothing; a damaged one (its entry or
// its model) ends the game with the reason.
void CSceneDirector::loadProp(CBoneModel& model, const char* name) {
    if (model.loadBoneModel(name) || dataArchive == nullptr) {
        return;
    }
    if (dataArchive->lastFailure() == CDataArchive::Failure::Damaged) {
        throw std::runtime_error("Couldn't load model " + dataArchive->lastError());
    }
    if (dataArchive->readFile(name)) {
        throw std::runtime_error("Couldn't load model " + model.loadError());
    }
}

void CSceneDirector::deleteWorld() {
    deleteAndClear(world.potFlames);
    deleteAndClear(world.beatBurst);
    deleteAndClear(world.fountainSpray);
    deleteBarsAndFlock();
    deleteAndClear(world.snow);
    for (CMFSCloud*& cloud : world.clouds) {
        deleteAndClear(cloud);
    }
    deleteAndClear(world.terrain);
    deleteAndClear(world.skybox);
    deleteAndClear(world.poleSpray);
    for (CBoneModel*& m : models) {
        deleteAndClear(m);
    }
    deleteBreath();
}

void CSceneDirector::refreshCloudImpostor() {
    if (!captureEveryFrame && (frames & 1) != 0) {
        return;
    }
    CMFSCloud* cloud = world.clouds[nextImpostor];
    nextImpostor = (nextImpostor + 1) % WorldObjects::kClouds;
    if (cloud != nullptr) {
        cloud->renderImpostor();
    }
}

// Steps 1 to 7 draw with the view the ride placed in the previous frame; the ride places this
// frame's view, which the clouds then use.
void CSceneDirector::renderScene(float dt) {
    // 1. The sky covers the whole view, so the colour buffer is never cleared. A sky that is
    // not cleared to black is drawn after the terrain, behind it, so that the pixels the
    // ground covers are not filled twice; the terrain then starts from the depth state the sky
    // leaves.
    const bool skyBehind = world.skybox != nullptr && world.skybox->drawsBehind();
    if (world.skybox != nullptr && !skyBehind) {
        world.skybox->Render();
    } else if (skyBehind) {
        glDepthMask(GL_TRUE);
        glEnable(GL_DEPTH_TEST);
    }

    // 2. The terrain.
    if (world.terrain != nullptr) {
        glPushMatrix();
        glTranslatef(-2000.0f, 142.0f, -2000.0f);
        world.terrain->Draw();
        glPopMatrix();
    }
    if (skyBehind) {
        world.skybox->RenderBehind();
    }

    // 3. Snow, then the winged flock.
    if (world.snow != nullptr) {
        world.snow->Update(dt);
        world.snow->Render();
    }
    drawFlock(dt);

    // 4. One flame emitter drawn over both pots; it moves once a frame, at the first pot seen.
    if (world.potFlames != nullptr) {
        bool updated = false;
        for (float x : {1000.0f, -1000.0f}) {
            glPushMatrix();
            glTranslatef(x, 0.0f, 0.0f);
            if (world.potFlames->IsInView()) {
                if (!updated) {
                    world.potFlames->Update(dt);
                    updated = true;
                }
                drawProp(models[2], -40.0f, dt);
                world.potFlames->Render();
            }
            glPopMatrix();
        }
    }

    // 5. The fire-ball pole and its spray.
    if (world.poleSpray != nullptr) {
        glPushMatrix();
        glTranslatef(-700.0f, -10.0f, -1100.0f);
        if (world.poleSpray->IsInView()) {
            world.poleSpray->Update(dt);
            drawProp(models[4], -90.0f, dt);
            glTranslatef(0.0f, 20.0f, 0.0f);
            world.poleSpray->Render();
        }
        glPopMatrix();
    }

    // 6. The fountain in the middle.
    if (world.fountainSpray != nullptr) {
        glPushMatrix();
        if (world.fountainSpray->IsInView()) {
            world.fountainSpray->Update(dt);
            drawProp(models[1], -50.0f, dt);
            glTranslatef(0.0f, -25.0f, 0.0f);
            world.fountainSpray->Render();
        }
        glPopMatrix();
    }

    // 7. The frequency bars on their platform.
    drawBars(dt);

    // 8. The ride: music, camera, beat burst, dragon and the music feed.
    if (ride != nullptr) {
        ride->render(
            dt, RideView{controls->viewPoint, controls->headTilt != 0, controls->dragonOn != 0});
    }

    // 9. The clouds, farthest from the world origin first.
    CMFSCloud* order[WorldObjects::kClouds];
    for (int i = 0; i < WorldObjects::kClouds; ++i) {
        order[i] = world.clouds[i];
    }
    sortCloudsFarthestFirst(order);
    for (CMFSCloud* cloud : order) {
        if (cloud == nullptr) {
            continue;
        }
        glPushMatrix();
        glTranslatef(cloud->worldPosition.x, cloud->worldPosition.y, cloud->worldPosition.z);
        if (cloud->isInRange()) {
            cloud->drawCloud(dt);
        }
        glPopMatrix();
    }
}
