// The player control (tcplayerctl.so beside tcplayer) is what NowPane hosts to reach the
// running player. tcplayer registers it in the user's registry when no usable registration
// exists, so the connect-to-player chain works on a machine where nothing was set up by hand.
#pragma once

#include <string>

// Registers `library` as the player control unless the registry already names a library that
// loads and offers class objects (a missing file, one that is not a library, or a library
// without DllGetClassObject is registered over). True when a usable registration is in place
// afterwards; else false with the reason.
bool ensurePlayerControlRegistered(const std::string& library, std::string& error);

// tcplayerctl.so in the folder of the running program.
std::string playerControlBesideProgram();
