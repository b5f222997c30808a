// Made-up music for trying the ride without a player: spectra as a function of time.
#pragma once

#include <string>

namespace feeder {

enum class Pattern { Silence, Loud, Beat, Sweep, Strobe };

// The strobe's rate unless told otherwise.
constexpr double kStrobeHz = 6.0;

// "silence", "loud", "beat", "sweep" or "strobe"; false for anything else.
bool parsePattern(const std::string& name, Pattern& out);

// The spectrum at t seconds: two channels of 1024 bands, lowest first, 0..255.
// Silence is all 0 and loud all 255. The beat pulses twice a second, strongest in the bass
// and fading between the beats; the sweep moves a peak from the lowest band to the highest
// every four seconds over a quiet floor. The strobe alternates a loud beat (full in the bass,
// falling to half in the highest band) and silence, strobeHz times a second, the beat first:
// the worst a drum-heavy song can do.
void fill(Pattern pattern, double t, unsigned char spectrum[2][1024], double strobeHz = kStrobeHz);

} // namespace feeder
