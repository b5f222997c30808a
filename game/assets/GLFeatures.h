// What the current GL context offers beyond OpenGL 1.1, asked at run time.
#pragma once

// Framebuffer objects: core since OpenGL 3.0, or the ARB_framebuffer_object extension.
bool glHasFramebufferObjects();
// The OpenGL Shading Language: core since OpenGL 2.0.
bool glHasShaders();
