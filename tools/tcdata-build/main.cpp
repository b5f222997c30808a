// tcdata-build OUTPUT [ICONS]: writes the game's data archive with every image, model and data
// file the game loads, and with ICONS the programs' icons into that folder. The same sources
// always give the same bytes.
#include "tools/tcdata-build/Artwork.h"
#include "tools/tcdata-build/Icons.h"
#include "tools/tcdata-build/Text.h"
#include "tools/tcdata-build/ZipWriter.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: tcdata-build OUTPUT [ICONS]\n");
        return 2;
    }
    try {
        TextPainter text;
        ZipWriter zip;
        addSky(zip);
        addGround(zip);
        addSprites(zip);
        addFont(zip, text);
        addMenuImages(zip, text);
        addSplashImages(zip, text);
        addDragon(zip);
        addProps(zip);
        zip.write(argv[1]);
        if (argc == 3) {
            writeIcons(argv[2]);
        }
        std::printf("tcdata-build: %zu entries written to %s\n", zip.entries().size(), argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tcdata-build: %s\n", e.what());
        return 1;
    }
    return 0;
}
