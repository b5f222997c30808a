#include "game/world/BreathStream.h"

#include "game/assets/math/Random.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

BreathStream::BreathStream() {
    mode = 1;
    radius = 110.0f;
    origin = {0.0f, 100.0f, 0.0f};
    Setup();
    MakeSplatTexture();
}

void BreathStream::Setup() {
    allocatePool(kParticles);
    order.resize(static_cast<size_t>(kParticles));
    for (int i = 0; i < kParticles; ++i) {
        order[size_t(i)] = i;
    }
    float j = -0.5f;
    for (BreathParticle& p : particles) {
        p.size = 8.0f + j;
        if (j <= 0.5f) {
            j += 0.1f;
        } else {
            j = -0.5f;
        }
        lifeScale = 10.0f;
        p.life = 5.0f;
        if (j <= -0.3f) {
            p.colour = {1.0f, 1.0f, 0.0f};
        } else if (j <= 0.0f) {
            p.colour = {1.0f, 0.9f, 0.0f};
        } else if (j < 0.3f) {
            p.colour = {1.0f, 0.8f, 0.0f};
        } else {
            p.colour = {1.0f, 0.7f, 0.0f};
        }
        float r1 = rand01(), r2 = rand01(), r3 = rand01();
        float x = randomSign(6.0f * r1);
        float z = randomSign(6.0f * r3);
        p.spawnPosition = p.position = {x, 0.0f, z};
        p.velocity = p.baseVelocity = {0.0f, 50.0f * (r2 / 2.0f + 4.0f), 0.0f};
        swingStart(p, 1.0f);
    }
}

void BreathStream::SetIntensity(float v) {
    intensity = v < 0.3f ? 0 : v < 0.6f ? 1 : 2;
}

float BreathStream::heightLimit(int level) {
    return level == 0 ? 40.0f : level == 1 ? 60.0f : 120.0f;
}

float BreathStream::swingFactor(int level) {
    return level == 0 ? 0.333f : level == 1 ? 0.5f : 1.0f;
}

void BreathStream::swingStart(BreathParticle& p, float f) {
    p.swingAmplitude = 2.0f;
    p.xPhase = 0.0f;
    p.startX = p.spawnPosition.x;
    p.halfStartX = p.startX / 2.0f;
    p.xRate = f * p.halfStartX;
    p.yDirUnit = 1.0f;
    p.yDir = -p.yDirUnit;
    p.yLimitRate = 15.0f;
    p.yRate = f * 15.0f;
    p.zAmplitude = 2.0f;
    p.zPhase = 0.0f;
    p.startZ = p.spawnPosition.z;
    p.quarterStartZ = p.startZ / 4.0f;
    p.zRate = p.quarterStartZ;
    p.xOffset = p.yOffset = p.zOffset = 0.0f;
}

void BreathStream::restart(BreathParticle& p, float factor) {
    p.position = p.spawnPosition;
    p.life = rand01() * 5.0f * lifeScale;
    p.velocity = p.baseVelocity;
    swingStart(p, factor);
}

void BreathStream::swing(BreathParticle& p, float s) {
    p.yRate += s * p.velocity.y * 10.0f * p.yDir;
    if (p.yOffset != 0.0f) {
        p.position.y -= p.yOffset;
    }
    p.yOffset += s * p.yRate;
    if (p.yOffset <= 0.0f && p.yDir < 0.0f) {
        p.yDir = p.yDirUnit;
        p.xRate = -p.xRate;
        p.zRate = -p.zRate;
    } else if (p.yOffset >= 0.0f && p.yDir > 0.0f) {
        p.yDir = -p.yDirUnit;
        p.xRate = -p.xRate;
        p.zRate = -p.zRate;
    }
    p.xOffset += s * p.xRate * 50.0f;
    p.zOffset += s * p.zRate * 50.0f;
    p.position.x = p.startX + p.xOffset;
    p.position.y += p.yOffset;
    p.position.z = p.startZ + p.zOffset;
}

bool BreathStream::Update(float elapsed) {
    elapsed = std::min(elapsed, kMaxElapsed);
    float step = 0.8f * elapsed;
    float limit = heightLimit(intensity);
    float factor = swingFactor(intensity);
    if (intensity != lastIntensity) {
        for (BreathParticle& p : particles) {
            restart(p, factor);
        }
        lastIntensity = intensity;
    }
    for (BreathParticle& p : particles) {
        p.life -= 2.0f * elapsed;
        if (p.life > 0.0f) {
            if (p.position.y < limit) {
                p.position = p.position + p.velocity * step;
            } else {
                swing(p, step);
            }
        } else {
            restart(p, factor);
        }
    }
    return true;
}

void BreathStream::sortForDrawing() {
    const float* m = viewMatrix.m;
    for (BreathParticle& p : particles) {
        Vector3 q = lastOrigin + p.position;
        float x = m[0] * q.x + m[4] * q.y + m[8] * q.z + m[12];
        float y = m[1] * q.x + m[5] * q.y + m[9] * q.z + m[13];
        float z = m[2] * q.x + m[6] * q.y + m[10] * q.z + m[14];
        p.sortKey = -(x * x + y * y + z * z);
    }
    // Indices are sorted instead of the records; the drawing order is the same.
    std::sort(order.begin(), order.end(), [this](int a, int b) {
        return particles[size_t(a)].sortKey < particles[size_t(b)].sortKey;
    });
}

SpriteFootprint BreathStream::footprint() const {
    SpriteFootprint quads;
    for (const BreathParticle& p : particles) {
        quads.include(quads.project(p.position, billboardRight * p.size, billboardUp * p.size));
    }
    return quads;
}

double BreathStream::measureFootprint(int rect[4]) const {
    const SpriteFootprint quads = footprint();
    quads.rect(rect);
    return quads.fill();
}

int BreathStream::layerDivisor(double meanSide, double meanDepth) {
    const int divisor = CCoarseLayer::divisorFor(meanSide);
    return meanDepth >= kCoarserDepth && divisor == 2 ? 4 : divisor;
}

// Along the stream (y from the mouth at 0 to the height limit, then the swinging end): a
// white-yellow core at the mouth, hottest on the stream's axis, a yellow body turning orange,
// then red, and grey smoke where the particles swing at the end. The particle's own yellow
// sets the body's shade; greenOffset reddens the body at higher intensities.
BreathStream::FireColour BreathStream::fireColour(const BreathParticle& p, float limit,
                                                  float greenOffset) {
    const float t = std::max(0.0f, p.position.y) / limit;
    const float offAxis =
        std::min(1.0f, std::sqrt(p.position.x * p.position.x + p.position.z * p.position.z) / 6.0f);
    auto mixed = [](const FireColour& a, const FireColour& b, float k) {
        k = std::clamp(k, 0.0f, 1.0f);
        return FireColour{a.red + (b.red - a.red) * k, a.green + (b.green - a.green) * k,
                          a.blue + (b.blue - a.blue) * k, a.alpha + (b.alpha - a.alpha) * k};
    };
    const FireColour core{1.0f, 1.0f, 0.85f, 1.0f};
    const FireColour body{p.colour.x, std::max(0.0f, p.colour.y + greenOffset), p.colour.z, 1.0f};
    const FireColour orange{1.0f, std::max(0.0f, 0.5f + greenOffset * 0.6f), 0.02f, 1.0f};
    const FireColour red{0.8f, 0.16f, 0.02f, 0.9f};
    const FireColour smoke{0.32f, 0.30f, 0.29f, 0.55f};
    if (p.position.y >= limit) {
        // Swinging at the end: the later in its swing, the more it has turned to smoke.
        return mixed(red, smoke, 0.5f + std::fabs(p.position.x - p.startX) / 12.0f);
    }
    if (t < 0.2f) {
        return mixed(core, body, t / 0.2f * (0.4f + 0.6f * offAxis));
    }
    if (t < 0.6f) {
        return mixed(body, orange, (t - 0.2f) / 0.4f);
    }
    return mixed(orange, red, (t - 0.6f) / 0.4f);
}

void BreathStream::Render() {
    float greenOffset = intensity == 0 ? 0.0f : intensity == 1 ? -0.4f : -0.7f;
    sortForDrawing();
    beginFrame(GL_BLEND, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, white);
    const SpriteFootprint quads = footprint();
    if (quads.fill() > kLayerFill) {
        const double meanSide = std::sqrt(quads.fill() / static_cast<double>(particles.size()));
        int rect[4];
        quads.rect(rect);
        inLayer = layer.begin(rect, layerDivisor(meanSide, quads.meanDepth()));
    } else {
        inLayer = false;
    }
    const float limit = heightLimit(intensity);
    for (int i : order) {
        const BreathParticle& p = particles[size_t(i)];
        const FireColour c = fireColour(p, limit, greenOffset);
        addBillboard(p.position, p.size, c.red, c.green, c.blue, c.alpha);
    }
    if (inLayer) {
        flushQuads();
        layer.end();
    }
    endFrame();
}
