#ifndef PONDQUEST_CCOUGARBOX_H
#define PONDQUEST_CCOUGARBOX_H

#include "objects/CBox.h"

// Shared by every cougar: reset by each constructor, advanced by each Update.
extern float cougarClock;

// A cougar: drifts, maybe circles, bobs, and gets faster as the clock grows.
class CCougarBox : public CBox {
public:
    int32_t dirX;
    int32_t dirZ;
    int32_t circling;
    int32_t spin;
    int32_t orbitSign;
    CVec3 drawPosition;

    CCougarBox(float x, float y, float z);

    void Update(float dt) override;
    void Render(CViewCamera* camera) override;
    bool IsVisible(const CFrustum& view) override;
    void HandleContact(CObject* other) override;
    void LoadAssets() override;
    void FreeAssets() override;
};

#endif
