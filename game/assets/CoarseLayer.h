// A layer at a half, a quarter or an eighth of the viewport's width and height, for a cloud of
// soft, heavily overlapping sprites whose many layers cost far more to fill at the window's size
// than they show: the larger the sprites on the window, the coarser the layer can be.
//
// For sprites with a depth test and depth writes, blended over what lies behind them
// (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA) or added to it (GL_SRC_ALPHA, GL_ONE). begin binds the
// layer for one rectangle of the window: colour cleared to transparent and depth to the
// farthest, the viewport made smaller (so the caller's matrices and draws fill the layer as
// they would the window, at that size) and the blend set to keep what the sprites give: for
// blending over, premultiplied colour and the light let through; for adding, the sum of the
// colours and of the alphas, which marks where sprites lie. The sprites hide each other in
// the layer as they would in the window. end lays the layer over the window, with (GL_ONE,
// GL_ONE_MINUS_SRC_ALPHA) or (GL_ONE, GL_ONE), and the sprites' depth under the window's depth
// test, so that what the window holds in front of them hides them pixel by pixel, at the
// window's sharpness, and writes their depth where they show, for what is drawn after them.
//
// Against drawing into the window, sprites partly in front of and partly behind the window's
// own surfaces at one pixel are shown or hidden together, by the nearest of them.
//
// Needs framebuffer objects and shaders; without them, or where the GL refuses the layer,
// begin returns false and the caller draws into the window as usual.
#pragma once

#include "game/assets/GLFeatures.h"

class CCoarseLayer {
  public:
    enum class Blend { Over, Add };

    CCoarseLayer() = default;
    ~CCoarseLayer();
    CCoarseLayer(const CCoarseLayer&) = delete;
    CCoarseLayer& operator=(const CCoarseLayer&) = delete;

    // rect is x, y, width, height in window pixels, within the current viewport; divisor 2,
    // 4 or 8, the layer's size against the viewport's; blend, how the sprites mix with what lies
    // behind them; writeDepth false keeps the window's depth as it was (for glowing sprites
    // that should hide nothing drawn after them: in the layer they still write depth, which the
    // composite tests against the window's). True with the layer bound; false with nothing
    // changed.
    bool begin(const int rect[4], int divisor = 2, Blend blend = Blend::Over,
               bool writeDepth = true);
    // Only after a begin that returned true: composites, writes the depth back and puts back
    // the framebuffers and the viewport.
    void end();

    // The divisor for sprites meanSide pixels across on average: half the window's size up to
    // 40 pixels, a quarter up to 64, an eighth beyond, so that a sprite stays at least 8 texels
    // across in the layer.
    static int divisorFor(double meanSide);

    // Off, begin always declines (for comparing with the window's own drawing).
    bool allow = true;
    // Whether the last begin drew into the layer, and at which divisor.
    bool lastUsed() const { return bound; }
    int lastDivisor() const { return divisorUsed; }

  private:
    // Makes the buffers for a viewport of width x height (and the shader, once).
    bool prepare(int width, int height);
    bool buildProgram();
    void release();
    // Draws the window rectangle from the layer's rectangle through the program.
    void composite();

    unsigned int framebuffer = 0;
    unsigned int colourTexture = 0;
    unsigned int depthTexture = 0;
    unsigned int program = 0;
    // The layer's textures: half the viewport's size and a tile more each way. A layer uses the
    // part of them its divisor needs, shifted by less than a tile (see begin).
    int layerSize[2] = {0, 0};
    int viewportSize[2] = {0, 0};
    bool failed = false;
    bool bound = false;
    int divisorUsed = 2;
    Blend blendUsed = Blend::Over;
    bool writeDepthUsed = true;
    int savedViewport[4] = {0, 0, 0, 0};
    FramebufferBindings previousFramebuffers;
    // The rectangle asked for in the window, widened to whole layer texels, and in the layer.
    int windowRect[4] = {0, 0, 0, 0};
    int layerRect[4] = {0, 0, 0, 0};
};
