// demotune OUT.wav: writes the demo tune that `make run` plays.
#include "tools/demotune/DemoTune.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demotune OUT.wav\n");
        return 2;
    }
    if (!demotune::writeWav(argv[1], demotune::render(), demotune::kTitle)) {
        std::fprintf(stderr, "demotune: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
