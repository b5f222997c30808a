#include "game/shell/ViewSetup.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

void computeFrustumSphere(float fov, float width, float height, float nearDist, float farDist) {
    const double pi = 3.14159265358979323846;
    // The near rectangle is taken as the viewport's half size in pixels.
    double wn = width / 2.0;
    double hn = height / 2.0;
    double hf = std::tan(fov / 2.0 * pi / 180.0) * farDist;
    double wf = (static_cast<double>(width) / height) * hf;
    double z = ((wf * wf + hf * hf) - (wn * wn + hn * hn) + static_cast<double>(farDist) * farDist -
                static_cast<double>(nearDist) * nearDist) /
               (2.0 * (farDist - nearDist));
    double dz = farDist - z;
    frustumSphereCenter[0] = 0.0f;
    frustumSphereCenter[1] = 0.0f;
    frustumSphereCenter[2] = static_cast<float>(-z);
    frustumSphereRadius = static_cast<float>(std::sqrt(wf * wf + hf * hf + dz * dz));
}

void reshapeView(int width, int height) {
    if (height <= 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, static_cast<GLdouble>(static_cast<float>(width) / height),
                   kNearPlane, kFarPlane);
    computeFrustumSphere(kFieldOfView, static_cast<float>(width), static_cast<float>(height),
                         kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
