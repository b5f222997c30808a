// The framebuffer-object entry points are core since OpenGL 3.0 and exported by the GL
// library; FramebufferBindings is only used where glHasFramebufferObjects said so.
#define GL_GLEXT_PROTOTYPES 1
#include "game/assets/GLFeatures.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>

namespace {

int glMajorVersion() {
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0;
    if (version == nullptr || std::sscanf(version, "%d", &major) != 1) {
        return 0;
    }
    return major;
}

} // namespace

bool glHasFramebufferObjects() {
    if (glMajorVersion() >= 3) {
        return true;
    }
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return extensions != nullptr && std::strstr(extensions, "GL_ARB_framebuffer_object") != nullptr;
}

bool glHasShaders() {
    return glMajorVersion() >= 2;
}

void FramebufferBindings::save() {
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
}

void FramebufferBindings::restore() const {
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
}
