// "FlashGuard.ini": whether the flash guard is on, kept beside "Settings.dat" (whose 24 bytes
// stay as they are). A text file a person can read and edit:
//
//   # Tonecrest flash guard: on keeps the ride to at most three flashes a second.
//   flash_guard=on
//
// "flash_guard=off" switches the guard off; anything else, or no file, leaves it on.
#pragma once

namespace flashguardfile {

constexpr const char* kName = "FlashGuard.ini";

// Whether the file exists, and the switch it holds (true when missing or unreadable).
struct State {
    bool exists = false;
    bool guardOn = true;
};
State load(const char* path);
// Replaces the file with the switch: writes a temporary file beside it and renames it over
// the old one, so that a failed write leaves the old file whole. False on failure.
bool save(const char* path, bool guardOn);

} // namespace flashguardfile
