// tcdata-preview ARCHIVE OUTDIR: renders the archive's models and sky to PNG files, for people
// to look at: the dragon from the ride's camera distance in several moves, every prop, and the
// sky box seen from its centre in five directions. Needs a display (Xvfb will do).
#include "game/assets/DataArchive.h"
#include "game/assets/TextureManager.h"
#include "game/assets/bone/BoneModel.h"
#include "platform/window/GLContext.h"
#include "platform/window/Window.h"
#include "tools/tcdata-preview/DragonMotion.h"
#include "tools/tcdata-preview/ModelPose.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <IL/il.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 512;

LRESULT plainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

bool openContext() {
    WNDCLASSEXA wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = "TcdataPreview";
    RegisterClassExA(&wc);
    HWND window = CreateWindowExA(0, "TcdataPreview", "tcdata preview", 0, 0, 0, kSize, kSize,
                                  nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr) {
        return false;
    }
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 24;
    if (!SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd)) {
        return false;
    }
    ShowWindow(window, SW_NORMAL);
    return wglMakeCurrent(dc, wglCreateContext(dc)) == TRUE;
}

void savePng(const std::string& path) {
    std::vector<unsigned char> px(size_t(kSize) * kSize * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilTexImage(kSize, kSize, 1, 3, IL_RGB, IL_UNSIGNED_BYTE, px.data());
    ilRegisterOrigin(IL_ORIGIN_LOWER_LEFT); // GL reads the bottom row first
    ilEnable(IL_FILE_OVERWRITE);
    ilSaveImage(path.c_str());
    ilDeleteImages(1, &image);
    std::printf("%s\n", path.c_str());
}

void setMaterial(const BoneMaterial& m) {
    float colour[4] = {m.colour[0], m.colour[1], m.colour[2], 1};
    float specular[4] = {m.specular[0], m.specular[1], m.specular[2], 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, colour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 68);
}

void drawFaces(const BoneModelPart& part, const std::vector<BoneFace>& faces, int corners,
               const std::vector<BoneTransform>& pose) {
    glBegin(corners == 4 ? GL_QUADS : GL_TRIANGLES);
    for (const BoneFace& f : faces) {
        setMaterial(part.materials[f.material]);
        for (int c = 0; c < corners; ++c) {
            const BoneVertex& v = part.vertices[size_t(f.corners[c])];
            Vector3 p = skinned(v, pose);
            glNormal3f(v.normal.x, v.normal.y, v.normal.z);
            glVertex3f(p.x, p.y, p.z);
        }
    }
    glEnd();
}

void drawModel(const CBoneModel& model, const std::vector<std::string>& strips, int key,
               bool skipAnchor) {
    std::vector<BoneTransform> pose = poseAt(model, strips, key);
    for (size_t i = skipAnchor ? 1 : 0; i < model.parts.size(); ++i) {
        drawFaces(model.parts[i], model.parts[i].quads, 4, pose);
        drawFaces(model.parts[i], model.parts[i].triangles, 3, pose);
    }
}

void beginScene(float fov, const float eye[3], const float target[3]) {
    glViewport(0, 0, kSize, kSize);
    glClearColor(0.35f, 0.45f, 0.62f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fov, 1.0, 1.0, 5000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], 0, 1, 0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    float ambient[4] = {0.5f, 0.5f, 0.5f, 1}, diffuse[4] = {0.5f, 0.5f, 0.5f, 1};
    float light[4] = {0.4f, 1.0f, 0.6f, 0};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, light);
}

struct DragonShot {
    const char* file;
    std::vector<std::string> strips;
    int key;
    float eye[3];
};

void renderDragon(const CBoneModel& dragon, const std::string& out) {
    // The ride's forward view: 25 frames (about 125 units) behind the car, 20 above the trail,
    // the dragon 10 above the car.
    const DragonShot shots[] = {
        {"dragon-ride-rest.png", {}, 0, {0, 20, -125}},
        {"dragon-ride-bigflap.png", {"BigFlap", "WhipTailBig"}, 8, {0, 20, -125}},
        {"dragon-ride-quickflap.png",
         {"QuickFlap", "HeadBack", "SnapMouth", "LegsThrashL"},
         16,
         {0, 20, -125}},
        {"dragon-side-mouth.png", {"GentleFlap", "MouthOpen", "SmallBobHead"}, 15, {-150, 25, 5}},
        {"dragon-three-quarter.png",
         {"Flap", "RightLeftHead", "LeftArm", "RightArm"},
         24,
         {90, 60, 90}},
        {"dragon-top.png", {"AwkwardWingL", "TailSlash"}, 12, {0, 160, 1}},
    };
    for (const DragonShot& s : shots) {
        float target[3] = {0, 10, 0};
        beginScene(45, s.eye, target);
        glTranslatef(0, 10, 0);
        drawModel(dragon, s.strips, s.key, true);
        savePng(out + "/" + s.file);
    }
}

void renderProp(const CBoneModel& prop, const std::string& out, const char* file, float distance,
                float height) {
    float eye[3] = {distance * 0.7f, height + distance * 0.35f, distance * 0.7f};
    float target[3] = {0, height, 0};
    beginScene(40, eye, target);
    glDisable(GL_CULL_FACE);
    drawModel(prop, {}, 0, false);
    savePng(out + "/" + file);
}

// The sky cube of edge 1000 around the eye, with each face's corners and texture coordinates.
void renderSky(const std::string& out) {
    const char* names[] = {"north.jpg", "south.jpg", "east.jpg", "west.jpg", "up.jpg"};
    int slots[5];
    for (int i = 0; i < 5; ++i) {
        if (!textureManager.loadTexture(names[i], slots[i], GL_CLAMP_TO_EDGE, true)) {
            std::fprintf(stderr, "cannot load %s\n", names[i]);
            return;
        }
    }
    const float h = 500;
    const float corner[8][3] = {{-h, -h, -h}, {-h, -h, h}, {h, -h, h}, {h, -h, -h},
                                {-h, h, -h},  {-h, h, h},  {h, h, h},  {h, h, -h}};
    struct FaceDraw {
        int texture, corners[4];
    };
    const FaceDraw faces[] = {{4, {0, 1, 2, 3}}, {4, {5, 4, 7, 6}}, {0, {1, 5, 6, 2}},
                              {1, {3, 7, 4, 0}}, {2, {0, 4, 5, 1}}, {3, {2, 6, 7, 3}}};
    const float st[4][2] = {{1, 1}, {1, 0}, {0, 0}, {0, 1}};
    struct View {
        const char* file;
        float target[3];
    };
    const View views[] = {{"sky-plus-z.png", {0, 0, 1}},    {"sky-minus-z.png", {0, 0, -1}},
                          {"sky-plus-x.png", {1, 0, 0}},    {"sky-minus-x.png", {-1, 0, 0}},
                          {"sky-corner.png", {1, 0.4f, 1}}, {"sky-up.png", {0.01f, 1, 0.3f}}};
    for (const View& v : views) {
        float eye[3] = {0, 0, 0};
        beginScene(90, eye, v.target);
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glColor3f(1, 1, 1);
        for (const FaceDraw& f : faces) {
            glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(slots[f.texture]));
            glBegin(GL_QUADS);
            for (int c = 0; c < 4; ++c) {
                glTexCoord2f(st[c][0], st[c][1]);
                glVertex3fv(corner[f.corners[c]]);
            }
            glEnd();
        }
        glDisable(GL_TEXTURE_2D);
        savePng(out + "/" + v.file);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tcdata-preview ARCHIVE OUTDIR\n");
        return 2;
    }
    if (!openContext()) {
        std::fprintf(stderr, "tcdata-preview: no GL window\n");
        return 1;
    }
    ilInit();
    CDataArchive archive(argv[1]);
    dataArchive = &archive;
    std::string out = argv[2];
    struct PropShot {
        const char* model;
        const char* file;
        float distance, height;
    };
    const PropShot props[] = {{"FountainPot.dat", "prop-fountain.png", 140, 5},
                              {"FountainPot2.dat", "prop-flame-pot.png", 110, 15},
                              {"FireBallPoll.dat", "prop-pole.png", 230, 50},
                              {"FreqBarsPlatform.dat", "prop-bars-platform.png", 800, -20}};
    CBoneModel dragon;
    if (!dragon.loadBoneModel("MyBoneExportDragon.dat")) {
        std::fprintf(stderr, "tcdata-preview: %s\n", dragon.loadError().c_str());
        return 1;
    }
    renderDragon(dragon, out);
    renderDragonMotion(out, kSize, [](const std::string& path) { savePng(path); });
    for (const PropShot& p : props) {
        CBoneModel prop;
        if (!prop.loadBoneModel(p.model)) {
            std::fprintf(stderr, "tcdata-preview: %s\n", prop.loadError().c_str());
            return 1;
        }
        renderProp(prop, out, p.file, p.distance, p.height);
    }
    renderSky(out);
    textureManager.clearAll();
    dataArchive = nullptr;
    return 0;
}
