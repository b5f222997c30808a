// COM apartment initialisation for the calling thread. Later interfaces (class objects,
// registration) build on this.
#pragma once

#include "platform/base/WinTypes.h"

using HRESULT = int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;

// S_OK on the first call of a thread, S_FALSE on every further one; each call is matched by
// one CoUninitialize.
HRESULT CoInitialize(void* reserved);
void CoUninitialize();

namespace plat {
// How many CoInitialize calls of this thread are not yet matched.
int comInitCount();
} // namespace plat
