#ifndef PONDQUEST_CREESES_H
#define PONDQUEST_CREESES_H

#include "objects/CBox.h"

struct GLUquadric;

// A food item: a textured ball of radius 5.
class CReeses : public CBox {
public:
    GLUquadric* quadric;
    CTextureImage foodImage;

    // Energy the duckling gains by eating one.
    static constexpr int kEnergyBonus = 20;

    CReeses();
    ~CReeses() override;

    void SetPosition(float x, float y, float z);

    void Update(float dt) override;
    void Render(CViewCamera* camera) override;
    bool IsVisible(const CFrustum& view) override;
    void HandleContact(CObject* other) override;
    void BeforeFrame() override;
};

#endif
