// 4 x 4 float matrix in OpenGL column order: element 4c + r is row r, column c, and the
// translation is elements 12, 13, 14. A 17th float holds the determinant that the general
// inverse computed last.
#pragma once

#include "game/assets/math/Vector3.h"

struct Matrix4 {
    float m[16] = {};
    float determinant = 0.0f;

    // All zero, not the identity.
    Matrix4() = default;

    void fromArray(const float src[16]);
    void toArray(float dst[16]) const;
    // (m0 x + m4 y + m8 z + m12, ...): no perspective divide.
    Vector3 transformPoint(const Vector3& p) const;
    // The matrix that applies b first, then this.
    Matrix4 operator*(const Matrix4& b) const;
    Matrix4 operator*(float s) const;
    Matrix4 operator+(const Matrix4& b) const;
    Matrix4 operator-(const Matrix4& b) const;
    // The transpose; with inPlace also stored here.
    Matrix4 transpose(bool inPlace = false);
    // Determinant of the upper 3 x 3.
    float determinant3() const;
    // Inverse of an affine matrix: the inverted upper 3 x 3 (by cofactors) and the translation
    // -(R^-1 t). Stores the 3 x 3 determinant; a singular matrix gives all zeros.
    Matrix4 affineInverse();
};
