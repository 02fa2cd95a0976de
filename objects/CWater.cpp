#include "objects/CWater.h"

#include <GL/gl.h>

#include <cmath>

float waveAngle = 0;

CWater::CWater() : halfSize(1024) {
    drawOrder = kSeeThrough;
    position = CVec3(0, 2, 0);
    velocity = CVec3(0, 0, 0);
    acceleration = CVec3(0, 0, 0);
    image.LoadFromFile("water1.tga");
    image.CreateTexture();
}

void CWater::Update(float dt) {
    // The angle is fed to cos as radians while the wrap and offsets look like
    // degrees; that gives the slow, lopsided sway the level is tuned for.
    waveAngle += 0.6f * dt;
    if (waveAngle >= 360) waveAngle -= 360;
    position.y = 0.5f * std::cos(waveAngle) + 1.5f;
    position.x = 0.5f * std::cos(waveAngle + 180);
    position.z = 0.5f * std::cos(waveAngle + 90);
}

void CWater::Render(CViewCamera*) {
    const float h = static_cast<float>(halfSize);
    const float x = position.x;
    const float y = position.y;
    const float z = position.z;
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    // No depth writes, so nothing drawn later is hidden behind the surface.
    glDepthMask(GL_FALSE);
    glBlendFunc(GL_ONE, GL_SRC_COLOR);
    glColor4f(0.5f, 0.5f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, image.textureId);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(x + h, y, z + h);
    glTexCoord2f(128, 0);
    glVertex3f(x + h, y, z - h);
    glTexCoord2f(128, 128);
    glVertex3f(x - h, y, z - h);
    glTexCoord2f(0, 128);
    glVertex3f(x - h, y, z + h);
    glEnd();
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
}

void CWater::HandleContact(CObject*) {}

void CWater::BeforeFrame() {}
