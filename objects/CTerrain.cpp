#include "objects/CTerrain.h"

#include <GL/gl.h>

CTerrain::CTerrain(int32_t, float) : halfSize(1024), fogDistance(80.0f) {
    handlesContacts = false;
    fogColor[0] = 0.75f;
    fogColor[1] = 0.9f;
    fogColor[2] = 1.0f;
    fogColor[3] = 1.0f;
    position = CVec3(0, 0, 0);
    velocity = CVec3(0, 0, 0);
    acceleration = CVec3(0, 0, 0);
    images[0].LoadFromFile("sanddark.tga");
    images[0].CreateTexture();
    // Fog is prepared once but left switched off: the underwater view reads better clear.
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, fogColor);
    glFogf(GL_FOG_START, fogDistance * 0.2f);
    glFogf(GL_FOG_END, fogDistance * 2.5f);
    glHint(GL_FOG_HINT, GL_FASTEST);
}

void CTerrain::Update(float) {}

void CTerrain::DrawGround(unsigned int texture, float h, float repeats) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(h, -0.01f, h);
    glTexCoord2f(repeats, 0);
    glVertex3f(h, -0.01f, -h);
    glTexCoord2f(repeats, repeats);
    glVertex3f(-h, -0.01f, -h);
    glTexCoord2f(0, repeats);
    glVertex3f(-h, -0.01f, h);
    glEnd();
}

void CTerrain::Render(CViewCamera*) {
    // One tile every 16 units.
    DrawGround(images[0].textureId, static_cast<float>(halfSize), 128);
}

void CTerrain::HandleContact(CObject*) {}

void CTerrain::LoadAssets() {}

void CTerrain::FreeAssets() {}
