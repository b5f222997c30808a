#include "game/assets/TextureManager.h"

#include "game/assets/DataArchive.h"
#include "game/assets/PngCheck.h"

#include <GL/glu.h>
#include <IL/il.h>

#include <cstring>

CTextureManager textureManager;

namespace {

// The decoder for a name, or IL_TYPE_UNKNOWN.
ILenum decoderFor(const char* name) {
    if (std::strstr(name, ".png") != nullptr) {
        return IL_PNG;
    }
    if (std::strstr(name, ".bmp") != nullptr) {
        return IL_BMP;
    }
    if (std::strstr(name, ".jpg") != nullptr) {
        return IL_JPG;
    }
    return IL_TYPE_UNKNOWN;
}

char* copyOf(const char* s) {
    size_t n = std::strlen(s) + 1;
    char* c = new char[n];
    std::memcpy(c, s, n);
    return c;
}

// Decodes the archive's current entry into the bound DevIL image as RGBA bytes.
bool decodeEntry(ILenum type) {
    // Every decoder gets the entry's real size, so a damaged image cannot be read past its end.
    const unsigned char* data = dataArchive->getData();
    size_t size = dataArchive->getSize();
    if (type == IL_PNG && !pngIsWhole(data, size)) {
        return false;
    }
    if (!ilLoadL(type, data, static_cast<ILuint>(size))) {
        return false;
    }
    return ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE) == IL_TRUE;
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
    ilInit();
    // Rows are handed to GL bottom first, so texture coordinate t = 1 is the top of the image
    // whatever order the file stores its rows in.
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ILenum type = decoderFor(name);
    bool decoded = dataArchive != nullptr && dataArchive->readFile(name) &&
                   type != IL_TYPE_UNKNOWN && decodeEntry(type);
    if (decoded) {
        slot = claimSlot(name);
    }
    if (slot >= 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                        mipmap ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
        GLint width = ilGetInteger(IL_IMAGE_WIDTH), height = ilGetInteger(IL_IMAGE_HEIGHT);
        GLint bpp = ilGetInteger(IL_IMAGE_BPP);
        auto format = static_cast<GLenum>(ilGetInteger(IL_IMAGE_FORMAT));
        if (mipmap) {
            gluBuild2DMipmaps(GL_TEXTURE_2D, bpp, width, height, format, GL_UNSIGNED_BYTE,
                              ilGetData());
        } else {
            glTexImage2D(GL_TEXTURE_2D, 0, bpp, width, height, 0, format, GL_UNSIGNED_BYTE,
                         ilGetData());
        }
        slots[slot].refs = 1;
    }
    // The pixels are in GL now (or nothing was made); the DevIL image is not kept.
    ilDeleteImages(1, &image);
    return slot >= 0;
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
