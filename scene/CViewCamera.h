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
    // The view the last motion left, which every drawn frame applies: the title and the
    // credits move the camera after it has moved, and their picture must not see that.
    CVec3 viewEye;
    CVec3 viewCentre;

    // Unless pitchLimitOff, the eye looks at most this many degrees up or down.
    static constexpr float kPitchLimit = 60.0f;
    // One Move's step along the heading: forward up to kMaxForwardStep, back and sideways up
    // to kMaxStep, however large the speed or dt.
    static constexpr float kMaxForwardStep = 25.0f;
    static constexpr float kMaxStep = 13.0f;

    CViewCamera();
    ~CViewCamera();

    void SetPosition(float x, float y, float z);
    void SetLookAt(float x, float y, float z);
    // Friction, clamped motion and gluLookAt; needs an identity modelview matrix.
    void Move(float dt);
    // Move in two halves: the motion alone, and the view it left loaded with gluLookAt.
    void Advance(float dt);
    void ApplyView();
};

#endif
