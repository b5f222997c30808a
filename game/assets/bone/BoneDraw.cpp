// Drawing bone models in immediate mode: the skinned draw of an animated model with its
// attached emitter, and the static draw of a model without strips.
#include "game/assets/TextureManager.h"
#include "game/assets/bone/BoneModel.h"

#include <GL/gl.h>

namespace {

constexpr GLbitfield kSavedState = GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT |
                                   GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT;

void setUpLighting() {
    const GLfloat half[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat one[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, half);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, half);
    glLightfv(GL_LIGHT0, GL_SPECULAR, one);
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    glMaterialfv(GL_FRONT, GL_EMISSION, none);
    glMaterialf(GL_FRONT, GL_SHININESS, 68.0f);
}

void finishLighting() {
    const GLfloat half[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    glMaterialf(GL_FRONT, GL_SHININESS, 1.0f);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, half);
}

// The part's material, its colour scaled by tint.
void applyMaterial(const BoneMaterial& m, const float tint[3]) {
    const GLfloat colour[4] = {m.colour[0] * tint[0], m.colour[1] * tint[1], m.colour[2] * tint[2],
                               1.0f};
    const GLfloat specular[4] = {m.specular[0], m.specular[1], m.specular[2], 1.0f};
    glMaterialfv(GL_FRONT, GL_AMBIENT, colour);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, colour);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
}

} // namespace

Vector3 CBoneModel::skinnedPosition(const BoneVertex& v) const {
    Vector3 p = v.position;
    if (currentCombination < 0 || currentCombination >= static_cast<int>(combinations.size())) {
        return p;
    }
    const BoneCombination& c = combinations[size_t(currentCombination)];
    for (const BoneWeight& w : v.weights) {
        if (w.bone < 0 || size_t(w.bone) >= c.tracks.size()) {
            continue;
        }
        const BoneTrack& t = c.tracks[size_t(w.bone)];
        if (t.moves == 0) {
            continue;
        }
        Vector3 moved = t.currentRotation.rotate(v.position) + t.currentTranslation;
        p = p + (moved - v.position) * w.weight;
    }
    return p;
}

// Skins every vertex of a part once into the kept buffers (which only grow). Normals turn
// with their bones' rotations; a translation does not move a direction.
void CBoneModel::skinPart(size_t partIndex, bool normals) {
    const BoneModelPart& part = parts[partIndex];
    if (skinnedPositions.size() < part.vertices.size()) {
        skinnedPositions.resize(part.vertices.size());
        skinnedNormals.resize(part.vertices.size());
    }
    const BoneCombination& c = combinations[size_t(currentCombination)];
    for (size_t i = 0; i < part.vertices.size(); ++i) {
        const BoneVertex& v = part.vertices[i];
        Vector3 p = v.position, n = v.normal;
        for (const BoneWeight& w : v.weights) {
            const BoneTrack& t = c.tracks[size_t(w.bone)];
            if (t.moves == 0) {
                continue;
            }
            p = p + (t.currentRotation.rotate(v.position) + t.currentTranslation - v.position) *
                        w.weight;
            if (normals) {
                n = n + (t.currentRotation.rotate(v.normal) - v.normal) * w.weight;
            }
        }
        skinnedPositions[i] = p;
        skinnedNormals[i] = n;
    }
}

void CBoneModel::drawBoneModel(float dt) {
    glPushAttrib(kSavedState);
    setUpLighting();
    if (animated) {
        drawSkinned(dt);
    } else {
        drawStatic();
    }
    finishLighting();
    glPopAttrib();
}

void CBoneModel::drawSkinned(float dt) {
    if (currentCombination < 0 || combinations.empty()) {
        return;
    }
    glEnable(GL_LIGHTING);
    // Lit by the parts' own materials, whatever colour tracking an earlier draw left on.
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    // The music warms the model: the blue of every colour falls as the value rises.
    const float tint[3] = {1.0f, 1.0f, 1.0f - musicValue};
    glColor4f(tint[0], tint[1], tint[2], 1.0f);
    updateAnimation(dt);
    glPushMatrix();
    for (size_t p = (attached ? 1 : 0); p < parts.size(); ++p) {
        const BoneModelPart& part = parts[p];
        skinPart(p, true);
        glPushMatrix();
        int lastMaterial = -1;
        int lastTexture = -2;
        bool open = false;
        for (const std::vector<BoneFace>* faces : {&part.quads, &part.triangles}) {
            int corners = faces == &part.quads ? 4 : 3;
            if (open) {
                glEnd();
                open = false;
            }
            for (const BoneFace& f : *faces) {
                if (f.texture != lastTexture) {
                    if (open) {
                        glEnd();
                        open = false;
                    }
                    if (f.texture == -1 || size_t(f.texture) >= textureSlots.size()) {
                        glDisable(GL_TEXTURE_2D);
                        glShadeModel(GL_SMOOTH);
                    } else {
                        glEnable(GL_TEXTURE_2D);
                        glShadeModel(GL_FLAT);
                        glBindTexture(GL_TEXTURE_2D,
                                      textureManager.getGLName(textureSlots[size_t(f.texture)]));
                    }
                    lastTexture = f.texture;
                }
                if (f.material != lastMaterial) {
                    applyMaterial(part.materials[f.material], tint);
                    lastMaterial = f.material;
                }
                if (!open) {
                    glBegin(corners == 4 ? GL_QUADS : GL_TRIANGLES);
                    open = true;
                }
                bool fileNormals = f.texture != -1;
                for (int c = 0; c < corners; ++c) {
                    auto i = static_cast<size_t>(f.corners[c]);
                    const Vector3& n = fileNormals ? part.vertices[i].normal : skinnedNormals[i];
                    const Vector3& v = skinnedPositions[i];
                    glTexCoord2f(f.u[c], 1.0f - f.v[c]);
                    glNormal3f(n.x, n.y, n.z);
                    glVertex3f(v.x, v.y, v.z);
                }
            }
        }
        if (open) {
            glEnd();
        }
        glPopMatrix();
    }
    glDisable(GL_ALPHA_TEST);
    drawAttachment(dt);
    glPopMatrix();
    const GLfloat one[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, one);
    glEnable(GL_LIGHTING);
}

// The emitter sits at part 0's first quad's first corner (the anchor), turned with the
// anchor's bone but not moved by it, while the current key is in the combination's range.
void CBoneModel::drawAttachment(float dt) {
    if (!attached || attachment == nullptr || parts.empty() || parts[0].quads.empty()) {
        return;
    }
    const BoneCombination& c = combinations[size_t(currentCombination)];
    auto k = static_cast<int>(key);
    if (k < c.startKey || k > c.endKey) {
        return;
    }
    const BoneVertex& anchor = parts[0].vertices[size_t(parts[0].quads[0].corners[0])];
    glPushMatrix();
    if (!anchor.weights.empty()) {
        const BoneTrack& t = c.tracks[size_t(anchor.weights[0].bone)];
        if (t.moves != 0) {
            Matrix4 m;
            m.m[15] = 1.0f;
            t.currentRotation.toMatrix(m);
            glMultMatrixf(m.m);
        }
    }
    glTranslatef(anchor.position.x + attachmentOffset[0], anchor.position.y + attachmentOffset[1],
                 anchor.position.z + attachmentOffset[2]);
    if (attachmentRotation[0] != 0.0f) {
        glRotatef(attachmentRotation[0], 1.0f, 0.0f, 0.0f);
    }
    if (attachmentRotation[1] != 0.0f) {
        glRotatef(attachmentRotation[1], 0.0f, 1.0f, 0.0f);
    }
    if (attachmentRotation[2] != 0.0f) {
        glRotatef(attachmentRotation[2], 0.0f, 0.0f, 1.0f);
    }
    attachment->attachmentInView();
    attachment->attachmentUpdate(dt);
    attachment->attachmentRender();
    glPopMatrix();
}

// Props: no skinning, both sides drawn; textured faces unlit in their material colour,
// untextured faces lit.
void CBoneModel::drawStatic() {
    glDisable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    const float white[3] = {1.0f, 1.0f, 1.0f};
    glPushMatrix();
    for (const BoneModelPart& part : parts) {
        int lastMaterial = -1;
        int lastTexture = -2;
        for (const std::vector<BoneFace>* faces : {&part.quads, &part.triangles}) {
            int corners = faces == &part.quads ? 4 : 3;
            bool open = false;
            for (const BoneFace& f : *faces) {
                if (f.texture != lastTexture) {
                    if (open) {
                        glEnd();
                        open = false;
                    }
                    bool textured = f.texture != -1 && size_t(f.texture) < textureSlots.size();
                    if (textured) {
                        glEnable(GL_TEXTURE_2D);
                        glBindTexture(GL_TEXTURE_2D,
                                      textureManager.getGLName(textureSlots[size_t(f.texture)]));
                        glDisable(GL_LIGHTING);
                        glEnable(GL_COLOR_MATERIAL);
                    } else {
                        glDisable(GL_TEXTURE_2D);
                        glEnable(GL_LIGHTING);
                        glDisable(GL_COLOR_MATERIAL);
                    }
                    lastTexture = f.texture;
                    lastMaterial = -1;
                }
                if (f.material != lastMaterial) {
                    const BoneMaterial& m = part.materials[f.material];
                    applyMaterial(m, white);
                    glColor4f(m.colour[0], m.colour[1], m.colour[2], 1.0f);
                    lastMaterial = f.material;
                }
                if (!open) {
                    glBegin(corners == 4 ? GL_QUADS : GL_TRIANGLES);
                    open = true;
                }
                for (int c = 0; c < corners; ++c) {
                    const BoneVertex& v = part.vertices[size_t(f.corners[c])];
                    glTexCoord2f(f.u[c], 1.0f - f.v[c]);
                    glNormal3f(v.normal.x, v.normal.y, v.normal.z);
                    glVertex3f(v.position.x, v.position.y, v.position.z);
                }
            }
            if (open) {
                glEnd();
            }
        }
    }
    glPopMatrix();
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_COLOR_MATERIAL);
    const GLfloat one[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, one);
    glEnable(GL_LIGHTING);
}
