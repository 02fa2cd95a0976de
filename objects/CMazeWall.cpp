#include "objects/CMazeWall.h"

CMazeWall::CMazeWall(int orientation) : orientation(orientation), parked(false) {
    position = CVec3(0, 0, 0);
    height = 15;
    width = 50;
    size = width / 2;
    // The contact box stays empty until the maze places the piece.
    image.LoadFromFile("plant25.tga");
    image.CreateTexture();
}

void CMazeWall::SetPosition(float x, float y, float z) { PlaceWall(x, y, z, orientation); }

void CMazeWall::Update(float) {}

void CMazeWall::Render(CViewCamera*) { DrawWall(orientation, 6, 4); }

// A removed piece stays in the tree but sits outside the maze behind its fence: never drawn.
bool CMazeWall::IsVisible(const CFrustum& view) { return !parked && WallVisible(view); }

void CMazeWall::HandleContact(CObject*) {}

void CMazeWall::BeforeFrame() {}
