// Clocks and sleeping with the Win32 names: the high-resolution performance counter, the
// 32-bit millisecond tick count, the multimedia timer and Sleep.
#pragma once

#include "platform/base/WinTypes.h"

// Counts per second of the performance counter. Always succeeds here (TRUE).
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
// Current performance-counter value; monotonic.
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
// Milliseconds since an arbitrary start, wrapping at 2^32.
DWORD GetTickCount();
// Multimedia timer: milliseconds, wrapping at 2^32, millisecond resolution.
DWORD timeGetTime();
// Suspends the calling thread for at least the given number of milliseconds.
void Sleep(DWORD milliseconds);
