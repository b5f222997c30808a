#include "game/world/FrequencyBars.h"

#include "game/assets/TextureManager.h"
#include "game/assets/ViewSphere.h"
#include "game/assets/bone/BoneModel.h"

#include <GL/gl.h>

#include <cstring>

FrequencyBars::FrequencyBars(CBoneModel* platformModel) : platform(platformModel) {}

void FrequencyBars::LoadImage(const char* fileName) {
    textureId = -1;
    if (!textureManager.loadTexture(fileName, textureId, GL_CLAMP_TO_EDGE, true)) {
        textureId = -1;
        throw "Couldn't load QuadFollow texture";
    }
}

void FrequencyBars::SetPosition(float x, float y, float z) {
    SceneActor::SetPosition(x, y, z);
    ownPosition = {x, y, z};
}

void FrequencyBars::SetRotation(float angle, float ax, float ay, float az) {
    SceneActor::SetRotation(angle, ax, ay, az);
    ownRotationAngle = angle;
    ownRotationAxis = {ax, ay, az};
}

void FrequencyBars::SetSpectrum(const unsigned char* data) {
    std::memcpy(spectrum, data, sizeof spectrum);
}

bool FrequencyBars::IsInView() const {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const float eye[3] = {m[0] * origin.x + m[4] * origin.y + m[8] * origin.z + m[12],
                          m[1] * origin.x + m[5] * origin.y + m[9] * origin.z + m[13],
                          m[2] * origin.x + m[6] * origin.y + m[10] * origin.z + m[14]};
    return distanceToFrustumCenter(eye) <= frustumSphereRadius + radius;
}

bool FrequencyBars::Draw(float elapsed) {
    glPushMatrix();
    if (ownPosition.x != 0.0f || ownPosition.y != 0.0f || ownPosition.z != 0.0f) {
        glTranslatef(ownPosition.x, ownPosition.y, ownPosition.z);
    }
    if (ownRotationAxis.x != 0.0f || ownRotationAxis.y != 0.0f || ownRotationAxis.z != 0.0f) {
        glRotatef(ownRotationAngle, ownRotationAxis.x, ownRotationAxis.y, ownRotationAxis.z);
    }
    if (IsInView()) {
        if (platform != nullptr) {
            glPushMatrix();
            glTranslatef(0.0f, -10.0f, 0.0f);
            platform->drawBoneModel(elapsed);
            glPopMatrix();
        }
        Render();
    }
    glPopMatrix();
    return SceneObject::Draw(elapsed);
}

void FrequencyBars::Render() {
    GLfloat saved[4];
    glGetFloatv(GL_CURRENT_COLOR, saved);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    billboardRight = {m[0], m[4], m[8]};
    billboardUp = {m[1], m[5], m[9]};
    facing = {m[2], m[6], m[10]};

    GLfloat environment[4] = {0.25f, 0.0f, 0.0f, 1.0f};
    glEnable(GL_TEXTURE_2D);
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, environment);
    if (solid) {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
    } else {
        glEnable(GL_BLEND);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.5f);
    }
    glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(textureId));
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);

    const Vector3 R = billboardRight * kHalfWidth;
    BarPlacement bars[2 * kBarsPerRow];
    int count = layoutBars(bars);
    const float st[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    for (int i = 0; i < count; ++i) {
        const BarPlacement& b = bars[i];
        environment[2] = b.intensity;
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, environment);
        glColor4f(b.colour[0], b.colour[1], b.colour[2], 1.0f);
        const Vector3 p{b.x, 0.0f, b.z};
        const Vector3 U = billboardUp * b.halfHeight;
        const Vector3 corners[4] = {p - R - U, p + R - U, p + R + U, p - R + U};
        glBegin(GL_QUADS);
        glNormal3f(facing.x, facing.y, facing.z);
        for (int k = 0; k < 4; ++k) {
            glTexCoord2f(st[k][0], st[k][1]);
            glVertex3f(corners[k].x, corners[k].y, corners[k].z);
        }
        glEnd();
    }

    glColor4fv(saved);
    glEnable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, white);
}

int FrequencyBars::layoutBars(BarPlacement out[2 * kBarsPerRow]) const {
    int count = 0;
    bool toggle = true;
    for (int row = 0; row < 2; ++row) {
        float x = row == 0 ? -125.0f : 125.0f;
        float z = row == 0 ? -20.0f : 20.0f;
        float step = row == 0 ? kBarSpacing : -kBarSpacing;
        for (int i = 0; i < kBarsPerRow; ++i) {
            int v = spectrum[row][kBinStep * i];
            if (v == 0) {
                continue; // no bar, and the next one takes its place
            }
            BarPlacement& b = out[count++];
            b.x = x;
            b.z = z;
            b.halfHeight = 2.0f * static_cast<float>(v) + 10.0f;
            float c = static_cast<float>(v) / 170.0f;
            b.intensity = c > 1.0f ? 1.0f : c;
            b.colour[0] = b.intensity;
            b.colour[1] = toggle && !solid ? b.intensity : 0.0f;
            b.colour[2] = 1.0f - b.intensity;
            toggle = !toggle;
            x += step;
        }
    }
    return count;
}
