// The user's ride settings as the menu and the settings file see them, and the game-wide
// values the ride reads every frame.
#pragma once

#include <cstdint>

struct RideSettings {
    int32_t viewPoint;
    bool dragonOn;
    bool headTilt;
    float smoothing;
    bool speedChanged;
    float speed;
};

// Smoothing and speed (0..1, a knob at its far right gives 1.00224) and the flag that makes
// the ride re-apply its speed on its next update.
extern float rideSmoothing;
extern float rideSpeed;
extern bool rideSpeedChanged;
// The ride's smoothed music level L (about 0 to 255), for the world's music-driven objects.
extern float rideLevel;

// What the ride takes from the controls each frame.
struct RideView {
    int32_t viewPoint = 25;
    bool headTilt = false;
    bool dragonOn = true;
};

// View point codes.
namespace viewpoint {
constexpr int32_t kLookFromCenter = 0;
constexpr int32_t kBackward = 1;
constexpr int32_t kForwardNear = 4;
constexpr int32_t kFrequencyBars = 20;
constexpr int32_t kLookAtCenter = 21;
constexpr int32_t kForwardMid = 23;
constexpr int32_t kForwardFar = 24;
constexpr int32_t kCycle = 25;
} // namespace viewpoint
