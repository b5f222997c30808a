// The face through which the director and the ride place world objects and feed them music
// values. Every operation but the two setters is empty here; concrete classes override what
// they use.
#pragma once

class SceneActor {
  public:
    virtual ~SceneActor() = default;

    virtual void SetPosition(float x, float y, float z) {
        position[0] = x;
        position[1] = y;
        position[2] = z;
    }
    // Angle in degrees first, then the axis.
    virtual void SetRotation(float angle, float ax, float ay, float az) {
        rotationAngle = angle;
        rotationAxis[0] = ax;
        rotationAxis[1] = ay;
        rotationAxis[2] = az;
    }
    virtual bool Draw(float) { return true; }
    virtual void Render() {}
    virtual void SetLevel(float, bool, bool, bool, bool) {}
    virtual void SetPair(float, float) {}
    virtual void Burst(bool, float, float, float, float, int) {}
    virtual void SetValue(float) {}
    // Two rows of 1024 bytes, left channel first.
    virtual void SetSpectrum(const unsigned char*) {}
    virtual void Setup() {}

    int reservedWord = 0;
    float position[3] = {0.0f, 0.0f, 0.0f};
    float rotationAxis[3] = {0.0f, 0.0f, 0.0f};
    float rotationAngle = 0.0f;
    float spare[4] = {0.0f, 0.0f, 0.0f, 0.0f};
};
