// Program entry of windowed programs: the platform's main() calls WinMain with the command
// line (the arguments after the program name, joined by blanks) and returns its result as
// the exit code.
#pragma once

#include "platform/base/WinTypes.h"

int WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

namespace plat {
// The instance handle main() gave WinMain.
HINSTANCE programInstance();
} // namespace plat
