// The five sky box faces, painted from one function of the view direction so that the faces
// join without seams. Each face's pixels are mapped to directions through the cube corners and
// texture coordinates the sky box draws them with.
#include "tools/tcdata-build/Artwork.h"
#include "tools/tcdata-build/Canvas.h"
#include "tools/tcdata-build/ImageFile.h"
#include "tools/tcdata-build/Noise.h"

#include <algorithm>
#include <cmath>

namespace {

struct Dir {
    float x, y, z;
};

Dir normalised(Dir d) {
    float l = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    return {d.x / l, d.y / l, d.z / l};
}

float smoothstep(float a, float b, float x) {
    float t = std::min(1.0f, std::max(0.0f, (x - a) / (b - a)));
    return t * t * (3 - 2 * t);
}

const Dir kSun = normalised({0.55f, 0.13f, 0.82f});

// An evening sky: deep blue above, a warm glow along the horizon that is strongest under a
// low sun, drifting cloud streaks lit from the sun's side, and a dusky haze below.
Rgba skyColour(Dir d) {
    float e = d.y;
    float sunDot = d.x * kSun.x + d.y * kSun.y + d.z * kSun.z;
    float toSun = 0.5f + 0.5f * sunDot;
    Rgba zenith{0.10f, 0.16f, 0.42f, 1};
    Rgba high{0.22f, 0.38f, 0.72f, 1};
    Rgba horizonCool{0.78f, 0.52f, 0.62f, 1};
    Rgba horizonWarm{1.00f, 0.62f, 0.30f, 1};
    Rgba horizon = mix(horizonCool, horizonWarm, std::pow(toSun, 3.0f));
    Rgba c;
    if (e >= 0) {
        float up = std::pow(e, 0.55f);
        c = up < 0.5f ? mix(horizon, high, up / 0.5f) : mix(high, zenith, (up - 0.5f) / 0.5f);
    } else {
        c = mix(horizon, Rgba{0.20f, 0.17f, 0.28f, 1}, smoothstep(0.0f, 0.25f, -e));
    }
    // Sun disc and halo.
    float halo = std::pow(std::max(0.0f, sunDot), 60.0f) * 0.6f +
                 std::pow(std::max(0.0f, sunDot), 8.0f) * 0.25f;
    float disc = smoothstep(0.9990f, 0.9994f, sunDot);
    c.r += halo + disc;
    c.g += halo * 0.8f + disc * 0.95f;
    c.b += halo * 0.45f + disc * 0.8f;
    // Cloud streaks on a plane above the viewer, thinning toward the horizon.
    if (e > 0.02f) {
        float px = d.x / (e + 0.15f), pz = d.z / (e + 0.15f);
        float n = fbm(px * 1.3f + 10, pz * 3.2f + 5, 0.5f, 6, 7u);
        float cover = smoothstep(0.52f, 0.75f, n) * smoothstep(0.02f, 0.2f, e);
        Rgba lit =
            mix(Rgba{0.55f, 0.45f, 0.60f, 1}, Rgba{1.0f, 0.78f, 0.60f, 1}, std::pow(toSun, 2.0f));
        c = mix(c, lit, cover * 0.85f);
    }
    // A few faint stars high up, where the sky is darkest.
    if (e > 0.45f) {
        int sx = static_cast<int>(std::floor((d.x / e) * 220)),
            sz = static_cast<int>(std::floor((d.z / e) * 220));
        float star = hash01(sx, sz, 3, 11u);
        if (star > 0.9975f) {
            float b = (star - 0.9975f) / 0.0025f * smoothstep(0.45f, 0.8f, e);
            c = mix(c, Rgba{1, 1, 1, 1}, b * 0.8f);
        }
    }
    return c;
}

// Corners of the sky cube and the four corners of each face with texture coordinates
// (1, 1), (1, 0), (0, 0), (0, 1) in that order.
const Dir kCorner[8] = {{-1, -1, -1}, {-1, -1, 1}, {1, -1, 1}, {1, -1, -1},
                        {-1, 1, -1},  {-1, 1, 1},  {1, 1, 1},  {1, 1, -1}};

Canvas paintFace(const int corners[4], int size) {
    Canvas face(size, size);
    const Dir& c11 = kCorner[corners[0]];
    const Dir& c10 = kCorner[corners[1]];
    const Dir& c00 = kCorner[corners[2]];
    const Dir& c01 = kCorner[corners[3]];
    for (int y = 0; y < size; ++y) {
        float t = 1.0f - (y + 0.5f) / size; // the image's top row is t = 1
        for (int x = 0; x < size; ++x) {
            float s = (x + 0.5f) / size;
            auto at = [&](float a11, float a10, float a00, float a01) {
                return a11 * s * t + a10 * s * (1 - t) + a00 * (1 - s) * (1 - t) +
                       a01 * (1 - s) * t;
            };
            Dir d = normalised({at(c11.x, c10.x, c00.x, c01.x), at(c11.y, c10.y, c00.y, c01.y),
                                at(c11.z, c10.z, c00.z, c01.z)});
            face.at(x, y) = skyColour(d);
        }
    }
    return face;
}

} // namespace

void addSky(ZipWriter& zip) {
    struct FaceFile {
        const char* name;
        int corners[4];
    };
    const FaceFile faces[] = {{"north.jpg", {1, 5, 6, 2}},
                              {"south.jpg", {3, 7, 4, 0}},
                              {"east.jpg", {0, 4, 5, 1}},
                              {"west.jpg", {2, 6, 7, 3}},
                              {"up.jpg", {5, 4, 7, 6}}};
    for (const FaceFile& f : faces) {
        zip.add(f.name, encodeJpeg(paintFace(f.corners, 512)));
    }
}
