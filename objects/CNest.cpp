#include "objects/CNest.h"

#include <GL/gl.h>

CNest::CNest() {
    position = CVec3(0, 0, 0);
    width = 10;
    height = 3;
    depth = 10;
    size = height / 2;
    SetBox(position, width / 2, height / 2, depth / 2);
    image.LoadFromFile("nest.tga");
    image.CreateTexture();
    topImage.LoadFromFile("eggcrack.tga");
    topImage.CreateTexture();
}

void CNest::SetPosition(float x, float y, float z) {
    position = CVec3(x, y, z);
    // A little larger than the drawn box, so the duckling bounces before it clips the twigs.
    const float divisor = 1.8f;
    SetBox(position, width / divisor, height / divisor, depth / divisor);
}

void CNest::Update(float) {}

void CNest::Render(CViewCamera*) {
    const float w = width / 2;
    const float h = height / 2;
    const float d = depth / 2;
    BindImageAt(position);
    glBegin(GL_QUADS);
    DrawSides(w, h, d, 4, 2);
    glEnd();

    glBindTexture(GL_TEXTURE_2D, topImage.textureId);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(w, h, d);
    glTexCoord2f(1, 0);
    glVertex3f(w, h, -d);
    glTexCoord2f(1, 1);
    glVertex3f(-w, h, -d);
    glTexCoord2f(0, 1);
    glVertex3f(-w, h, d);
    glEnd();
}

bool CNest::IsVisible(const CFrustum& view) {
    return BoxVisible(view, position, width / 2, height / 2, depth / 2);
}

void CNest::HandleContact(CObject*) {}
