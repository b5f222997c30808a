// Every GL texture the game loads from an image or makes from pixels, shared by file name
// with a reference count in 100 fixed slots. Names compare byte for byte, letter case
// included. A slot index of -1 means no texture. Loads and frees need a current GL context.
#pragma once

#include <GL/gl.h>

#include <string>

class CTextureManager {
  public:
    static constexpr int kSlots = 100;

    CTextureManager();
    ~CTextureManager();
    CTextureManager(const CTextureManager&) = delete;
    CTextureManager& operator=(const CTextureManager&) = delete;

    // An image of the data archive, decoded by the extension found in its name (".png",
    // ".bmp", ".jpg", case-sensitive, in that order). wrap goes to both S and T; mipmap builds
    // mipmaps through GLU. A name already loaded gains a reference and ignores the rest.
    // False, with no slot taken and the reason in loadError, when the archive cannot give the
    // entry, the image fails its checks (see ImageCheck.h; no side larger than GL's maximum
    // texture size) or does not decode, or GL refuses the texture.
    bool loadTexture(const char* name, int& slot, GLint wrap, bool mipmap);
    // Why the last loadTexture failed: which file, and what was wrong with it.
    const std::string& loadError() const { return error; }
    // A texture from the caller's 8-bit pixels in the given GL format: RGBA8, linear, no
    // mipmaps, clamped to edge.
    bool createTexture(const char* name, int width, int height, GLenum format,
                       const unsigned char* pixels, int& slot);
    // 0 for -1 or any index out of range.
    GLuint getGLName(int slot) const;
    // Drops one reference; the last one frees the slot.
    bool releaseTexture(int slot);
    bool freeSlot(int slot);
    int findTexture(const char* name) const;
    int findFreeSlot() const;
    void clearAll();
    int refs(int slot) const;

  private:
    struct TextureSlot {
        GLuint glName = 0;
        char* name = nullptr;
        int refs = 0;
    };
    // Takes a free slot for name with a new GL texture bound; -1 when all are used.
    int claimSlot(const char* name);

    TextureSlot* slots;
    std::string error;
};

extern CTextureManager textureManager;
