#include "game/safety/GLFlashGuard.h"

#include <GL/gl.h>

#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif

namespace safety {

GLFlashGuard::GLFlashGuard(const FlashRules& r) : rules(r) {}
GLFlashGuard::~GLFlashGuard() = default;

void GLFlashGuard::setEnabled(bool enable) {
    if (on != enable) {
        guard.reset();
    }
    on = enable;
}

bool GLFlashGuard::guardBackBuffer(double dt) {
    if (!on) {
        return false;
    }
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2], height = viewport[3];
    if (width < kGridCells || height < kGridCells) {
        return false;
    }
    if (!guard || guard->pattern().width() != width || guard->pattern().height() != height) {
        guard = std::make_unique<FlashGuard>(width, height, rules);
    }
    readSamples(viewport[0], viewport[1]);
    ++guarded;
    if (!guard->guardFrame(samples, dt)) {
        return false;
    }
    drawSoftening();
    ++softened;
    return true;
}

void GLFlashGuard::readSamples(int x, int y) {
    const SamplePattern& pattern = guard->pattern();
    const int width = pattern.width();
    frame.resize(static_cast<size_t>(width) * 4 * pattern.rows().size());
    samples.resize(static_cast<size_t>(pattern.samples()) * 3);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPushAttrib(GL_PIXEL_MODE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadBuffer(GL_BACK);
    // The sampled rows only, one read each: the rows between them are never fetched.
    uint8_t* row = frame.data();
    for (int r : pattern.rows()) {
        glReadPixels(x, y + r, width, 1, GL_BGRA, GL_UNSIGNED_BYTE, row);
        row += static_cast<size_t>(width) * 4;
    }
    glPopAttrib();
    glPopClientAttrib();
    uint8_t* s = samples.data();
    row = frame.data();
    for (size_t r = 0; r < pattern.rows().size(); ++r, row += static_cast<size_t>(width) * 4) {
        for (int c : pattern.columns()) {
            const uint8_t* p = row + static_cast<size_t>(c) * 4;
            s[0] = p[2];
            s[1] = p[1];
            s[2] = p[0];
            s += 3;
        }
    }
}

void GLFlashGuard::drawSoftening() const {
    const SamplePattern& pattern = guard->pattern();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT |
                 GL_LIGHTING_BIT | GL_POLYGON_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_FOG);
    glDisable(GL_DITHER);
    glDepthMask(GL_FALSE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // The viewport's pixels, bottom row first, as the samples were read.
    glOrtho(0, pattern.width(), 0, pattern.height(), -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // shown = P + shown x (1 - t): each corner's colour carries P, its alpha 1 - t, shaded
    // smoothly across the cell.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_SRC_ALPHA);
    const SofteningField& field = guard->softening();
    auto corner = [&](int x, int y, int px, int py) {
        const float* p = field.premultiplied(x, y);
        glColor4f(p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, 1.0f - field.share(x, y));
        glVertex2i(px, py);
    };
    // Each cell as the field's two triangles.
    glBegin(GL_TRIANGLES);
    for (int c = 0; c < kCells; ++c) {
        if (!field.touches(c)) {
            continue;
        }
        const int cx = c % kGridCells, cy = c / kGridCells;
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        pattern.cellBounds(c, x0, y0, x1, y1);
        corner(cx, cy, x0, y0);
        corner(cx + 1, cy, x1, y0);
        corner(cx + 1, cy + 1, x1, y1);
        corner(cx, cy, x0, y0);
        corner(cx + 1, cy + 1, x1, y1);
        corner(cx, cy + 1, x0, y1);
    }
    // Flat cells in their own colours alone.
    for (int c = 0; c < kCells; ++c) {
        if (!field.isFlat(c)) {
            continue;
        }
        const uint8_t* a = field.flatColour(c);
        glColor4f(a[0] / 255.0f, a[1] / 255.0f, a[2] / 255.0f, 0.0f);
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        pattern.cellBounds(c, x0, y0, x1, y1);
        glVertex2i(x0, y0);
        glVertex2i(x1, y0);
        glVertex2i(x1, y1);
        glVertex2i(x0, y0);
        glVertex2i(x1, y1);
        glVertex2i(x0, y1);
    }
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

} // namespace safety
