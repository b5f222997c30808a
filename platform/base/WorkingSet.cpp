#include "platform/base/WorkingSet.h"

#include <malloc.h>

#include <cstdint>

HANDLE GetCurrentProcess() {
    // As on Windows: -1, which no real handle is.
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
}

BOOL SetProcessWorkingSetSize(HANDLE process, SIZE_T minimumBytes, SIZE_T maximumBytes) {
    constexpr SIZE_T kTrim = static_cast<SIZE_T>(-1);
    if (process != GetCurrentProcess() || minimumBytes != kTrim || maximumBytes != kTrim) {
        return 0;
    }
    malloc_trim(0);
    return 1;
}
