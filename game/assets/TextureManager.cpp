#include "game/assets/TextureManager.h"

#include "game/assets/DataArchive.h"
#include "game/assets/ImageDecode.h"

#include <GL/glu.h>

#include <cstdint>
#include <cstring>
#include <string>

CTextureManager textureManager;

namespace {

char* copyOf(const char* s) {
    size_t n = std::strlen(s) + 1;
    char* c = new char[n];
    std::memcpy(c, s, n);
    return c;
}

// Forgets GL errors of earlier calls, so that the next check sees this load's.
void clearGLErrors() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

uint32_t largestTextureSide() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side > 0 ? static_cast<uint32_t>(side) : 0;
}

} // namespace

CTextureManager::CTextureManager() : slots(new TextureSlot[kSlots]) {}

CTextureManager::~CTextureManager() {
    clearAll();
    delete[] slots;
}

int CTextureManager::findTexture(const char* name) const {
    for (int i = 0; i < kSlots; ++i) {
        if (slots[i].name != nullptr && std::strcmp(slots[i].name, name) == 0) {
            return i;
        }
    }
    return -1;
}

int CTextureManager::findFreeSlot() const {
    for (int i = 0; i < kSlots; ++i) {
        if (slots[i].name == nullptr) {
            return i;
        }
    }
    return -1;
}

int CTextureManager::claimSlot(const char* name) {
    int slot = findFreeSlot();
    if (slot < 0) {
        return -1;
    }
    glGenTextures(1, &slots[slot].glName);
    slots[slot].name = copyOf(name);
    glBindTexture(GL_TEXTURE_2D, slots[slot].glName);
    return slot;
}

bool CTextureManager::loadTexture(const char* name, int& slot, GLint wrap, bool mipmap) {
    slot = findTexture(name);
    if (slot >= 0) {
        ++slots[slot].refs;
        return true;
    }
    error.clear();
    ImageKind kind = ImageKind::Png;
    if (!imageKindFor(name, &kind)) {
        error = std::string(name) + ": not a .png, .bmp or .jpg image";
        return false;
    }
    if (dataArchive == nullptr) {
        error = std::string(name) + ": no data archive is open";
        return false;
    }
    if (!dataArchive->readFile(name)) {
        error = dataArchive->lastError();
        return false;
    }
    DecodedImage image;
    std::string why;
    if (!decodeImage(kind, dataArchive->getData(), dataArchive->getSize(), largestTextureSide(),
                     &image, &why)) {
        error = std::string(name) + ": " + why;
        return false;
    }
    slot = claimSlot(name);
    if (slot < 0) {
        error = std::string(name) + ": all " + std::to_string(kSlots) + " texture slots are in use";
        return false;
    }
    clearGLErrors();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    mipmap ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    auto width = static_cast<GLint>(image.width), height = static_cast<GLint>(image.height);
    // The pixels were decoded as RGBA bytes, bottom row first.
    bool made = true;
    if (mipmap) {
        made = gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                                 image.rgba.data()) == 0;
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     image.rgba.data());
    }
    GLenum glError = glGetError();
    if (!made || glError != GL_NO_ERROR) {
        // GL refused the texture: the load fails and the slot is given back.
        freeSlot(slot);
        slot = -1;
        error = std::string(name) + ": GL refused a texture of " + std::to_string(width) + " x " +
                std::to_string(height) + " pixels (error " + std::to_string(glError) + ")";
        return false;
    }
    slots[slot].refs = 1;
    return true;
}

bool CTextureManager::createTexture(const char* name, int width, int height, GLenum format,
                                    const unsigned char* pixels, int& slot) {
    slot = findTexture(name);
    if (slot >= 0) {
        ++slots[slot].refs;
        return true;
    }
    slot = claimSlot(name);
    if (slot < 0) {
        return false;
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    slots[slot].refs = 1;
    return true;
}

GLuint CTextureManager::getGLName(int slot) const {
    return slot >= 0 && slot < kSlots ? slots[slot].glName : 0;
}

int CTextureManager::refs(int slot) const {
    return slot >= 0 && slot < kSlots ? slots[slot].refs : 0;
}

bool CTextureManager::releaseTexture(int slot) {
    if (slot < 0 || slot >= kSlots) {
        return false;
    }
    if (slots[slot].refs > 0) {
        --slots[slot].refs;
    }
    if (slots[slot].refs > 0) {
        return true;
    }
    return freeSlot(slot);
}

bool CTextureManager::freeSlot(int slot) {
    if (slot < 0 || slot >= kSlots) {
        return false;
    }
    delete[] slots[slot].name;
    slots[slot].name = nullptr;
    if (slots[slot].glName != 0 && glIsTexture(slots[slot].glName) == GL_TRUE) {
        glDeleteTextures(1, &slots[slot].glName);
    }
    return true;
}

void CTextureManager::clearAll() {
    for (int i = 0; i < kSlots; ++i) {
        freeSlot(i);
    }
}
