#include "objects/CCougarBox.h"

#include <GL/gl.h>

#include <cmath>

#include "scene/CRandom.h"

float cougarClock = 0;

CCougarBox::CCougarBox(float x, float y, float z) : drawPosition(0, 0, 0) {
    // Every new level two starts with still cougars.
    cougarClock = 0;
    dirX = 1;
    dirZ = 1;
    circling = CRandom::Rand() % 2;
    spin = CRandom::Rand() % 200;
    orbitSign = (CRandom::Rand() % 2 == 0) ? -1 : 1;
    position = CVec3(x, y, z);
    drawPosition = CVec3(0, -20, 0);
    height = 10;
    depth = 10;
    width = 10;
    size = height / 2;
    SetBox(position, width / 2, height / 2, depth / 2);
    image.LoadFromFile("cougar.tga");
    image.CreateTexture();
}

void CCougarBox::Update(float dt) {
    if (cougarClock >= 360) cougarClock -= 360;
    cougarClock += 0.0005f * dt;

    const float bob = 2 * std::cos(cougarClock * 1000) + 3;
    if (circling == 1) {
        const float angle = spin * 3.14159f * cougarClock;
        const float radius = static_cast<float>(orbitSign * 50);
        drawPosition.x = position.x + std::cos(angle) * radius;
        drawPosition.z = position.z + std::sin(angle) * radius;
        drawPosition.y = bob;
    } else {
        drawPosition.y = bob;
        drawPosition.x = position.x;
        drawPosition.z = position.z;
    }

    if (position.x < -256 && dirX == -1) dirX = 1;
    if (position.x > 256 && dirX == 1) dirX = -1;
    if (position.z < -256 && dirZ == -1) dirZ = 1;
    if (position.z > 256 && dirZ == 1) dirZ = -1;

    // The drift is the clock itself, so cougars speed up as the level goes on.
    if (dirX < 0)
        position.x -= cougarClock;
    else
        position.x += cougarClock;
    if (dirZ < 0)
        position.z -= cougarClock * 0.05f;
    else
        position.z += cougarClock * 0.1f;

    SetBox(drawPosition, width / 2, height / 2, depth / 2);
}

void CCougarBox::Render(CViewCamera*) {
    const float a = depth / 2;
    const float b = height / 2;
    const float c = width / 2;
    BindImageAt(drawPosition);
    glBegin(GL_QUADS);
    DrawSides(a, b, c, 1, 1);
    glEnd();
}

bool CCougarBox::IsVisible(const CFrustum& view) {
    return BoxVisible(view, drawPosition, depth / 2, height / 2, width / 2);
}

void CCougarBox::HandleContact(CObject*) {}

void CCougarBox::LoadAssets() {}

void CCougarBox::FreeAssets() {}
