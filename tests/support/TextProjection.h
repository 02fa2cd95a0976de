#ifndef PONDQUEST_TESTS_TEXTPROJECTION_H
#define PONDQUEST_TESTS_TEXTPROJECTION_H

#include <GL/gl.h>
#include <GL/glu.h>

// Where a text position lands on the screen under the current projection and viewport:
// the fonts draw with the modelview set one unit in front of the eye.
inline void ProjectText(float x, float y, float z, double& sx, double& syFromTop) {
    GLdouble model[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -1, 1};
    GLdouble proj[16];
    GLint view[4];
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, view);
    double wx, wy, wz;
    gluProject(x, y, z, model, proj, view, &wx, &wy, &wz);
    sx = wx;
    syFromTop = view[3] - wy;
}

#endif
