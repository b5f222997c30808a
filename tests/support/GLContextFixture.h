// A GL context on a small window that is never shown, for tests that upload textures or
// read GL state back.
#pragma once

#include "platform/window/GLContext.h"
#include "platform/window/Window.h"

#include <gtest/gtest.h>

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

// The window's 64 x 64 pixels as the viewport, a 90-degree square view (near 1, far 5000) and
// the eye at the origin looking down -z: at distance d a unit spans 32 / d pixels.
void squareCamera();

// A test suite that shares one GL context among its tests.
class GLTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        gl = new OffscreenGL;
        ASSERT_TRUE(gl->ok());
    }
    static void TearDownTestSuite() {
        delete gl;
        gl = nullptr;
    }
    static inline OffscreenGL* gl = nullptr;
};

} // namespace testsupport
