#include <GL/gl.h>
#include <gtest/gtest.h>
#include "support/GLTestContext.h"

TEST(GLContext, ClearColourReadsBack) {
    GLTestContext gl;
    gl.Clear(1, 0, 0);
    PixelImage img = gl.ReadPixels();
    EXPECT_EQ(img.At(10, 10)[0], 255);
    EXPECT_EQ(img.At(10, 10)[1], 0);
    EXPECT_EQ(gl.ModelviewDepth(), 1);
}
