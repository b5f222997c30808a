#include "game/assets/TextureFont.h"

#include "game/assets/TextureManager.h"

#include <cstring>
#include <string>
#include <vector>

CTextureFont* hudFont = nullptr;

namespace {

constexpr float kCell = 1.0f / 16.0f;

} // namespace

CTextureFont::CTextureFont() {
    buildFont(true);
}

CTextureFont::CTextureFont(bool loadTexture) {
    buildFont(loadTexture);
}

CTextureFont::~CTextureFont() {
    if (base != 0) {
        glDeleteLists(base, kGlyphs);
    }
    if (fontTexture >= 0) {
        textureManager.releaseTexture(fontTexture);
    }
}

void CTextureFont::buildFont(bool loadTexture) {
    base = glGenLists(kGlyphs);
    if (loadTexture) {
        if (!textureManager.loadTexture("font2.png", fontTexture, GL_CLAMP_TO_EDGE, true)) {
            fontTexture = -1;
            throw std::string("Couldn't load CTextureFont Font texture: ") +
                textureManager.loadError();
        }
        glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(fontTexture));
    }
    for (int g = 0; g < kGlyphs; ++g) {
        float cx = static_cast<float>(g % 16) / 16.0f;
        float cy = static_cast<float>(g / 16) / 16.0f;
        glNewList(base + static_cast<GLuint>(g), GL_COMPILE);
        glBegin(GL_QUADS);
        glTexCoord2f(cx, 1.0f - cy - kCell);
        glVertex2i(0, 0);
        glTexCoord2f(cx + kCell, 1.0f - cy - kCell);
        glVertex2i(kGlyphSize, 0);
        glTexCoord2f(cx + kCell, 1.0f - cy);
        glVertex2i(kGlyphSize, kGlyphSize);
        glTexCoord2f(cx, 1.0f - cy);
        glVertex2i(0, kGlyphSize);
        glEnd();
        glTranslated(kAdvance, 0, 0);
        glEndList();
    }
}

void CTextureFont::print(int x, int y, const char* text, int set, int use2D, int alphaBlend) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, alphaBlend != 0 ? GL_ONE_MINUS_SRC_ALPHA : GL_ONE);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 0.0f, 0.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(fontTexture));
    if (use2D == 1) {
        begin2D();
    }
    glPushMatrix();
    glTranslated(x, y, 0);
    int s = set > 1 ? 1 : set < 0 ? 0 : set;
    // The list called for byte c is base - 32 + 128 * set + c. Control codes, and bytes that
    // would call a list past the font's own (high bytes in set 1), are drawn as the set's
    // blank glyph instead of another glyph or someone else's display list.
    size_t length = text != nullptr ? std::strlen(text) : 0;
    if (length > 0) {
        std::vector<unsigned char> codes(length);
        for (size_t i = 0; i < length; ++i) {
            int c = static_cast<unsigned char>(text[i]);
            int glyph = c - 32 + 128 * s;
            codes[i] = static_cast<unsigned char>(c < 32 || glyph >= kGlyphs ? 32 : c);
        }
        glListBase(base - 32 + 128 * static_cast<GLuint>(s));
        glCallLists(static_cast<GLsizei>(length), GL_UNSIGNED_BYTE, codes.data());
    }
    glPopMatrix();
    if (use2D == 1) {
        end2D();
    }
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_LIGHTING);
    glPopAttrib();
}

void CTextureFont::begin2D() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, kScreenWidth, 0, kScreenHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void CTextureFont::end2D() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}
