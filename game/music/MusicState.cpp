#include "game/music/MusicState.h"

CSharedMusicBlock musicBlock;
char musicTitle[200] = {};
bool noMusicData = false;

bool openMusicBlock() {
    musicTitle[0] = '\0';
    return musicBlock.Open();
}
