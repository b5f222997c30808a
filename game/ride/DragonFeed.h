// The dragon's choreography and the ride's music feed: the dragon's moves and playlists set up
// once, and every ride frame the beat on the wave, the beat burst and the dragon at the head
// of the trail, and the ride's level handed to the dragon and to the world's objects.
#pragma once

#include "game/assets/bone/BoneModel.h"
#include "game/ride/TrackPoint.h"
#include "game/world/SceneActor.h"

#include <functional>

// The dragon's file in the data archive.
constexpr const char* kDragonFile = "MyBoneExportDragon.dat";

// Loads the dragon, attaches the breath under the mouth, creates its eighteen moves (the
// breath burning during keys 10 to 25 of moves 0, 6 and 12), fills the three playlists and
// starts the quiet one. Throws the model's message when a strip is missing, and a message
// naming the file when the archive does not hold it.
void setupDragon(CBoneModel& dragon, BoneAttachment* breath);

// True when the wave rose at each of the sixteen steps up to point 1 and point 0 is not
// higher than point 1: the rise has just stopped.
bool beatOnWave(const TrackHistory<250>& carPath);

// What the feed reaches; any of them may be missing.
struct RideFeedTargets {
    CBoneModel* dragon = nullptr;
    SceneActor* beatBurst = nullptr; // Burst, and Draw as its update
    SceneActor* flock = nullptr;     // SetPair (n, 1)
    // The rest of the world's share for the smoothed level L: flames, clouds, snow, terrain,
    // fountain, sky and pole.
    std::function<void(float level)> world;
};
