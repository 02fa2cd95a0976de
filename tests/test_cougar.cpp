#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "objects/CCougarBox.h"
#include "scene/CRandom.h"
#include "scene/CViewCamera.h"
#include "support/GLTestContext.h"
#include "support/TreeShot.h"

namespace {

// The cougars' texture needs a context while they are constructed.
class Cougars : public ::testing::Test {
protected:
    GLTestContext gl;

    // A cougar that drifts without circling, so its drawn place is its position.
    CCougarBox* Still(float x, float y, float z) {
        CCougarBox* c = new CCougarBox(x, y, z);
        c->circling = 0;
        return c;
    }
};

void ExpectBoxAround(const CCougarBox& c, float x, float y, float z) {
    EXPECT_NEAR(c.minX, x - 5, 1e-4);
    EXPECT_NEAR(c.maxX, x + 5, 1e-4);
    EXPECT_NEAR(c.minY, y - 5, 1e-4);
    EXPECT_NEAR(c.maxY, y + 5, 1e-4);
    EXPECT_NEAR(c.minZ, z - 5, 1e-4);
    EXPECT_NEAR(c.maxZ, z + 5, 1e-4);
}

}  // namespace

TEST_F(Cougars, NewCougarDrawsThreeNumbersAndBoxesItsPosition) {
    // The generator's own sequence, replayed here by hand.
    uint32_t state = 777;
    auto draw = [&state]() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    };
    CRandom::Reset(777);
    cougarClock = 12.5f;
    CCougarBox c(100, -20, 50);
    EXPECT_EQ(cougarClock, 0.0f);
    EXPECT_EQ(c.circling, draw() % 2);
    EXPECT_EQ(c.spin, draw() % 200);
    EXPECT_EQ(c.orbitSign, draw() % 2 == 0 ? -1 : 1);
    EXPECT_EQ(CRandom::State(), state);  // exactly three draws

    EXPECT_EQ(c.dirX, 1);
    EXPECT_EQ(c.dirZ, 1);
    EXPECT_FLOAT_EQ(c.size, 5);
    EXPECT_FLOAT_EQ(c.drawPosition.y, -20);
    ExpectBoxAround(c, 100, -20, 50);

    // Over many cougars every value of the three draws turns up.
    bool seen[2][2] = {};
    int maxSpin = 0;
    for (int i = 0; i < 60; ++i) {
        CCougarBox k(0, 0, 0);
        ASSERT_TRUE(k.circling == 0 || k.circling == 1);
        ASSERT_TRUE(k.orbitSign == -1 || k.orbitSign == 1);
        ASSERT_GE(k.spin, 0);
        ASSERT_LT(k.spin, 200);
        seen[k.circling][k.orbitSign > 0] = true;
        if (k.spin > maxSpin) maxSpin = k.spin;
    }
    EXPECT_TRUE(seen[0][0] && seen[0][1] && seen[1][0] && seen[1][1]);
    EXPECT_GT(maxSpin, 100);
}

TEST_F(Cougars, FirstUpdateBobsAndDriftsByTheClock) {
    CCougarBox* c = Still(100, -20, 50);
    c->Update(1.0f);
    EXPECT_FLOAT_EQ(cougarClock, 0.0005f);
    EXPECT_FLOAT_EQ(c->position.x, 100.0005f);
    EXPECT_FLOAT_EQ(c->position.z, 50.00005f);
    EXPECT_FLOAT_EQ(c->position.y, -20);  // the height is the bob alone
    // Box around where it was drawn, before this update's drift.
    ExpectBoxAround(*c, 100, 2 * std::cos(0.5f) + 3, 50);
    EXPECT_FLOAT_EQ(c->drawPosition.x, 100);
    delete c;
}

TEST_F(Cougars, CirclingCougarOrbitsItsPosition) {
    CCougarBox* c = new CCougarBox(10, -20, 20);
    c->circling = 1;
    c->spin = 150;
    c->orbitSign = -1;
    cougarClock = 0.0195f;
    c->Update(2.0f);  // clock becomes 0.0205
    const float clock = 0.0205f;
    const float angle = 150 * 3.14159f * clock;
    EXPECT_NEAR(c->drawPosition.x, 10 - 50 * std::cos(angle), 1e-3);
    EXPECT_NEAR(c->drawPosition.z, 20 - 50 * std::sin(angle), 1e-3);
    EXPECT_NEAR(c->drawPosition.y, 2 * std::cos(clock * 1000) + 3, 1e-3);
    EXPECT_NEAR(c->minX, c->drawPosition.x - 5, 1e-4);
    EXPECT_NEAR(c->maxZ, c->drawPosition.z + 5, 1e-4);
    // The position drifts on as usual; only the drawn place circles.
    EXPECT_NEAR(c->position.x, 10 + clock, 1e-5);
    delete c;
}

TEST_F(Cougars, TurnsAtTheEdgesAndDriftsSlowerTowardsMinusZ) {
    CCougarBox* c = Still(300, 0, 300);
    cougarClock = 1.0f;
    c->Update(0);
    EXPECT_EQ(c->dirX, -1);
    EXPECT_EQ(c->dirZ, -1);
    EXPECT_FLOAT_EQ(c->position.x, 299);      // already going back in this update
    EXPECT_FLOAT_EQ(c->position.z, 299.95f);  // 0.05 of the clock towards -z

    // Already heading back: nothing changes.
    c->Update(0);
    EXPECT_EQ(c->dirX, -1);
    EXPECT_FLOAT_EQ(c->position.x, 298);

    // Past the far edges it turns again, and +z is twice as fast.
    c->position = CVec3(-300, 0, -300);
    c->Update(0);
    EXPECT_EQ(c->dirX, 1);
    EXPECT_EQ(c->dirZ, 1);
    EXPECT_FLOAT_EQ(c->position.x, -299);
    EXPECT_FLOAT_EQ(c->position.z, -299.9f);

    // Exactly on an edge is not past it.
    c->position = CVec3(256, 0, 256);
    c->Update(0);
    EXPECT_EQ(c->dirX, 1);
    EXPECT_EQ(c->dirZ, 1);
    delete c;
}

TEST_F(Cougars, ClockWrapsBeforeTheIncrement) {
    CCougarBox* c = Still(0, 0, 0);
    cougarClock = 360.2f;
    c->Update(0);
    EXPECT_NEAR(cougarClock, 0.2f, 1e-4);
    cougarClock = 359.9f;
    c->Update(0);
    EXPECT_FLOAT_EQ(cougarClock, 359.9f);
    delete c;
}

TEST_F(Cougars, TwentyCougarsAdvanceTheSharedClockTwentyTimesAFrame) {
    CObject* root = new CObject();
    CCougarBox* cougars[20];
    for (int i = 0; i < 20; ++i) {
        cougars[i] = Still(0, -20, 0);
        cougars[i]->AttachTo(root);
    }
    EXPECT_EQ(cougarClock, 0.0f);
    root->UpdateTree(1.0f);
    EXPECT_NEAR(cougarClock, 0.01f, 1e-6);
    // Each drifts by the clock as it stood at its own turn.
    for (int i = 0; i < 20; ++i)
        EXPECT_NEAR(cougars[i]->position.x, 0.0005f * (i + 1), 1e-6) << i;

    // A further cougar resets the clock: a new level starts with still cougars.
    CCougarBox late(0, 0, 0);
    EXPECT_EQ(cougarClock, 0.0f);
    delete root;
}

TEST_F(Cougars, DrawnAsFourOpenSidesAtTheDrawPosition) {
    CViewCamera camera;
    CObject* root = new CObject();
    CCougarBox* c = Still(0, 0, 0);
    c->drawPosition = CVec3(0, 0, 0);
    c->AttachTo(root);

    // Looking straight down from 30 units above: the sides show as a ring,
    // and the open top and bottom leave the middle clear.
    LookFrom(gl, 0, 30, 0, 0, 0, 0, 0, 0, -1);
    PixelImage img = RenderTreeAndRead(gl, root, &camera);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(img.Count(340, 240, 460, 360, Lit), 0);    // within the bottom rim
    EXPECT_GT(img.Count(300, 200, 500, 210, Lit), 150);  // the far side's wall, seen from above
    EXPECT_GT(img.Count(290, 290, 300, 310, Lit), 150);  // the left side
    EXPECT_EQ(img.Count(0, 0, 800, 150, Lit), 0);        // outside the top rim

    // Moved to the right, the cougar is drawn there.
    c->drawPosition = CVec3(12, 0, 0);
    LookFrom(gl, 0, 30, 0, 0, 0, 0, 0, 0, -1);
    img = RenderTreeAndRead(gl, root, &camera);
    EXPECT_EQ(img.Count(290, 290, 300, 310, Lit), 0);
    EXPECT_GT(img.Count(600, 200, 800, 400, Lit), 1000);
    delete root;
}
