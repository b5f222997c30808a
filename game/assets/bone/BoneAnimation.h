// The run-time pieces of a bone model's animation: combinations of action strips, playlist
// entries, and the interface of an emitter that a model carries at its anchor vertex.
#pragma once

#include <vector>

struct BoneTrack; // BoneModel.h

// Action strips merged into one set of tracks (one per bone of the model). startKey and
// endKey bound the keys during which an attached emitter is drawn; -1, -1 never.
struct BoneCombination {
    std::vector<BoneTrack> tracks;
    std::vector<int> sourceStrip; // per track, the strip that last contributed
    int startKey = -1;
    int endKey = -1;
};

// One step of a playlist: a combination played loopsWanted times through all its keys.
struct PlaylistEntry {
    int combination = 0;
    int loopsDone = 0;
    int loopsWanted = 0;
};

// A particle emitter drawn in the frame of a model's anchor vertex while the keys of the
// current combination's range play. The model does not own it.
class BoneAttachment {
  public:
    virtual ~BoneAttachment() = default;
    // The calls of one frame, in this order, with the anchor's transform on the model-view
    // matrix: the view test (its result is not used), the update, the draw.
    virtual bool attachmentInView() = 0;
    virtual bool attachmentUpdate(float dt) = 0;
    virtual void attachmentRender() = 0;
    // The model's music value, passed on every time it is set.
    virtual void attachmentLevel(float value) = 0;
};
