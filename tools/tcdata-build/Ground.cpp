// The ground: 16 x 16 height points forming a valley that holds the ride, a tiling grass
// texture, and a shading map lit from the heights themselves.
#include "tools/tcdata-build/Artwork.h"
#include "tools/tcdata-build/Canvas.h"
#include "tools/tcdata-build/ImageFile.h"
#include "tools/tcdata-build/Noise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// The terrain is drawn translated by (-2000, 142, -2000), with heights scaled by 20 and
// points 320 apart.
constexpr float kOriginX = -2000, kOriginY = 142, kOriginZ = -2000, kSpacing = 320;

float smoothstep(float a, float b, float x) {
    float t = std::min(1.0f, std::max(0.0f, (x - a) / (b - a)));
    return t * t * (3 - 2 * t);
}

// World height of the ground at (x, z): a level floor under the ride's circles (radius up to
// 1300, where the props stand between -40 and -100) rising into rolling hills beyond.
float groundY(float x, float z) {
    float r = std::sqrt(x * x + z * z);
    float floor = -62 - 30 * smoothstep(800, 1450, r);
    float rise = std::max(0.0f, r - 1550) * 0.32f;
    float hills = (fbm(x / 900, z / 900, 0.3f, 3, 21u) - 0.5f) * 2;
    return floor + rise + hills * (8 + 0.12f * std::max(0.0f, r - 1400));
}

float heightPoint(int i, int j) {
    return (groundY(kOriginX + kSpacing * i, kOriginZ + kSpacing * j) - kOriginY) / 20;
}

// The height field between points, bilinear like the drawn quads (in world units).
float fieldY(float fi, float fj) {
    fi = std::min(14.999f, std::max(0.0f, fi));
    fj = std::min(14.999f, std::max(0.0f, fj));
    int i = static_cast<int>(fi), j = static_cast<int>(fj);
    float a = fi - i, b = fj - j;
    float h = heightPoint(i, j) * (1 - a) * (1 - b) + heightPoint(i + 1, j) * a * (1 - b) +
              heightPoint(i, j + 1) * (1 - a) * b + heightPoint(i + 1, j + 1) * a * b;
    return h * 20;
}

std::string heightFile() {
    std::string out;
    for (int k = 0; k < 256; ++k) {
        float h = heightPoint(k / 16, k % 16);
        uint32_t bits = 0;
        std::memcpy(&bits, &h, sizeof bits);
        for (int b = 0; b < 4; ++b) {
            out += static_cast<char>((bits >> (8 * b)) & 0xff);
        }
    }
    return out;
}

// Seamless grass: clumps of light and dark blades over a mottled base. Only the green
// channel reaches the screen (the terrain tints its second pass green), so the pattern
// lives mostly there.
Canvas grass() {
    const int size = 256;
    Canvas c(size, size);
    c.shade([&](float u, float v) {
        float n = tiledFbm(u * 8, v * 8, 8, 5, 31u);
        float fine = tiledFbm(u * 64, v * 64, 64, 2, 32u);
        float g = 0.42f + 0.35f * n + 0.18f * (fine - 0.5f);
        return Rgba{0.18f * g, g, 0.10f * g, 1};
    });
    Random rnd(5);
    for (int k = 0; k < 1400; ++k) {
        float x = rnd.uniform(0, size), y = rnd.uniform(0, size);
        float len = rnd.uniform(4, 11), lean = rnd.uniform(-3, 3);
        float shade = rnd.uniform(0.3f, 1.0f);
        Rgba blade{0.15f * shade, 0.35f + 0.55f * shade, 0.08f, 0.55f};
        // Drawn at each wrapped copy so that the texture tiles.
        for (int ox = -size; ox <= size; ox += size) {
            for (int oy = -size; oy <= size; oy += size) {
                c.line(x + ox, y + oy, x + ox + lean, y + oy - len, 1.2f, blade);
            }
        }
    }
    return c;
}

// Light from the heights (sun low in the south-west) and a few darker meadow patches; mid
// grey (0.5) leaves the grass as it is, since the terrain doubles the product.
Canvas shading() {
    const int size = 256;
    Canvas c(size, size);
    c.shade([&](float u, float v) {
        float fi = u * 16, fj = (1 - v) * 16; // the image's top row is t = 1
        float e = 0.05f;
        float dx = (fieldY(fi + e, fj) - fieldY(fi - e, fj)) / (2 * e * kSpacing);
        float dz = (fieldY(fi, fj + e) - fieldY(fi, fj - e)) / (2 * e * kSpacing);
        float nx = -dx, ny = 1, nz = -dz;
        float nl = std::sqrt(nx * nx + ny * ny + nz * nz);
        float lx = -0.5f, ly = 0.75f, lz = -0.43f;
        float lambert = std::max(0.0f, (nx * lx + ny * ly + nz * lz) / nl);
        float patches = fbm(u * 10, v * 10, 0.7f, 4, 41u);
        float s = 0.28f + 0.35f * lambert + 0.12f * (patches - 0.5f);
        s = std::min(0.9f, std::max(0.1f, s));
        return Rgba{s, s, s, 1};
    });
    return c;
}

} // namespace

void addGround(ZipWriter& zip) {
    zip.add("TerrainHeightPoints.dat", heightFile());
    zip.add("grass3.jpg", encodeJpeg(grass()));
    zip.add("terrainNormalMap.png", encodePng(shading()));
}
