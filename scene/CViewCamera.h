#ifndef PONDQUEST_CVIEWCAMERA_H
#define PONDQUEST_CVIEWCAMERA_H

#include "scene/CVec3.h"

// The duckling's eye. Velocity z is forward speed along the heading, x sideways.
class CViewCamera {
public:
    CVec3 position;
    CVec3 velocity;
    CVec3 acceleration;
    CVec3 lookAt;
    float yaw;
    float pitch;
    bool pitchLimitOff;

    CViewCamera();
    ~CViewCamera();

    void SetPosition(float x, float y, float z);
    void SetLookAt(float x, float y, float z);
    // Friction, clamped motion and gluLookAt; needs an identity modelview matrix.
    void Move(float dt);
};

#endif
