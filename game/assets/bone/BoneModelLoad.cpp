#include "game/assets/DataArchive.h"
#include "game/assets/TextureManager.h"
#include "game/assets/bone/BoneChunks.h"
#include "game/assets/bone/BoneModel.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Little-endian reads that never pass the end of the data; the first short read marks the
// reader failed and later reads return zeros.
class ChunkReader {
  public:
    ChunkReader(const unsigned char* data, size_t size) : data(data), size(size) {}

    bool failed() const { return bad; }
    // True once any number read was NaN or infinite.
    bool sawNonFinite() const { return nonFinite; }
    size_t offset() const { return at; }
    bool atEnd() const { return at >= size; }

    int16_t i16() { return static_cast<int16_t>(u16()); }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    uint32_t u32() {
        unsigned char b[4] = {};
        bytes(b, 4);
        return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) |
               (uint32_t{b[3]} << 24);
    }
    float f32() {
        uint32_t bits = u32();
        float f = 0.0f;
        std::memcpy(&f, &bits, sizeof f);
        if (!std::isfinite(f)) {
            nonFinite = true;
        }
        return f;
    }
    Vector3 vec3() {
        float x = f32(), y = f32();
        return {x, y, f32()};
    }
    void floats(float* out, int n) {
        for (int i = 0; i < n; ++i) {
            out[i] = f32();
        }
    }
    // Bytes up to and including a zero; fails when none is left in the data.
    bool cString(std::string& out) {
        const void* end = bad ? nullptr : std::memchr(data + at, 0, size - at);
        if (end == nullptr) {
            bad = true;
            return false;
        }
        size_t n = static_cast<const unsigned char*>(end) - (data + at);
        out.assign(reinterpret_cast<const char*>(data + at), n);
        at += n + 1;
        return true;
    }
    void bytes(void* out, size_t n) {
        if (bad || n > size - at) {
            bad = true;
            std::memset(out, 0, n);
            return;
        }
        std::memcpy(out, data + at, n);
        at += n;
    }
    // True when n more bytes are there; the counts of a chunk are checked with this before
    // anything is reserved for them.
    bool has(size_t n) const { return !bad && n <= size - at; }

  private:
    uint16_t u16() {
        unsigned char b[2] = {};
        bytes(b, 2);
        return static_cast<uint16_t>(b[0] | (b[1] << 8));
    }

    const unsigned char* data;
    size_t size;
    size_t at = 0;
    bool bad = false;
    bool nonFinite = false;
};

// A key's rotation from the upper 3 x 3 of its matrix. The matrix must be a rotation within
// kRotationTolerance in every element; the quaternion is then made unit length. False for
// anything else (a scale, a shear, a mirror, numbers that give no rotation).
constexpr float kRotationTolerance = 1e-2f;

bool keyRotation(const Matrix4& m, Quaternion* out) {
    Quaternion q;
    q.fromMatrix(m);
    float length = q.length();
    if (!std::isfinite(length) || std::fabs(length - 1.0f) > kRotationTolerance) {
        return false;
    }
    q.set(q.x / length, q.y / length, q.z / length, q.w / length);
    Matrix4 back;
    q.toMatrix(back);
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            int i = column * 4 + row;
            if (!(std::fabs(back.m[i] - m.m[i]) <= kRotationTolerance)) {
                return false;
            }
        }
    }
    *out = q;
    return true;
}

// Parser state over one file; errors are kept as text with the offset of their chunk.
class Parser {
  public:
    Parser(CBoneModel& model, const unsigned char* data, size_t size)
        : model(model), in(data, size) {}

    bool run();
    std::string error;

  private:
    bool fail(const char* what);
    bool chunk(int16_t id);
    bool vertex();
    bool face(int corners, bool textured);
    bool materials();
    bool keyTimes();
    bool track();
    bool strip();
    bool closePart();
    bool checkModel();

    CBoneModel& model;
    ChunkReader in;
    BoneModelPart part;
    bool firstPart = true;
    bool keysSeen = false;
    bool tracksSeen = false;
    size_t chunkStart = 0;
};

bool Parser::fail(const char* what) {
    char where[48];
    std::snprintf(where, sizeof where, " (chunk at byte %zu)", chunkStart);
    error = std::string(what) + where;
    return false;
}

bool Parser::run() {
    int16_t previous = 0;
    while (!in.atEnd()) {
        chunkStart = in.offset();
        int16_t id = in.i16();
        if (in.failed()) {
            return fail("file ends inside a chunk id");
        }
        if (id == bonechunk::kEnd) {
            break;
        }
        if (id == bonechunk::kVertex && previous != bonechunk::kVertex) {
            if (!firstPart && !closePart()) {
                return false;
            }
            part.vertices.clear();
            part.triangles.clear();
            part.quads.clear();
            firstPart = false;
        }
        if (!chunk(id)) {
            return false;
        }
        if (in.failed()) {
            return fail("file ends inside a chunk");
        }
        if (in.sawNonFinite()) {
            return fail("a number that is not finite (NaN or infinite)");
        }
        previous = id;
    }
    return closePart() && checkModel();
}

bool Parser::chunk(int16_t id) {
    switch (id) {
    case bonechunk::kTexture: {
        std::string name;
        if (!in.cString(name)) {
            return fail("texture name without its terminator");
        }
        model.textureNames.push_back(name);
        return true;
    }
    case bonechunk::kVertex:
        return vertex();
    case bonechunk::kTriangle:
        return face(3, false);
    case bonechunk::kTexturedTriangle:
        return face(3, true);
    case bonechunk::kQuad:
        return face(4, false);
    case bonechunk::kTexturedQuad:
        return face(4, true);
    case bonechunk::kPartMatrix:
        in.floats(part.matrix, 16);
        return true;
    case bonechunk::kMaterials:
        return materials();
    case bonechunk::kModelMatrix:
        in.floats(model.modelMatrix, 16);
        return true;
    case bonechunk::kKeyTimes:
        return keyTimes();
    case bonechunk::kTrack:
        return track();
    case bonechunk::kStrip:
        return strip();
    default:
        return true; // no payload
    }
}

bool Parser::vertex() {
    BoneVertex v;
    v.position = in.vec3();
    v.normal = in.vec3();
    int16_t n = in.i16();
    if (n < 0 || !in.has(size_t(n) * 6)) {
        return fail("vertex weight count is negative or runs past the end");
    }
    v.weights.resize(static_cast<size_t>(n));
    for (BoneWeight& w : v.weights) {
        w.bone = in.i16();
        w.weight = in.f32();
    }
    part.vertices.push_back(std::move(v));
    return true;
}

bool Parser::face(int corners, bool textured) {
    BoneFace f;
    for (int c = 0; c < corners; ++c) {
        f.corners[c] = in.i32();
        if (textured) {
            f.u[c] = in.f32();
            f.v[c] = in.f32();
        }
    }
    f.material = in.i16();
    if (textured) {
        f.texture = in.i16();
    }
    (corners == 3 ? part.triangles : part.quads).push_back(f);
    return true;
}

bool Parser::materials() {
    int16_t m = in.i16();
    if (m < 0 || m > BoneModelPart::kMaxMaterials) {
        return fail("a part lists more than 8 materials");
    }
    part.materialCount = m;
    for (int i = 0; i < m; ++i) {
        in.floats(part.materials[i].colour, 3);
        in.floats(part.materials[i].specular, 3);
    }
    return true;
}

bool Parser::keyTimes() {
    if (tracksSeen) {
        return fail("key times after the first track");
    }
    int16_t n = in.i16();
    if (n < 0 || !in.has(size_t(n) * 4)) {
        return fail("key count is negative or runs past the end");
    }
    model.keyTimes.resize(static_cast<size_t>(n));
    for (uint32_t& t : model.keyTimes) {
        t = in.u32();
    }
    model.keyCount = n;
    keysSeen = true;
    return true;
}

bool Parser::track() {
    if (model.strips.empty()) {
        return fail("a track before any strip");
    }
    BoneTrack t;
    t.moves = in.i16();
    if (t.moves != 0) {
        if (!keysSeen) {
            return fail("a moving track before the key times");
        }
        if (!in.has(size_t(model.keyCount) * 64)) {
            return fail("track keys run past the end");
        }
        t.rotations.resize(static_cast<size_t>(model.keyCount));
        t.translations.resize(static_cast<size_t>(model.keyCount));
        for (int k = 0; k < model.keyCount; ++k) {
            Matrix4 m;
            in.floats(m.m, 16);
            Quaternion q;
            if (!in.sawNonFinite() && !keyRotation(m, &q)) {
                return fail("a key whose matrix is not a rotation");
            }
            q.zeroSmall(1e-6f);
            t.rotations[size_t(k)] = q;
            t.translations[size_t(k)] = {m.m[12], m.m[13], m.m[14]};
        }
    }
    tracksSeen = true;
    model.strips.back().tracks.push_back(std::move(t));
    return true;
}

bool Parser::strip() {
    int16_t length = in.i16();
    if (length < 0 || length > ActionStrip::kMaxName) {
        return fail("a strip name longer than 19 characters");
    }
    ActionStrip s;
    in.bytes(s.name, static_cast<size_t>(length));
    s.name[length] = '\0';
    model.strips.push_back(std::move(s));
    model.animated = true;
    return true;
}

// Appends the current part once its faces are known to index its own vertices and materials.
bool Parser::closePart() {
    auto vertices = static_cast<int>(part.vertices.size());
    for (const auto* faces : {&part.triangles, &part.quads}) {
        int corners = faces == &part.triangles ? 3 : 4;
        for (const BoneFace& f : *faces) {
            for (int c = 0; c < corners; ++c) {
                if (f.corners[c] < 0 || f.corners[c] >= vertices) {
                    return fail("a face corner outside its part's vertices");
                }
            }
            bool inTable = f.material >= 0 && f.material < BoneModelPart::kMaxMaterials &&
                           (part.materialCount == 0 || f.material < part.materialCount);
            if (!inTable) {
                return fail("a face material outside its part's table");
            }
        }
    }
    model.parts.push_back(part);
    return true;
}

// Checks what can only be checked once the whole file is read: texture indices, and that every
// strip has one track per bone that any vertex names.
bool Parser::checkModel() {
    auto textures = static_cast<int>(model.textureNames.size());
    size_t tracks = model.strips.empty() ? 0 : model.strips.front().tracks.size();
    for (const ActionStrip& s : model.strips) {
        if (s.tracks.size() != tracks) {
            return fail("strips with different numbers of tracks");
        }
    }
    for (const BoneModelPart& p : model.parts) {
        for (const auto* faces : {&p.triangles, &p.quads}) {
            for (const BoneFace& f : *faces) {
                if (f.texture < -1 || f.texture >= textures) {
                    return fail("a face texture outside the texture list");
                }
            }
        }
        if (!model.animated) {
            continue;
        }
        for (const BoneVertex& v : p.vertices) {
            for (const BoneWeight& w : v.weights) {
                if (w.bone < 0 || size_t(w.bone) >= tracks) {
                    return fail("a vertex weight names a bone without a track");
                }
            }
        }
    }
    return true;
}

} // namespace

void CBoneModel::clear() {
    animated = false;
    loaded = false;
    textureNames.clear();
    textureSlots.clear();
    parts.clear();
    keyTimes.clear();
    keyCount = 0;
    std::memset(modelMatrix, 0, sizeof modelMatrix);
    strips.clear();
}

bool CBoneModel::parse(const unsigned char* data, size_t size) {
    clear();
    error.clear();
    Parser parser(*this, data, size);
    if (!parser.run()) {
        clear();
        error = parser.error;
        return false;
    }
    if (animated) {
        speed = 10.0f;
        fraction = 0.0f;
        key = 0.0f;
        newSegment = true;
    }
    return true;
}

bool CBoneModel::loadBoneModel(const char* name) {
    animated = false;
    if (dataArchive == nullptr) {
        error = std::string("no data archive to read ") + name + " from";
        return false;
    }
    if (!dataArchive->readFile(name)) {
        error = dataArchive->lastError();
        return false;
    }
    // A private copy: loading textures reads the archive again.
    std::vector<unsigned char> file(dataArchive->getData(),
                                    dataArchive->getData() + dataArchive->getSize());
    if (!parse(file.data(), file.size())) {
        error = std::string(name) + ": " + error;
        return false;
    }
    file.clear();
    loadTextures();
    loaded = true;
    return true;
}

void CBoneModel::loadTextures() {
    for (const std::string& name : textureNames) {
        int slot = -1;
        if (!textureManager.loadTexture(name.c_str(), slot, GL_CLAMP_TO_EDGE, true)) {
            textureMessage = "CBoneModel::loadTextures() can't load texture: " + name + " (" +
                             textureManager.loadError() + ")";
            throw textureMessage.c_str();
        }
        textureSlots.push_back(slot);
    }
}
