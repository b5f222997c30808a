// Builds the parts of bone models out of simple solids: tubes along a spine, surfaces of
// revolution, boxes and flat panels, all wound counter-clockwise seen from outside.
#pragma once

#include "tools/bonemodel/BoneModelWriter.h"

#include <vector>

struct V3 {
    float x = 0, y = 0, z = 0;
};
V3 operator+(V3 a, V3 b);
V3 operator-(V3 a, V3 b);
V3 operator*(V3 a, float s);
V3 cross(V3 a, V3 b);
float dot(V3 a, V3 b);
V3 normalised(V3 a);
V3 lerp(V3 a, V3 b, float t);

using Weights = std::vector<std::pair<int, float>>;

// One cross-section of a tube: centre, half sizes across (side) and up, and bone weights.
struct Ring {
    V3 centre;
    float side = 1, up = 1;
    Weights weights;
};

class MeshBuilder {
  public:
    explicit MeshBuilder(bonemodel::Part& part) : part(part) {}

    // Faces carry surface coordinates (u, v) per corner, for a texture mapping to start
    // from: a tube's quad spans 0..1 across and along its cell, a cone's triangles 0..1 around
    // their segment and from base (0) to tip (1), a box's sides 0..1, and a panel runs 0..1 over
    // the whole grid (u along the columns, v along the rows), the same on both sides.
    int vertex(V3 p, V3 n, const Weights& w);
    void triangle(int a, int b, int c, int material, const float (*uv)[2] = nullptr);
    void quad(int a, int b, int c, int d, int material, const float (*uv)[2] = nullptr);
    // A closed tube through the rings, capped at both ends with a point. The rings' frames
    // use the spine direction and the given up hint. segments is the vertex count per ring.
    void tube(const std::vector<Ring>& rings, int segments, V3 upHint, int material,
              int bellyMaterial = -1);
    // A surface of revolution about the Y axis through profile points (radius, y), from the
    // bottom up; a radius of 0 closes the surface at the axis.
    void lathe(const std::vector<std::pair<float, float>>& profile, int segments, V3 centre,
               int material, const std::vector<int>& bandMaterials = {});
    // An axis-aligned box.
    void box(V3 lo, V3 hi, int material, const Weights& w = {});
    // A two-sided flat panel over a grid of points, rows x columns, row-major; one material
    // per cell from cellMaterial(row, column).
    void panel(const std::vector<V3>& points, const std::vector<Weights>& weights, int rows,
               int columns, int (*cellMaterial)(int, int));
    // A cone from a base circle to a tip, for horns, claws and spikes.
    void cone(V3 base, V3 tip, float radius, int segments, int material, const Weights& w);

  private:
    bonemodel::Part& part;
};
