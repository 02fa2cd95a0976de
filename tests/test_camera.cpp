#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "scene/CViewCamera.h"
#include "support/GLSuite.h"

// Move applies the view with gluLookAt, so every case runs on a real context.
class Camera : public GLSuite<64, 64> {
protected:
    void SetUp() override {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    // One frame as the engine runs it: identity, then Move.
    void Frame(float dt) {
        glLoadIdentity();
        cam.Move(dt);
    }
    CViewCamera cam;
};

static void ExpectVec(const CVec3& v, float x, float y, float z, float tol = 1e-5f) {
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

TEST_F(Camera, StartsAtFiveZeroFiveLookingAlongPlusX) {
    ExpectVec(cam.position, 5, 0, 5, 0);
    ExpectVec(cam.velocity, 0, 0, 0, 0);
    ExpectVec(cam.acceleration, 0, 0, 0, 0);
    ExpectVec(cam.lookAt, 0, 0, 1, 0);
    EXPECT_EQ(cam.yaw, 0.0f);
    EXPECT_EQ(cam.pitch, 0.0f);
    EXPECT_FALSE(cam.pitchLimitOff);
    cam.SetPosition(1, 2, 3);
    cam.SetLookAt(4, 5, 6);
    ExpectVec(cam.position, 1, 2, 3, 0);
    ExpectVec(cam.lookAt, 4, 5, 6, 0);
    Frame(0.1f);  // the next Move rewrites the look-at point
    ExpectVec(cam.lookAt, 2, 2, 3);
}

TEST_F(Camera, FullTurnResetsYawInsteadOfWrapping) {
    const float cases[][2] = {{359, 359}, {360, 0}, {370, 0}, {-359, -359}, {-360, 0}, {-400, 0}, {720, 0}};
    for (const auto& c : cases) {
        cam.yaw = c[0];
        Frame(0.1f);
        EXPECT_EQ(cam.yaw, c[1]) << "yaw " << c[0];
    }
}

TEST_F(Camera, PitchIsHeldWithinSixtyUnlessTheLimitIsOff) {
    cam.pitch = 75;
    Frame(0.1f);
    EXPECT_EQ(cam.pitch, 60.0f);
    EXPECT_NEAR(cam.lookAt.y, cam.position.y + std::sin(60 * 0.0174533), 1e-6);
    cam.pitch = -75;
    Frame(0.1f);
    EXPECT_EQ(cam.pitch, -60.0f);
    cam.pitch = 59.5f;
    Frame(0.1f);
    EXPECT_EQ(cam.pitch, 59.5f);

    cam.pitchLimitOff = true;
    cam.pitch = -90;
    Frame(0.1f);
    EXPECT_EQ(cam.pitch, -90.0f);
    // Straight down is still 45 degrees along the heading: the look vector is not normalised.
    ExpectVec(cam.lookAt, cam.position.x + 1, cam.position.y - 1, cam.position.z);
}

TEST_F(Camera, ForwardStepFrictionAndLookAt) {
    cam.velocity = CVec3(0, 0, 2);
    Frame(0.1f);
    ExpectVec(cam.position, 5.2f, 0, 5);
    ExpectVec(cam.acceleration, 0, 0, -6);
    ExpectVec(cam.velocity, 0, 0, 1.4f);
    ExpectVec(cam.lookAt, 6.2f, 0, 5);
}

TEST_F(Camera, ZeroedVelocityDriftsBackWithStaleFriction) {
    cam.velocity = CVec3(0, 0, 2);
    Frame(0.1f);
    const CVec3 stopped = cam.position;
    cam.velocity = CVec3(0, 0, 0);  // as a wall contact would
    Frame(0.1f);
    ExpectVec(cam.position, stopped.x, stopped.y, stopped.z);
    ExpectVec(cam.acceleration, 0, 0, -6);
    ExpectVec(cam.velocity, 0, 0, -0.6f);
    Frame(0.1f);
    EXPECT_NEAR(cam.position.x, stopped.x - 0.06f, 1e-5);
    // Friction now works against the drift.
    ExpectVec(cam.acceleration, 0, 0, 1.8f);
    ExpectVec(cam.velocity, 0, 0, -0.42f);
}

TEST_F(Camera, StepsAreClampedTwentyFiveForwardThirteenElsewhere) {
    cam.velocity = CVec3(0, 0, 1000);
    Frame(0.1f);
    ExpectVec(cam.position, 30, 0, 5);

    cam.SetPosition(0, 0, 0);
    cam.velocity = CVec3(0, 0, -1000);
    Frame(0.1f);
    ExpectVec(cam.position, -13, 0, 0);

    // Sideways is towards yaw + 90: +z while looking along +x.
    cam.SetPosition(0, 0, 0);
    cam.velocity = CVec3(1000, 0, 0);
    Frame(0.1f);
    ExpectVec(cam.position, 0, 0, 13, 1e-4f);

    cam.SetPosition(0, 0, 0);
    cam.velocity = CVec3(-1000, 0, 0);
    Frame(0.1f);
    ExpectVec(cam.position, 0, 0, -13, 1e-4f);

    // Friction still uses the whole speed, not the clamped step.
    EXPECT_NEAR(cam.velocity.x, -1000 + 300, 1e-2);
}

TEST_F(Camera, MotionFollowsHeadingNeverPitch) {
    cam.SetPosition(0, 2, 0);
    cam.yaw = 90;
    cam.pitch = 45;
    cam.velocity = CVec3(0, 0, 10);
    Frame(0.1f);
    ExpectVec(cam.position, 0, 2, 1);
    ExpectVec(cam.lookAt, 0, 2 + std::sin(45 * 0.0174533f), 2);

    // Sideways at yaw 90 runs along -x.
    cam.SetPosition(0, 0, 0);
    cam.velocity = CVec3(10, 7, 0);
    cam.pitch = 0;
    Frame(0.1f);
    ExpectVec(cam.position, -1, 0, 0);
}

TEST_F(Camera, VerticalSpeedIsNotMotionButFeelsFriction) {
    cam.velocity = CVec3(0, 5, 0);
    Frame(0.1f);
    ExpectVec(cam.position, 5, 0, 5, 0);
    ExpectVec(cam.acceleration, 0, -15, 0);
    ExpectVec(cam.velocity, 0, 3.5f, 0);
}

TEST_F(Camera, OneKeyPushCarriesAboutTwoThirdsOfAUnit) {
    for (float dt : {0.01f, 1.0f / 60, 0.1f}) {
        cam = CViewCamera();
        cam.yaw = 90;
        cam.velocity = CVec3(0, 0, 2);
        for (int i = 0; i < 3000; ++i)
            Frame(dt);
        EXPECT_NEAR(cam.position.z - 5, 2.0f / 3, 1e-3) << "dt " << dt;
        EXPECT_NEAR(cam.position.x, 5, 1e-5);
        EXPECT_LT(std::fabs(cam.velocity.z), 1e-6);
    }
}

TEST_F(Camera, ViewMatrixIsTheLookAtOfPositionAndLookAtPoint) {
    cam.SetPosition(3, 1.5f, -2);
    cam.yaw = 30;
    cam.pitch = -20;
    cam.velocity = CVec3(0.5f, 0, 3);
    Frame(0.05f);
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);

    // The look-at view built by hand: rows s, u, -f and the eye moved to the origin.
    const double e[3] = {cam.position.x, cam.position.y, cam.position.z};
    double f[3] = {cam.lookAt.x - e[0], cam.lookAt.y - e[1], cam.lookAt.z - e[2]};
    double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    for (double& c : f)
        c /= fl;
    double s[3] = {-f[2], 0, f[0]};  // f x (0, 1, 0)
    double sl = std::sqrt(s[0] * s[0] + s[2] * s[2]);
    for (double& c : s)
        c /= sl;
    const double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(m[i * 4 + 0], s[i], 1e-5) << i;
        EXPECT_NEAR(m[i * 4 + 1], u[i], 1e-5) << i;
        EXPECT_NEAR(m[i * 4 + 2], -f[i], 1e-5) << i;
    }
    EXPECT_NEAR(m[12], -(s[0] * e[0] + s[1] * e[1] + s[2] * e[2]), 1e-4);
    EXPECT_NEAR(m[13], -(u[0] * e[0] + u[1] * e[1] + u[2] * e[2]), 1e-4);
    EXPECT_NEAR(m[14], f[0] * e[0] + f[1] * e[1] + f[2] * e[2], 1e-4);

    // The eye point itself lands at the view origin.
    double eye[3];
    for (int r = 0; r < 3; ++r)
        eye[r] = m[r] * e[0] + m[4 + r] * e[1] + m[8 + r] * e[2] + m[12 + r];
    EXPECT_NEAR(eye[0], 0, 1e-4);
    EXPECT_NEAR(eye[1], 0, 1e-4);
    EXPECT_NEAR(eye[2], 0, 1e-4);
}

TEST_F(Camera, SceneAheadAppearsInTheMiddleOfThePicture) {
    // A red wall ahead of the eye and a green one behind it: only red may show.
    gl->SetupProjection();
    gl->Clear(0, 0, 0);
    cam.yaw = 90;  // looking along +z from (5, 0, 5)
    Frame(0.0f);
    glDisable(GL_TEXTURE_2D);
    auto wall = [](float z, float r, float g) {
        glColor3f(r, g, 0);
        glBegin(GL_QUADS);
        glVertex3f(4, -1, z);
        glVertex3f(6, -1, z);
        glVertex3f(6, 1, z);
        glVertex3f(4, 1, z);
        glEnd();
    };
    wall(8, 1, 0);
    wall(2, 0, 1);
    PixelImage img = gl->ReadPixels();
    const uint8_t* centre = img.At(32, 32);
    EXPECT_EQ(centre[0], 255);
    EXPECT_EQ(centre[1], 0);
    EXPECT_EQ(img.Count(0, 0, 64, 64, [](int, int g, int) { return g > 0; }), 0);
    EXPECT_EQ(img.At(1, 1)[0], 0);  // the wall does not fill the view
}
