// The framebuffer-object entry points are core since OpenGL 3.0 and exported by the GL
// library; glHasFramebufferObjects checks at run time that the context offers them.
#define GL_GLEXT_PROTOTYPES 1
#include "game/assets/Impostor.h"

#include "game/assets/TextureManager.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <cstddef>
#include <vector>

CImpostor::~CImpostor() {
    if (impostorTexture >= 0) {
        textureManager.releaseTexture(impostorTexture);
    }
    releaseOffscreen();
}

void CImpostor::releaseOffscreen() {
    if (framebuffer != 0) {
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &colourBuffer);
        framebuffer = colourBuffer = 0;
    }
}

bool CImpostor::bindOffscreen(int size) {
    if (!allowOffscreen || offscreenFailed) {
        return false;
    }
    if (offscreenSize != size) {
        releaseOffscreen();
    }
    if (framebuffer == 0 && !glHasFramebufferObjects()) {
        offscreenFailed = true;
        return false;
    }
    previousFramebuffers.save();
    if (framebuffer == 0) {
        // Colour only: what a capture draws never needs a depth buffer of its own, and a
        // colour-only target is cheaper for software GL to clear and copy.
        glGenRenderbuffers(1, &colourBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, size, size);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  colourBuffer);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            previousFramebuffers.restore();
            releaseOffscreen();
            offscreenFailed = true;
            return false;
        }
        offscreenSize = size;
    } else {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    }
    return true;
}

bool CImpostor::createImpostorTexture(const char* name, int size) {
    // Transparent from the start, so nothing undefined can show before the first capture.
    std::vector<unsigned char> clear(static_cast<size_t>(size) * size * 4, 0);
    return textureManager.createTexture(name, size, size, GL_RGBA, clear.data(), impostorTexture);
}

void CImpostor::beginCapture(const Vector3& position, float distance, int size) {
    glGetIntegerv(GL_VIEWPORT, viewport);
    // The world origin is the fixed point the clouds are seen and sorted from.
    Vector3 eye = normalized(position) * distance;

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 1.0, 1000.0);

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    Vector3 up{m[1], m[5], m[9]};
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, 0.0, 0.0, 0.0, up.x, up.y, up.z);

    offscreen = bindOffscreen(size);
    glViewport(0, 0, size, size);
    glEnable(GL_DEPTH_TEST);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, savedClearColour);
    glClearColor(0.0f, 0.0f, 0.21f, 0.0f);
    // In the frame buffer, the whole of it: software GL clears it faster than a scissored
    // corner, and the sky covers every pixel of the frame afterwards.
    glClear(offscreen ? GL_COLOR_BUFFER_BIT : GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(savedClearColour[0], savedClearColour[1], savedClearColour[2],
                 savedClearColour[3]);
}

void CImpostor::endCapture(int size) {
    glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(impostorTexture));
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, size, size);
    if (offscreen) {
        previousFramebuffers.restore();
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}
