#include "game/world/Terrain.h"

#include "game/assets/DataArchive.h"
#include "game/assets/TextureManager.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

namespace {

float littleEndianFloat(const unsigned char* b) {
    uint32_t bits = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                    static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

} // namespace

CTerrain::CTerrain() {
    if (dataArchive != nullptr && dataArchive->readFile(kHeightFile)) {
        setHeights(dataArchive->getData(), dataArchive->getSize());
    } else {
        setHeights(nullptr, 0);
    }
}

CTerrain::~CTerrain() {
    if (lists != 0) {
        glDeleteLists(lists, kLists);
    }
    for (int id : {groundTexture, shadingTexture}) {
        if (id >= 0) {
            textureManager.releaseTexture(id);
        }
    }
}

void CTerrain::setHeights(const unsigned char* data, size_t size) {
    const size_t needed = kPoints * kPoints * 4;
    bool whole = data != nullptr && size >= needed;
    for (int i = 0; i < kPoints; ++i) {
        for (int j = 0; j < kPoints; ++j) {
            float h = whole ? littleEndianFloat(data + 4 * (i * kPoints + j)) : 0.0f;
            grid[i][j] = {static_cast<float>(i) * kSpacing, h * kHeightScale,
                          static_cast<float>(j) * kSpacing};
        }
    }
    if (lists != 0) {
        glDeleteLists(lists, kLists);
        lists = 0;
    }
}

// Filtering that software GL samples at about half the cost and that shows the same: the
// ground, once per cell and so shrunk on almost every pixel, reads one mipmap level, whose
// steps are lost in the grass's grain; the shading, stretched over the whole grid and so
// enlarged on almost every pixel, has no mipmaps to choose among.
void CTerrain::LoadTextures(const char* groundFile) {
    groundTexture = -1;
    if (!textureManager.loadTexture(groundFile, groundTexture, GL_CLAMP_TO_EDGE, true)) {
        groundTexture = -1;
        throw std::string("Couldn't load CTerrain texture1: ") + textureManager.loadError();
    }
    glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(groundTexture));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    if (!textureManager.loadTexture("terrainNormalMap.png", shadingTexture, GL_CLAMP_TO_EDGE,
                                    false)) {
        shadingTexture = -1;
        throw std::string("Couldn't load CTerrain texture2: ") + textureManager.loadError();
    }
}

void CTerrain::SetTint(float r, float g, float b) {
    tint[0] = r;
    tint[1] = g;
    tint[2] = b;
}

bool CTerrain::Draw() {
    glDisable(GL_LIGHTING);
    Render();
    glEnable(GL_LIGHTING);
    return true;
}

// Cell (i, j): corners grid[i][j], grid[i][j+1], grid[i+1][j+1], grid[i+1][j]. Per cell the
// whole texture: (0, 0), (0, 1), (1, 1), (1, 0); stretched: (s, t), (s, t + d), (s + d, t + d),
// (s + d, t) with s = i d, t = j d, d = 1/16. Both: the whole texture on unit 0 and the
// stretched one on unit 1, for the two passes drawn in one.
void CTerrain::emitCells(CellCoordinates which) const {
    const float d = 0.0625f;
    const float whole[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    glBegin(GL_QUADS);
    for (int i = 0; i < kPoints - 1; ++i) {
        for (int j = 0; j < kPoints - 1; ++j) {
            const Vector3* corner[4] = {&grid[i][j], &grid[i][j + 1], &grid[i + 1][j + 1],
                                        &grid[i + 1][j]};
            float s = static_cast<float>(i) * d, t = static_cast<float>(j) * d;
            const float stretched[4][2] = {{s, t}, {s, t + d}, {s + d, t + d}, {s + d, t}};
            for (int k = 0; k < 4; ++k) {
                if (which == CellCoordinates::Both) {
                    glMultiTexCoord2f(GL_TEXTURE0, whole[k][0], whole[k][1]);
                    glMultiTexCoord2f(GL_TEXTURE1, stretched[k][0], stretched[k][1]);
                } else {
                    const float* st = which == CellCoordinates::Whole ? whole[k] : stretched[k];
                    glTexCoord2f(st[0], st[1]);
                }
                glVertex3f(corner[k]->x, corner[k]->y, corner[k]->z);
            }
        }
    }
    glEnd();
}

// The grid changes only with the height points, so each pass's cells are compiled once; the
// tint is the current colour when a list runs.
void CTerrain::buildLists() {
    lists = glGenLists(kLists);
    if (lists == 0) {
        return;
    }
    glNewList(lists, GL_COMPILE);
    emitCells(CellCoordinates::Whole);
    glEndList();
    glNewList(lists + 1, GL_COMPILE);
    emitCells(CellCoordinates::Stretched);
    glEndList();
    glNewList(lists + 2, GL_COMPILE);
    emitCells(CellCoordinates::Both);
    glEndList();
}

// Two texture units with the combine environment: OpenGL 1.3.
bool CTerrain::canCombine() {
    if (combineSupport < 0) {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        int major = 0, minor = 0;
        GLint units = 0;
        glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
        combineSupport = version != nullptr && std::sscanf(version, "%d.%d", &major, &minor) == 2 &&
                                 (major > 1 || (major == 1 && minor >= 3)) && units >= 2
                             ? 1
                             : 0;
    }
    return combineSupport == 1;
}

// result = clamp(2 x shading x tint x ground) on the pixels where the ground wins the depth
// test, in one pass: unit 0 modulates the ground with the tint, unit 1 multiplies in the
// shading and doubles. The same pixels as the two passes' blend (2 x source x destination), up
// to the rounding of the intermediate 8-bit ground.
void CTerrain::renderCombined() {
    glPushAttrib(GL_TEXTURE_BIT);
    glActiveTexture(GL_TEXTURE1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(shadingTexture));
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_RGB, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SRC1_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, 2.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_ALPHA, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_SRC1_ALPHA, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_ALPHA, GL_SRC_ALPHA);
    glTexEnvf(GL_TEXTURE_ENV, GL_ALPHA_SCALE, 2.0f);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(groundTexture));
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glCallList(lists + 2);
    glPopAttrib();
}

void CTerrain::Render() {
    if (lists == 0) {
        buildLists();
    }
    // Both passes draw in one colour, the tint: flat shading draws the same with less to
    // interpolate.
    GLint shadeModel = GL_SMOOTH;
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    glShadeModel(GL_FLAT);

    glDisable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glDisable(GL_ALPHA_TEST);
    glColor3f(tint[0], tint[1], tint[2]);
    if (lists != 0 && allowOnePass && canCombine()) {
        renderCombined();
        // The state the two passes leave.
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(shadingTexture));
        glBlendFunc(GL_DST_COLOR, GL_SRC_COLOR);
    } else {
        renderTwoPasses();
    }

    glDisable(GL_ALPHA_TEST);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_COLOR_MATERIAL);
    glShadeModel(static_cast<GLenum>(shadeModel));
}

void CTerrain::renderTwoPasses() {
    // Pass 1: the ground texture on every cell, replacing the fragment colour.
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(groundTexture));
    if (lists != 0) {
        glCallList(lists);
    } else {
        emitCells(CellCoordinates::Whole);
    }

    // Pass 2: on exactly the pixels of pass 1, result = 2 x shading x tint x ground.
    glDisable(GL_ALPHA_TEST);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_EQUAL);
    glEnable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(shadingTexture));
    glBlendFunc(GL_DST_COLOR, GL_SRC_COLOR);
    glColor3f(tint[0], tint[1], tint[2]);
    if (lists != 0) {
        glCallList(lists + 1);
    } else {
        emitCells(CellCoordinates::Stretched);
    }
}
