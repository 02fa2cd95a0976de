#include "support/CougarDodger.h"

#include "objects/CCougarBox.h"
#include "scene/CViewCamera.h"
#include "support/FrameDriver.h"
#include "support/MazePilot.h"
#include "support/NodeRing.h"

#include <algorithm>
#include <cmath>

namespace {
const float kBoxHalf = 5.0f;  // a cougar's box reaches 5 each way
const float kOrbit = 50.0f;   // a circling cougar's radius
const float kMargin = 4.0f;
const float kLimit = 230.0f;    // keep clear of the burning fence at 256
const float kSettle = 4.0f;     // close enough to the chosen z to stop
const float kBetterBy = 15.0f;  // only move for a clearly safer place
const float kUnsafe = 12.0f;    // move at once when the current place gets this tight

float HalfBand(const CCougarBox* cougar) {
    return kBoxHalf + kMargin + (cougar->circling == 1 ? kOrbit : 0.0f);
}

template <class F>
void ForEachCougar(CObject* root, F f) {
    for (CCougarBox* cougar : LiveChildren<CCougarBox>(root))
        f(cougar);
}
}  // namespace

CougarDodger::CougarDodger() : targetZ(0), moves(0), waits(0) {}

float CougarDodger::Clearance(CObject* root, float z) {
    float nearest = 1e9f;
    ForEachCougar(root, [&](CCougarBox* cougar) {
        const float gap = std::fabs(z - cougar->position.z) - HalfBand(cougar);
        nearest = std::min(nearest, std::max(0.0f, gap));
    });
    return nearest;
}

void CougarDodger::Steer(FrameDriver& driver, CObject* root, float dt) {
    CViewCamera* camera = driver.Camera();
    const float here = camera->position.z;
    const float x = camera->position.x;
    // Bands creep, so look again every frame. Crossing a band is the risky part, so the
    // search keeps to the open stretch of z around the duckling; only when that stretch
    // closes in does it look across the bands.
    const float current = Clearance(root, targetZ);
    float bestZ = targetZ;
    float best = current;
    auto consider = [&](float z) {
        const float c = Clearance(root, z);
        if (c > best + 0.01f) {
            best = c;
            bestZ = z;
        }
        return c;
    };
    for (float z = here; z <= kLimit; z += 2.0f)
        if (consider(z) <= 0.0f) break;
    for (float z = here; z >= -kLimit; z -= 2.0f)
        if (consider(z) <= 0.0f) break;
    if (best < kUnsafe)
        for (float z = -kLimit; z <= kLimit; z += 2.0f)
            consider(z);
    if (best > current + kBetterBy || current < kUnsafe) targetZ = bestZ;

    if (std::fabs(targetZ - here) < kSettle) {
        driver.SetMouse(0, 0);
        driver.Release("W");
        driver.Release("S");
        return;
    }

    // Before stepping into a band, wait at its edge while its cougar could reach this x
    // before the duckling is across: a cougar covers the clock's value every frame.
    const float side = targetZ > here ? 1.0f : -1.0f;
    const float runSpeed = (2.0f / 3.0f) / dt;
    const float speed = std::max(0.0f, camera->velocity.z);
    const float stopping = speed / 3.0f + 2.0f;
    const float cougarSpeed = std::fabs(cougarClock) / dt;
    bool wait = false;
    ForEachCougar(root, [&](CCougarBox* cougar) {
        const float half = HalfBand(cougar);
        const float nearEdge = cougar->position.z - side * half;
        const float ahead = (nearEdge - here) * side;         // distance to the band's near edge
        if (ahead < 0.0f || ahead > stopping + 2.0f) return;  // inside already, or far off
        const float across = (ahead + 2.0f * half) / runSpeed + 0.5f;
        const float reach = half + cougarSpeed * across + kMargin;
        if (std::fabs(cougar->position.x - x) < reach) wait = true;
    });

    bool pushed = false;
    MazePilot::AimAt(driver, x, targetZ, &pushed);
    if (wait) {
        ++waits;
        driver.Release("W");
        if (camera->velocity.z > 1.0f)
            driver.Hold("S");
        else
            driver.Release("S");
    } else {
        driver.Release("S");
        if (pushed) ++moves;
    }
}
