// The objects of the world that the scene director creates, draws and deletes, and that the
// ride's music feed reaches. Plain pointers: the director owns them.
#pragma once

#include "game/assets/MFSCloud.h"
#include "game/world/BeatBurst.h"
#include "game/world/FountainSpray.h"
#include "game/world/PoleSpray.h"
#include "game/world/PotFlame.h"
#include "game/world/Skybox.h"
#include "game/world/SnowFall.h"
#include "game/world/Terrain.h"

struct WorldObjects {
    static constexpr int kClouds = 3;

    CTerrain* terrain = nullptr;
    PotFlame* potFlames = nullptr;
    BeatBurst* beatBurst = nullptr;
    FountainSpray* fountainSpray = nullptr;
    SnowFall* snow = nullptr;
    CMFSCloud* clouds[kClouds] = {};
    PoleSpray* poleSpray = nullptr;
    Skybox* skybox = nullptr;
};

// The world's share of the ride's music feed for the smoothed level L (n = L / 60): pot-flame
// level, cloud brightness, snow density, terrain, fountain and sky tints, fountain and pole
// parameters. Objects that are missing are skipped.
void feedWorldLevel(WorldObjects& world, float level);

// The order in which the clouds are drawn: farthest from the world origin first; equal
// distances keep their order.
void sortCloudsFarthestFirst(CMFSCloud* clouds[WorldObjects::kClouds]);
