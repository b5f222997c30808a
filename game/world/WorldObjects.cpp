#include "game/world/WorldObjects.h"

#include <algorithm>
#include <utility>

void feedWorldLevel(WorldObjects& world, float level) {
    const float n = level / 60.0f;
    if (world.potFlames != nullptr) {
        world.potFlames->SetLevel((level + 10.0f) * 0.19f, true, false, false, true);
    }
    for (CMFSCloud* cloud : world.clouds) {
        if (cloud != nullptr) {
            cloud->setBrightness(1.0f - n);
        }
    }
    if (world.snow != nullptr) {
        world.snow->SetPair(n, 1.0f);
    }
    const float f = 0.85f * n;
    if (world.terrain != nullptr) {
        world.terrain->SetTint(0.0f, 1.0f - f, 0.0f);
    }
    if (world.fountainSpray != nullptr) {
        world.fountainSpray->SetPair(level + 50.0f, level / 50.0f + 0.2f);
        world.fountainSpray->SetTint(1.0f, 1.0f - f, 0.0f);
    }
    if (world.skybox != nullptr) {
        float c = 1.0f - 1.1f * n;
        world.skybox->SetTint(c, c, c);
    }
    if (world.poleSpray != nullptr) {
        world.poleSpray->SetPair(level * 0.3f, level / 50.0f + 0.2f);
    }
}

void sortCloudsFarthestFirst(CMFSCloud* clouds[WorldObjects::kClouds]) {
    float distance[WorldObjects::kClouds];
    for (int i = 0; i < WorldObjects::kClouds; ++i) {
        distance[i] = clouds[i] != nullptr ? clouds[i]->worldPosition.length() : 0.0f;
    }
    // A bubble sort over three: a swap only when the later one is strictly farther.
    for (int pass = 0; pass < WorldObjects::kClouds - 1; ++pass) {
        for (int i = 0; i < WorldObjects::kClouds - 1 - pass; ++i) {
            if (distance[i + 1] > distance[i]) {
                std::swap(distance[i], distance[i + 1]);
                std::swap(clouds[i], clouds[i + 1]);
            }
        }
    }
}
