// Private base of every HANDLE the kernel stand-ins hand out (files, mappings).
#pragma once

#include "platform/base/WinTypes.h"

struct KernelObject {
    virtual ~KernelObject() = default;
};

// Closes any handle given out by a kernel stand-in. FALSE for null or INVALID_HANDLE_VALUE.
BOOL CloseHandle(HANDLE h);
