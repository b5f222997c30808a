// The data archive over any bytes: entries are read whole or refused with a reason, and an
// entry's declared size never decides how much memory is taken.
#include "fuzz/FuzzInput.h"
#include "game/assets/DataArchive.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzinput::MemoryFile file;
    if (!file.set(data, size)) {
        return 0;
    }
    CDataArchive archive(file.path().c_str());
    for (const char* name : {"entry.bin", "Exhaust.png", "models/Prop.dat", "a"}) {
        if (archive.readFile(name)) {
            // Touch every byte the archive says it holds.
            unsigned sum = 0;
            for (uint32_t i = 0; i < archive.getSize(); ++i) {
                sum += archive.getData()[i];
            }
            (void)sum;
            if (archive.getSize() > CDataArchive::kMaxEntryBytes) {
                std::abort();
            }
        } else if (archive.lastError().empty()) {
            std::abort();
        }
    }
    return 0;
}
