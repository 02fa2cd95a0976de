#ifndef PONDQUEST_CCREDITS_H
#define PONDQUEST_CCREDITS_H

#include "objects/CBox.h"

// Two credits pages lying flat at y = 1; the camera drifts over them.
class CCredits : public CBox {
public:
    CTextureImage secondImage;

    CCredits();
    ~CCredits() override;

    void Draw();
    // Reads both pages once; Draw does it if nobody has.
    void LoadAssets() override;

    void Update(float dt) override;
    void Render(CViewCamera* camera) override;
    void HandleContact(CObject* other) override;
};

#endif
