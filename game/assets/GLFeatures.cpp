#include "game/assets/GLFeatures.h"

#include <GL/gl.h>

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
