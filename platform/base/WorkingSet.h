// The process's working set. A program that has just freed large allocations (images shown
// once, a level's data) hands the freed pages back with
//   SetProcessWorkingSetSize(GetCurrentProcess(), SIZE_T(-1), SIZE_T(-1)).
#pragma once

#include "platform/base/WinTypes.h"

#include <cstddef>

using SIZE_T = size_t;

// The pseudo-handle of the calling process.
HANDLE GetCurrentProcess();

// With both sizes SIZE_T(-1) on the calling process, returns the heap's free pages to the
// system (resident memory drops; nothing in use moves). Other sizes and other processes are
// not supported: FALSE.
BOOL SetProcessWorkingSetSize(HANDLE process, SIZE_T minimumBytes, SIZE_T maximumBytes);
