#include "tools/bonemodel/BoneModelWriter.h"

#include "game/assets/bone/BoneChunks.h"
#include "tools/bonemodel/ChunkStream.h"

#include <stdexcept>

namespace bonemodel {

namespace {

void writeFace(ChunkStream& s, const Face& f) {
    bool textured = f.texture >= 0;
    int id = f.cornerCount == 4 ? bonechunk::kTexturedQuad : bonechunk::kTexturedTriangle;
    s.i16(textured ? id : -id);
    for (int c = 0; c < f.cornerCount; ++c) {
        s.i32(f.corners[c]);
        if (textured) {
            s.f32(f.u[c]);
            s.f32(f.v[c]);
        }
    }
    s.i16(f.material);
    if (textured) {
        s.i16(f.texture);
    }
}

void writePart(ChunkStream& s, const Part& part) {
    if (part.vertices.empty()) {
        throw std::invalid_argument("a part needs at least one vertex");
    }
    for (const Vertex& v : part.vertices) {
        s.i16(bonechunk::kVertex);
        s.floats(v.position, 3);
        s.floats(v.normal, 3);
        s.i16(static_cast<int>(v.weights.size()));
        for (const auto& w : v.weights) {
            s.i16(w.first);
            s.f32(w.second);
        }
    }
    if (!part.materials.empty()) {
        if (part.materials.size() > 8) {
            throw std::invalid_argument("a part has at most 8 materials");
        }
        s.i16(bonechunk::kMaterials);
        s.i16(static_cast<int>(part.materials.size()));
        for (const Material& m : part.materials) {
            s.floats(m.colour, 3);
            s.floats(m.specular, 3);
        }
    }
    s.i16(bonechunk::kPartMatrix);
    s.floats(identityKey().data(), 16);
    for (const Face& f : part.faces) {
        writeFace(s, f);
    }
}

} // namespace

KeyMatrix identityKey() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

std::string write(const Model& model) {
    ChunkStream s;
    s.i16(bonechunk::kModelMatrix);
    s.floats(identityKey().data(), 16);
    for (const std::string& t : model.textures) {
        s.i16(bonechunk::kTexture);
        s.raw(t);
        s.raw(std::string(1, '\0'));
    }
    for (const Part& p : model.parts) {
        writePart(s, p);
    }
    if (!model.strips.empty()) {
        s.i16(bonechunk::kKeyTimes);
        s.i16(model.keyCount);
        for (int k = 0; k < model.keyCount; ++k) {
            s.u32(static_cast<uint32_t>(k));
        }
    }
    for (const Strip& strip : model.strips) {
        if (strip.name.size() > 19) {
            throw std::invalid_argument("strip name longer than 19 characters: " + strip.name);
        }
        s.i16(bonechunk::kStrip);
        s.i16(static_cast<int>(strip.name.size()));
        s.raw(strip.name);
        for (const auto& track : strip.tracks) {
            s.i16(bonechunk::kTrack);
            s.i16(track ? 1 : 0);
            if (!track) {
                continue;
            }
            if (static_cast<int>(track->size()) != model.keyCount) {
                throw std::invalid_argument("a track of " + strip.name +
                                            " has the wrong key count");
            }
            for (const KeyMatrix& key : *track) {
                s.floats(key.data(), 16);
            }
        }
    }
    s.i16(bonechunk::kEnd);
    return s.bytes();
}

} // namespace bonemodel
