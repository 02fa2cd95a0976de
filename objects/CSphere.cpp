#include "objects/CSphere.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "scene/CFrustum.h"

CSphere::CSphere() : quadric(nullptr) {
    handlesContacts = false;  // reaching it is the player's business
    size = 15.0f;
    position = CVec3(540, 4, 540);
    velocity = CVec3(0, 0, 0);
    acceleration = CVec3(0, 0, 0);
    quadric = gluNewQuadric();
    if (quadric) gluQuadricTexture(quadric, GL_TRUE);
    image.LoadFromFile("elder.tga");
    image.CreateTexture();
    // The goal is reached well before the ball's surface: the box is three radii wide.
    SetBox(position, size, size, size);
}

CSphere::~CSphere() {
    if (quadric) gluDeleteQuadric(quadric);
}

void CSphere::Update(float) {}

void CSphere::Render(CViewCamera*) {
    glTranslatef(position.x, position.y, position.z);
    // Stand the quadric's z axis upright and turn the face about it.
    glRotatef(210, 0, 1, 0);
    glRotatef(-90, 1, 0, 0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, image.textureId);
    if (quadric) gluSphere(quadric, size / 3, 20, 20);
}

bool CSphere::IsVisible(const CFrustum& view) { return view.SphereVisible(position, size / 3); }

void CSphere::HandleContact(CObject*) {}

void CSphere::BeforeFrame() {}
