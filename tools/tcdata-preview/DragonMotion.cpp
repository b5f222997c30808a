#include "tools/tcdata-preview/DragonMotion.h"

#include "game/assets/ViewSphere.h"
#include "game/assets/bone/BoneModel.h"
#include "game/ride/DragonFeed.h"
#include "game/world/BreathStream.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>

namespace {

// The ride's light: positional, to the right of and behind the viewer, placed in eye space.
void setUpView(int size, int column, int row, const float eye[3]) {
    int cell = size / 4;
    glViewport(column * cell, size - (row + 1) * cell, cell, cell);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 5.0, 4500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float light[4] = {400.0f, 50.0f, 60.0f, 1.0f};
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    gluLookAt(eye[0], eye[1], eye[2], 0.0, 15.0, eye[0] < 0.0f ? 60.0 : 0.0, 0.0, 1.0, 0.0);
}

} // namespace

void renderDragonMotion(const std::string& out, int size, void (*save)(const std::string&)) {
    frustumSphereCenter[2] = -2000.0f;
    frustumSphereRadius = 3000.0f;
    CBoneModel dragon;
    BreathStream breath;
    setupDragon(dragon, &breath);
    struct Sheet {
        int move;
        float value; // the music value the move plays at
    };
    const Sheet sheets[] = {{0, 0.1f}, {6, 0.45f}, {12, 0.9f}, {13, 0.9f}, {16, 0.9f}, {8, 0.45f}};
    // Rows: behind and above as the forward view, then beside.
    const float eyes[2][3] = {{0.0f, 60.0f, -150.0f}, {-300.0f, 40.0f, 80.0f}};
    for (const Sheet& s : sheets) {
        glClearColor(0.35f, 0.45f, 0.62f, 1.0f);
        glViewport(0, 0, size, size);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        dragon.setMusicLevel(s.value);
        for (int row = 0; row < 4; ++row) {
            const float* eye = eyes[row / 2];
            dragon.setCombination(s.move);
            dragon.key = 0.0f;
            dragon.fraction = 0.0f;
            dragon.newSegment = true;
            for (int frame = 0; frame < 4; ++frame) {
                // Keys 0, 4, 8, ... in the first row of a camera, 16, 20, ... in the second.
                int wanted = (row % 2) * 16 + frame * 4;
                while (static_cast<int>(dragon.key) < wanted) {
                    dragon.updateAnimation(0.0501f); // one key at speed 20
                    // The game draws (and so moves) the breath in three frames a key, only
                    // while the move's key range plays.
                    const BoneCombination& c = dragon.combinations[size_t(s.move)];
                    int k = static_cast<int>(dragon.key);
                    for (int f = 0; f < 3 && k >= c.startKey && k <= c.endKey; ++f) {
                        breath.Update(1.0f / 60.0f);
                    }
                }
                setUpView(size, frame, row, eye);
                // As the feed draws it: turned over twice about X, which leaves it upright.
                glRotatef(3.14f * 180.0f / 3.14159265f, 1.0f, 0.0f, 0.0f);
                glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
                dragon.drawBoneModel(0.0f);
            }
        }
        char name[64];
        std::snprintf(name, sizeof name, "/motion-move-%d.png", s.move);
        save(out + name);
    }
}
