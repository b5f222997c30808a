// The base of every particle emitter: a fixed pool of particles updated once a frame and drawn
// as camera-facing textured quads. The base holds what all emitters share: the texture, the
// view test with its distance, the billboard axes of the frame, the level of detail, the blend
// states and the drawing frame with its quad batch. A concrete emitter owns its pool, derives
// from CParticleSystem first and SceneActor second, and overrides Update, Render and
// InitParticle (and SceneActor's Draw with its Update, Render with its Render).
//
// Calling order per frame: IsInView (emitters at fixed places), Update (elapsed), then Render
// inside the matrix that places the emitter. Music arrives between frames through SceneActor.
#pragma once

#include "game/assets/math/Matrix4.h"
#include "game/assets/math/Vector3.h"

#include <GL/gl.h>

#include <vector>

struct Particle {
    Vector3 position;      // in the emitter's local frame
    Vector3 spawnPosition; // where the particle restarts
    Vector3 colour;        // red, green, blue
    Vector3 velocity;
    Vector3 baseVelocity; // copied back into velocity on every restart
    float life = 0.0f;    // the particle restarts or dies at 0
    float size = 0.0f;    // half width of the drawn quad
    bool active = false;  // alive, for the emitters that let particles die
};

class CParticleSystem {
  public:
    // Life burnt per unit of the director's elapsed time.
    static constexpr float kLifeRate = 13.0f;

    CParticleSystem();
    // Gives the texture reference back to the texture manager.
    virtual ~CParticleSystem();
    CParticleSystem(const CParticleSystem&) = delete;
    CParticleSystem& operator=(const CParticleSystem&) = delete;

    // Advances every particle; the base does nothing and returns true.
    virtual bool Update(float elapsed);
    // A one-value input; only the breath stream uses it.
    virtual void SetIntensity(float value);
    // Draws the particles with the drawing frame below; the base draws nothing.
    virtual void Render();
    // A one-value hook that no emitter gives an effect.
    virtual void Hook3(float value);
    // Restarts one particle.
    virtual void InitParticle(Particle& p);
    // Restarts the whole pool.
    virtual void ResetAll();

    // Loads an archive image into textureId (clamped to edge, mipmapped). Throws the text
    // "CParticleSystem: Couldn't load bmp texture: " and the reason when it cannot.
    void LoadImage(const char* fileName);
    // Puts the shared soft dot texture ("splat") into textureId.
    void MakeSplatTexture();
    // Stores the model-view matrix in viewMatrix and origin in lastOrigin; true when the
    // sphere of radius around origin meets the view frustum's sphere, and only then stores
    // the eye-space distance in viewDistance.
    bool IsInView();
    // Right and up axes of the camera from the current model-view matrix.
    void SetBillboardAxes();
    // on: texturing, modulate, blending (source alpha, one). off: blending and texturing off.
    static void AdditiveState(bool on);
    // on: texturing, replace, alpha test greater than 0. off: blending, texturing, alpha test
    // off.
    static void CutoutState(bool on);
    // How many particles from the start of the pool the level of detail draws at
    // viewDistance: the whole pool up close, falling linearly to an eighth at 1750 and beyond.
    int LevelOfDetailCount() const;

    float radius = 0.0f;
    Vector3 origin;
    Vector3 lastOrigin;
    int liveCount = 0;
    int maxParticles = 0;
    int textureId = -1;
    Vector3 billboardRight{1.0f, 0.0f, 0.0f};
    Vector3 billboardUp{0.0f, 1.0f, 0.0f};
    float defaultSize = 0.0f;
    bool finished = false;
    float viewDistance = 0.0f;
    Matrix4 viewMatrix;

  protected:
    // The drawing frame: saves the current colour, texture environment mode and shade model
    // (flat while the quads draw: each has one colour), takes the
    // billboard axes, enables texturing with envMode, blending with (src, dst), binds the
    // texture, alpha test greater than 0, lighting off, and starts an empty quad batch.
    void beginFrame(GLint envMode, GLenum src, GLenum dst);
    // Draws what the batch holds (several draws per frame are allowed, e.g. around a change
    // of the environment colour), then empties it.
    void flushQuads();
    // Draws the batched quads and keeps them, for drawing them again.
    void drawBatch();
    // Flushes, then: alpha test, blending and texturing off, the saved colour and environment
    // mode back, lighting on, front diffuse material (1, 1, 1, 1).
    void endFrame();

    // Queues the billboard quad of a particle at p with half size s: corners p - (R + U) s,
    // p + (R - U) s, p + (R + U) s, p + (U - R) s with texture (0, 0), (1, 0), (1, 1), (0, 1);
    // flippedT gives (0, 1), (1, 1), (1, 0), (0, 0) instead.
    void addBillboard(const Vector3& p, float s, float r, float g, float b, float a,
                      bool flippedT = false);
    // Queues any quad: four corners with their texture coordinates, one colour.
    void addQuad(const Vector3 corners[4], const float st[4][2], float r, float g, float b,
                 float a);

  private:
    struct QuadVertex {
        float s, t;
        float r, g, b, a;
        float x, y, z;
    };
    std::vector<QuadVertex> batch;
    float savedColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    GLint savedEnvMode = GL_MODULATE;
    GLint savedShadeModel = GL_SMOOTH;
};
