#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "objects/CNest.h"
#include "objects/CReeses.h"
#include "objects/CSphere.h"
#include "objects/CTerrain.h"
#include "objects/CTerrain2.h"
#include "objects/CWater.h"
#include "scene/CViewCamera.h"
#include "support/GLTestContext.h"
#include "support/TreeShot.h"

namespace {

class Scenery : public ::testing::Test {
protected:
    GLTestContext gl;
    CViewCamera camera;

    // Clears, looks from eye to centre, draws the tree and checks the matrix stack.
    PixelImage Draw(CObject* root, float ex, float ey, float ez, float cx, float cy, float cz, float ux = 0,
                    float uy = 1, float uz = 0) {
        LookFrom(gl, ex, ey, ez, cx, cy, cz, ux, uy, uz);
        return RenderTreeAndRead(gl, root, &camera);
    }

    // Clears to a grey level and looks straight down at the origin from 12 up.
    void LookDownFromTwelve(float grey) {
        gl.Clear(grey, grey, grey);
        gluLookAt(0, 12, 0, 0, 0, 0, 0, 0, -1);
    }
};

// A 4 x 4 panel level at height y around the origin, in the current colour.
void FlatPanel(float y) {
    glBegin(GL_QUADS);
    glVertex3f(-2, y, -2);
    glVertex3f(2, y, -2);
    glVertex3f(2, y, 2);
    glVertex3f(-2, y, 2);
    glEnd();
}

// Records what the contact pass finds around a point.
class Probe : public CObject {
public:
    int hits = 0;
    CObject* last = nullptr;
    explicit Probe(float x, float y, float z) { position = CVec3(x, y, z); }
    void HandleContact(CObject* other) override {
        ++hits;
        last = other;
    }
};

// A ball of radius 5 seen from 30 units away, in the middle of the view: about 98 pixels
// across its radius, filling the central square and nothing far from it.
void ExpectBallOfRadiusFiveFromThirty(const PixelImage& img) {
    EXPECT_EQ(img.Count(340, 240, 460, 360, Lit), 120 * 120);
    EXPECT_EQ(img.Count(0, 0, 800, 190, Lit), 0);
    EXPECT_EQ(img.Count(0, 0, 290, 600, Lit), 0);
    EXPECT_EQ(img.Count(510, 0, 800, 600, Lit), 0);
}

void ExpectBox(const CObject& o, float x0, float x1, float y0, float y1, float z0, float z1) {
    EXPECT_NEAR(o.minX, x0, 1e-3);
    EXPECT_NEAR(o.maxX, x1, 1e-3);
    EXPECT_NEAR(o.minY, y0, 1e-3);
    EXPECT_NEAR(o.maxY, y1, 1e-3);
    EXPECT_NEAR(o.minZ, z0, 1e-3);
    EXPECT_NEAR(o.maxZ, z1, 1e-3);
}

}  // namespace

TEST_F(Scenery, WaterSwaysInRadiansAndKeepsItsAngleAcrossBuilds) {
    waveAngle = 0;
    CWater* water = new CWater();
    EXPECT_FLOAT_EQ(water->position.y, 2);
    EXPECT_EQ(water->halfSize, 1024);
    water->Update(0.5f);
    EXPECT_FLOAT_EQ(waveAngle, 0.3f);
    EXPECT_NEAR(water->position.x, -0.167, 1e-3);
    EXPECT_NEAR(water->position.y, 1.978, 1e-3);
    EXPECT_NEAR(water->position.z, -0.346, 1e-3);
    EXPECT_NEAR(water->position.x, 0.5 * std::cos(180.3), 1e-4);
    EXPECT_NEAR(water->position.z, 0.5 * std::cos(90.3), 1e-4);

    // A new build keeps the angle.
    delete water;
    water = new CWater();
    EXPECT_FLOAT_EQ(waveAngle, 0.3f);

    waveAngle = 359.9f;
    water->Update(0.5f);
    EXPECT_NEAR(waveAngle, 0.2f, 1e-4);
    EXPECT_NEAR(water->position.y, 0.5 * std::cos(0.2) + 1.5, 1e-4);

    // Velocity plays no part in the sway.
    water->velocity = CVec3(100, 100, 100);
    water->Update(0);
    EXPECT_NEAR(water->position.x, 0.5 * std::cos(180.2), 1e-4);
    delete water;
}

TEST_F(Scenery, WaterBlendsWithoutDepthWritesAndRestoresState) {
    waveAngle = 0;
    CObject* root = new CObject();
    CWater* water = new CWater();
    water->position = CVec3(0, 2, 0);
    water->AttachTo(root);

    // Over black and over grey: blending adds the background times the water.
    PixelImage overBlack = Draw(root, 0, 12, 0, 0, 0, 0, 0, 0, -1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    for (float c : colour)
        EXPECT_FLOAT_EQ(c, 1);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(overBlack.Count(0, 0, 800, 600, Lit), 800 * 600);  // covers the whole view

    LookDownFromTwelve(0.4f);
    root->RenderTree(&camera);
    PixelImage overGrey = gl.ReadPixels();
    const uint8_t* b = overBlack.At(400, 300);
    const uint8_t* g = overGrey.At(400, 300);
    EXPECT_GT(g[0] + g[1] + g[2], b[0] + b[1] + b[2] + 20);
    // The tint favours blue over red.
    EXPECT_GE(b[2], b[0]);

    // Nothing drawn after the water is hidden by it: a red panel under the surface shows.
    LookDownFromTwelve(0);
    root->RenderTree(&camera);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1, 0, 0, 1);
    FlatPanel(0);
    glColor4f(1, 1, 1, 1);
    PixelImage under = gl.ReadPixels();
    EXPECT_EQ(under.At(400, 300)[0], 255);
    EXPECT_EQ(under.At(400, 300)[1], 0);

    // But the depth test still applies to the water: a panel above it drawn first stays as it was.
    LookDownFromTwelve(0);
    glDisable(GL_TEXTURE_2D);
    glColor4f(0, 1, 0, 1);
    FlatPanel(5);
    glColor4f(1, 1, 1, 1);
    root->RenderTree(&camera);
    PixelImage above = gl.ReadPixels();
    EXPECT_EQ(above.At(400, 300)[0], 0);
    EXPECT_EQ(above.At(400, 300)[1], 255);
    EXPECT_EQ(above.At(400, 300)[2], 0);
    delete root;
}

// Looking down from 50 units at a point 24 units inside an east edge.
static void ExpectGroundEndsRightOfMiddle(const PixelImage& img) {
    EXPECT_EQ(img.Count(0, 0, 660, 600, Lit), 660 * 600);
    EXPECT_EQ(img.Count(700, 0, 800, 600, Lit), 0);
}

TEST_F(Scenery, GroundsCoverTheirSquaresAndLeaveFogOff) {
    CTerrain* sand = new CTerrain(32, 1.0f);
    EXPECT_EQ(sand->halfSize, 1024);
    // Looking down at the east edge from 50 up: the sand ends 24 units right of the middle.
    PixelImage img = Draw(sand, 1000, 50, 0, 1000, 0, 0, 0, 0, -1);
    ExpectGroundEndsRightOfMiddle(img);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    GLfloat fog[4];
    glGetFloatv(GL_FOG_START, fog);
    EXPECT_FLOAT_EQ(fog[0], 16);
    glGetFloatv(GL_FOG_END, fog);
    EXPECT_FLOAT_EQ(fog[0], 200);
    GLint mode = 0;
    glGetIntegerv(GL_FOG_MODE, &mode);
    EXPECT_EQ(mode, GL_LINEAR);
    glGetFloatv(GL_FOG_COLOR, fog);
    EXPECT_FLOAT_EQ(fog[0], 0.75f);
    EXPECT_FLOAT_EQ(fog[1], 0.9f);
    delete sand;

    CTerrain2* fire = new CTerrain2(32, 1.0f);
    EXPECT_EQ(fire->halfSize, 256);
    glFogf(GL_FOG_START, 3);
    img = Draw(fire, 232, 50, 0, 232, 0, 0, 0, 0, -1);
    ExpectGroundEndsRightOfMiddle(img);
    // The west edge, and the fire ground leaves the fog settings alone.
    img = Draw(fire, -232, 50, 0, -232, 0, 0, 0, 0, -1);
    EXPECT_EQ(img.Count(140, 0, 800, 600, Lit), 660 * 600);
    EXPECT_EQ(img.Count(0, 0, 100, 600, Lit), 0);
    glGetFloatv(GL_FOG_START, fog);
    EXPECT_FLOAT_EQ(fog[0], 3);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    delete fire;
}

TEST_F(Scenery, NestIsAnObstacleWithASlightlyLargerBox) {
    CNest* nest = new CNest();
    ExpectBox(*nest, -5, 5, -1.5f, 1.5f, -5, 5);
    EXPECT_FLOAT_EQ(nest->size, 1.5f);
    nest->SetPosition(20, 1.5f, 20);
    ExpectBox(*nest, 14.444f, 25.556f, -0.167f, 3.167f, 14.444f, 25.556f);

    // Looking down from 30 above the middle: the 10 x 10 top, at 27 units.
    CObject* root = new CObject();
    nest->AttachTo(root);
    Probe* duck = new Probe(24, 2, 16);  // inside the contact box
    duck->AttachTo(root);
    PixelImage img = Draw(root, 20, 30, 20, 20, 0, 20, 0, 0, -1);
    EXPECT_EQ(img.Count(320, 220, 480, 380, Lit), 160 * 160);
    EXPECT_EQ(img.Count(0, 0, 800, 170, Lit), 0);
    EXPECT_EQ(img.Count(0, 0, 270, 600, Lit), 0);
    EXPECT_EQ(img.Count(530, 0, 800, 600, Lit), 0);

    // Touching it changes nothing in the nest, and it stays through the update.
    root->PrepareTree();
    EXPECT_GE(duck->hits, 1);
    EXPECT_EQ(duck->last, nest);
    root->UpdateTree(1.0f);
    EXPECT_FALSE(nest->isDead);
    EXPECT_EQ(root->child, nest);
    EXPECT_FLOAT_EQ(nest->position.x, 20);
    ExpectBox(*nest, 14.444f, 25.556f, -0.167f, 3.167f, 14.444f, 25.556f);
    delete root;
}

TEST_F(Scenery, FoodIsABallBoxedBySetPosition) {
    CReeses* food = new CReeses();
    EXPECT_FLOAT_EQ(food->size, 5);
    EXPECT_FLOAT_EQ(food->position.x, 540);
    ExpectBox(*food, 0, 0, 0, 0, 0, 0);  // no box until placed
    ASSERT_NE(food->quadric, nullptr);
    food->SetPosition(275, 3, 275);
    ExpectBox(*food, 270, 280, -2, 8, 270, 280);

    CObject* root = new CObject();
    food->AttachTo(root);
    for (int i = 0; i < 10; ++i)
        root->UpdateTree(0.1f);
    EXPECT_FLOAT_EQ(food->position.y, 3);
    ExpectBox(*food, 270, 280, -2, 8, 270, 280);

    // From 30 units south.
    PixelImage img = Draw(root, 275, 3, 305, 275, 3, 275);
    ExpectBallOfRadiusFiveFromThirty(img);
    delete root;
}

TEST_F(Scenery, WiseOldManStandsInTheFarCornerWithAWideGoalBox) {
    CObject* root = new CObject();
    CSphere* elder = new CSphere();
    elder->AttachTo(root);
    ASSERT_NE(elder->quadric, nullptr);
    ExpectBox(*elder, 525, 555, -11, 19, 525, 555);

    Probe inside(526, 4, 540);
    inside.CheckContacts(root);
    EXPECT_EQ(inside.hits, 1);
    EXPECT_EQ(inside.last, elder);
    Probe outside(524, 4, 540);
    outside.CheckContacts(root);
    EXPECT_EQ(outside.hits, 0);

    for (int i = 0; i < 10; ++i) {
        root->PrepareTree();
        root->UpdateTree(0.1f);
    }
    EXPECT_FLOAT_EQ(elder->position.x, 540);
    EXPECT_FLOAT_EQ(elder->position.y, 4);
    ExpectBox(*elder, 525, 555, -11, 19, 525, 555);

    // Drawn a third of the box's size: radius 5, seen from 30 units away.
    PixelImage img = Draw(root, 540, 4, 570, 540, 4, 540);
    ExpectBallOfRadiusFiveFromThirty(img);
    delete root;
}
