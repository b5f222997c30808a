// Three-component float vector.
#pragma once

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vector3() = default;
    Vector3(float ax, float ay, float az) : x(ax), y(ay), z(az) {}

    void set(float ax, float ay, float az) {
        x = ax;
        y = ay;
        z = az;
    }
    Vector3 operator+(const Vector3& b) const { return {x + b.x, y + b.y, z + b.z}; }
    Vector3 operator-(const Vector3& b) const { return {x - b.x, y - b.y, z - b.z}; }
    Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
    float length() const;
    // Scales to length 1; a zero-length vector stays as it is.
    void normalize();
    float dot(const Vector3& b) const { return x * b.x + y * b.y + z * b.z; }
};

// A copy scaled to length 1; a zero-length vector stays as it is.
inline Vector3 normalized(Vector3 v) {
    v.normalize();
    return v;
}
