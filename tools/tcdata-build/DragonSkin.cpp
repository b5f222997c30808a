#include "tools/tcdata-build/DragonSkin.h"

#include "tools/tcdata-build/Noise.h"

#include <algorithm>
#include <cmath>

namespace dragonskin {

namespace {

constexpr float kPi = 3.14159265f;

struct Rect {
    int x0, y0, x1, y1;
};

// Where each region lies on the texture, in pixels.
Rect rectOf(Region r) {
    switch (r) {
    case Region::Scales:
        return {0, 0, 256, 256};
    case Region::Belly:
        return {256, 0, 512, 256};
    case Region::Membrane:
        return {0, 256, 256, 512};
    case Region::Horn:
        return {256, 256, 384, 512};
    case Region::Spike:
        return {384, 256, 448, 512};
    case Region::Eye:
        return {448, 256, 512, 320};
    case Region::Mouth:
        break;
    }
    return {448, 320, 512, 384};
}

float smoothstep(float a, float b, float x) {
    float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

Rgba rgb(float r, float g, float b) {
    return Rgba{std::clamp(r, 0.0f, 1.0f), std::clamp(g, 0.0f, 1.0f), std::clamp(b, 0.0f, 1.0f), 1};
}

Rgba scaled(const Rgba& c, float s) {
    return rgb(c.r * s, c.g * s, c.b * s);
}

// Overlapping scales on a staggered lattice of 4 x 4 per tile, periodic in the tile: each
// scale lighter at its heart and towards the tail, a dark seam between neighbours, and a
// little colour of its own.
Rgba scales(float x, float y) {
    const float cell = 64;
    float best = 1e9f, second = 1e9f;
    int bestId = 0;
    float bestDy = 0;
    for (int row = -1; row <= 4; ++row) {
        float offset = (row & 1) ? cell / 2 : 0;
        for (int col = -1; col <= 4; ++col) {
            float cx = col * cell + offset + cell / 2, cy = row * cell + cell / 2;
            float dx = x - cx, dy = (y - cy) * 1.15f;
            float d = std::sqrt(dx * dx + dy * dy);
            if (d < best) {
                second = best;
                best = d;
                bestDy = y - cy;
                bestId = ((row + 4) % 4) * 4 + (col + 4) % 4;
            } else if (d < second) {
                second = d;
            }
        }
    }
    float seam = smoothstep(0.0f, 7.0f, second - best);
    float heart = 1.0f - std::min(best / 46.0f, 1.0f);
    float own = 0.88f + 0.22f * hash01(bestId, 0, 0, 41u);
    // Each scale's free edge (towards the tail, +v) catches the light.
    float lip = smoothstep(8.0f, 30.0f, bestDy) * 0.18f;
    float grain = 0.92f + 0.16f * tiledFbm(x / 32.0f, y / 32.0f, 8, 3, 7u);
    const Rgba base{0.80f, 0.22f, 0.11f, 1};
    float light = (0.62f + 0.38f * heart + lip) * own * grain;
    Rgba c = scaled(base, light);
    c = mix(rgb(0.22f, 0.04f, 0.03f), c, 0.25f + 0.75f * seam);
    return c;
}

// Pale plates across the belly, three to a face, each darker towards its back edge, the
// scales' red creeping in at the sides.
Rgba belly(float u, float v) {
    float plate = v * 3 - std::floor(v * 3);
    float seam = smoothstep(0.0f, 0.07f, plate) * smoothstep(1.0f, 0.9f, plate);
    float shade = 1.05f - 0.22f * plate;
    float grain = 0.94f + 0.12f * tiledFbm(u * 8, v * 8, 8, 3, 13u);
    Rgba c = scaled(Rgba{0.96f, 0.74f, 0.40f, 1}, shade * grain);
    c = mix(rgb(0.45f, 0.22f, 0.10f), c, 0.35f + 0.65f * seam);
    float side = smoothstep(0.18f, 0.0f, std::min(u, 1 - u));
    return mix(c, rgb(0.70f, 0.26f, 0.13f), 0.5f * side);
}

// The whole wing: u along the span from the shoulder (0) to the tip (1), v from the bony
// leading edge (0) to the scalloped trailing edge (1). Finger veins run from the leading edge
// to the trailing edge at the finger tips (u = 0, 1/4, ..., 1), thinner veins branch between
// them, the skin glows lighter between the fingers and darkens to a rim at the trailing edge.
Rgba membrane(float u, float v) {
    float quarter = u * 4 - std::floor(u * 4);
    float glow = std::sin(kPi * quarter) * std::sin(kPi * std::min(v * 1.2f, 1.0f));
    Rgba c = scaled(Rgba{0.60f, 0.11f, 0.16f, 1}, 0.78f + 0.42f * glow);
    float mottled = tiledFbm(u * 6, v * 6, 6, 4, 23u);
    c = scaled(c, 0.9f + 0.2f * mottled);
    const float width = 256;
    auto vein = [&](float distance, float px) { return smoothstep(px, 0.0f, distance * width); };
    float main = 0;
    for (int k = 0; k <= 4; ++k) {
        main = std::max(main, vein(std::fabs(u - k / 4.0f), 3.2f));
    }
    float branch = 0;
    for (int k = 0; k < 4; ++k) {
        for (float side : {-1.0f, 1.0f}) {
            // From the finger near the leading edge, curving out towards the trailing edge.
            float t = std::clamp((v - 0.12f) / 0.88f, 0.0f, 1.0f);
            float at = k / 4.0f + 0.125f + side * 0.07f * (1 - t) * (v > 0.12f ? 1.0f : 0.0f);
            at += 0.02f * std::sin(v * 9 + k);
            branch = std::max(branch, vein(std::fabs(u - at), 1.6f) * smoothstep(0.1f, 0.2f, v));
        }
    }
    // Hair-fine veins from the noise's ridges.
    float fine = smoothstep(0.035f, 0.0f, std::fabs(tiledFbm(u * 10, v * 5, 10, 3, 31u) - 0.5f));
    c = mix(c, rgb(0.30f, 0.05f, 0.08f), 0.35f * fine);
    c = mix(c, rgb(0.28f, 0.04f, 0.07f), 0.8f * branch);
    c = mix(c, rgb(0.36f, 0.07f, 0.08f), 0.95f * main);
    // A lighter ridge along each main vein's middle, as bone under skin.
    c = mix(c, rgb(0.66f, 0.30f, 0.22f),
            0.5f * vein(std::fabs(quarter < 0.5f ? quarter : 1 - quarter) / 4, 1.0f));
    float edge = smoothstep(0.80f, 0.97f, v);
    c = mix(c, rgb(0.16f, 0.02f, 0.05f), 0.85f * edge);
    float lead = smoothstep(0.06f, 0.0f, v);
    return mix(c, rgb(0.52f, 0.14f, 0.10f), 0.7f * lead);
}

// Horn and claw: ivory at the root darkening to the point, with growth rings and streaks.
Rgba horn(float u, float v, const Rgba& root, const Rgba& point) {
    float t = std::pow(v, 1.3f);
    Rgba c = mix(root, point, t);
    float rings = 0.93f + 0.07f * std::sin(v * 40);
    float streak = 0.9f + 0.2f * valueNoise(u * 6, v * 3, 0, 53u);
    float round = 0.85f + 0.15f * std::sin(kPi * u);
    return scaled(c, rings * streak * round);
}

Rgba eye(float u, float v) {
    Rgba c = mix(rgb(1.0f, 0.95f, 0.35f), rgb(0.95f, 0.55f, 0.05f),
                 std::min(1.0f, 2 * std::hypot(u - 0.5f, v - 0.5f)));
    float slit = smoothstep(0.09f, 0.04f, std::fabs(u - 0.5f) / (1.2f - std::fabs(v - 0.5f)));
    return mix(c, rgb(0.05f, 0.02f, 0.02f), slit);
}

Rgba mouth(float u, float v) {
    (void)u;
    return mix(rgb(0.55f, 0.10f, 0.10f), rgb(0.30f, 0.03f, 0.04f), v);
}

} // namespace

Canvas paint() {
    Canvas canvas(kSize, kSize, Rgba{0, 0, 0, 1});
    for (Region r : {Region::Scales, Region::Belly, Region::Membrane, Region::Horn, Region::Spike,
                     Region::Eye, Region::Mouth}) {
        const Rect q = rectOf(r);
        const float w = float(q.x1 - q.x0), h = float(q.y1 - q.y0);
        for (int y = q.y0; y < q.y1; ++y) {
            for (int x = q.x0; x < q.x1; ++x) {
                float px = float(x - q.x0) + 0.5f, py = float(y - q.y0) + 0.5f;
                float u = px / w, v = py / h;
                Rgba c;
                switch (r) {
                case Region::Scales:
                    c = scales(px, py);
                    break;
                case Region::Belly:
                    c = belly(u, v);
                    break;
                case Region::Membrane:
                    c = membrane(u, v);
                    break;
                case Region::Horn:
                    c = horn(u, v, rgb(0.96f, 0.90f, 0.74f), rgb(0.30f, 0.24f, 0.18f));
                    break;
                case Region::Spike:
                    c = horn(u, v, rgb(0.52f, 0.12f, 0.08f), rgb(0.10f, 0.04f, 0.04f));
                    break;
                case Region::Eye:
                    c = eye(u, v);
                    break;
                case Region::Mouth:
                    c = mouth(u, v);
                    break;
                }
                canvas.at(x, y) = c;
            }
        }
    }
    return canvas;
}

void apply(bonemodel::Part& part, Region (*regionOf)(int material)) {
    for (bonemodel::Face& f : part.faces) {
        const Region region = regionOf(f.material);
        const Rect q = rectOf(region);
        // Tiles keep two texels clear of their region's border, so filtering never reads a
        // neighbouring region.
        const float inset = region == Region::Membrane ? 0.5f : 2.0f;
        float u0 = f.u[0], u1 = f.u[0], v0 = f.v[0], v1 = f.v[0];
        for (int c = 1; c < f.cornerCount; ++c) {
            u0 = std::min(u0, f.u[c]);
            u1 = std::max(u1, f.u[c]);
            v0 = std::min(v0, f.v[c]);
            v1 = std::max(v1, f.v[c]);
        }
        for (int c = 0; c < f.cornerCount; ++c) {
            float u = f.u[c], v = f.v[c];
            if (region != Region::Membrane) {
                u = u1 > u0 ? (u - u0) / (u1 - u0) : 0.5f;
                v = v1 > v0 ? (v - v0) / (v1 - v0) : 0.5f;
            }
            const float x = q.x0 + inset + u * (q.x1 - q.x0 - 2 * inset);
            const float y = q.y0 + inset + v * (q.y1 - q.y0 - 2 * inset);
            f.u[c] = x / kSize;
            f.v[c] = y / kSize;
        }
        f.texture = 0;
    }
}

} // namespace dragonskin
