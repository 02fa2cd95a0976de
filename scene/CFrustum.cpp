#include "scene/CFrustum.h"

#include <GL/gl.h>

#include <cmath>

CFrustum::CFrustum() : planes() {
    // Until set, every plane lets everything through.
    for (float* p : planes) {
        p[0] = p[1] = p[2] = 0;
        p[3] = 1;
    }
}

void CFrustum::FromCurrentMatrices() {
    float p[16], m[16], clip[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += double(p[k * 4 + row]) * double(m[col * 4 + k]);
            clip[col * 4 + row] = float(sum);
        }
    FromMatrix(clip);
}

void CFrustum::FromMatrix(const float c[16]) {
    // Row i of the matrix is (c[i], c[4 + i], c[8 + i], c[12 + i]); a point is inside when
    // -w <= x, y, z <= w, i.e. row 3 plus or minus rows 0, 1 and 2 is not negative.
    for (int i = 0; i < 6; ++i) {
        const int row = i / 2;
        const float sign = (i % 2 == 0) ? 1.0f : -1.0f;
        double v[4];
        for (int k = 0; k < 4; ++k)
            v[k] = double(c[k * 4 + 3]) + sign * double(c[k * 4 + row]);
        const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        for (int k = 0; k < 4; ++k)
            planes[i][k] = length > 0 ? float(v[k] / length) : (k == 3 ? 1.0f : 0.0f);
    }
}

bool CFrustum::SphereVisible(const CVec3& centre, float radius) const {
    // A little slack so rounding can never hide something that shows a pixel.
    const float reach = radius * 1.01f + 0.01f;
    for (const float* p : planes)
        if (p[0] * centre.x + p[1] * centre.y + p[2] * centre.z + p[3] < -reach) return false;
    return true;
}
