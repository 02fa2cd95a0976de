#ifndef PONDQUEST_CTERRAIN_H
#define PONDQUEST_CTERRAIN_H

#include "scene/CObject.h"
#include "textures/CTextureImage.h"

// Level one's sand ground: one quad from -1024 to 1024, root of the level's tree.
class CTerrain : public CObject {
public:
    int32_t halfSize;
    float fogDistance;
    CTextureImage images[5];
    float fogColor[4];

    CTerrain(int32_t unusedSize, float unusedScale);

    // One ground quad at y = -0.01 spanning -halfSize..halfSize, its texture tiled `repeats` times.
    static void DrawGround(unsigned int texture, float halfSize, float repeats);
    // The same after everything standing on it, with the picture drawing it first gives.
    static void DrawGroundLast(unsigned int texture, float halfSize, float repeats);

    void Update(float dt) override;
    void Render(CViewCamera* camera) override;
    void HandleContact(CObject* other) override;
    void LoadAssets() override;
    void FreeAssets() override;
};

#endif
