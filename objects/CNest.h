#ifndef PONDQUEST_CNEST_H
#define PONDQUEST_CNEST_H

#include "objects/CBox.h"

// The duckling's nest: a low box with twig sides and a cracked-egg top.
class CNest : public CBox {
public:
    CTextureImage topImage;

    CNest();

    void SetPosition(float x, float y, float z);

    void Update(float dt) override;
    void Render(CViewCamera* camera) override;
    bool IsVisible(const CFrustum& view) override;
    void HandleContact(CObject* other) override;
};

#endif
