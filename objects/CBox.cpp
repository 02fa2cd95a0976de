#include "objects/CBox.h"

#include <GL/gl.h>

CBox::CBox() : CObject(), height(0), depth(0), width(0), image() {
    // Boxes are found by the player; touching one changes nothing in it.
    handlesContacts = false;
}

// The image member releases its texture name and pixels on its own.
CBox::~CBox() {}

void CBox::PlaceWall(float x, float y, float z, int orientation) {
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

bool CBox::BoxVisible(const CFrustum& view, const CVec3& centre, float halfX, float halfY, float halfZ) {
    return view.SphereVisible(centre, CVec3(halfX, halfY, halfZ).Length());
}

bool CBox::WallVisible(const CFrustum& view) const {
    // Whichever way it runs, the panel lies within half its length of its middle sideways.
    const CVec3 middle(position.x, position.y + height / 2, position.z);
    return BoxVisible(view, middle, width / 2, height / 2, 0);
}

void CBox::BindImageAt(const CVec3& at) {
    glTranslatef(at.x, at.y, at.z);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, image.textureId);
}

void CBox::DrawWall(int orientation, float s, float t) {
    const float w = width, h = height;
    BindImageAt(position);
    glBegin(GL_QUADS);
    if (orientation == 0) {
        glTexCoord2f(s, 0);
        glVertex3f(w / 2, 0, 0);
        glTexCoord2f(s, t);
        glVertex3f(w / 2, h, 0);
        glTexCoord2f(0, t);
        glVertex3f(-w / 2, h, 0);
        glTexCoord2f(0, 0);
        glVertex3f(-w / 2, 0, 0);
    } else {
        glTexCoord2f(s, 0);
        glVertex3f(0, 0, w / 2);
        glTexCoord2f(s, t);
        glVertex3f(0, h, w / 2);
        glTexCoord2f(0, t);
        glVertex3f(0, h, -w / 2);
        glTexCoord2f(0, 0);
        glVertex3f(0, 0, -w / 2);
    }
    glEnd();
}

void CBox::DrawSides(float a, float b, float c, float s, float t) {
    // z = -c
    glTexCoord2f(s, 0);
    glVertex3f(-a, -b, -c);
    glTexCoord2f(s, t);
    glVertex3f(-a, b, -c);
    glTexCoord2f(0, t);
    glVertex3f(a, b, -c);
    glTexCoord2f(0, 0);
    glVertex3f(a, -b, -c);
    // z = +c
    glTexCoord2f(s, 0);
    glVertex3f(a, -b, c);
    glTexCoord2f(s, t);
    glVertex3f(a, b, c);
    glTexCoord2f(0, t);
    glVertex3f(-a, b, c);
    glTexCoord2f(0, 0);
    glVertex3f(-a, -b, c);
    // x = +a
    glTexCoord2f(s, 0);
    glVertex3f(a, -b, -c);
    glTexCoord2f(s, t);
    glVertex3f(a, b, -c);
    glTexCoord2f(0, t);
    glVertex3f(a, b, c);
    glTexCoord2f(0, 0);
    glVertex3f(a, -b, c);
    // x = -a
    glTexCoord2f(s, 0);
    glVertex3f(-a, -b, c);
    glTexCoord2f(s, t);
    glVertex3f(-a, b, c);
    glTexCoord2f(0, t);
    glVertex3f(-a, b, -c);
    glTexCoord2f(0, 0);
    glVertex3f(-a, -b, -c);
}
