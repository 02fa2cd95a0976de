#include "objects/CMazeWall.h"

#include <GL/gl.h>

CMazeWall::CMazeWall(int orientation) : orientation(orientation) {
    position = CVec3(0, 0, 0);
    height = 15;
    width = 50;
    size = width / 2;
    // The contact box stays empty until the maze places the piece.
    image.LoadFromFile("plant25.tga");
    image.CreateTexture();
}

void CMazeWall::SetPosition(float x, float y, float z) {
    position = CVec3(x, y, z);
    minY = y;
    maxY = y + height;
    // The panel is drawn flat, but contacts see it 4 units thick.
    if (orientation == 0) {
        minX = x - width / 2;
        maxX = x + width / 2;
        minZ = z - 2;
        maxZ = z + 2;
    } else {
        minX = x - 2;
        maxX = x + 2;
        minZ = z - width / 2;
        maxZ = z + width / 2;
    }
}

void CMazeWall::Update(float) {}

void CMazeWall::Render(CViewCamera*) {
    const float w = width;
    const float h = height;
    glTranslatef(position.x, position.y, position.z);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, image.textureId);
    glBegin(GL_QUADS);
    if (orientation == 0) {
        glTexCoord2f(6, 0); glVertex3f(w / 2, 0, 0);
        glTexCoord2f(6, 4); glVertex3f(w / 2, h, 0);
        glTexCoord2f(0, 4); glVertex3f(-w / 2, h, 0);
        glTexCoord2f(0, 0); glVertex3f(-w / 2, 0, 0);
    } else {
        glTexCoord2f(6, 0); glVertex3f(0, 0, w / 2);
        glTexCoord2f(6, 4); glVertex3f(0, h, w / 2);
        glTexCoord2f(0, 4); glVertex3f(0, h, -w / 2);
        glTexCoord2f(0, 0); glVertex3f(0, 0, -w / 2);
    }
    glEnd();
}

void CMazeWall::HandleContact(CObject*) {}

void CMazeWall::BeforeFrame() {}
