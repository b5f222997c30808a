// What the current GL context offers beyond OpenGL 1.1, asked at run time, and the framebuffer
// bindings a drawing routine puts back after drawing off-screen.
#pragma once

// Framebuffer objects: core since OpenGL 3.0, or the ARB_framebuffer_object extension.
bool glHasFramebufferObjects();
// The OpenGL Shading Language: core since OpenGL 2.0.
bool glHasShaders();

// The draw and read framebuffers bound when save was called; restore binds them again.
struct FramebufferBindings {
    int draw = 0;
    int read = 0;
    void save();
    void restore() const;
};
