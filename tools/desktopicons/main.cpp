// desktop-icons FOLDER: writes the hicolor theme's icons of the game and the player below
// FOLDER (<n>x<n>/apps/<name>.png). Exit code 0 when every file was written, else 1.
#include "tools/desktopicons/DesktopIcons.h"

#include <cstdio>
#include <stdexcept>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: desktop-icons FOLDER\n");
        return 1;
    }
    try {
        writeDesktopIcons(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "desktop-icons: %s\n", e.what());
        return 1;
    }
    return 0;
}
