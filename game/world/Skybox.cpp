#include "game/world/Skybox.h"

#include "game/assets/TextureManager.h"
#include "game/assets/math/Matrix4.h"

#include <GL/gl.h>
#include <string>

const Skybox::FaceQuad Skybox::kDrawOrder[Skybox::kFaces] = {
    {Bottom, {0, 1, 2, 3}}, {Top, {5, 4, 7, 6}},  {Front, {1, 5, 6, 2}},
    {Back, {3, 7, 4, 0}},   {Left, {0, 4, 5, 1}}, {Right, {2, 6, 7, 3}},
};

namespace {

struct FaceImage {
    Skybox::Face face;
    const char* file;
    const char* error;
};

const FaceImage kImages[] = {
    {Skybox::Front, "north.jpg", "Couldn't load Skybox texture front"},
    {Skybox::Back, "south.jpg", "Couldn't load Skybox texture back"},
    {Skybox::Left, "east.jpg", "Couldn't load Skybox texture left"},
    {Skybox::Right, "west.jpg", "Couldn't load Skybox texture right"},
    {Skybox::Top, "up.jpg", "Couldn't load Skybox texture top"},
};

} // namespace

Skybox::Skybox() {
    setCorners(1000.0f, 1000.0f, 1000.0f);
}

Skybox::~Skybox() {
    // The bottom shares the top's reference.
    for (int f = 0; f < Bottom; ++f) {
        if (faceTexture[f] >= 0) {
            textureManager.releaseTexture(faceTexture[f]);
        }
    }
}

void Skybox::setCorners(float sx, float sy, float sz) {
    float hx = sx / 2.0f, hy = sy / 2.0f, hz = sz / 2.0f;
    const float c[8][3] = {{-hx, -hy, -hz}, {-hx, -hy, hz}, {hx, -hy, hz}, {hx, -hy, -hz},
                           {-hx, hy, -hz},  {-hx, hy, hz},  {hx, hy, hz},  {hx, hy, -hz}};
    for (int i = 0; i < 8; ++i) {
        for (int k = 0; k < 3; ++k) {
            corner[i][k] = c[i][k];
        }
    }
}

void Skybox::Load(int newStyle) {
    faceTexture[Front] = -1;
    style = newStyle;
    if (style != 0) {
        return;
    }
    for (const FaceImage& image : kImages) {
        int slot = -1;
        if (!textureManager.loadTexture(image.file, slot, GL_CLAMP_TO_EDGE, true)) {
            throw std::string(image.error) + ": " + textureManager.loadError();
        }
        faceTexture[image.face] = slot;
        // The faces are always seen magnified (a 512 image spans a quarter turn, well over a
        // thousand pixels), so their mipmaps are never read; sampling the base level alone
        // draws the same pixels at a fraction of the cost in software GL.
        glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(slot));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    faceTexture[Bottom] = faceTexture[Top];
}

void Skybox::SetTint(float r, float g, float b) {
    tint[0] = r;
    tint[1] = g;
    tint[2] = b;
}

bool Skybox::Draw(float) {
    return true;
}

// A tint of 0 or below in every channel makes every face black whatever its texels (the
// colour, lit or not, is clamped to 0 before it modulates the texture), and the cube covers the
// whole view: clearing the colour buffer to opaque black sets the same pixels without sampling
// a texel. The state is left as the drawn cube leaves it.
bool Skybox::clearsBlack() const {
    return allowBlackClear && tint[0] <= 0.0f && tint[1] <= 0.0f && tint[2] <= 0.0f;
}

bool Skybox::drawsBehind() const {
    return allowBehind && !clearsBlack();
}

bool Skybox::renderBlack() {
    if (!clearsBlack()) {
        return false;
    }
    GLfloat savedClear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, savedClear);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(savedClear[0], savedClear[1], savedClear[2], savedClear[3]);
    // The tint goes into the current colour and, through colour material, the material, as
    // the drawn cube leaves them; and the last face's texture stays bound.
    glEnable(GL_COLOR_MATERIAL);
    glColor3f(tint[0], tint[1], tint[2]);
    glBindTexture(GL_TEXTURE_2D,
                  textureManager.getGLName(faceTexture[kDrawOrder[kFaces - 1].texture]));
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_COLOR_MATERIAL);
    return true;
}

void Skybox::Render() {
    if (renderBlack()) {
        return;
    }
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    drawFaces();
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_COLOR_MATERIAL);
}

// The faces at the farthest depth (a depth range of [1, 1]), passing only where the depth
// buffer still holds its cleared value; software GL tests depth before it samples the texture,
// so covered pixels cost little.
void Skybox::RenderBehind() {
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT |
                 GL_LIGHTING_BIT | GL_VIEWPORT_BIT);
    glDepthMask(GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthRange(1.0, 1.0);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_LIGHTING);
    drawFaces();
    glPopAttrib();
}

void Skybox::drawFaces() {
    glEnable(GL_COLOR_MATERIAL);
    glPushMatrix();
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    Matrix4 view;
    view.fromArray(m);
    Matrix4 inverse = view.affineInverse();
    glTranslatef(inverse.m[12], inverse.m[13], inverse.m[14]);

    const float st[4][2] = {{1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 1.0f}};
    // One colour for the whole cube: flat shading draws the same with less to interpolate.
    GLint shadeModel = GL_SMOOTH;
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    glShadeModel(GL_FLAT);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor3f(tint[0], tint[1], tint[2]);
    for (const FaceQuad& face : kDrawOrder) {
        glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(faceTexture[face.texture]));
        glBegin(GL_QUADS);
        for (int k = 0; k < 4; ++k) {
            glTexCoord2f(st[k][0], st[k][1]);
            glVertex3fv(corner[face.corner[k]]);
        }
        glEnd();
    }
    glDisable(GL_TEXTURE_2D);
    glShadeModel(static_cast<GLenum>(shadeModel));
    glPopMatrix();
}
