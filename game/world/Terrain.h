// The ground: a 16 x 16 grid of height points from the archive's "TerrainHeightPoints.dat",
// drawn as 15 x 15 quads in two passes: the ground texture on every cell, then a shading
// texture stretched once over the grid and multiplied in twice over with the tint, so a tint
// (0, g, 0) shows only green and a smaller g (louder music) darkens it. Not a scene object:
// the director places the matrix and calls Draw every frame.
#pragma once

#include "game/assets/math/Vector3.h"

#include <GL/gl.h>

#include <cstddef>

class CTerrain {
  public:
    static constexpr int kPoints = 16;
    static constexpr float kSpacing = 64.0f * 5.0f;
    static constexpr float kHeightScale = 20.0f;
    static constexpr const char* kHeightFile = "TerrainHeightPoints.dat";

    // No textures, tint (0, 1, 0), the height points from the data archive.
    CTerrain();
    // Gives the texture references and the display lists back.
    ~CTerrain();
    CTerrain(const CTerrain&) = delete;
    CTerrain& operator=(const CTerrain&) = delete;

    // grid[i][j] = (320 i, 20 h, 320 j), h being float k = 16 i + j of the little-endian
    // data. Data missing or shorter than 256 floats gives a flat grid at height 0.
    void setHeights(const unsigned char* data, size_t size);
    // groundFile for every cell, then "terrainNormalMap.png" for the shading; throws
    // "Couldn't load CTerrain texture1" / "...texture2", then ": " and the reason, when one cannot
    // be loaded.
    void LoadTextures(const char* groundFile);
    void SetTint(float r, float g, float b);
    // Lighting off, Render, lighting on.
    bool Draw();
    // Both passes. Leaves alpha test, blending, texturing and colour material off, depth writes
    // on with the less comparison, and the colour white.
    void Render();

    Vector3 grid[kPoints][kPoints];
    int groundTexture = -1;
    int shadingTexture = -1;
    float tint[3] = {0.0f, 1.0f, 0.0f};
    // Both passes in one where the context can (the default); false keeps two passes.
    bool allowOnePass = true;

  private:
    // The texture coordinates a cell's corners get: the whole texture per cell, the shading
    // stretched over the grid, or both on two units for the one-pass draw.
    enum class CellCoordinates { Whole, Stretched, Both };
    void emitCells(CellCoordinates which) const;
    void buildLists();
    // True when the context can draw both passes in one (two texture units, combine).
    bool canCombine();
    void renderCombined();
    void renderTwoPasses();

    static constexpr int kLists = 3;
    // pass 1, pass 2, both in one; built on first draw, rebuilt when the grid changes
    GLuint lists = 0;
    int combineSupport = -1; // -1 not yet asked
};
