#ifndef PONDQUEST_CFRUSTUM_H
#define PONDQUEST_CFRUSTUM_H

#include "scene/CVec3.h"

// The six planes of what the current projection and modelview show, to skip drawing what
// cannot be seen. Planes face inwards; a sphere is outside when it lies wholly behind one.
class CFrustum {
public:
    float planes[6][4];  // a, b, c, d with (a, b, c) of unit length

    CFrustum();
    // Takes the planes from the GL's current projection and modelview matrices.
    void FromCurrentMatrices();
    // From a combined projection x modelview matrix, column-major as GL keeps it.
    void FromMatrix(const float clip[16]);
    // False only when every point of the sphere is outside; a sphere touching the view, or
    // too close to call, counts as visible.
    bool SphereVisible(const CVec3& centre, float radius) const;
};

#endif
