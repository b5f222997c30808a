// The framebuffer-object and shader entry points are core in OpenGL 3.0 and 2.0 and exported
// by the GL library; prepare checks at run time that the context offers them.
#define GL_GLEXT_PROTOTYPES 1
#include "game/assets/CoarseLayer.h"

#include "game/assets/GLFeatures.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>

namespace {

// The tile size of software GL's threads (see begin).
constexpr int kTile = 64;

const char* const kVertexShader = "#version 110\n"
                                  "void main() {\n"
                                  "    gl_TexCoord[0] = gl_MultiTexCoord0;\n"
                                  "    gl_Position = ftransform();\n"
                                  "}\n";

// The layer's colour is premultiplied; where the sprites left none, nothing is written.
// Elsewhere the fragment takes the nearest of the sprites' depths that the colour's filtering
// reached (the four texels around it), and the window's depth test then hides the sprites
// behind what the window holds, pixel by pixel.
const char* const kFragmentShader =
    "#version 110\n"
    "uniform sampler2D colour;\n"
    "uniform sampler2D depth;\n"
    "uniform vec2 texel;\n"
    "void main() {\n"
    "    vec2 st = gl_TexCoord[0].st;\n"
    "    vec4 c = texture2D(colour, st);\n"
    "    if (c.a <= 0.0) discard;\n"
    "    vec2 h = 0.5 * texel;\n"
    "    vec2 g = vec2(h.x, -h.y);\n"
    "    float d = min(min(texture2D(depth, st - h).r, texture2D(depth, st + g).r),\n"
    "                  min(texture2D(depth, st - g).r, texture2D(depth, st + h).r));\n"
    "    gl_FragColor = c;\n"
    "    gl_FragDepth = d;\n"
    "}\n";

GLuint compile(GLenum kind, const char* source) {
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

void makeTexture(GLuint texture, GLint format, int w, int h, GLenum pixelFormat, GLenum type,
                 GLint filter) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, format, w, h, 0, pixelFormat, type, nullptr);
}

} // namespace

CCoarseLayer::~CCoarseLayer() {
    release();
    if (program != 0) {
        glDeleteProgram(program);
    }
}

void CCoarseLayer::release() {
    if (framebuffer != 0) {
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &colourTexture);
        glDeleteTextures(1, &depthTexture);
        framebuffer = colourTexture = depthTexture = 0;
    }
}

bool CCoarseLayer::buildProgram() {
    GLuint vertex = compile(GL_VERTEX_SHADER, kVertexShader);
    GLuint fragment = compile(GL_FRAGMENT_SHADER, kFragmentShader);
    if (vertex == 0 || fragment == 0) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return false;
    }
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        glDeleteProgram(program);
        program = 0;
        return false;
    }
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "colour"), 0);
    glUniform1i(glGetUniformLocation(program, "depth"), 1);
    glUseProgram(static_cast<GLuint>(previous));
    return true;
}

bool CCoarseLayer::prepare(int width, int height) {
    if (framebuffer != 0 && viewportSize[0] == width && viewportSize[1] == height) {
        return true;
    }
    release();
    if (program == 0 && !(glHasFramebufferObjects() && glHasShaders() && buildProgram())) {
        failed = true;
        return false;
    }
    const int w = (width + 1) / 2 + kTile, h = (height + 1) / 2 + kTile;
    GLint previousTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    FramebufferBindings previous;
    previous.save();
    glGenTextures(1, &colourTexture);
    glGenTextures(1, &depthTexture);
    makeTexture(colourTexture, GL_RGBA8, w, h, GL_RGBA, GL_UNSIGNED_BYTE, GL_LINEAR);
    makeTexture(depthTexture, GL_DEPTH_COMPONENT24, w, h, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT,
                GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colourTexture, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthTexture, 0);
    bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    previous.restore();
    if (!complete) {
        release();
        failed = true;
        return false;
    }
    viewportSize[0] = width;
    viewportSize[1] = height;
    layerSize[0] = w;
    layerSize[1] = h;
    GLint previousProgram = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previousProgram);
    glUseProgram(program);
    glUniform2f(glGetUniformLocation(program, "texel"), 1.0f / static_cast<float>(w),
                1.0f / static_cast<float>(h));
    glUseProgram(static_cast<GLuint>(previousProgram));
    return true;
}

int CCoarseLayer::divisorFor(double meanSide) {
    return meanSide >= 64.0 ? 8 : meanSide >= 40.0 ? 4 : 2;
}

bool CCoarseLayer::begin(const int rect[4], int divisor, Blend blend, bool writeDepth) {
    bound = false;
    if (!allow || failed) {
        return false;
    }
    glGetIntegerv(GL_VIEWPORT, savedViewport);
    const int vx = savedViewport[0], vy = savedViewport[1];
    const int vw = savedViewport[2], vh = savedViewport[3];
    if (vw <= 0 || vh <= 0 || !prepare(vw, vh)) {
        return false;
    }
    // The layer's rectangle: the asked one at the layer's size, in whole texels.
    const int k = divisor == 8 ? 8 : divisor == 4 ? 4 : 2;
    divisorUsed = k;
    const int lw = (vw + k - 1) / k, lh = (vh + k - 1) / k;
    auto toLayer = [](int window, int origin, int size, int layer, bool up) {
        double at = static_cast<double>(window - origin) * layer / size;
        return static_cast<int>(up ? std::ceil(at) : std::floor(at));
    };
    const int lx0 = std::max(toLayer(rect[0], vx, vw, lw, false), 0);
    const int ly0 = std::max(toLayer(rect[1], vy, vh, lh, false), 0);
    const int lx1 = std::min(toLayer(rect[0] + rect[2], vx, vw, lw, true), lw);
    const int ly1 = std::min(toLayer(rect[1] + rect[3], vy, vh, lh, true), lh);
    if (lx0 >= lx1 || ly0 >= ly1) {
        return false;
    }
    // Software GL shares a frame out among its threads by tiles of 64 x 64 pixels. Sprites
    // heaped in a small rectangle would mostly fall in one tile, and so to one thread: the
    // layer is shifted so that the rectangle's middle falls on a corner where four tiles meet.
    const int ox = (kTile - ((lx0 + lx1) / 2) % kTile) % kTile;
    const int oy = (kTile - ((ly0 + ly1) / 2) % kTile) % kTile;
    layerRect[0] = lx0 + ox;
    layerRect[1] = ly0 + oy;
    layerRect[2] = lx1 + ox;
    layerRect[3] = ly1 + oy;
    windowRect[0] = vx + lx0 * vw / lw;
    windowRect[1] = vy + ly0 * vh / lh;
    windowRect[2] = vx + lx1 * vw / lw;
    windowRect[3] = vy + ly1 * vh / lh;
    // Cleared one texel wider on every side, so that the composite's filtering at its edges
    // reads cleared texels only.
    const int cx0 = std::max(lx0 - 1, 0), cy0 = std::max(ly0 - 1, 0);
    const int cx1 = std::min(lx1 + 1, lw), cy1 = std::min(ly1 + 1, lh);

    previousFramebuffers.save();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_SCISSOR_BIT |
                 GL_VIEWPORT_BIT);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    // The clear keeps to the layer's rectangle, and so do the sprites.
    glEnable(GL_SCISSOR_TEST);
    glScissor(cx0 + ox, cy0 + oy, cx1 - cx0, cy1 - cy0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(ox, oy, lw, lh);
    glEnable(GL_BLEND);
    blendUsed = blend;
    writeDepthUsed = writeDepth;
    if (blend == Blend::Add) {
        // The colours' sum, as the window would take it; the alphas' sum marks the sprites.
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE);
    } else {
        // Colour premultiplied as it builds up; alpha the share of what lies behind that the
        // sprites cover.
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    }
    bound = true;
    return true;
}

void CCoarseLayer::end() {
    previousFramebuffers.restore();
    glViewport(savedViewport[0], savedViewport[1], savedViewport[2], savedViewport[3]);
    glDisable(GL_SCISSOR_TEST);
    composite();
    glPopAttrib();
}

void CCoarseLayer::composite() {
    GLint previousProgram = 0, activeUnit = GL_TEXTURE0, texture0 = 0, texture1 = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previousProgram);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    glActiveTexture(GL_TEXTURE1);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture1);
    glBindTexture(GL_TEXTURE_2D, depthTexture);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture0);
    glBindTexture(GL_TEXTURE_2D, colourTexture);

    glUseProgram(program);
    // The window's own depth test (the caller's function) decides, and the sprites' depth is
    // written where they show, unless begin was asked to keep the window's depth.
    glEnable(GL_DEPTH_TEST);
    glDepthMask(writeDepthUsed ? GL_TRUE : GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, blendUsed == Blend::Add ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);

    const int vx = savedViewport[0], vy = savedViewport[1];
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, savedViewport[2], 0.0, savedViewport[3], -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const auto x0 = static_cast<float>(windowRect[0] - vx),
               y0 = static_cast<float>(windowRect[1] - vy);
    const auto x1 = static_cast<float>(windowRect[2] - vx),
               y1 = static_cast<float>(windowRect[3] - vy);
    const float s0 = static_cast<float>(layerRect[0]) / static_cast<float>(layerSize[0]);
    const float t0 = static_cast<float>(layerRect[1]) / static_cast<float>(layerSize[1]);
    const float s1 = static_cast<float>(layerRect[2]) / static_cast<float>(layerSize[0]);
    const float t1 = static_cast<float>(layerRect[3]) / static_cast<float>(layerSize[1]);
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex2f(x0, y0);
    glTexCoord2f(s1, t0);
    glVertex2f(x1, y0);
    glTexCoord2f(s1, t1);
    glVertex2f(x1, y1);
    glTexCoord2f(s0, t1);
    glVertex2f(x0, y1);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    glUseProgram(static_cast<GLuint>(previousProgram));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture0));
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture1));
    glActiveTexture(static_cast<GLenum>(activeUnit));
}
