#include "objects/CBoundary.h"

#include <GL/gl.h>

CBoundary::CBoundary(int orientation) : CBox(), orientation(orientation) {
    position = CVec3(0, 0, 0);
    height = 15;
    width = 512;
    size = width / 2;
    minX = maxX = minY = maxY = minZ = maxZ = 0;
    image.LoadFromFile("fire2.tga");
    image.CreateTexture();
}

void CBoundary::SetPosition(float x, float y, float z) {
    position = CVec3(x, y, z);
    const float half = width / 2;
    minY = y;
    maxY = y + height;
    if (orientation == 0) {
        minX = x - half;
        maxX = x + half;
        minZ = z - 2;
        maxZ = z + 2;
    } else {
        minX = x - 2;
        maxX = x + 2;
        minZ = z - half;
        maxZ = z + half;
    }
}

void CBoundary::Update(float) {}

void CBoundary::HandleContact(CObject*) {}

void CBoundary::BeforeFrame() {}

void CBoundary::Render(CViewCamera*) {
    const float w = width, h = height;
    glTranslatef(position.x, position.y, position.z);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, image.textureId);
    glBegin(GL_QUADS);
    if (orientation == 0) {
        glTexCoord2f(32, 0); glVertex3f(w / 2, 0, 0);
        glTexCoord2f(32, 1); glVertex3f(w / 2, h, 0);
        glTexCoord2f(0, 1);  glVertex3f(-w / 2, h, 0);
        glTexCoord2f(0, 0);  glVertex3f(-w / 2, 0, 0);
    } else {
        glTexCoord2f(32, 0); glVertex3f(0, 0, w / 2);
        glTexCoord2f(32, 1); glVertex3f(0, h, w / 2);
        glTexCoord2f(0, 1);  glVertex3f(0, h, -w / 2);
        glTexCoord2f(0, 0);  glVertex3f(0, 0, -w / 2);
    }
    glEnd();
}
