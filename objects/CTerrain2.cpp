#include "objects/CTerrain2.h"

#include <GL/gl.h>

CTerrain2::CTerrain2(int32_t, float) : halfSize(256), fogDistance(80.0f) {
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
    const float h = static_cast<float>(halfSize);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, images[0].textureId);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex3f(h, -0.01f, h);
    glTexCoord2f(32, 0); glVertex3f(h, -0.01f, -h);
    glTexCoord2f(32, 32); glVertex3f(-h, -0.01f, -h);
    glTexCoord2f(0, 32); glVertex3f(-h, -0.01f, h);
    glEnd();
}

void CTerrain2::HandleContact(CObject*) {}

void CTerrain2::LoadAssets() {}

void CTerrain2::FreeAssets() {}
