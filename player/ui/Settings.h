// What tcplayer remembers between runs, in "tcplayer.conf" under $XDG_CONFIG_HOME/tonecrest
// (else ~/.config/tonecrest): one "key=value" per line, the queue as one "song=" line per
// file. Unknown keys and damaged lines are ignored; a missing file gives the defaults.
#pragma once

#include <string>
#include <vector>

struct PlayerSettings {
    double volume = 0.8;         // 0..1
    bool normalise = true;       // loudness normalisation
    bool rideCalibration = true; // each song's spectrum mapping; false: the fixed mapping
    std::string visualization;   // the chosen one's registry key name; "" = the first
    std::vector<std::string> queue;
    int queuePosition = -1;

    static std::string defaultPath();
    static PlayerSettings load(const std::string& path);
    // Replaces the file at once (the folder is created when missing): false when it cannot be
    // written, and then the old file is left whole.
    bool save(const std::string& path) const;
};
