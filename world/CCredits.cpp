#include "world/CCredits.h"

#include <GL/gl.h>

CCredits::CCredits() {
    position = CVec3(-4.0f, 1.0f, 0.0f);
    width = 10.0f;
    height = 10.0f;
    depth = 10.0f;
    size = height / 2.0f;  // half-edge of each page
}

CCredits::~CCredits() {}

// The pages are read when the credits are first started or shown, not while the game starts.
void CCredits::LoadAssets() {
    if (image.textureId != 0) return;  // read already (a missing page is not tried again)
    image.LoadFromFile("credits1.tga");
    image.CreateTexture();
    secondImage.LoadFromFile("credits2.tga");
    secondImage.CreateTexture();
}

void CCredits::Draw() {
    LoadAssets();
    const float s = size;
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    glRotatef(-90.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glEnable(GL_TEXTURE_2D);

    glBindTexture(GL_TEXTURE_2D, image.textureId);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-s, -s, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(s, -s, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(s, s, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-s, s, 0.0f);
    glEnd();

    // The second page continues below the first one's bottom edge.
    glBindTexture(GL_TEXTURE_2D, secondImage.textureId);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-s, -3.0f * s, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(s, -3.0f * s, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(s, -s, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-s, -s, 0.0f);
    glEnd();

    glPopMatrix();
}

// Drawn only by the world in the credits state, never by a tree walk.
void CCredits::Update(float) {}
void CCredits::Render(CViewCamera*) {}
void CCredits::HandleContact(CObject*) {}
