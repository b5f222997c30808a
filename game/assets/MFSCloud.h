// A drifting cloud: 400 soft puffs around a centre, rendered now and then into a 512 x 512
// impostor texture and drawn every frame as one camera-facing quad carrying it. The puffs
// crowd the centre and thin out towards an outer shell. The director refreshes one cloud's
// impostor per frame and draws the clouds farthest first; the ride sets their brightness.
#pragma once

#include "game/assets/Impostor.h"
#include "game/assets/math/Vector3.h"

#include <vector>

struct CloudPuff {
    Vector3 position; // relative to the cloud's centre
    Vector3 colour{1.0f, 1.0f, 1.0f};
    float size = 0.0f;         // half the quad's side
    float transparency = 0.1f; // drawn alpha is 1 - transparency
    double sortDistance = 0.0; // squared distance to the sorting viewpoint
};

class CMFSCloud : public CImpostor {
  public:
    static constexpr int kPuffs = 400;
    // The puffs are soft blurs: a 256 x 256 impostor draws the same clouds as a 512 x 512 one
    // to within a few levels per pixel, even close up, at a quarter of the capture's fill.
    static constexpr int kImpostorSize = 256;
    static constexpr float kCaptureDistance = 400.0f;
    static constexpr float kBillboardHalfSize = 100.0f;
    static constexpr float kBillboardScale = 2.3f;

    // The puffs, the shared "splat" texture and the impostor texture registered under name.
    // Needs a current GL context.
    explicit CMFSCloud(const char* name);
    ~CMFSCloud() override;

    // Base and world position; the drift offset stays.
    void setPosition(float x, float y, float z);
    // The ride's brightness, never below 0.3.
    void setBrightness(float value);
    // With the model-view matrix on the cloud's centre: whether the cloud's sphere (range
    // bias 110) meets the view frustum's sphere; remembers the answer and, when in range, the
    // eye distance.
    bool isInRange();
    // The billboard with the impostor, then the drift by dt (reversing at the drift box).
    void drawCloud(float dt);
    // Advances the drift alone; drawCloud calls it.
    void drift(float dt);
    // Re-renders the impostor when the cloud was in range at its last test and, with
    // reuseCapture, when what the capture sees has changed since the last one: the direction
    // from the world origin to the cloud or the camera's up axis turned by more than
    // kRecaptureDegrees (about half a texel of the capture). Nothing else changes a capture.
    void renderImpostor();
    static constexpr float kRecaptureDegrees = 0.1f;
    // False captures on every call (for comparing with the clouds drawn directly).
    bool reuseCapture = true;

    // Random layout from rand01 draws: drift velocity, extents and the 400 puffs.
    void generatePuffs();

    Vector3 cameraRight{1.0f, 0.0f, 0.0f};
    Vector3 cameraUp{0.0f, 1.0f, 0.0f};
    Vector3 cameraBack{0.0f, 0.0f, 1.0f};
    float brightness = 1.0f;
    float sortDistance = 300.0f;
    Vector3 worldPosition;
    Vector3 basePosition;
    Vector3 driftOffset;
    Vector3 driftVelocity;
    int puffCount = kPuffs;
    std::vector<CloudPuff> puffs;
    float lastEyeDistance = 0.0f;
    bool inRange = true;
    float rangeBias = 110.0f;
    Vector3 localCentre;
    int puffTexture = -1;
    // The billboard covers only the part of the impostor that the last capture can have
    // coloured (the default); false draws the whole texture. Beyond that part every texel is
    // transparent and the alpha test drops it, so both set the same pixels.
    bool trimToFootprint = true;
    // That part in texture coordinates (s0, t0, s1, t1), with the reach of linear filtering;
    // empty (s0 > s1) until the first capture.
    float footprint[4] = {1.0f, 1.0f, 0.0f, 0.0f};

  private:
    bool captureUnchanged(const Vector3& direction, const Vector3& up) const;
    bool captured = false;
    Vector3 capturedDirection;
    Vector3 capturedUp;
    void readCameraAxes();
    void drawPuffs();
    // The footprint of the puffs just drawn with the capture's matrices.
    void measureFootprint();
};
