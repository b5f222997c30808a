// A GL context on a small window that is never shown, for tests that upload textures.
#pragma once

#include "platform/window/GLContext.h"
#include "platform/window/Window.h"

namespace testsupport {

class OffscreenGL {
  public:
    // Creates and makes current; ok() tells whether that worked.
    OffscreenGL();
    ~OffscreenGL();
    OffscreenGL(const OffscreenGL&) = delete;
    OffscreenGL& operator=(const OffscreenGL&) = delete;
    bool ok() const { return context != nullptr; }

  private:
    HWND window = nullptr;
    HGLRC context = nullptr;
};

} // namespace testsupport
