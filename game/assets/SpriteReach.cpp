#include "game/assets/SpriteReach.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

void SpriteReach::measureBoundTexture() {
    std::vector<uint8_t> pixels;
    for (GLint level = 0;; ++level) {
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        if (width <= 0 || height <= 0) {
            return;
        }
        pixels.assign(static_cast<size_t>(width) * height * 4, 0);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glPopClientAttrib();
        addLevel(pixels.data(), width, height);
    }
}

void SpriteReach::addLevel(const uint8_t* rgba, int width, int height) {
    if (rgba == nullptr || width <= 0 || height <= 0) {
        return;
    }
    const float texelX = 2.0f / static_cast<float>(width);
    const float texelY = 2.0f / static_cast<float>(height);
    // A filtered sample mixes texels whose centres lie within a texel of it on each axis.
    const float margin = std::sqrt(texelX * texelX + texelY * texelY);
    for (int y = 0; y < height; ++y) {
        const float cy = (static_cast<float>(y) + 0.5f) * texelY - 1.0f;
        for (int x = 0; x < width; ++x) {
            const float cx = (static_cast<float>(x) + 0.5f) * texelX - 1.0f;
            const uint8_t alpha = rgba[(static_cast<size_t>(y) * width + x) * 4 + 3];
            float& far = farthest[alpha];
            far = std::max(far, std::sqrt(cx * cx + cy * cy) + margin);
        }
    }
    measured = true;
}

float SpriteReach::beyondByte(int t) const {
    if (!measured) {
        return kSquare;
    }
    float reach = 0.0f;
    for (int a = std::max(t + 1, 0); a < 256; ++a) {
        reach = std::max(reach, farthest[size_t(a)]);
    }
    return std::min(reach, kSquare);
}

// A filtered alpha lies between the alphas of the texels it mixes.
float SpriteReach::above(float ref) const {
    return beyondByte(static_cast<int>(std::floor(std::clamp(ref, 0.0f, 1.0f) * 255.0f)));
}

float SpriteReach::atLeast(float ref) const {
    return beyondByte(static_cast<int>(std::ceil(std::clamp(ref, 0.0f, 1.0f) * 255.0f)) - 1);
}

float SpriteReach::underAlphaTest() const {
    if (glIsEnabled(GL_ALPHA_TEST) != GL_TRUE) {
        return kSquare;
    }
    GLint function = GL_ALWAYS;
    GLfloat ref = 0.0f;
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &function);
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    switch (function) {
    case GL_GREATER:
        return above(ref);
    case GL_GEQUAL:
        return atLeast(ref);
    default:
        return kSquare;
    }
}

SpriteReach::Quads SpriteReach::octagon(float apothem) {
    // Edges at w from the centre along the axes and the diagonals' at the apothem: the regular
    // octagon up to an apothem of 1, then the square with its corners cut off.
    const float w = std::min(apothem, 1.0f);
    const float t = std::min(apothem * 1.41421356f - w, w);
    return {{{-t, -w},
             {t, -w},
             {w, -t},
             {-w, -t}, //
             {-w, -t},
             {w, -t},
             {w, t},
             {-w, t}, //
             {-w, t},
             {w, t},
             {t, w},
             {-t, w}}};
}
