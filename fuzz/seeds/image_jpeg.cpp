#include "fuzz/seeds/Seeds.h"
#include "fuzz/seeds/images.h"
#include "tools/tcdata-build/ImageFile.h"

#include <string>

void writeSeeds(SeedWriter& out) {
    int n = 0;
    for (const Canvas& c : seedCanvases()) {
        out.add("seed" + std::to_string(n++) + ".jpg", encodeJpeg(c));
    }
}
