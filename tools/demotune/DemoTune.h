// Our own demo music, synthesised: a short electronic piece with quiet and loud passages, so
// that a ride on it shows the dragon's calm and wild moves.
#pragma once

#include <string>
#include <vector>

namespace demotune {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr const char* kTitle = "Tonecrest Demo Tune";

// One passage of the piece, in seconds from the start.
struct Section {
    const char* name;
    double start;
    double end;
    bool loud;
};

// The piece's plan, in order, covering it from 0 to its full length.
const std::vector<Section>& sections();
double lengthSeconds();

// The first `seconds` of the piece (all of it by default) as interleaved stereo floats in
// -1..1 at kRate. The same every time.
std::vector<float> render(double seconds = -1);

// Writes 16-bit PCM stereo WAV with the title in its INFO list; false on a write error.
bool writeWav(const std::string& path, const std::vector<float>& interleaved,
              const std::string& title);

} // namespace demotune
