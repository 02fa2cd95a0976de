#include "objects/CBoundary.h"

CBoundary::CBoundary(int orientation) : CBox(), orientation(orientation) {
    position = CVec3(0, 0, 0);
    height = 15;
    width = 512;
    size = width / 2;
    minX = maxX = minY = maxY = minZ = maxZ = 0;
    image.LoadFromFile("fire2.tga");
    image.CreateTexture();
}

void CBoundary::SetPosition(float x, float y, float z) { PlaceWall(x, y, z, orientation); }

void CBoundary::Update(float) {}

void CBoundary::HandleContact(CObject*) {}

void CBoundary::BeforeFrame() {}

void CBoundary::Render(CViewCamera*) { DrawWall(orientation, 32, 1); }

bool CBoundary::IsVisible(const CFrustum& view) { return WallVisible(view); }
