// Rendering something into a square texture (an impostor) that is then drawn as one quad.
// A capture draws into an off-screen colour buffer of its own when the GL has framebuffer
// objects, and else into the lower-left corner of the frame buffer (which the caller draws
// over afterwards: the sky box covers every frame); either way the result is copied into the
// texture with glCopyTexSubImage2D.
#pragma once

#include "game/assets/GLFeatures.h"
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
    // capture's colour to (0, 0, 0.21, 0), and its depth when it draws into the frame buffer
    // (the clear colour is put back afterwards).
    void beginCapture(const Vector3& position, float distance, int size);
    // Copies the capture into the texture; puts back the frame buffer, the projection, the
    // model-view matrix and the viewport.
    void endCapture(int size);

    // Off, captures draw into the frame buffer's corner even where framebuffer objects exist.
    bool allowOffscreen = true;
    // Whether the last beginCapture drew off-screen.
    bool capturedOffscreen() const { return offscreen; }

    int viewport[4] = {0, 0, 0, 0};
    float savedClearColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    int impostorTexture = -1;

  private:
    // The off-screen colour buffer of size x size, made on first use; false (and the frame
    // buffer is used) when the GL lacks framebuffer objects or refuses this one.
    bool bindOffscreen(int size);
    // Deletes the off-screen buffer, if any.
    void releaseOffscreen();

    unsigned int framebuffer = 0;
    unsigned int colourBuffer = 0;
    int offscreenSize = 0;
    bool offscreenFailed = false;
    bool offscreen = false;
    // The framebuffers bindOffscreen found bound.
    FramebufferBindings previousFramebuffers;
};
