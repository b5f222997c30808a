// Rendering something into a square texture (an impostor) that is then drawn as one quad.
// A capture draws into the lower-left corner of the frame buffer and copies it into the
// texture; the caller draws over that corner afterwards (the sky box covers every frame).
#pragma once

#include "game/assets/math/Vector3.h"

class CImpostor {
  public:
    CImpostor() = default;
    virtual ~CImpostor();
    CImpostor(const CImpostor&) = delete;
    CImpostor& operator=(const CImpostor&) = delete;

    // Registers the impostor texture under name: size x size RGBA, every texel transparent
    // black until the first capture. Needs a current GL context.
    bool createImpostorTexture(const char* name, int size);
    // Saves the viewport; looks from (position - world origin) normalised x distance, in the
    // object's own coordinates, at its centre, with the current view's up axis; a 45 degree
    // square projection from 1 to 1000; viewport size x size; depth test on; clears the
    // corner to (0, 0, 0.21, 0) with its depth (the clear colour is put back afterwards).
    void beginCapture(const Vector3& position, float distance, int size);
    // Copies the corner into the texture; puts back the projection, the model-view matrix and
    // the viewport.
    void endCapture(int size);

    int viewport[4] = {0, 0, 0, 0};
    float savedClearColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    int impostorTexture = -1;
};
