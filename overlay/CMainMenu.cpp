#include "overlay/CMainMenu.h"

#include <GL/gl.h>

CMainMenu::CMainMenu() : halfSize(10), loaded(false) {
    handlesContacts = false;
    position = CVec3(20.0f, 0.0f, -0.25f);
    velocity = CVec3(0.0f, 0.0f, 0.0f);
    acceleration = CVec3(0.0f, 0.0f, 0.0f);
    CMainMenu::LoadAssets();
}

CMainMenu::~CMainMenu() {}

void CMainMenu::Draw() {
    LoadAssets();
    const float h = static_cast<float>(halfSize);
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    glRotatef(-90.0f, 0.0f, 1.0f, 0.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, images[0].textureId);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-h, -h, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(h, -h, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(h, h, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-h, h, 0.0f);
    glEnd();
    glPopMatrix();
}

// Drawn only by the overlay, never by a tree walk.
void CMainMenu::Update(float) {}
void CMainMenu::Render(CViewCamera*) {}
void CMainMenu::HandleContact(CObject*) {}
void CMainMenu::LoadAssets() {
    if (loaded) return;  // a missing picture is not tried again until it is let go
    loaded = true;
    images[0].LoadFromFile("titlemenu.tga");
    images[0].CreateTexture();
}

// Nobody sees the title during a level: its megabyte of texture goes until it is shown again.
void CMainMenu::FreeAssets() {
    images[0].Release();
    loaded = false;
}
