#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "scene/CVec3.h"

static void ExpectVec(const CVec3& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

TEST(Vec3, ConstructCopyAndAssignKeepComponentOrder) {
    CVec3 a(1.5f, -2.0f, 3.25f);
    ExpectVec(a, 1.5f, -2.0f, 3.25f);
    CVec3 b(a);
    ExpectVec(b, 1.5f, -2.0f, 3.25f);
    CVec3 c(0, 0, 0);
    CVec3& ref = (c = a);
    EXPECT_EQ(&ref, &c);
    ExpectVec(c, 1.5f, -2.0f, 3.25f);
    // Copies are independent values.
    c.x = 9;
    EXPECT_FLOAT_EQ(a.x, 1.5f);
}

TEST(Vec3, OperatorsLeaveOperandsAlone) {
    const CVec3 v(1, -2, 3);
    ExpectVec(v * 2.0f, 2, -4, 6);
    ExpectVec(-v, -1, 2, -3);
    ExpectVec(v * CVec3(4, 5, 6), 4, -10, 18);
    ExpectVec(v, 1, -2, 3);
}

TEST(Vec3, PlusEqualsReturnsTargetSoChainsAddBoth) {
    CVec3 a(1, 1, 1);
    CVec3& r = (a += CVec3(1, 2, 3));
    EXPECT_EQ(&r, &a);
    (a += CVec3(10, 0, 0)) += CVec3(0, 0, 100);
    ExpectVec(a, 12, 3, 104);
}

TEST(Vec3, MaskingProductKeepsAndFlipsOneComponent) {
    CVec3 m = CVec3(1, -2, 3) * CVec3(0, 0, -1);
    EXPECT_EQ(m.x, 0.0f);  // may be -0, which equals 0
    EXPECT_EQ(m.y, 0.0f);
    EXPECT_EQ(m.z, -3.0f);
    EXPECT_TRUE(std::signbit(m.y));  // -2 * 0 is -0
}

TEST(Vec3, EulerStepWithScalar) {
    CVec3 pos(5, 0, 5);
    pos += CVec3(0, 0, 2) * 0.1f;
    ExpectVec(pos, 5, 0, 5.2f);
}

TEST(Vec3, LengthIsRootedInDouble) {
    EXPECT_FLOAT_EQ(CVec3(3, 4, 0).Length(), 5.0f);
    EXPECT_EQ(CVec3(0, 0, 0).Length(), 0.0f);
    EXPECT_FLOAT_EQ(CVec3(-2, 3, -6).Length(), 7.0f);
    // Squares beyond float range still give the right length, which a float sum would not.
    const float big = 3e20f;
    EXPECT_FLOAT_EQ(CVec3(big, 0, 0).Length(), big);
    EXPECT_FLOAT_EQ(CVec3(3e20f, 4e20f, 0).Length(), 5e20f);
    // Tiny components whose float squares would underflow to zero.
    EXPECT_FLOAT_EQ(CVec3(3e-25f, 4e-25f, 0).Length(), 5e-25f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(std::isnan(CVec3(nan, 0, 0).Length()));
}
