// What the game knows of the music: the block it reads, the media title last copied from it
// and whether the music has stalled.
#pragma once

#include "shared/musicblock/CSharedMusicBlock.h"

// The game's block (reader side only).
extern CSharedMusicBlock musicBlock;
// Title last copied from the block; "" until a copy succeeds. Ends at its first NUL or after
// 200 bytes.
extern char musicTitle[200];
// True while the spectrum has not changed for more than 30 seconds of ride time.
extern bool noMusicData;

// Start-up: empties the title and tries once to open the block.
bool openMusicBlock();
