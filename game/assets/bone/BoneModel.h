// A skeletal or static mesh model in the game's bone model format: mesh parts whose vertices
// carry bone weights, per-part colour materials, a texture list and named action strips with
// one key track per bone. loadBoneModel reads a file of the data archive into these records.
#pragma once

#include "game/assets/math/Quaternion.h"
#include "game/assets/math/Vector3.h"

#include <cstdint>
#include <string>
#include <vector>

struct BoneWeight {
    int bone = 0;
    float weight = 0.0f;
};

struct BoneVertex {
    Vector3 position;
    Vector3 normal;
    std::vector<BoneWeight> weights;
};

struct BoneFace {
    int corners[4] = {0, 0, 0, 0}; // the first 3 of a triangle are used
    float u[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float v[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    int material = 0;
    int texture = -1; // into the model's texture list; -1 untextured
};

struct BoneMaterial {
    float colour[3] = {0.0f, 0.0f, 0.0f}; // ambient and diffuse
    float specular[3] = {0.0f, 0.0f, 0.0f};
};

struct BoneModelPart {
    static constexpr int kMaxMaterials = 8;

    std::vector<BoneVertex> vertices;
    std::vector<BoneFace> triangles;
    std::vector<BoneFace> quads;
    int materialCount = 0;
    BoneMaterial materials[kMaxMaterials];
    float matrix[16] = {};
};

struct BoneTrack {
    std::vector<Quaternion> rotations;
    std::vector<Vector3> translations;
    int16_t moves = 0;
    // Interpolation state of the running animation.
    Quaternion currentRotation;
    Vector3 currentTranslation;
    float omega = 0.0f;
    float inverseSinOmega = 0.0f;
    int linear = 0;
};

struct ActionStrip {
    static constexpr int kMaxName = 19;

    std::vector<BoneTrack> tracks;
    char name[kMaxName + 1] = {};
};

class CBoneModel {
  public:
    CBoneModel() = default;
    CBoneModel(const CBoneModel&) = delete;
    CBoneModel& operator=(const CBoneModel&) = delete;

    // Reads the named file of the data archive and loads its textures. False when the archive
    // does not hold the name, and also when the file is damaged (a chunk that runs past the end
    // of the file, a count or index out of range): the model is then left empty and loadError
    // says what was wrong. Throws the texture message of loadTextures.
    bool loadBoneModel(const char* name);
    // Loads every texture name in file order (clamped, mipmapped) and appends its slot. Throws
    // "CBoneModel::loadTextures() can't load texture: " and the name as a C string; the
    // message stays valid until the next failed load.
    void loadTextures();
    // Parses a whole file held in memory, without touching textures. True when it is well
    // formed; otherwise the model is left empty and loadError is set.
    bool parse(const unsigned char* data, size_t size);

    const std::string& loadError() const { return error; }

    bool animated = false;
    bool loaded = false;
    std::vector<std::string> textureNames;
    std::vector<int> textureSlots;
    std::vector<BoneModelPart> parts;
    std::vector<uint32_t> keyTimes;
    int keyCount = 0;
    float modelMatrix[16] = {};
    std::vector<ActionStrip> strips;

    // Animation state, set up when an animated file is loaded.
    float speed = 0.0f;
    float fraction = 0.0f;
    float key = 0.0f;
    bool newSegment = false;

  private:
    void clear();

    std::string error;
    std::string textureMessage;
};
