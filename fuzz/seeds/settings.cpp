#include "fuzz/seeds/Seeds.h"
#include "game/menu/SettingsFile.h"

#include <string>

void writeSeeds(SeedWriter& out) {
    settingsfile::save(out.path("defaults.dat").c_str(), settingsfile::defaults());
    settingsfile::save(out.path("chosen.dat").c_str(),
                       RideSettings{21, false, true, 0.4f, false, 0.9f});
    out.add("short.dat", std::string("\0\0\0\0\x18\0\0\0", 8));
}
