// Track gain from a file's loudness tags.
#pragma once

#include <string>

// replayGain is a REPLAYGAIN_TRACK_GAIN value ("-6.54 dB", relative to -18 LUFS), r128 an
// R128_TRACK_GAIN value (a whole number of 1/256 dB, relative to -23 LUFS); either may be "".
// Writes the gain in dB that brings the track to targetLufs, preferring ReplayGain; false (and
// gainDb untouched) when neither tag holds a usable number within +-60 dB.
bool gainFromTags(const std::string& replayGain, const std::string& r128, double targetLufs,
                  double& gainDb);
