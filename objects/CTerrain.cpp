#include "objects/CTerrain.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// Gives the cleared colour back to the pixels where the ground's depth rounds to the cleared
// value: drawn first with the default LESS test the ground failed there, drawn last with
// LEQUAL it passes. Only pixels still at the cleared depth change (drawn at depth 1), and
// only in the strip of the view where the ground plane lies that far.
void RepaintFarBand(float groundY) {
    if (!glIsEnabled(GL_DEPTH_TEST)) return;
    GLfloat m[16], p[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    if (p[11] != -1.0f || p[15] != 0.0f) return;  // the levels are only seen in perspective
    // Eye depths from here on may round to the cleared depth: a thousandth of the depth range
    // covers any depth buffer of ten bits or more, and what a software rasteriser loses
    // interpolating across a ground this large.
    const float step = 1.0f / 1024.0f;
    const float farZ = p[14] / (p[10] + 1.0f);
    const float bandZ = p[14] / (p[10] + 1.0f - 2.0f * step);
    // The ground plane in eye space: n . x = c.
    const float nx = m[4], ny = m[5], nz = m[6];
    const float c = nx * (nx * groundY + m[12]) + ny * (ny * groundY + m[13]) + nz * (nz * groundY + m[14]);
    const float lateral = nx * nx + ny * ny;
    if (lateral < 1e-12f) return;  // seen square on, the ground is all at the eye's height
    const float across = std::sqrt(lateral);
    // Twice the view's half-diagonal at unit distance: wide enough at every distance.
    const float spread = 2.0f * std::sqrt(1.0f / (p[0] * p[0]) + 1.0f / (p[5] * p[5]));
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);

    // Each piece of state put back by hand: glPushAttrib's first use costs megabytes.
    const GLboolean texture = glIsEnabled(GL_TEXTURE_2D), blend = glIsEnabled(GL_BLEND),
                    fog = glIsEnabled(GL_FOG), cull = glIsEnabled(GL_CULL_FACE);
    GLboolean depthWrite = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrite);
    GLfloat range[2], colour[4];
    glGetFloatv(GL_DEPTH_RANGE, range);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    // At depth 1, LEQUAL passes only where the buffer holds 1 still.
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    glDepthRange(1.0, 1.0);
    glColor4fv(clear);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    // From there to four times the far distance, each corner moved along its ray to half
    // the far distance: the same pixels, none cut by the far plane.
    const float mid = 0.5f * farZ;
    const float depths[4] = {bandZ, bandZ, 4.0f * farZ, 4.0f * farZ};
    const float sides[4] = {-1, 1, 1, -1};
    for (int i = 0; i < 4; ++i) {
        const float z = depths[i];
        const float k = (c + nz * z) / lateral;  // the plane's line at eye depth z, nearest the axis
        const float t = sides[i] * spread * z / across;
        const float x = nx * k - ny * t, y = ny * k + nx * t;
        glVertex3f(x * mid / z, y * mid / z, -mid);
    }
    glEnd();
    glPopMatrix();
    glColor4fv(colour);
    glDepthRange(range[0], range[1]);
    glDepthMask(depthWrite);
    if (texture) glEnable(GL_TEXTURE_2D);
    if (blend) glEnable(GL_BLEND);
    if (fog) glEnable(GL_FOG);
    if (cull) glEnable(GL_CULL_FACE);
}

}  // namespace

CTerrain::CTerrain(int32_t, float) : halfSize(1024), fogDistance(80.0f) {
    handlesContacts = false;
    drawOrder = kUnderneath;
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

void CTerrain::DrawGroundLast(unsigned int texture, float h, float repeats) {
    // A tie with what was drawn before goes to the ground, as if it had been drawn first.
    glDepthFunc(GL_LEQUAL);
    DrawGround(texture, h, repeats);
    RepaintFarBand(-0.01f);
    glDepthFunc(GL_LESS);
}

void CTerrain::Render(CViewCamera*) {
    // One tile every 16 units.
    DrawGroundLast(images[0].textureId, static_cast<float>(halfSize), 128);
}

void CTerrain::HandleContact(CObject*) {}

void CTerrain::LoadAssets() {}

void CTerrain::FreeAssets() {}
