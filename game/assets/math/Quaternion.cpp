#include "game/assets/math/Quaternion.h"

#include <algorithm>
#include <cmath>

void Quaternion::set(float ax, float ay, float az, float aw) {
    x = ax;
    y = ay;
    z = az;
    w = aw;
}

float Quaternion::length() const {
    return std::sqrt(x * x + y * y + z * z + w * w);
}

void Quaternion::normalize() {
    float len = length();
    if (len == 0.0f) {
        return;
    }
    x = std::clamp(x / len, -1.0f, 1.0f);
    y = std::clamp(y / len, -1.0f, 1.0f);
    z = std::clamp(z / len, -1.0f, 1.0f);
    w = std::clamp(w / len, -1.0f, 1.0f);
}

Quaternion Quaternion::operator*(const Quaternion& b) const {
    const Quaternion& a = *this;
    return {b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y,
            b.w * a.y + b.y * a.w + b.z * a.x - b.x * a.z,
            b.w * a.z + b.z * a.w + b.x * a.y - b.y * a.x,
            b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z};
}

Vector3 Quaternion::rotate(const Vector3& v) const {
    // a * b is b (x) a, so q (x) p is p * q, and (q (x) p) (x) q* is q* * (p * q).
    Quaternion p(v.x, v.y, v.z, 0.0f);
    Quaternion r = conjugate() * (p * *this);
    return {r.x, r.y, r.z};
}

void Quaternion::toMatrix(Matrix4& out) const {
    float* m = out.m;
    m[0] = 1 - 2 * (y * y + z * z);
    m[1] = 2 * (x * y + w * z);
    m[2] = 2 * (x * z - w * y);
    m[4] = 2 * (x * y - w * z);
    m[5] = 1 - 2 * (x * x + z * z);
    m[6] = 2 * (y * z + w * x);
    m[8] = 2 * (x * z + w * y);
    m[9] = 2 * (y * z - w * x);
    m[10] = 1 - 2 * (x * x + y * y);
}

void Quaternion::fromMatrix(const Matrix4& in) {
    const float* m = in.m;
    const float t[4] = {m[0] + m[5] + m[10], m[0] - m[5] - m[10], -m[0] + m[5] - m[10],
                        -m[0] - m[5] + m[10]};
    int best = 0;
    for (int i = 1; i < 4; ++i) {
        if (t[i] > t[best]) {
            best = i;
        }
    }
    float s = std::sqrt(t[best] + 1.0f) * 0.5f;
    float k = 0.25f / s;
    switch (best) {
    case 0:
        set((m[6] - m[9]) * k, (m[8] - m[2]) * k, (m[1] - m[4]) * k, s);
        break;
    case 1:
        set(s, (m[1] + m[4]) * k, (m[8] + m[2]) * k, (m[6] - m[9]) * k);
        break;
    case 2:
        set((m[1] + m[4]) * k, s, (m[6] + m[9]) * k, (m[8] - m[2]) * k);
        break;
    default:
        set((m[8] + m[2]) * k, (m[6] + m[9]) * k, s, (m[1] - m[4]) * k);
        break;
    }
}

void Quaternion::zeroSmall(float epsilon) {
    for (float* c : {&x, &y, &z, &w}) {
        if (std::fabs(*c) < epsilon) {
            *c = 0.0f;
        }
    }
}

void Quaternion::fromEuler(float ax, float ay, float az) {
    const float pi = 3.14159265358979f;
    float hx = ax * pi / 360.0f, hy = ay * pi / 360.0f, hz = az * pi / 360.0f;
    float cx = std::cos(hx), sx = std::sin(hx);
    float cy = std::cos(hy), sy = std::sin(hy);
    float cz = std::cos(hz), sz = std::sin(hz);
    w = cx * cy * cz + sx * sy * sz;
    x = sx * cy * cz - cx * sy * sz;
    y = cx * sy * cz + sx * cy * sz;
    z = cx * cy * sz - sx * sy * cz;
    normalize();
}

void Quaternion::toAxisAngle(Vector3& axis, float& angle) const {
    float len = std::sqrt(x * x + y * y + z * z);
    if (len > -0.005f && len < 0.005f) {
        angle = 0.0f;
        axis.set(0.0f, 0.0f, 1.0f);
        return;
    }
    angle = 2.0f * std::acos(std::clamp(w, -1.0f, 1.0f));
    axis.set(x / len, y / len, z / len);
    axis.normalize();
}
