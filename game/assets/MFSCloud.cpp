#include "game/assets/MFSCloud.h"

#include "game/assets/SplatTexture.h"
#include "game/assets/SpriteFootprint.h"
#include "game/assets/TextureManager.h"
#include "game/assets/ViewSphere.h"
#include "game/assets/math/Matrix4.h"
#include "game/assets/math/Random.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

// One component of the drift: reverse when beyond hi moving up, or below lo moving down.
void bounce(float offset, float& velocity, float lo, float hi) {
    if ((offset > hi && velocity > 0.0f) || (offset < lo && velocity < 0.0f)) {
        velocity = -velocity;
    }
}

struct Vertex {
    float s, t;
    float r, g, b, a;
    float x, y, z;
};

} // namespace

CMFSCloud::CMFSCloud(const char* name) {
    generatePuffs();
    puffTexture = makeSplatTexture();
    createImpostorTexture(name, kImpostorSize);
}

CMFSCloud::~CMFSCloud() {
    if (puffTexture >= 0) {
        textureManager.releaseTexture(puffTexture);
    }
}

void CMFSCloud::generatePuffs() {
    float r1 = rand01(), r2 = rand01(), r3 = rand01();
    driftVelocity = {5.0f * r3, 2.0f * r1, 5.0f * r2};
    Vector3 extent{100.0f * r1 + 50.0f, 100.0f * r2 + 50.0f, 100.0f * r3 + 50.0f};
    // Layer limits 115, 220 and 315 of 400 (x 1.15, 1.1, 1.05 in whole numbers, so that
    // rounding cannot take one off).
    const int a = puffCount / 4 * 115 / 100;
    const int b = puffCount / 2 * 110 / 100;
    const int c = puffCount * 3 / 4 * 105 / 100;
    puffs.assign(static_cast<size_t>(puffCount), CloudPuff{});
    for (int i = 0; i < puffCount; ++i) {
        CloudPuff& p = puffs[static_cast<size_t>(i)];
        float ra = rand01(), rb = rand01(), rc = rand01();
        p.size = 10.0f * rb + 10.0f;
        float scale = i < a ? 0.25f : i < b ? 0.5f : i >= c ? 1.0f : 0.75f;
        p.position = {ra * extent.x * scale, rb * extent.y * scale, rc * extent.z * scale};
        p.position.x = randomSign(p.position.x);
        p.position.y = randomSign(p.position.y);
        p.position.z = randomSign(p.position.z);
        p.colour = {1.0f, 1.0f, 1.0f};
        p.transparency = 0.1f;
    }
}

void CMFSCloud::setPosition(float x, float y, float z) {
    basePosition = worldPosition = {x, y, z};
}

void CMFSCloud::setBrightness(float value) {
    brightness = std::max(value, 0.3f);
}

bool CMFSCloud::isInRange() {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    Matrix4 view;
    view.fromArray(m);
    Vector3 p = view.transformPoint(localCentre);
    const float eye[3] = {p.x, p.y, p.z};
    if (distanceToFrustumCenter(eye) > frustumSphereRadius + rangeBias) {
        inRange = false;
        return false;
    }
    inRange = true;
    lastEyeDistance = p.length();
    return true;
}

void CMFSCloud::readCameraAxes() {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    cameraRight = {m[0], m[4], m[8]};
    cameraUp = {m[1], m[5], m[9]};
    cameraBack = {m[2], m[6], m[10]};
}

void CMFSCloud::drawCloud(float dt) {
    float saved[4];
    glGetFloatv(GL_CURRENT_COLOR, saved);
    readCameraAxes();
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(impostorTexture));
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glDisable(GL_LIGHTING);
    glScalef(kBillboardScale, kBillboardScale, kBillboardScale);
    glColor4f(brightness, brightness, brightness, 1.0f);
    Vector3 r = cameraRight * kBillboardHalfSize, u = cameraUp * kBillboardHalfSize;
    // Texture (s, t) sits at r (2 s - 1) + u (1 - 2 t): (0, 1) at -(r + u), (1, 1) at r - u,
    // (1, 0) at r + u, (0, 0) at u - r.
    float s0 = 0.0f, t0 = 0.0f, s1 = 1.0f, t1 = 1.0f;
    if (trimToFootprint) {
        s0 = footprint[0];
        t0 = footprint[1];
        s1 = footprint[2];
        t1 = footprint[3];
    }
    if (s0 <= s1 && t0 <= t1) {
        const float st[4][2] = {{s0, t1}, {s1, t1}, {s1, t0}, {s0, t0}};
        glBegin(GL_QUADS);
        for (const auto& c : st) {
            Vector3 p = r * (2.0f * c[0] - 1.0f) + u * (1.0f - 2.0f * c[1]);
            glTexCoord2f(c[0], c[1]);
            glVertex3f(p.x, p.y, p.z);
        }
        glEnd();
    }
    glColor4fv(saved);
    glEnable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_DEPTH_TEST);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, kWhite);
    drift(dt);
}

void CMFSCloud::drift(float dt) {
    driftOffset = driftOffset + driftVelocity * dt;
    bounce(driftOffset.y, driftVelocity.y, -50.0f, 400.0f);
    bounce(driftOffset.x, driftVelocity.x, -300.0f, 300.0f);
    bounce(driftOffset.z, driftVelocity.z, -300.0f, 300.0f);
    worldPosition = basePosition + driftOffset;
}

bool CMFSCloud::captureUnchanged(const Vector3& direction, const Vector3& up) const {
    const float limit = std::cos(kRecaptureDegrees * 3.14159265f / 180.0f);
    return captured && direction.dot(capturedDirection) >= limit && up.dot(capturedUp) >= limit;
}

void CMFSCloud::renderImpostor() {
    if (!inRange) {
        return;
    }
    // The capture looks from the cloud's direction with the camera's up axis (beginCapture).
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const Vector3 direction = normalized(worldPosition);
    const Vector3 up = normalized(Vector3{m[1], m[5], m[9]});
    if (reuseCapture && captureUnchanged(direction, up)) {
        return;
    }
    captured = true;
    capturedDirection = direction;
    capturedUp = up;
    beginCapture(worldPosition, kCaptureDistance, kImpostorSize);
    drawPuffs();
    measureFootprint();
    endCapture(kImpostorSize);
}

// The window rectangle of the puffs' quads under the capture's matrices and its
// kImpostorSize-square viewport, widened to whole pixels and one more on each side; then the
// texture coordinates whose linear filtering reaches a texel of it (half a texel beyond, and
// one texel more).
void CMFSCloud::measureFootprint() {
    SpriteFootprint quads;
    for (const CloudPuff& p : puffs) {
        quads.include(quads.project(p.position, cameraRight * p.size, cameraUp * p.size));
    }
    int rect[4];
    quads.rect(rect);
    if (rect[2] == 0 || rect[3] == 0) {
        footprint[0] = footprint[1] = 1.0f;
        footprint[2] = footprint[3] = 0.0f;
        return;
    }
    const auto size = static_cast<float>(kImpostorSize);
    for (int k = 0; k < 2; ++k) {
        const float first = std::max(static_cast<float>(rect[k]) - 1.0f, 0.0f);
        const float last = std::min(static_cast<float>(rect[k] + rect[k + 2]) + 1.0f, size - 1.0f);
        footprint[k] = std::max((first - 1.0f) / size, 0.0f);
        footprint[k + 2] = std::min((last + 2.0f) / size, 1.0f);
    }
}

void CMFSCloud::drawPuffs() {
    readCameraAxes();
    Vector3 viewpoint = cameraBack * sortDistance;
    for (CloudPuff& p : puffs) {
        Vector3 d = p.position - viewpoint;
        p.sortDistance = static_cast<double>(d.x) * d.x + static_cast<double>(d.y) * d.y +
                         static_cast<double>(d.z) * d.z;
    }
    std::stable_sort(puffs.begin(), puffs.end(), [](const CloudPuff& a, const CloudPuff& b) {
        return a.sortDistance > b.sortDistance;
    });

    float saved[4];
    glGetFloatv(GL_CURRENT_COLOR, saved);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(puffTexture));
    // Without depth test nothing is written but colour, and with this blend function a texel
    // of alpha 0 adds 0 and keeps the rest: the alpha test would change no pixel, so the
    // puffs are drawn without it.
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);

    // All 400 quads in one array draw.
    std::vector<Vertex> quads;
    quads.reserve(puffs.size() * 4);
    const float st[4][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}};
    for (const CloudPuff& p : puffs) {
        Vector3 r = cameraRight * p.size, u = cameraUp * p.size;
        const Vector3 corner[4] = {p.position - r - u, p.position + r - u, p.position + r + u,
                                   p.position + u - r};
        float alpha = 1.0f - p.transparency;
        for (int k = 0; k < 4; ++k) {
            quads.push_back({st[k][0], st[k][1], p.colour.x, p.colour.y, p.colour.z, alpha,
                             corner[k].x, corner[k].y, corner[k].z});
        }
    }
    // One colour per quad: flat shading gives the same fragments with less to interpolate.
    GLint shadeModel = GL_SMOOTH;
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    glShadeModel(GL_FLAT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    const auto stride = static_cast<GLsizei>(sizeof(Vertex));
    glTexCoordPointer(2, GL_FLOAT, stride, &quads[0].s);
    glColorPointer(4, GL_FLOAT, stride, &quads[0].r);
    glVertexPointer(3, GL_FLOAT, stride, &quads[0].x);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(quads.size()));
    glPopClientAttrib();
    glShadeModel(static_cast<GLenum>(shadeModel));

    glColor4fv(saved);
    glEnable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_DEPTH_TEST);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, kWhite);
}
