#include "game/assets/math/Matrix4.h"

void Matrix4::fromArray(const float src[16]) {
    for (int i = 0; i < 16; ++i) {
        m[i] = src[i];
    }
}

void Matrix4::toArray(float dst[16]) const {
    for (int i = 0; i < 16; ++i) {
        dst[i] = m[i];
    }
}

Vector3 Matrix4::transformPoint(const Vector3& p) const {
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

Matrix4 Matrix4::operator*(const Matrix4& b) const {
    Matrix4 out;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += m[4 * k + r] * b.m[4 * c + k];
            }
            out.m[4 * c + r] = sum;
        }
    }
    return out;
}

Matrix4 Matrix4::operator*(float s) const {
    Matrix4 out;
    for (int i = 0; i < 16; ++i) {
        out.m[i] = m[i] * s;
    }
    return out;
}

Matrix4 Matrix4::operator+(const Matrix4& b) const {
    Matrix4 out;
    for (int i = 0; i < 16; ++i) {
        out.m[i] = m[i] + b.m[i];
    }
    return out;
}

Matrix4 Matrix4::operator-(const Matrix4& b) const {
    Matrix4 out;
    for (int i = 0; i < 16; ++i) {
        out.m[i] = m[i] - b.m[i];
    }
    return out;
}

Matrix4 Matrix4::transpose(bool inPlace) {
    Matrix4 out;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            out.m[4 * r + c] = m[4 * c + r];
        }
    }
    if (inPlace) {
        fromArray(out.m);
    }
    return out;
}

float Matrix4::determinant3() const {
    return m[0] * (m[5] * m[10] - m[6] * m[9]) + m[1] * (m[6] * m[8] - m[4] * m[10]) +
           m[2] * (m[4] * m[9] - m[5] * m[8]);
}

Matrix4 Matrix4::affineInverse() {
    Matrix4 out;
    determinant = determinant3();
    if (determinant == 0.0f) {
        return out;
    }
    float inv = 1.0f / determinant;
    // Cofactors of the upper 3 x 3, transposed (the adjugate), over the determinant.
    out.m[0] = (m[5] * m[10] - m[6] * m[9]) * inv;
    out.m[1] = (m[2] * m[9] - m[1] * m[10]) * inv;
    out.m[2] = (m[1] * m[6] - m[2] * m[5]) * inv;
    out.m[4] = (m[6] * m[8] - m[4] * m[10]) * inv;
    out.m[5] = (m[0] * m[10] - m[2] * m[8]) * inv;
    out.m[6] = (m[2] * m[4] - m[0] * m[6]) * inv;
    out.m[8] = (m[4] * m[9] - m[5] * m[8]) * inv;
    out.m[9] = (m[1] * m[8] - m[0] * m[9]) * inv;
    out.m[10] = (m[0] * m[5] - m[1] * m[4]) * inv;
    out.m[12] = -(out.m[0] * m[12] + out.m[4] * m[13] + out.m[8] * m[14]);
    out.m[13] = -(out.m[1] * m[12] + out.m[5] * m[13] + out.m[9] * m[14]);
    out.m[14] = -(out.m[2] * m[12] + out.m[6] * m[13] + out.m[10] * m[14]);
    out.m[15] = 1.0f;
    out.determinant = determinant;
    return out;
}
