// Rotation quaternion: (x, y, z) the rotation part, w the scalar.
#pragma once

#include "game/assets/math/Matrix4.h"
#include "game/assets/math/Vector3.h"

struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    // The identity (0, 0, 0, 1).
    Quaternion() = default;
    Quaternion(float ax, float ay, float az, float aw) : x(ax), y(ay), z(az), w(aw) {}

    void set(float ax, float ay, float az, float aw);
    float length() const;
    // Divides by the length, then clamps each component to [-1, 1].
    void normalize();
    // b (x) this in Hamilton's convention: as rotations, this first, then b.
    Quaternion operator*(const Quaternion& b) const;
    Quaternion conjugate() const { return {-x, -y, -z, w}; }
    // q (x) (v, 0) (x) q*, the vector part.
    Vector3 rotate(const Vector3& v) const;
    // Writes the rotation into the upper 3 x 3 of out, leaving its other elements.
    void toMatrix(Matrix4& out) const;
    // From the upper 3 x 3 of a rotation matrix, through the largest of the four trace
    // candidates (the first on ties).
    void fromMatrix(const Matrix4& in);
    // Components smaller in magnitude than epsilon become exactly 0.
    void zeroSmall(float epsilon);
    // Degrees about X, then Y, then Z; normalised.
    void fromEuler(float ax, float ay, float az);
    // Angle in radians and unit axis; a rotation part shorter than 0.005 gives angle 0 and
    // axis (0, 0, 1).
    void toAxisAngle(Vector3& axis, float& angle) const;
};
