#include "game/assets/SpriteFootprint.h"

#include "game/assets/math/Matrix4.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <limits>

double QuadExtent::area() const {
    if (hidden) {
        return 0.0;
    }
    return static_cast<double>(std::max(hi[0] - lo[0], 0.0f)) *
           static_cast<double>(std::max(hi[1] - lo[1], 0.0f));
}

SpriteFootprint::SpriteFootprint() {
    float mv[16], pr[16];
    GLint vp[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    glGetFloatv(GL_PROJECTION_MATRIX, pr);
    glGetIntegerv(GL_VIEWPORT, vp);
    Matrix4 modelView, projection;
    modelView.fromArray(mv);
    projection.fromArray(pr);
    const Matrix4 m = projection * modelView;
    std::copy(m.m, m.m + 16, clip);
    for (int k = 0; k < 4; ++k) {
        viewport[k] = static_cast<float>(vp[k]);
    }
    lo[0] = viewport[0] + viewport[2];
    lo[1] = viewport[1] + viewport[3];
    hi[0] = viewport[0];
    hi[1] = viewport[1];
}

QuadExtent SpriteFootprint::project(const Vector3& centre, const Vector3& right,
                                    const Vector3& up) const {
    struct ClipPoint {
        float v[4];
    };
    const float* a = clip;
    // The corners in clip space, in order around the quad.
    ClipPoint corner[4];
    const float signs[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int c = 0; c < 4; ++c) {
        const Vector3 p = centre + right * signs[c][0] + up * signs[c][1];
        for (int row = 0; row < 4; ++row) {
            corner[c].v[row] = a[row] * p.x + a[4 + row] * p.y + a[8 + row] * p.z + a[12 + row];
        }
    }
    // The part in front of the near plane (z + w >= 0): at most five corners.
    ClipPoint kept[5];
    int n = 0;
    for (int c = 0; c < 4; ++c) {
        const ClipPoint& p = corner[c];
        const ClipPoint& q = corner[(c + 1) % 4];
        const float dp = p.v[2] + p.v[3], dq = q.v[2] + q.v[3];
        if (dp >= 0.0f) {
            kept[n++] = p;
        }
        if ((dp >= 0.0f) != (dq >= 0.0f)) {
            const float t = dp / (dp - dq);
            ClipPoint m;
            for (int k = 0; k < 4; ++k) {
                m.v[k] = p.v[k] + t * (q.v[k] - p.v[k]);
            }
            kept[n++] = m;
        }
    }
    QuadExtent q;
    q.lo[0] = q.lo[1] = std::numeric_limits<float>::max();
    q.hi[0] = q.hi[1] = -std::numeric_limits<float>::max();
    for (int c = 0; c < n; ++c) {
        const float w = std::max(kept[c].v[3], 1e-6f);
        for (int k = 0; k < 2; ++k) {
            const float at = viewport[k] + (1.0f + kept[c].v[k] / w) * 0.5f * viewport[k + 2];
            q.lo[k] = std::min(q.lo[k], at);
            q.hi[k] = std::max(q.hi[k], at);
        }
    }
    for (int k = 0; k < 2; ++k) {
        q.lo[k] = std::max(q.lo[k], viewport[k]);
        q.hi[k] = std::min(q.hi[k], viewport[k] + viewport[k + 2]);
    }
    q.hidden = n == 0 || q.lo[0] >= q.hi[0] || q.lo[1] >= q.hi[1];
    return q;
}

void SpriteFootprint::include(const QuadExtent& quad) {
    if (quad.hidden) {
        return;
    }
    filled += quad.area();
    for (int k = 0; k < 2; ++k) {
        lo[k] = std::min(lo[k], quad.lo[k]);
        hi[k] = std::max(hi[k], quad.hi[k]);
    }
}

void SpriteFootprint::rect(int out[4]) const {
    const int x0 = static_cast<int>(std::floor(lo[0])), y0 = static_cast<int>(std::floor(lo[1]));
    const int x1 = static_cast<int>(std::ceil(hi[0])), y1 = static_cast<int>(std::ceil(hi[1]));
    out[0] = x0;
    out[1] = y0;
    out[2] = std::max(x1 - x0, 0);
    out[3] = std::max(y1 - y0, 0);
}

double SpriteFootprint::meanDepth() const {
    int r[4];
    rect(r);
    const double area = static_cast<double>(r[2]) * static_cast<double>(r[3]);
    return area > 0.0 ? filled / area : 0.0;
}
