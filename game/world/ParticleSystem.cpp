#include "game/world/ParticleSystem.h"

#include "game/assets/SplatTexture.h"
#include "game/assets/TextureManager.h"
#include "game/assets/ViewSphere.h"

#include <algorithm>
#include <string>

namespace {

const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

Matrix4 identity() {
    Matrix4 m;
    m.m[0] = m.m[5] = m.m[10] = m.m[15] = 1.0f;
    return m;
}

} // namespace

CParticleSystem::CParticleSystem() : viewMatrix(identity()) {}

CParticleSystem::~CParticleSystem() {
    if (textureId >= 0) {
        textureManager.releaseTexture(textureId);
    }
}

bool CParticleSystem::Update(float) {
    return true;
}

void CParticleSystem::SetIntensity(float) {}

void CParticleSystem::Render() {}

void CParticleSystem::Hook3(float) {}

void CParticleSystem::InitParticle(Particle&) {}

void CParticleSystem::ResetAll() {}

void CParticleSystem::LoadImage(const char* fileName) {
    if (textureId >= 0) {
        textureManager.releaseTexture(textureId);
    }
    textureId = -1;
    if (!textureManager.loadTexture(fileName, textureId, GL_CLAMP_TO_EDGE, true)) {
        textureId = -1;
        throw std::string("CParticleSystem: Couldn't load bmp texture: ") +
            textureManager.loadError();
    }
}

void CParticleSystem::MakeSplatTexture() {
    if (textureId >= 0) {
        textureManager.releaseTexture(textureId);
    }
    textureId = -1;
    textureId = makeSplatTexture();
}

bool CParticleSystem::IsInView() {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    viewMatrix.fromArray(m);
    lastOrigin = origin;
    Vector3 eye = viewMatrix.transformPoint(origin);
    const float e[3] = {eye.x, eye.y, eye.z};
    float distance = distanceToFrustumCenter(e);
    if (distance > frustumSphereRadius + radius) {
        return false;
    }
    viewDistance = distance;
    return true;
}

void CParticleSystem::SetBillboardAxes() {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    billboardRight = {m[0], m[4], m[8]};
    billboardUp = {m[1], m[5], m[9]};
}

void CParticleSystem::AdditiveState(bool on) {
    if (on) {
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    } else {
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
    }
}

void CParticleSystem::CutoutState(bool on) {
    if (on) {
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.0f);
    } else {
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_ALPHA_TEST);
    }
}

int CParticleSystem::LevelOfDetailCount() const {
    float f = std::max(2000.0f - viewDistance, 250.0f) / 2000.0f;
    int n = static_cast<int>(static_cast<float>(maxParticles) * f);
    return std::min(n, maxParticles);
}

void CParticleSystem::beginFrame(GLint envMode, GLenum src, GLenum dst) {
    glGetFloatv(GL_CURRENT_COLOR, savedColour);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &savedEnvMode);
    SetBillboardAxes();
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
    glEnable(GL_BLEND);
    glBlendFunc(src, dst);
    glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(textureId));
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glDisable(GL_LIGHTING);
    // Every quad has one colour: flat shading gives the same fragments with less to
    // interpolate.
    glGetIntegerv(GL_SHADE_MODEL, &savedShadeModel);
    glShadeModel(GL_FLAT);
    batch.clear();
}

void CParticleSystem::flushQuads() {
    drawBatch();
    batch.clear();
}

void CParticleSystem::drawBatch() {
    if (batch.empty()) {
        return;
    }
    // One array draw instead of a call per vertex; the client arrays are put back as found.
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    const auto stride = static_cast<GLsizei>(sizeof(QuadVertex));
    glTexCoordPointer(2, GL_FLOAT, stride, &batch[0].s);
    glColorPointer(4, GL_FLOAT, stride, &batch[0].r);
    glVertexPointer(3, GL_FLOAT, stride, &batch[0].x);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(batch.size()));
    glPopClientAttrib();
}

void CParticleSystem::endFrame() {
    flushQuads();
    CutoutState(false);
    glColor4fv(savedColour);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, savedEnvMode);
    glShadeModel(static_cast<GLenum>(savedShadeModel));
    glEnable(GL_LIGHTING);
    AdditiveState(false);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, kWhite);
}

void CParticleSystem::addBillboard(const Vector3& p, float s, float r, float g, float b, float a,
                                   bool flippedT) {
    const Vector3& R = billboardRight;
    const Vector3& U = billboardUp;
    // p - (R + U) s, p + (R - U) s, p + (R + U) s, p + (U - R) s
    const float rx = R.x * s, ry = R.y * s, rz = R.z * s;
    const float ux = U.x * s, uy = U.y * s, uz = U.z * s;
    const float t0 = flippedT ? 1.0f : 0.0f;
    const float t1 = flippedT ? 0.0f : 1.0f;
    batch.push_back({0.0f, t0, r, g, b, a, p.x - rx - ux, p.y - ry - uy, p.z - rz - uz});
    batch.push_back({1.0f, t0, r, g, b, a, p.x + rx - ux, p.y + ry - uy, p.z + rz - uz});
    batch.push_back({1.0f, t1, r, g, b, a, p.x + rx + ux, p.y + ry + uy, p.z + rz + uz});
    batch.push_back({0.0f, t1, r, g, b, a, p.x - rx + ux, p.y - ry + uy, p.z - rz + uz});
}

void CParticleSystem::addQuad(const Vector3 corners[4], const float st[4][2], float r, float g,
                              float b, float a) {
    for (int k = 0; k < 4; ++k) {
        batch.push_back({st[k][0], st[k][1], r, g, b, a, corners[k].x, corners[k].y, corners[k].z});
    }
}
