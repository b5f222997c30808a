// Program icons. An icon resource of a program is the image "icons/PROGRAM-ID.bmp" in the
// program's folder (PROGRAM the executable's file name, ID the resource number), a 32-bit
// BMP with alpha. A window whose class has an icon shows it on the desktop.
#pragma once

#include "platform/base/WinTypes.h"

#include <string>

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(static_cast<WORD>(i))))

// The running program's icon with that resource number (instance may be null); null when the
// image is missing or unreadable, or for a name that is not a number. Icons stay loaded
// until the process ends.
HICON LoadIconA(HINSTANCE instance, LPCSTR name);

namespace plat {
// The file LoadIconA reads for a resource number of the running program.
std::string iconFile(int resource);
} // namespace plat
