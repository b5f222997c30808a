// Two rows of twenty camera-facing bars on a platform model, each bar's height and colour one
// bin of the frame's spectrum: the front row the left channel with the bins at increasing x,
// the back row the right channel at decreasing x. A silent bin draws no bar and leaves no gap.
#pragma once

#include "game/assets/math/Vector3.h"
#include "game/world/SceneActor.h"
#include "game/world/SceneObject.h"

class CBoneModel;

// One drawn bar: its centre on the platform, half its height, its intensity (the blue of the
// texture environment colour) and its colour.
struct BarPlacement {
    float x, z;
    float halfHeight;
    float intensity;
    float colour[3];
};

class FrequencyBars : public SceneObject, public SceneActor {
  public:
    static constexpr int kBins = 1024;
    static constexpr int kBarsPerRow = 20;
    static constexpr int kBinStep = 50;
    static constexpr float kHalfWidth = 10.0f;
    static constexpr float kBarSpacing = 25.0f;

    // platform is drawn under the bars when given; the bars do not own it.
    explicit FrequencyBars(CBoneModel* platform = nullptr);
    ~FrequencyBars() override = default;

    // Throws "Couldn't load QuadFollow texture" when the archive image cannot be loaded.
    void LoadImage(const char* fileName);
    void SetSolid(bool s) { solid = s; }
    void setPlatform(CBoneModel* model) { platform = model; }

    void SetPosition(float x, float y, float z) override;
    void SetRotation(float angle, float ax, float ay, float az) override;
    // Two rows of 1024 bytes, left channel first.
    void SetSpectrum(const unsigned char* data) override;
    // Places itself, draws the platform and the bars when in view, then walks the tree.
    bool Draw(float elapsed) override;
    // The bars alone, in the current matrix.
    void Render() override;
    // The bars the current spectrum draws, front row first, in drawing order; returns how
    // many (at most 40).
    int layoutBars(BarPlacement out[2 * 20]) const;
    // The view test of the emitters on origin and radius, without keeping a distance.
    bool IsInView() const;

    void Hook4() override {}
    void Hook5() override {}
    void Hook6() override {}
    void LoadResources() override {}

    int mode = 3;
    Vector3 billboardRight{1.0f, 0.0f, 0.0f};
    Vector3 billboardUp{0.0f, 1.0f, 0.0f};
    Vector3 facing{0.0f, 0.0f, 1.0f};
    int textureId = -1;
    Vector3 ownPosition;
    Vector3 ownRotationAxis;
    float ownRotationAngle = 0.0f;
    bool solid = false;
    unsigned char spectrum[2][kBins] = {};
    float radius = 110.0f;
    Vector3 origin{0.0f, 100.0f, 0.0f};

  private:
    CBoneModel* platform;
};
