#include "game/assets/SplatTexture.h"

#include "game/assets/TextureManager.h"

#include <cmath>
#include <vector>

void buildSplatPixels(unsigned char* rgba) {
    for (int row = 0; row < kSplatSize; ++row) {
        for (int col = 0; col < kSplatSize; ++col) {
            float x = -1.0f + 2.0f * static_cast<float>(col) / kSplatSize;
            float y = -1.0f + 2.0f * static_cast<float>(row) / kSplatSize;
            float d = std::sqrt(x * x + y * y);
            if (d >= 1.0f) {
                d = 1.0f;
            }
            float v = 0.4f * (2.0f * d * d * d - 3.0f * d * d + 1.0f);
            auto b = static_cast<unsigned char>(v * 255.0f);
            unsigned char* texel = rgba + 4 * (row * kSplatSize + col);
            texel[0] = texel[1] = texel[2] = texel[3] = b;
        }
    }
}

int makeSplatTexture() {
    std::vector<unsigned char> pixels(kSplatSize * kSplatSize * 4);
    buildSplatPixels(pixels.data());
    int slot = -1;
    if (!textureManager.createTexture(kSplatName, kSplatSize, kSplatSize, GL_RGBA, pixels.data(),
                                      slot)) {
        return -1;
    }
    return slot;
}
