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
// Suspends the calling thread for at least the given number of milliseconds. On the virtual
// clock it returns at once, the clock moved on by the time asked.
void Sleep(DWORD milliseconds);

// The virtual clock, for drawing off screen faster or slower than real time. From
// useVirtualClock on, every clock above reads a counter that starts at one second and moves
// only through advanceVirtualClock and Sleep; QueryPerformanceFrequency reports
// countsPerSecond (at least 1000), so a caller that advances by countsPerSecond / N counts
// steps its readers by exactly 1/N s. Any thread may call these; the mode stays on for the
// rest of the process.
void useVirtualClock(LONGLONG countsPerSecond);
void advanceVirtualClock(LONGLONG counts);
