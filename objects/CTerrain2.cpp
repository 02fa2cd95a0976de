#include "objects/CTerrain2.h"

#include "objects/CTerrain.h"

CTerrain2::CTerrain2(int32_t, float) : halfSize(256), fogDistance(80.0f) {
    handlesContacts = false;
    drawOrder = kUnderneath;
    fogColor[0] = 0.75f;
    fogColor[1] = 0.9f;
    fogColor[2] = 1.0f;
    fogColor[3] = 1.0f;
    position = CVec3(0, 0, 0);
    velocity = CVec3(0, 0, 0);
    acceleration = CVec3(0, 0, 0);
    images[0].LoadFromFile("fire2.tga");
    images[0].CreateTexture();
}

void CTerrain2::Update(float) {}

void CTerrain2::Render(CViewCamera*) {
    // One tile every 16 units, like the sand.
    CTerrain::DrawGroundLast(images[0].textureId, static_cast<float>(halfSize), 32);
}

void CTerrain2::HandleContact(CObject*) {}

void CTerrain2::LoadAssets() {}

void CTerrain2::FreeAssets() {}
