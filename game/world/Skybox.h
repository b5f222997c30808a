// The sky: a textured cube of edge 1000 centred on the eye, drawn first without depth test or
// depth writes so that everything else lies in front of it. Every face is multiplied by the
// tint, which the music darkens. Not drawn through the scene tree: the director calls Render.
#pragma once

#include "game/world/SceneObject.h"

class Skybox : public SceneObject {
  public:
    enum Face { Front = 0, Back, Left, Right, Top, Bottom, kFaces };

    // Tint (1, 1, 1), corners of a 1000 cube.
    Skybox();
    // Gives the texture references back.
    ~Skybox() override;

    // Style 0: "north.jpg", "south.jpg", "east.jpg", "west.jpg" and "up.jpg" into the front,
    // back, left, right and top faces, in that order; the bottom shows the top's image.
    // Throws "Couldn't load Skybox texture <face>: " and the reason at the first image that cannot
    // be loaded; the faces before it keep theirs.
    void Load(int newStyle);
    void SetTint(float r, float g, float b);
    // The cube around the eye. Afterwards depth test and writes are on and colour material off.
    void Render();
    // Whether the frame may draw the sky after the terrain with RenderBehind instead of
    // Render before it: when allowed and the sky is not cleared to black.
    bool drawsBehind() const;
    // The cube, after what is drawn before it, only on the pixels whose depth is still the
    // farthest (cleared): the same pixels as Render drawn first and covered by the rest, without
    // filling the covered ones. Every GL state it changes is put back.
    void RenderBehind();
    // Does nothing: the sky is not drawn through the tree.
    bool Draw(float elapsed) override;

    void Hook4() override {}
    void Hook5() override {}
    void Hook6() override {}
    void LoadResources() override {}

    // Corners 0..3 at -y, 4..7 at +y; see Skybox.cpp. Each face: texture and corner indices,
    // drawn in this order.
    struct FaceQuad {
        Face texture;
        int corner[4];
    };
    static const FaceQuad kDrawOrder[kFaces];

    int faceTexture[kFaces] = {-1, -1, -1, -1, -1, -1};
    int style = 0;
    float corner[8][3] = {};
    float tint[3] = {1.0f, 1.0f, 1.0f};
    // A black tint clears the view instead of drawing the faces (the default); false always
    // draws them.
    bool allowBlackClear = true;
    // Whether drawsBehind may answer true; off for comparing with the sky drawn first.
    bool allowBehind = true;

  private:
    // Clears the view to black instead of drawing when the tint leaves nothing of the faces;
    // false (nothing done) otherwise.
    bool renderBlack();
    bool clearsBlack() const;
    void drawFaces();
    void setCorners(float sx, float sy, float sz);
};
