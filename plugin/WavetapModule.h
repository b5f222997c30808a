// Library-wide state of the plug-in: its COM module (object and lock counts), the shared music
// block every instance writes, its string resources, registry script and type library.
#pragma once

#include "platform/com/ComModule.h"
#include "platform/com/TypeLib.h"
#include "shared/musicblock/CSharedMusicBlock.h"

namespace wavetap {

plat::ComModule& module();
// The block of the player's process; closed when the library unloads.
CSharedMusicBlock& musicBlock();

// String resources: 100 project name, 101 the visualization's title, 102 its preset's title,
// 105 the description. Null for other ids.
const char* loadString(UINT id);

// The registration script ("%MODULE%" stands for the library's full path).
extern const char kRegistryScript[];
// WAVETAP1Lib 1.0 with IWavetap1 and the class Wavetap1.
const plat::TypeLibDescription& typeLibrary();

} // namespace wavetap
