// Writes models in the game's bone model format. A model is described as parts of weighted
// vertices and faces, a texture list, and action strips whose tracks hold one 4 x 4 key
// matrix (OpenGL column order) per key for every bone the strip moves.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace bonemodel {

using KeyMatrix = std::array<float, 16>;

struct Vertex {
    float position[3] = {0, 0, 0};
    float normal[3] = {0, 1, 0};
    std::vector<std::pair<int, float>> weights; // (bone, weight)
};

struct Face {
    int cornerCount = 3; // 3 or 4
    int corners[4] = {0, 0, 0, 0};
    float u[4] = {0, 0, 0, 0};
    float v[4] = {0, 0, 0, 0};
    int material = 0;
    int texture = -1; // -1 writes the untextured chunk
};

struct Material {
    float colour[3] = {1, 1, 1};
    float specular[3] = {0, 0, 0};
};

struct Part {
    std::vector<Vertex> vertices;
    std::vector<Face> faces;
    std::vector<Material> materials; // empty: the part inherits the previous table
};

struct Strip {
    std::string name;
    // One entry per bone; no value for a bone the strip does not move.
    std::vector<std::optional<std::vector<KeyMatrix>>> tracks;
};

struct Model {
    std::vector<std::string> textures;
    std::vector<Part> parts;
    int keyCount = 0;
    std::vector<Strip> strips;
};

// The file's bytes: model matrix, textures, each part (vertices, materials, matrix, faces),
// then key times 0, 1, 2, ... and the strips, ending with the end chunk.
std::string write(const Model& model);

KeyMatrix identityKey();

} // namespace bonemodel
