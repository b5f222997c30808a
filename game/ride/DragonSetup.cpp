#include "game/ride/DragonFeed.h"

#include <string>

namespace {

struct Move {
    const char* strips[6];
};

// The eighteen moves: 0 to 5 quiet, 6 to 11 middle, 12 to 17 loud.
const Move kMoves[18] = {
    {{"GentleFlap", "SmallMouthOpen", "SmallTailWhip"}},
    {{"GentleFlap", "SmallMouthOpen", "SmallBobHead"}},
    {{"GentleFlap", "SmallRightHead", "SmallBobHead", "RightLeg", "LeftLeg"}},
    {{"GentleFlap", "SmallMouthOpen", "SmallNod", "RightArm", "LeftArm"}},
    {{"GentleFlap", "TailWave", "SmallNod", "RightArm", "LeftArm"}},
    {{"GentleFlap", "SmallLeftHead", "SmallBobHead", "RightLeg", "LeftLeg"}},
    {{"AwkwardWingL", "BobHead", "MouthOpen"}},
    {{"Flap", "BobHead", "WhipTail"}},
    {{"Flap", "RightLeftHead"}},
    {{"AwkwardWingR", "LeftNeck", "MouthOpen"}},
    {{"Flap2", "WhipTail", "LeftArm", "RightArm"}},
    {{"Flap2", "BobHead", "RightLeftHead", "RightLeg", "LeftLeg"}},
    {{"QuickFlap", "RightLeftHead", "MouthOpen", "LeftArmSwipe", "LegsThrashR", "WhipTailBig"}},
    {{"BigFlap", "WhipTailBig"}},
    {{"BigFlap", "BigBobHead", "WhipTailBig"}},
    {{"BigFlap", "BigBobHead", "TailSlash", "MouthOpen"}},
    {{"QuickFlap", "HeadBack", "SnapMouth", "RightArmSwipe", "LegsThrashL"}},
    {{"BigFlap", "BigBobHead", "RightLeftHead", "SnapMouth", "LeftArmSwipe"}},
};

const int kPlaylist[3][6] = {{0, 1, 2, 3, 4, 5}, {6, 7, 8, 9, 10, 11}, {12, 13, 14, 15, 16, 17}};
const int kLoops[3][6] = {{3, 4, 2, 1, 5, 2}, {3, 3, 2, 4, 5, 1}, {2, 5, 4, 2, 1, 3}};

} // namespace

void setupDragon(CBoneModel& dragon, BoneAttachment* breath) {
    if (!dragon.loadBoneModel(kDragonFile)) {
        throw std::string("Couldn't load model ") + dragon.loadError();
    }
    dragon.setAttachment(breath);
    dragon.setAttachmentOffset(0.0f, -10.0f, 0.0f, 90.0f, 0.0f, 0.0f);
    for (int i = 0; i < 18; ++i) {
        const char* const* s = kMoves[i].strips;
        dragon.setupCombination({s[0], s[1], s[2], s[3], s[4], s[5]});
        if (i == 0 || i == 6 || i == 12) {
            dragon.setCombinationRange(10, 25, i);
        }
    }
    for (int level = 0; level < 3; ++level) {
        dragon.setPlaylist(kPlaylist[level], kLoops[level], 6, level);
    }
    dragon.startPlaylist(0);
    dragon.setCombination(0);
}
