#include "game/assets/math/Vector3.h"

#include <cmath>

float Vector3::length() const {
    return std::sqrt(x * x + y * y + z * z);
}

void Vector3::normalize() {
    float len = length();
    if (len == 0.0f) {
        return;
    }
    x /= len;
    y /= len;
    z /= len;
}
