// "Settings.dat": the six ride settings kept between runs, 24 little-endian bytes: a reserved
// word, view point, dragon, head tilt (int32 each), smoothing and speed (float).
#pragma once

#include "game/ride/RideSettings.h"

namespace settingsfile {

constexpr const char* kName = "Settings.dat";
constexpr int kBytes = 24;
// The knob's full range: a knob at its far right stores 432 x 0.00232.
constexpr float kKnobMax = 1.00224f;

// View point 25, dragon on, head tilt off, smoothing 0.75, apply flag set, speed 0.5.
RideSettings defaults();

// Starts from the defaults and reads what the file holds. False when it cannot be opened or
// is empty (the defaults stand). A field past the end of a short file keeps its default,
// except dragon and head tilt, which read as off. Smoothing and speed outside 0 to kKnobMax
// are brought to the nearest end of that range (a value that is not a number to the default),
// so the ride height and the car's speed stay finite. The apply flag is always set.
bool load(const char* path, RideSettings& settings);
// Replaces the file with the settings (dragon and head tilt as 0 or 1) at once: a failure
// midway (false) leaves the old file whole.
bool save(const char* path, const RideSettings& settings);

} // namespace settingsfile
