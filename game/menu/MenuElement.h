// One image of the 3D menu: a textured quad centred on its position in the 1024 x 1024
// overlay, optionally a button with a hit box, drawn 1.2 times larger while hovered and with a
// check mark beside it while selected.
#pragma once

#include <GL/gl.h>

struct MenuElement {
    int texture = -1; // texture manager slot
    float hitHalfWidth = 0.0f;
    float hitHalfHeight = 0.0f;
    float halfWidth = 0.0f;
    float halfHeight = 0.0f;
    float hoverScale[2] = {1.0f, 1.0f};
    float enlarge[2] = {1.2f, 1.2f};
    float colour[3] = {1.0f, 1.0f, 1.0f};
    float alpha = 1.0f;
    float position[3] = {0.0f, 0.0f, 0.0f};
    int visible = 1;
    int selected = 0;
    float checkPosition[3] = {0.0f, 0.0f, 0.0f};
    int dragging = 0;
    // Whether the pointer is marked as over this knob (for the hand cursor).
    bool hovering = false;

    // Centre, half-height and aspect (half-width = half-height x aspect), hit box half sizes.
    void place(float x, float y, float z, float halfH, float aspect, float hitW = 0.0f,
               float hitH = 0.0f);
    // How far left of the element the check mark sits.
    void setCheckOffset(float left);

    // Inside the hit box (elements without one are never hit).
    bool hit(float x, float y) const;
    // The same test, setting the hover scale to the enlarge factors on success and back to
    // 1 otherwise.
    bool hover(float x, float y);
    // Draws the quad along the model-view matrix's right and up vectors with texture rows t0
    // (bottom) to t1 (top), colour (1, 1, 1, alpha).
    void draw(float t0 = 0.0f, float t1 = 1.0f) const;
    // Draws check at this element's check position when selected.
    void drawCheck(const MenuElement& check) const;
};
