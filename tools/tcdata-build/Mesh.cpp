#include "tools/tcdata-build/Mesh.h"

#include <cmath>

V3 operator+(V3 a, V3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
V3 operator-(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V3 operator*(V3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
V3 cross(V3 a, V3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
V3 normalised(V3 a) {
    float l = std::sqrt(dot(a, a));
    return l > 0 ? a * (1 / l) : V3{0, 1, 0};
}
V3 lerp(V3 a, V3 b, float t) {
    return a + (b - a) * t;
}

namespace {
constexpr float kTwoPi = 6.2831853f;
}

int MeshBuilder::vertex(V3 p, V3 n, const Weights& w) {
    bonemodel::Vertex v;
    v.position[0] = p.x;
    v.position[1] = p.y;
    v.position[2] = p.z;
    n = normalised(n);
    v.normal[0] = n.x;
    v.normal[1] = n.y;
    v.normal[2] = n.z;
    v.weights = w;
    part.vertices.push_back(v);
    return static_cast<int>(part.vertices.size()) - 1;
}

namespace {

constexpr float kFanUv[3][2] = {{0, 0}, {1, 0}, {0.5f, 1}};
constexpr float kFanBackUv[3][2] = {{1, 0}, {0, 0}, {0.5f, 1}};
constexpr float kCellUv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

void setUv(bonemodel::Face& f, const float (*uv)[2]) {
    if (uv == nullptr) {
        return;
    }
    for (int c = 0; c < f.cornerCount; ++c) {
        f.u[c] = uv[c][0];
        f.v[c] = uv[c][1];
    }
}

} // namespace

void MeshBuilder::triangle(int a, int b, int c, int material, const float (*uv)[2]) {
    bonemodel::Face f;
    f.cornerCount = 3;
    f.corners[0] = a;
    f.corners[1] = b;
    f.corners[2] = c;
    f.material = material;
    setUv(f, uv);
    part.faces.push_back(f);
}

void MeshBuilder::quad(int a, int b, int c, int d, int material, const float (*uv)[2]) {
    bonemodel::Face f;
    f.cornerCount = 4;
    f.corners[0] = a;
    f.corners[1] = b;
    f.corners[2] = c;
    f.corners[3] = d;
    f.material = material;
    setUv(f, uv);
    part.faces.push_back(f);
}

void MeshBuilder::tube(const std::vector<Ring>& rings, int segments, V3 upHint, int material,
                       int bellyMaterial) {
    size_t n = rings.size();
    std::vector<int> first(n);
    for (size_t r = 0; r < n; ++r) {
        V3 ahead = rings[std::min(r + 1, n - 1)].centre - rings[r == 0 ? 0 : r - 1].centre;
        V3 t = normalised(ahead);
        V3 side = normalised(cross(upHint, t));
        V3 up = cross(t, side);
        first[r] = static_cast<int>(part.vertices.size());
        for (int s = 0; s < segments; ++s) {
            float a = kTwoPi * s / segments;
            float cs = std::cos(a), sn = std::sin(a);
            V3 offset = side * (cs * rings[r].side) + up * (sn * rings[r].up);
            V3 normal = side * (cs / rings[r].side) + up * (sn / rings[r].up);
            vertex(rings[r].centre + offset, normal, rings[r].weights);
        }
    }
    for (size_t r = 0; r + 1 < n; ++r) {
        for (int s = 0; s < segments; ++s) {
            int s1 = (s + 1) % segments;
            float mid = std::sin(kTwoPi * (s + 0.5f) / segments);
            int m = bellyMaterial >= 0 && mid < -0.5f ? bellyMaterial : material;
            quad(first[r] + s, first[r] + s1, first[r + 1] + s1, first[r + 1] + s, m, kCellUv);
        }
    }
    // Caps: a point just beyond each end ring.
    V3 startDir = normalised(rings[0].centre - rings[1].centre);
    V3 endDir = normalised(rings[n - 1].centre - rings[n - 2].centre);
    int tipStart =
        vertex(rings[0].centre + startDir * (0.5f * rings[0].up), startDir, rings[0].weights);
    int tipEnd = vertex(rings[n - 1].centre + endDir * (0.5f * rings[n - 1].up), endDir,
                        rings[n - 1].weights);
    for (int s = 0; s < segments; ++s) {
        int s1 = (s + 1) % segments;
        triangle(first[0] + s1, first[0] + s, tipStart, material, kFanBackUv);
        triangle(first[n - 1] + s, first[n - 1] + s1, tipEnd, material, kFanUv);
    }
}

void MeshBuilder::lathe(const std::vector<std::pair<float, float>>& profile, int segments,
                        V3 centre, int material, const std::vector<int>& bandMaterials) {
    size_t n = profile.size();
    std::vector<int> first(n);
    for (size_t i = 0; i < n; ++i) {
        // Profile normal: perpendicular to the neighbouring segment, pointing outward.
        auto prev = profile[i == 0 ? 0 : i - 1], next = profile[std::min(i + 1, n - 1)];
        float dr = next.first - prev.first, dy = next.second - prev.second;
        first[i] = static_cast<int>(part.vertices.size());
        for (int s = 0; s < segments; ++s) {
            float a = kTwoPi * s / segments;
            float cs = std::cos(a), sn = std::sin(a);
            V3 p{centre.x + profile[i].first * cs, centre.y + profile[i].second,
                 centre.z + profile[i].first * sn};
            V3 normal{dy * cs, -dr, dy * sn};
            vertex(p, normal, {});
        }
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        int m = i < bandMaterials.size() ? bandMaterials[i] : material;
        for (int s = 0; s < segments; ++s) {
            int s1 = (s + 1) % segments;
            // Counter-clockwise from outside for a profile that runs upward.
            quad(first[i] + s, first[i + 1] + s, first[i + 1] + s1, first[i] + s1, m);
        }
    }
}

void MeshBuilder::box(V3 lo, V3 hi, int material, const Weights& w) {
    struct Side {
        V3 normal, a, b, c, d;
    };
    const Side sides[] = {
        {{0, 1, 0}, {lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}},
        {{0, -1, 0},
         {lo.x, lo.y, lo.z},
         {hi.x, lo.y, lo.z},
         {hi.x, lo.y, hi.z},
         {lo.x, lo.y, hi.z}},
        {{1, 0, 0}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}},
        {{-1, 0, 0},
         {lo.x, lo.y, lo.z},
         {lo.x, lo.y, hi.z},
         {lo.x, hi.y, hi.z},
         {lo.x, hi.y, lo.z}},
        {{0, 0, 1}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}},
        {{0, 0, -1},
         {lo.x, lo.y, lo.z},
         {lo.x, hi.y, lo.z},
         {hi.x, hi.y, lo.z},
         {hi.x, lo.y, lo.z}},
    };
    for (const Side& s : sides) {
        quad(vertex(s.a, s.normal, w), vertex(s.b, s.normal, w), vertex(s.c, s.normal, w),
             vertex(s.d, s.normal, w), material, kCellUv);
    }
}

void MeshBuilder::panel(const std::vector<V3>& points, const std::vector<Weights>& weights,
                        int rows, int columns, int (*cellMaterial)(int, int)) {
    auto at = [&](int r, int c) { return points[size_t(r) * columns + c]; };
    for (int side = 0; side < 2; ++side) {
        std::vector<int> idx(points.size());
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                V3 du = at(r, std::min(c + 1, columns - 1)) - at(r, std::max(c - 1, 0));
                V3 dv = at(std::min(r + 1, rows - 1), c) - at(std::max(r - 1, 0), c);
                V3 n = normalised(cross(du, dv));
                idx[size_t(r) * columns + c] =
                    vertex(at(r, c), side == 0 ? n : n * -1.0f, weights[size_t(r) * columns + c]);
            }
        }
        for (int r = 0; r + 1 < rows; ++r) {
            for (int c = 0; c + 1 < columns; ++c) {
                int a = idx[size_t(r) * columns + c], b = idx[size_t(r) * columns + c + 1];
                int d = idx[size_t(r + 1) * columns + c], e = idx[size_t(r + 1) * columns + c + 1];
                int m = cellMaterial(r, c);
                float u0 = float(c) / float(columns - 1), u1 = float(c + 1) / float(columns - 1);
                float v0 = float(r) / float(rows - 1), v1 = float(r + 1) / float(rows - 1);
                if (side == 0) {
                    const float uv[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
                    quad(a, b, e, d, m, uv); // faces along du x dv
                } else {
                    const float uv[4][2] = {{u0, v0}, {u0, v1}, {u1, v1}, {u1, v0}};
                    quad(a, d, e, b, m, uv);
                }
            }
        }
    }
}

void MeshBuilder::cone(V3 base, V3 tip, float radius, int segments, int material,
                       const Weights& w) {
    V3 axis = normalised(tip - base);
    V3 hint = std::fabs(axis.y) < 0.9f ? V3{0, 1, 0} : V3{1, 0, 0};
    V3 side = normalised(cross(hint, axis));
    V3 up = cross(axis, side);
    int first = static_cast<int>(part.vertices.size());
    for (int s = 0; s < segments; ++s) {
        float a = kTwoPi * s / segments;
        V3 out = side * std::cos(a) + up * std::sin(a);
        vertex(base + out * radius, out, w);
    }
    int t = vertex(tip, axis, w);
    int b = vertex(base, axis * -1.0f, w);
    for (int s = 0; s < segments; ++s) {
        int s1 = (s + 1) % segments;
        triangle(first + s, first + s1, t, material, kFanUv);
        triangle(first + s1, first + s, b, material, kFanBackUv);
    }
}
