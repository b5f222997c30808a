// The game's on-screen text: a 16 x 16 grid of glyphs in the texture "font2.png", one display
// list per glyph. Positions are given in a 640 x 480 space with the origin at the bottom left,
// whatever the window size. Glyphs 0..127 form set 0 and 128..255 set 1; glyph 0 of a set is
// the character code 32 (space). A glyph is drawn 16 units wide and advances the pen 10.
// Construction and destruction need a current GL context.
#pragma once

#include <GL/gl.h>

class CTextureFont {
  public:
    static constexpr int kGlyphs = 256;
    static constexpr int kGlyphSize = 16;
    static constexpr int kAdvance = 10;
    static constexpr int kScreenWidth = 640;
    static constexpr int kScreenHeight = 480;

    // Builds the font with its texture; throws "Couldn't load CTextureFont Font texture: " and
    // the reason (a std::string) when the texture cannot be loaded.
    CTextureFont();
    // Builds the lists only (no texture is loaded or bound); for drawing the geometry alone.
    explicit CTextureFont(bool loadTexture);
    virtual ~CTextureFont();
    CTextureFont(const CTextureFont&) = delete;
    CTextureFont& operator=(const CTextureFont&) = delete;

    void buildFont(bool loadTexture);
    // Draws text with its first glyph cell's lower-left corner at (x, y). set 0 or 1 (above 1
    // counts as 1); use2D 1 draws in the 640 x 480 space, anything else in the caller's
    // current projection; alphaBlend non-zero blends over, zero adds. Every GL state the call
    // changes is restored. Control codes and bytes whose glyph would lie past the font's 256
    // lists are drawn as a blank.
    void print(int x, int y, const char* text, int set, int use2D, int alphaBlend);
    // Enter and leave the 640 x 480 space (projection and model-view pushed, then popped).
    void begin2D();
    void end2D();

    GLuint listBase() const { return base; }
    int textureSlot() const { return fontTexture; }

  private:
    GLuint base = 0;
    int fontTexture = -1;
};

// The font every part of the game prints with, while the scene director has it.
extern CTextureFont* hudFont;
