// The two rails: one soft sprite per sample of each rail's history, added to what lies behind,
// blue where the wave is low and red where it is high. Sprites large on the window (the
// camera rides the trail, so the newest samples can fill most of it, hundreds deep) go through
// a quarter-size layer; the rest are drawn into the window after them. The alpha test cuts each
// sprite's soft edge, under the reference the frame has (the frequency bars raise it when they
// are drawn), so the large sprites are drawn as octagons around what that test lets through.
#include "game/assets/SpriteFootprint.h"
#include "game/assets/TextureManager.h"
#include "game/ride/RideTrack.h"

#include <GL/gl.h>

#include <array>
#include <string>

namespace {

constexpr int kRailSprites = 2 * CRideTrack::kHistory;

// Which of the rail sprites a pass draws.
enum class Pick { All, Large, Small };

} // namespace

void CRideTrack::drawRails(const RideView& view) {
    bool facing = view.viewPoint == viewpoint::kLookFromCenter || billboardFromView == 1.0f;
    if (firstDraw) {
        if (!textureManager.loadTexture("Exhaust.png", exhaustTexture, GL_CLAMP_TO_EDGE, true)) {
            throw std::string("Couldn't load track's texture: ") + textureManager.loadError();
        }
        glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(exhaustTexture));
        railReach.measureBoundTexture();
        firstDraw = false;
    }
    float size = 8.0f;
    if (facing) {
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        billboardRight = {m[0], m[4], m[8]};
        billboardUp = {m[1], m[5], m[9]};
        size = 5.0f;
    }
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
    const GLfloat environment[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, environment);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(exhaustTexture));
    // Large sprites as octagons when the test cuts into the square; the small ones, a few
    // pixels each, would cost more in corners than they save in filling.
    const float reach = railReach.underAlphaTest();
    const bool cut = reach < SpriteReach::kSquare;
    const SpriteReach::Quads octagon = SpriteReach::octagon(reach);

    // Rail sprites k < kHistory are the inner rail's, the rest the outer's, newest first.
    auto sample = [this](int k) -> const TrackPoint& {
        return k < kHistory ? innerRails[1][k] : outerRails[1][k - kHistory];
    };
    std::array<bool, kRailSprites> large{};
    SpriteFootprint footprint;
    for (int k = 0; k < kRailSprites; ++k) {
        const TrackPoint& p = sample(k);
        const Vector3& right = facing ? billboardRight : p.right;
        const Vector3& up = facing ? billboardUp : p.up;
        const QuadExtent quad = footprint.project(p.position, right * size, up * size);
        large[size_t(k)] = quad.area() >= kLargeSide * kLargeSide;
        if (large[size_t(k)]) {
            footprint.include(quad);
        }
    }
    // The layer pays where the large sprites lie several deep: laying it over the window costs
    // a few sprites' worth of filling its rectangle.
    bool layered = false;
    if (footprint.fill() > kRailLayerFill && footprint.meanDepth() > kRailLayerDepth) {
        int rect[4];
        footprint.rect(rect);
        layered = railLayer.begin(rect, 4, CCoarseLayer::Blend::Add);
    }
    // Drawn in the history's order within each pass; the large sprites, the nearest, first.
    auto drawSprites = [&](Pick pick) {
        glBegin(GL_QUADS);
        for (int k = 0; k < kRailSprites; ++k) {
            if (pick != Pick::All && large[size_t(k)] != (pick == Pick::Large)) {
                continue;
            }
            const TrackPoint& p = sample(k);
            RailColour colour = railColour(p.position.y);
            glColor4f(colour.red, colour.green, colour.blue, 1.0f);
            if (!facing) {
                billboardRight = p.right;
                billboardUp = p.up;
            }
            Vector3 r = billboardRight * size, u = billboardUp * size;
            if (cut && large[size_t(k)]) {
                for (const auto& o : octagon) {
                    Vector3 v = p.position + r * o[0] + u * o[1];
                    glTexCoord2f((o[0] + 1.0f) * 0.5f, (o[1] + 1.0f) * 0.5f);
                    glVertex3f(v.x, v.y, v.z);
                }
                continue;
            }
            Vector3 corners[4] = {p.position - r - u, p.position + r - u, p.position + r + u,
                                  p.position + u - r};
            const float st[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (int c = 0; c < 4; ++c) {
                glTexCoord2f(st[c][0], st[c][1]);
                glVertex3f(corners[c].x, corners[c].y, corners[c].z);
            }
        }
        glEnd();
    };
    if (layered) {
        drawSprites(Pick::Large);
        railLayer.end();
        drawSprites(Pick::Small);
    } else {
        drawSprites(Pick::All);
    }
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
}
