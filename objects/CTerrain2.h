#ifndef PONDQUEST_CTERRAIN2_H
#define PONDQUEST_CTERRAIN2_H

#include "scene/CObject.h"
#include "textures/CTextureImage.h"

// Level two's fire ground: one quad from -256 to 256, root of the level's tree.
class CTerrain2 : public CObject {
public:
    int32_t halfSize;
    float fogDistance;
    CTextureImage images[5];
    float fogColor[4];

    CTerrain2(int32_t unusedSize, float unusedScale);

    void Update(float dt) override;
    void Render(CViewCamera* camera) override;
    void HandleContact(CObject* other) override;
    void LoadAssets() override;
    void FreeAssets() override;
};

#endif
