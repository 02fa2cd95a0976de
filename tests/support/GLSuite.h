#ifndef PONDQUEST_TESTS_GLSUITE_H
#define PONDQUEST_TESTS_GLSUITE_H

#include "support/GLTestContext.h"

#include <gtest/gtest.h>

// A fixture whose cases share one real window and GL context of width x height, made once
// for the whole suite: a window per case would cost more than the cases themselves.
template <int Width, int Height>
class GLSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gl = new GLTestContext(Width, Height); }
    static void TearDownTestSuite() {
        delete gl;
        gl = nullptr;
    }
    static GLTestContext* gl;
};

template <int Width, int Height>
GLTestContext* GLSuite<Width, Height>::gl = nullptr;

#endif
