// The audio decoder over any bytes: opening and reading either fails with a reason or gives
// finite samples, and a read never returns more frames than asked.
#include "fuzz/FuzzInput.h"
#include "player/decode/AudioDecoder.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzinput::MemoryFile file;
    if (!file.set(data, size)) {
        return 0;
    }
    std::string error;
    std::unique_ptr<AudioDecoder> decoder = AudioDecoder::open(file.path(), error);
    if (decoder == nullptr) {
        if (error.empty()) {
            std::abort();
        }
        return 0;
    }
    static float samples[2 * 4096];
    // A bounded stretch: a few seconds of audio at most, whatever the file claims.
    for (int block = 0; block < 40; ++block) {
        long got = decoder->read(samples, 4096);
        if (got < -1 || got > 4096 || (got == -1 && decoder->error().empty())) {
            std::abort();
        }
        if (got <= 0) {
            break;
        }
        for (long i = 0; i < 2 * got; ++i) {
            if (!std::isfinite(samples[i])) {
                std::abort();
            }
        }
    }
    return 0;
}
