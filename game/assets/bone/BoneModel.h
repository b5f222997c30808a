// A skeletal or static mesh model in the game's bone model format: mesh parts whose vertices
// carry bone weights, per-part colour materials, a texture list and named action strips with
// one key track per bone. loadBoneModel reads a file of the data archive into these records.
#pragma once

#include "game/assets/bone/BoneAnimation.h"
#include "game/assets/math/Quaternion.h"
#include "game/assets/math/Vector3.h"

#include <cstdint>
#include <initializer_list>
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

    // Playing the strips (BoneAnimation.cpp) and drawing (BoneDraw.cpp).
    static constexpr int kMaxCombined = 8;
    static constexpr int kLevels = 3;

    // Finds each named strip ignoring letter case (the first match) and appends their
    // combination. Names after a null or past the eighth are not read. Throws, as a
    // std::string, "CBoneModel::setupCombination, The Following Action Strip Not Found: '"
    // name "'" when a name matches no strip; nothing is added then.
    void setupCombination(std::initializer_list<const char*> names);
    // Strip indices, -1 for none; does nothing when the first is -1 or an index is not a strip.
    void combineStrips(const int stripIndices[kMaxCombined]);
    // Ignored unless 0 <= start <= end <= keyCount - 1 and the combination exists.
    void setCombinationRange(int startKey, int endKey, int combinationIndex);
    void setCombination(int combinationIndex);
    // Appends count entries {combination, 0, loops} to the playlist of level 0, 1 or 2.
    void setPlaylist(const int combinations[], const int loops[], int count, int level);
    // The first entry of a level's playlist becomes the current entry (any level other than
    // 0 and 1 means 2); an empty playlist leaves everything as it is.
    void startPlaylist(int level);
    // Level 0 below 0.3, 1 below 0.6, else 2; the key speed grows by value x 10.
    void setMusicLevel(float value);
    void setAttachment(BoneAttachment* emitter);
    void setAttachmentOffset(float x, float y, float z, float rx, float ry, float rz);
    // Advances the keys by dt (at most one key a frame) and interpolates every moving track of
    // the current combination. Does nothing with fewer than two keys or no current combination.
    void updateAnimation(float dt);
    // Advances the level's playlist with a fresh loop count (reshuffling after its last entry)
    // and makes the new entry's combination current.
    void nextPlaylistEntry(int level);
    // Interpolates from q1 to q2 the short way; with recompute the angle between them is
    // worked out again, otherwise the cache of the last recompute serves. Not renormalised.
    static Quaternion slerpQuaternion(const Quaternion& q1, Quaternion q2, float t,
                                      BoneTrack& cache, bool recompute);
    // Skinned draw for an animated model (after updateAnimation), static draw otherwise.
    void drawBoneModel(float dt);
    // Where a vertex lies under the current combination's pose.
    Vector3 skinnedPosition(const BoneVertex& v) const;

    std::vector<BoneCombination> combinations;
    int currentCombination = -1;
    int musicLevel = 0;
    float speedBoost = 0.0f;
    float musicValue = 0.0f;
    std::vector<PlaylistEntry> playlists[kLevels];
    int playlistIndex[kLevels] = {0, 0, 0};
    PlaylistEntry currentEntry;
    BoneAttachment* attachment = nullptr;
    bool attached = false;
    float attachmentOffset[3] = {0.0f, 0.0f, 0.0f};
    float attachmentRotation[3] = {0.0f, 0.0f, 0.0f};

  private:
    void clear();
    void drawSkinned(float dt);
    void drawStatic();
    void drawAttachment(float dt);
    void skinPart(size_t part, bool normals);

    // Skinned corners of the part being drawn, kept between frames.
    std::vector<Vector3> skinnedPositions;
    std::vector<Vector3> skinnedNormals;

    std::string error;
    std::string textureMessage;
};
