#ifndef PONDQUEST_CWATER_H
#define PONDQUEST_CWATER_H

#include "objects/CBox.h"

// Shared by all water: never reset, so the sway carries over between builds.
extern float waveAngle;

// The translucent water surface over level one, swaying slowly.
class CWater : public CBox {
public:
    int32_t halfSize;

    CWater();

    void Update(float dt) override;
    void Render(CViewCamera* camera) override;
    void HandleContact(CObject* other) override;
    void BeforeFrame() override;
};

#endif
