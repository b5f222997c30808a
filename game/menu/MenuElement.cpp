#include "game/menu/MenuElement.h"

#include "game/assets/TextureManager.h"

#include <cmath>

void MenuElement::place(float x, float y, float z, float halfH, float aspect, float hitW,
                        float hitH) {
    position[0] = x;
    position[1] = y;
    position[2] = z;
    halfHeight = halfH;
    halfWidth = halfH * aspect;
    hitHalfWidth = hitW;
    hitHalfHeight = hitH;
    checkPosition[0] = x;
    checkPosition[1] = y + 15.0f;
    checkPosition[2] = z;
}

void MenuElement::setCheckOffset(float left) {
    checkPosition[0] = position[0] - left;
}

bool MenuElement::hit(float x, float y) const {
    return hitHalfWidth > 0.0f && hitHalfHeight > 0.0f &&
           std::fabs(x - position[0]) <= hitHalfWidth &&
           std::fabs(y - position[1]) <= hitHalfHeight;
}

bool MenuElement::hover(float x, float y) {
    bool over = hit(x, y);
    hoverScale[0] = over ? enlarge[0] : 1.0f;
    hoverScale[1] = over ? enlarge[1] : 1.0f;
    return over;
}

namespace {

void quad(const float centre[3], float halfW, float halfH, float t0, float t1) {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // The rows of the rotation part are the camera's right and up vectors.
    const float right[3] = {m[0] * halfW, m[4] * halfW, m[8] * halfW};
    const float up[3] = {m[1] * halfH, m[5] * halfH, m[9] * halfH};
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, t0);
    glVertex3f(centre[0] - right[0] - up[0], centre[1] - right[1] - up[1],
               centre[2] - right[2] - up[2]);
    glTexCoord2f(1.0f, t0);
    glVertex3f(centre[0] + right[0] - up[0], centre[1] + right[1] - up[1],
               centre[2] + right[2] - up[2]);
    glTexCoord2f(1.0f, t1);
    glVertex3f(centre[0] + right[0] + up[0], centre[1] + right[1] + up[1],
               centre[2] + right[2] + up[2]);
    glTexCoord2f(0.0f, t1);
    glVertex3f(centre[0] - right[0] + up[0], centre[1] - right[1] + up[1],
               centre[2] - right[2] + up[2]);
    glEnd();
}

void drawTextured(int slot, const float centre[3], float halfW, float halfH, float alpha, float t0,
                  float t1) {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(slot));
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    quad(centre, halfW, halfH, t0, t1);
    glPopAttrib();
}

} // namespace

void MenuElement::draw(float t0, float t1) const {
    if (!visible) {
        return;
    }
    drawTextured(texture, position, halfWidth * hoverScale[0], halfHeight * hoverScale[1], alpha,
                 t0, t1);
}

void MenuElement::drawCheck(const MenuElement& check) const {
    if (!visible || !selected) {
        return;
    }
    drawTextured(check.texture, checkPosition, check.halfWidth, check.halfHeight, check.alpha, 0.0f,
                 1.0f);
}
