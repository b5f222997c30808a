// The dragon's fire breath: a column of 2000 glowing particles that rise from the mouth to a
// height set by the intensity (three modes chosen from the music), swing from side to side
// while they live and restart at the mouth. Drawn depth-sorted, farthest first; close to the
// eye through a coarser layer. The dragon's bone model carries it and draws it in its mouth's
// frame.
#pragma once

#include "game/assets/CoarseLayer.h"
#include "game/assets/SpriteFootprint.h"
#include "game/assets/bone/BoneAnimation.h"
#include "game/world/ParticleEmitter.h"

struct BreathParticle : Particle {
    float swingAmplitude = 2.0f;
    float unused1 = 0.0f;
    float xPhase = 0.0f;
    float xRate = 0.0f;
    float startX = 0.0f;
    float halfStartX = 0.0f;
    float unused2 = 0.0f;
    float yDirUnit = 1.0f;
    float yLimitRate = 15.0f;
    float yRate = 0.0f;
    float yDir = 0.0f;
    float zAmplitude = 2.0f;
    float unused3 = 0.0f;
    float zPhase = 0.0f;
    float zRate = 0.0f;
    float startZ = 0.0f;
    float quarterStartZ = 0.0f;
    float unused4 = 0.0f;
    float xOffset = 0.0f;
    float yOffset = 0.0f;
    float zOffset = 0.0f;
    float sortKey = 0.0f;
};

class BreathStream : public CParticleEmitter<BreathParticle>, public BoneAttachment {
  public:
    static constexpr int kParticles = 2000;
    static constexpr float kMaxElapsed = 0.02f;

    // Sets up the pool and makes the soft dot texture (needs a GL context).
    BreathStream();

    void Setup() override;
    // Intensity 0 below 0.3, 1 below 0.6, else 2.
    void SetIntensity(float v) override;
    bool Update(float elapsed) override;
    void Render() override;

    // Height the particles rise to and the swing factor of an intensity.
    static float heightLimit(int intensity);
    static float swingFactor(int intensity);
    // Back to the mouth with a fresh life and a new swing.
    void restart(BreathParticle& p, float factor);
    // Sorts the drawing order by squared eye distance, farthest first, from viewMatrix and
    // lastOrigin (the last view test's); the pool itself stays in place.
    void sortForDrawing();
    const std::vector<int>& drawingOrder() const { return order; }
    // The window rectangle (x, y, width, height) the particles' quads cover under the current
    // matrices and viewport, and the pixels the quads take on it together (overlaps counted
    // each time); quads behind the eye count for nothing.
    double measureFootprint(int rect[4]) const;

    // Quads that fill more pixels than this together are drawn through the layer, at the
    // size their mean side calls for (CCoarseLayer::divisorFor); a quarter instead of a half
    // where they lie at least kCoarserDepth deep on average over their rectangle: there the
    // ball is opaque and only its soft rim shows, which the quarter layer keeps.
    static constexpr double kLayerFill = 400000.0;
    static constexpr double kCoarserDepth = 100.0;
    // The layer's divisor for quads of that mean side lying that deep on average.
    static int layerDivisor(double meanSide, double meanDepth);
    // Close to the eye the breath's quads lie hundreds deep; there they are drawn into this
    // coarser layer and laid over the window.
    CCoarseLayer layer;
    // Whether the last Render drew through the layer.
    bool drewThroughLayer() const { return inLayer; }

    bool attachmentInView() override { return IsInView(); }
    bool attachmentUpdate(float dt) override { return Update(dt); }
    void attachmentRender() override { Render(); }
    void attachmentLevel(float value) override { SetIntensity(value); }

    float lifeScale = 10.0f;
    int intensity = 0;
    int lastIntensity = 0;

  private:
    struct FireColour {
        float red, green, blue, alpha;
    };
    static FireColour fireColour(const BreathParticle& p, float limit, float greenOffset);
    // The particles' quads under the current matrices and viewport.
    SpriteFootprint footprint() const;
    static void swingStart(BreathParticle& p, float factor);
    static void swing(BreathParticle& p, float step);

    std::vector<int> order;
    bool inLayer = false;
};
