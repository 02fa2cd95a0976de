#include "objects/CReeses.h"

#include <GL/gl.h>
#include <GL/glu.h>

CReeses::CReeses() : quadric(nullptr) {
    size = 5.0f;
    position = CVec3(540, 4, 540);
    velocity = CVec3(0, 0, 0);
    acceleration = CVec3(0, 0, 0);
    quadric = gluNewQuadric();
    if (quadric) gluQuadricTexture(quadric, GL_TRUE);
    foodImage.LoadFromFile("reeses.tga");
    foodImage.CreateTexture();
}

CReeses::~CReeses() {
    if (quadric) gluDeleteQuadric(quadric);
}

void CReeses::SetPosition(float x, float y, float z) {
    position = CVec3(x, y, z);
    SetBox(position, size, size, size);
}

void CReeses::Update(float) {}

void CReeses::Render(CViewCamera*) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, foodImage.textureId);
    glTranslatef(position.x, position.y, position.z);
    // The quadric's axis runs along z; stand it upright.
    glRotatef(180, 0, 1, 0);
    glRotatef(-90, 1, 0, 0);
    if (quadric) gluSphere(quadric, size, 20, 20);
}

bool CReeses::IsVisible(const CFrustum& view) { return view.SphereVisible(position, size); }

void CReeses::HandleContact(CObject*) {}

void CReeses::BeforeFrame() {}
