// Chunk ids of the bone model format, shared by the game's reader and the exporter tool.
#pragma once

#include <cstdint>

namespace bonechunk {
constexpr int16_t kEnd = -100;
constexpr int16_t kTexture = 1;          // zero-terminated file name
constexpr int16_t kVertex = 2;           // position, normal, weights
constexpr int16_t kTriangle = -3;        // 3 corners, material
constexpr int16_t kTexturedTriangle = 3; // 3 x (corner, u, v), material, texture
constexpr int16_t kQuad = -4;            // 4 corners, material
constexpr int16_t kTexturedQuad = 4;     // 4 x (corner, u, v), material, texture
constexpr int16_t kPartMatrix = 5;       // 16 floats
constexpr int16_t kMaterials = 6;        // count, count x (colour, specular)
constexpr int16_t kModelMatrix = 10;     // 16 floats
constexpr int16_t kKeyTimes = 11;        // count N, N x uint32
constexpr int16_t kTrack = 12;           // moves flag, N x 16 floats when moving
constexpr int16_t kStrip = 13;           // name length, name bytes
} // namespace bonechunk
