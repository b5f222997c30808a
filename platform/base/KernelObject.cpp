#include "platform/base/KernelObject.h"

namespace {
thread_local DWORD lastError = 0;
}

DWORD GetLastError() {
    return lastError;
}
void SetLastError(DWORD code) {
    lastError = code;
}

BOOL CloseHandle(HANDLE h) {
    if (h == nullptr || h == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete h;
    return TRUE;
}
