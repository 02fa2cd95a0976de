#include "scene/CViewCamera.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace {
// Degrees to radians, kept as the float the angles are multiplied by.
const float kDegToRad = 0.0174533f;

float Cos(float radians) { return static_cast<float>(std::cos(static_cast<double>(radians))); }
float Sin(float radians) { return static_cast<float>(std::sin(static_cast<double>(radians))); }
}  // namespace

CViewCamera::CViewCamera()
    : position(5.0f, 0.0f, 5.0f),
      velocity(0.0f, 0.0f, 0.0f),
      acceleration(0.0f, 0.0f, 0.0f),
      lookAt(0.0f, 0.0f, 1.0f),
      yaw(0.0f),
      pitch(0.0f),
      pitchLimitOff(false),
      viewEye(position),
      viewCentre(lookAt) {}

CViewCamera::~CViewCamera() {}

void CViewCamera::SetPosition(float x, float y, float z) { position = CVec3(x, y, z); }

void CViewCamera::SetLookAt(float x, float y, float z) { lookAt = CVec3(x, y, z); }

void CViewCamera::Move(float dt) {
    Advance(dt);
    ApplyView();
}

void CViewCamera::Advance(float dt) {
    // A full turn starts the heading again from zero rather than wrapping it.
    if (yaw >= 360.0f || yaw <= -360.0f) yaw = 0.0f;
    if (!pitchLimitOff) {
        if (pitch > kPitchLimit) pitch = kPitchLimit;
        if (pitch < -kPitchLimit) pitch = -kPitchLimit;
    }

    const float cy = Cos(yaw * kDegToRad);
    const float sy = Sin(yaw * kDegToRad);
    const float sp = Sin(pitch * kDegToRad);

    // Steps come from the speed before friction; a huge dt or speed cannot throw the eye far.
    float forward = dt * velocity.z;
    float side = dt * velocity.x;
    if (forward > kMaxForwardStep) forward = kMaxForwardStep;
    if (side > kMaxStep) side = kMaxStep;
    if (forward < -kMaxStep) forward = -kMaxStep;
    if (side < -kMaxStep) side = -kMaxStep;

    // A camera at rest keeps its last friction, so a speed zeroed by a contact drifts back a little.
    if (velocity.Length() > 0.0f) acceleration = -velocity * 3.0f;
    velocity += acceleration * dt;

    const float sideAngle = (yaw + 90.0f) * kDegToRad;
    position.x += Cos(sideAngle) * side;
    position.z += Sin(sideAngle) * side;
    position.x += cy * forward;
    position.z += sy * forward;

    lookAt = CVec3(position.x + cy, position.y + sp, position.z + sy);
    viewEye = position;
    viewCentre = lookAt;
}

void CViewCamera::ApplyView() {
    gluLookAt(viewEye.x, viewEye.y, viewEye.z, viewCentre.x, viewCentre.y, viewCentre.z, 0.0, 1.0, 0.0);
}
