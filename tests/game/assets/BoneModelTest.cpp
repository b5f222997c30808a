#include "game/assets/bone/BoneModel.h"
#include "game/assets/DataArchive.h"
#include "game/assets/bone/BoneChunks.h"
#include "tools/bonemodel/BoneModelWriter.h"
#include "tools/bonemodel/ChunkStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using bonemodel::KeyMatrix;

bool parse(CBoneModel& m, const std::string& bytes) {
    return m.parse(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

void vertexChunk(ChunkStream& s, float x, std::initializer_list<std::pair<int, float>> w = {}) {
    s.i16(bonechunk::kVertex);
    for (float f : {x, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f}) {
        s.f32(f);
    }
    s.i16(static_cast<int>(w.size()));
    for (const auto& p : w) {
        s.i16(p.first);
        s.f32(p.second);
    }
}

void triangleChunk(ChunkStream& s, int a, int b, int c, int material = 0) {
    s.i16(bonechunk::kTriangle);
    s.i32(a);
    s.i32(b);
    s.i32(c);
    s.i16(material);
}

void materialsChunk(ChunkStream& s, int count) {
    s.i16(bonechunk::kMaterials);
    s.i16(count);
    for (int i = 0; i < count * 6; ++i) {
        s.f32(0.1f * static_cast<float>(i % 10));
    }
}

// A quarter turn about Z (x -> y) moved by (1, 2, 3), worked out by hand.
KeyMatrix quarterTurnZ() {
    return {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
}

bonemodel::Model sampleModel() {
    bonemodel::Model model;
    model.textures = {"skin.png", "eye.jpg"};
    bonemodel::Part first;
    for (int i = 0; i < 4; ++i) {
        bonemodel::Vertex v;
        v.position[0] = static_cast<float>(i);
        v.weights = {{0, 0.25f}, {1, 0.75f}};
        first.vertices.push_back(v);
    }
    bonemodel::Face quad;
    quad.cornerCount = 4;
    quad.corners[1] = 1, quad.corners[2] = 2, quad.corners[3] = 3;
    quad.u[2] = 0.5f, quad.v[2] = 0.75f;
    quad.texture = 1;
    quad.material = 1;
    bonemodel::Face tri;
    tri.corners[1] = 2, tri.corners[2] = 3;
    first.faces = {quad, tri};
    bonemodel::Material red, blue;
    red.colour[0] = 1;
    blue.colour[2] = 1;
    blue.specular[1] = 0.5f;
    first.materials = {red, blue};
    bonemodel::Part second = first;
    second.materials.clear(); // inherits the first part's table
    second.faces = {tri};
    model.parts = {first, second};
    model.keyCount = 3;
    bonemodel::Strip walk;
    walk.name = "Walk";
    walk.tracks = {std::vector<KeyMatrix>(3, bonemodel::identityKey()), std::nullopt};
    bonemodel::Strip turn;
    turn.name = "QuarterTurn";
    turn.tracks = {std::nullopt, std::vector<KeyMatrix>(3, quarterTurnZ())};
    model.strips = {walk, turn};
    return model;
}

TEST(BoneModelFile, WriterOutputReadsBackWhole) {
    CBoneModel m;
    ASSERT_TRUE(parse(m, bonemodel::write(sampleModel()))) << m.loadError();
    EXPECT_TRUE(m.animated);
    EXPECT_EQ(m.textureNames, (std::vector<std::string>{"skin.png", "eye.jpg"}));
    ASSERT_EQ(m.parts.size(), 2u);
    const BoneModelPart& p = m.parts[0];
    ASSERT_EQ(p.vertices.size(), 4u);
    EXPECT_EQ(p.vertices[3].position.x, 3.0f);
    ASSERT_EQ(p.vertices[2].weights.size(), 2u);
    EXPECT_EQ(p.vertices[2].weights[1].bone, 1);
    EXPECT_EQ(p.vertices[2].weights[1].weight, 0.75f);
    ASSERT_EQ(p.quads.size(), 1u);
    EXPECT_EQ(p.quads[0].corners[3], 3);
    EXPECT_EQ(p.quads[0].u[2], 0.5f);
    EXPECT_EQ(p.quads[0].v[2], 0.75f);
    EXPECT_EQ(p.quads[0].texture, 1);
    EXPECT_EQ(p.quads[0].material, 1);
    ASSERT_EQ(p.triangles.size(), 1u);
    EXPECT_EQ(p.triangles[0].texture, -1); // untextured chunk
    EXPECT_EQ(p.triangles[0].u[1], 0.0f);
    EXPECT_EQ(p.materialCount, 2);
    EXPECT_EQ(p.materials[1].colour[2], 1.0f);
    EXPECT_EQ(p.materials[1].specular[1], 0.5f);
    // The second part has no table of its own and keeps the first one's.
    EXPECT_EQ(m.parts[1].materialCount, 2);
    EXPECT_EQ(m.parts[1].materials[1].colour[2], 1.0f);
    EXPECT_EQ(m.parts[1].quads.size(), 0u);

    EXPECT_EQ(m.keyCount, 3);
    EXPECT_EQ(m.keyTimes, (std::vector<uint32_t>{0, 1, 2}));
    ASSERT_EQ(m.strips.size(), 2u);
    EXPECT_STREQ(m.strips[1].name, "QuarterTurn");
    ASSERT_EQ(m.strips[1].tracks.size(), 2u);
    EXPECT_EQ(m.strips[1].tracks[0].moves, 0);
    EXPECT_TRUE(m.strips[1].tracks[0].rotations.empty());
    const BoneTrack& t = m.strips[1].tracks[1];
    ASSERT_EQ(t.rotations.size(), 3u);
    float h = std::sqrt(0.5f);
    EXPECT_NEAR(t.rotations[2].x, 0, 1e-6);
    EXPECT_NEAR(t.rotations[2].y, 0, 1e-6);
    EXPECT_NEAR(std::fabs(t.rotations[2].z), h, 1e-6);
    EXPECT_NEAR(t.rotations[2].w * t.rotations[2].z, 0.5f, 1e-6); // same sign: +90 degrees
    EXPECT_EQ(t.translations[1].x, 1.0f);
    EXPECT_EQ(t.translations[1].z, 3.0f);
    // The identity key, with its components exactly zero.
    const BoneTrack& id = m.strips[0].tracks[0];
    EXPECT_EQ(id.rotations[0].x, 0.0f);
    EXPECT_EQ(id.rotations[0].z, 0.0f);
    EXPECT_EQ(id.rotations[0].w, 1.0f);
    EXPECT_EQ(id.translations[0].y, 0.0f);
    // An animated file starts its animation state.
    EXPECT_EQ(m.speed, 10.0f);
    EXPECT_TRUE(m.newSegment);
}

TEST(BoneModelFile, VertexRunsDecideWhereAPartBegins) {
    ChunkStream oneRun;
    vertexChunk(oneRun, 0);
    vertexChunk(oneRun, 1);
    triangleChunk(oneRun, 0, 1, 1);
    oneRun.i16(bonechunk::kEnd);
    CBoneModel m;
    ASSERT_TRUE(parse(m, oneRun.bytes()));
    ASSERT_EQ(m.parts.size(), 1u);
    EXPECT_EQ(m.parts[0].vertices.size(), 2u);

    ChunkStream twoRuns;
    vertexChunk(twoRuns, 0);
    triangleChunk(twoRuns, 0, 0, 0);
    vertexChunk(twoRuns, 5);
    vertexChunk(twoRuns, 6);
    triangleChunk(twoRuns, 1, 0, 1);
    ASSERT_TRUE(parse(m, twoRuns.bytes())) << m.loadError(); // ends without an end chunk
    ASSERT_EQ(m.parts.size(), 2u);
    EXPECT_EQ(m.parts[1].vertices.size(), 2u);
    EXPECT_EQ(m.parts[1].vertices[0].position.x, 5.0f);
    EXPECT_FALSE(m.animated);
}

TEST(BoneModelFile, TexturesOnlyGiveOneEmptyPart) {
    ChunkStream s;
    s.i16(bonechunk::kTexture);
    s.raw(std::string("a.png\0", 6));
    CBoneModel m;
    ASSERT_TRUE(parse(m, s.bytes()));
    ASSERT_EQ(m.parts.size(), 1u);
    EXPECT_TRUE(m.parts[0].vertices.empty());
    EXPECT_EQ(m.textureNames.size(), 1u);
}

TEST(BoneModelFile, UnknownIdsAreSkippedAndStillTracksTakeFourBytes) {
    ChunkStream s;
    s.i16(bonechunk::kKeyTimes);
    s.i16(2);
    s.u32(0);
    s.u32(7);
    s.i16(bonechunk::kStrip);
    s.i16(4);
    s.raw("Idle");
    s.i16(77); // unknown: no payload
    s.i16(bonechunk::kTrack);
    s.i16(0); // still bone: no keys follow
    s.i16(bonechunk::kTrack);
    s.i16(1);
    KeyMatrix tiny = bonemodel::identityKey();
    tiny[1] = 1e-6f; // becomes a rotation component of about 5e-7
    for (int k = 0; k < 2; ++k) {
        for (float f : tiny) {
            s.f32(f);
        }
    }
    s.i16(-55);
    vertexChunk(s, 1, {{1, 1.0f}});
    s.i16(bonechunk::kEnd);
    s.raw("bytes after the end are never read");
    CBoneModel m;
    ASSERT_TRUE(parse(m, s.bytes())) << m.loadError();
    ASSERT_EQ(m.strips.size(), 1u);
    EXPECT_STREQ(m.strips[0].name, "Idle");
    ASSERT_EQ(m.strips[0].tracks.size(), 2u);
    EXPECT_TRUE(m.strips[0].tracks[0].rotations.empty());
    ASSERT_EQ(m.strips[0].tracks[1].rotations.size(), 2u);
    EXPECT_EQ(m.strips[0].tracks[1].rotations[1].z, 0.0f);
    EXPECT_EQ(m.strips[0].tracks[1].rotations[1].w, 1.0f);
    EXPECT_EQ(m.keyTimes[1], 7u);
    EXPECT_EQ(m.parts[0].vertices.size(), 1u);
}

// Files that would make a trusting reader write past its records, each rejected whole.
TEST(BoneModelFile, HostileFilesAreRejectedAndLeaveTheModelEmpty) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, auto build) {
        ChunkStream s;
        build(s);
        cases.push_back({what, s.bytes()});
    };
    add("nine materials", [](ChunkStream& s) {
        vertexChunk(s, 0);
        materialsChunk(s, 9);
    });
    add("strip name of 20", [](ChunkStream& s) {
        s.i16(bonechunk::kStrip);
        s.i16(20);
        s.raw(std::string(20, 'x'));
    });
    add("track before any strip", [](ChunkStream& s) {
        s.i16(bonechunk::kTrack);
        s.i16(0);
    });
    add("moving track before the key times", [](ChunkStream& s) {
        s.i16(bonechunk::kStrip);
        s.i16(1);
        s.raw("a");
        s.i16(bonechunk::kTrack);
        s.i16(1);
    });
    add("corner past the vertices", [](ChunkStream& s) {
        vertexChunk(s, 0);
        triangleChunk(s, 0, 0, 1);
    });
    add("negative corner", [](ChunkStream& s) {
        vertexChunk(s, 0);
        triangleChunk(s, 0, -1, 0);
    });
    add("material past the table", [](ChunkStream& s) {
        vertexChunk(s, 0);
        materialsChunk(s, 2);
        triangleChunk(s, 0, 0, 0, 2);
    });
    add("texture past the list", [](ChunkStream& s) {
        vertexChunk(s, 0);
        s.i16(bonechunk::kTexturedTriangle);
        for (int c = 0; c < 3; ++c) {
            s.i32(0);
            s.f32(0);
            s.f32(0);
        }
        s.i16(0);
        s.i16(0); // no texture chunk
    });
    add("weight of a bone without a track", [](ChunkStream& s) {
        vertexChunk(s, 0, {{3, 1.0f}});
        s.i16(bonechunk::kStrip);
        s.i16(1);
        s.raw("a");
        s.i16(bonechunk::kTrack);
        s.i16(0);
    });
    add("negative weight count", [](ChunkStream& s) {
        s.i16(bonechunk::kVertex);
        for (int i = 0; i < 6; ++i) {
            s.f32(0);
        }
        s.i16(-1);
    });
    add("key count past the end", [](ChunkStream& s) {
        s.i16(bonechunk::kKeyTimes);
        s.i16(30000);
    });
    add("texture name without a terminator", [](ChunkStream& s) {
        s.i16(bonechunk::kTexture);
        s.raw("a.png");
    });
    add("key times after a track", [](ChunkStream& s) {
        s.i16(bonechunk::kKeyTimes);
        s.i16(0);
        s.i16(bonechunk::kStrip);
        s.i16(1);
        s.raw("a");
        s.i16(bonechunk::kTrack);
        s.i16(0);
        s.i16(bonechunk::kKeyTimes);
        s.i16(0);
    });
    add("strips of different sizes", [](ChunkStream& s) {
        s.i16(bonechunk::kStrip);
        s.i16(1);
        s.raw("a");
        s.i16(bonechunk::kTrack);
        s.i16(0);
        s.i16(bonechunk::kStrip);
        s.i16(1);
        s.raw("b");
    });
    for (const Case& c : cases) {
        CBoneModel m;
        ASSERT_TRUE(parse(m, bonemodel::write(sampleModel())));
        EXPECT_FALSE(parse(m, c.bytes)) << c.what;
        EXPECT_FALSE(m.loadError().empty()) << c.what;
        EXPECT_TRUE(m.parts.empty()) << c.what;
        EXPECT_TRUE(m.strips.empty()) << c.what;
        EXPECT_FALSE(m.animated) << c.what;
    }
}

// Every cut of a good file and a spread of single-byte changes either parse or fail with a
// message; the sanitizer build turns any read or write out of bounds into a failure.
TEST(BoneModelFile, CutAndFlippedFilesNeverCrash) {
    std::string good = bonemodel::write(sampleModel());
    int accepted = 0;
    for (size_t cut = 0; cut < good.size(); ++cut) {
        CBoneModel m;
        if (parse(m, good.substr(0, cut))) {
            ++accepted;
        } else {
            EXPECT_FALSE(m.loadError().empty());
        }
    }
    EXPECT_GT(accepted, 0); // cuts between whole chunks are complete files
    EXPECT_LT(accepted, static_cast<int>(good.size()) / 2);
    for (size_t at = 0; at < good.size(); at += 3) {
        for (unsigned char value : {0x00, 0x7f, 0x80, 0xff}) {
            std::string bad = good;
            bad[at] = static_cast<char>(value);
            CBoneModel m;
            if (!parse(m, bad)) {
                EXPECT_FALSE(m.loadError().empty());
            }
        }
    }
}

TEST(BoneModelFile, NumbersThatAreNotFiniteAndKeysThatAreNotRotationsAreRejected) {
    const float nan = std::nanf("");
    const float inf = HUGE_VALF;
    struct Case {
        const char* what;
        void (*spoil)(bonemodel::Model&, float);
        float value;
    } cases[] = {
        {"position", [](bonemodel::Model& m, float f) { m.parts[0].vertices[1].position[2] = f; },
         nan},
        {"normal", [](bonemodel::Model& m, float f) { m.parts[1].vertices[0].normal[0] = f; },
         -inf},
        {"weight",
         [](bonemodel::Model& m, float f) { m.parts[0].vertices[2].weights[1].second = f; }, nan},
        {"u", [](bonemodel::Model& m, float f) { m.parts[0].faces[0].u[2] = f; }, inf},
        {"v", [](bonemodel::Model& m, float f) { m.parts[0].faces[0].v[3] = f; }, nan},
        {"colour", [](bonemodel::Model& m, float f) { m.parts[0].materials[1].colour[1] = f; },
         nan},
        {"key translation",
         [](bonemodel::Model& m, float f) { (*m.strips[1].tracks[1])[2][13] = f; }, inf},
        {"key rotation", [](bonemodel::Model& m, float f) { (*m.strips[0].tracks[0])[1][5] = f; },
         nan},
        // Not rotations: a scale, a mirror, a shear, all zeros.
        {"scaled key",
         [](bonemodel::Model& m, float f) {
             for (int i : {0, 5, 10}) {
                 (*m.strips[0].tracks[0])[0][i] = f;
             }
         },
         2.0f},
        {"mirrored key", [](bonemodel::Model& m, float f) { (*m.strips[0].tracks[0])[2][0] = f; },
         -1.0f},
        {"sheared key", [](bonemodel::Model& m, float f) { (*m.strips[1].tracks[1])[1][8] = f; },
         0.5f},
        {"zero key",
         [](bonemodel::Model& m, float f) {
             for (int i = 0; i < 12; ++i) {
                 (*m.strips[1].tracks[1])[0][i] = f;
             }
         },
         0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bonemodel::Model model = sampleModel();
        c.spoil(model, c.value);
        CBoneModel m;
        EXPECT_FALSE(parse(m, bonemodel::write(model)));
        EXPECT_FALSE(m.loadError().empty());
        EXPECT_TRUE(m.parts.empty());
        EXPECT_TRUE(m.strips.empty());
    }

    // A rotation a little off, as rounding leaves it, is taken and made unit length.
    bonemodel::Model model = sampleModel();
    KeyMatrix& key = (*model.strips[1].tracks[1])[0];
    key[0] += 0.003f;
    key[1] -= 0.002f;
    key[4] += 0.004f;
    CBoneModel m;
    ASSERT_TRUE(parse(m, bonemodel::write(model))) << m.loadError();
    const Quaternion& q = m.strips[1].tracks[1].rotations[0];
    EXPECT_NEAR(q.length(), 1.0f, 1e-5f);
    const float h = std::sqrt(0.5f);
    EXPECT_NEAR(std::fabs(q.z), h, 2e-3f);
    EXPECT_NEAR(std::fabs(q.w), h, 2e-3f);
}

TEST(BoneModelFile, LoadingNeedsTheNameInTheArchive) {
    CDataArchive none("/nonexistent/archive.zip");
    dataArchive = &none;
    CBoneModel m;
    EXPECT_FALSE(m.loadBoneModel("MyBoneExportDragon.dat"));
    EXPECT_FALSE(m.loaded);
    EXPECT_TRUE(m.parts.empty());
    dataArchive = nullptr;
    EXPECT_FALSE(m.loadBoneModel("MyBoneExportDragon.dat"));
}

} // namespace
