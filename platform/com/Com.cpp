#include "platform/com/Com.h"

namespace {
thread_local int initCount = 0;
}

HRESULT CoInitialize(void*) {
    return initCount++ == 0 ? S_OK : S_FALSE;
}

HRESULT CoInitializeEx(void* reserved, DWORD) {
    return CoInitialize(reserved);
}

void CoUninitialize() {
    if (initCount > 0) {
        --initCount;
    }
}

namespace plat {
int comInitCount() {
    return initCount;
}
} // namespace plat
