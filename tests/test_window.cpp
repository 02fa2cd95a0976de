// The game window: context and projection, resize and minimise, mouse positions in view
// units, and the window-message handlers used when input is not polled.
#include "app/COGLWindow.h"
#include "app/CSimpEngine.h"
#include "scene/CViewCamera.h"
#include "support/FrameDriver.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Focal factor of a 54 degree vertical field of view.
const double kFocal = 1.0 / std::tan(27.0 * M_PI / 180.0);

struct Projection {
    GLfloat m[16];
    GLint viewport[4];
};

Projection ReadProjection() {
    Projection p;
    glGetFloatv(GL_PROJECTION_MATRIX, p.m);
    glGetIntegerv(GL_VIEWPORT, p.viewport);
    return p;
}

void PushWindowEvent(COGLWindow* window, Uint8 kind, int data1 = 0, int data2 = 0) {
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_WINDOWEVENT;
    event.window.event = kind;
    event.window.windowID = SDL_GetWindowID(window->hwnd);
    event.window.data1 = data1;
    event.window.data2 = data2;
    SDL_PushEvent(&event);
}

// Records the window-message handlers the game's engine leaves empty.
class ButtonEngine : public CSimpEngine {
public:
    ButtonEngine() : CSimpEngine("OpenGL Game", false, 800, 600, 16) {}
    void OnKeyDown(int key) override { down.push_back(key); }
    void OnKeyUp(int key) override { up.push_back(key); }
    void OnLeftButtonDown(float x, float y) override { presses.push_back({x, y}); }
    void OnRightButtonDown(float x, float y) override { presses.push_back({x, y}); }
    void OnLeftDrag(int, int, int dx, int dy) override { drags.push_back({float(dx), float(dy)}); }
    struct Pair {
        float a, b;
    };
    std::vector<int> down, up;
    std::vector<Pair> presses, drags;
};

TEST(Window, OpensWithTheGameTitleSizeAndADepthBuffer) {
    FrameDriver driver;
    COGLWindow* w = driver.engine;
    ASSERT_NE(w->hwnd, nullptr);
    ASSERT_NE(w->glContext, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(w->hwnd), "OpenGL Game");
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(w->hwnd, &dw, &dh);
    EXPECT_EQ(dw, 800);
    EXPECT_EQ(dh, 600);
    EXPECT_EQ(w->viewSize, 800);
    EXPECT_FLOAT_EQ(w->mouseSensitivity, 2.0f);
    EXPECT_TRUE(w->useDirectInput);
    EXPECT_EQ(w->palette, nullptr);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    int doubleBuffer = 0;
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer);
    EXPECT_EQ(doubleBuffer, 1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

    Projection p = ReadProjection();
    EXPECT_NEAR(p.m[5], kFocal, 1e-4);
    EXPECT_NEAR(p.m[0], kFocal * 600.0 / 800.0, 1e-4);
    // Near 0.1 and far 200 fix the depth terms.
    EXPECT_NEAR(p.m[10], -(200.0 + 0.1) / (200.0 - 0.1), 1e-5);
    EXPECT_NEAR(p.m[14], -2.0 * 200.0 * 0.1 / (200.0 - 0.1), 1e-5);
    EXPECT_EQ(p.viewport[2], 800);
    EXPECT_EQ(p.viewport[3], 600);
}

TEST(Window, ResizeSetsViewSizeViewportAndAspectFromTheDrawable) {
    FrameDriver driver;
    COGLWindow* w = driver.engine;
    ASSERT_TRUE(driver.Resize(1024, 300));
    EXPECT_EQ(w->viewSize, 1024);
    Projection p = ReadProjection();
    EXPECT_EQ(p.viewport[2], 1024);
    EXPECT_EQ(p.viewport[3], 300);
    EXPECT_NEAR(p.m[0], kFocal * 300.0 / 1024.0, 1e-4);
    EXPECT_NEAR(p.m[5], kFocal, 1e-4);  // the field of view stays
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST)) << "a window shows the view at its own shape";

    ASSERT_TRUE(driver.Resize(300, 300));
    EXPECT_EQ(w->viewSize, 300);
    EXPECT_NEAR(ReadProjection().m[0], kFocal, 1e-4);

    ASSERT_TRUE(driver.Resize(300, 1024));
    EXPECT_EQ(w->viewSize, 1024);

    // An event that claims a size the drawable does not have changes nothing.
    PushWindowEvent(w, SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480);
    driver.Pump();
    EXPECT_EQ(w->width, 300);
    EXPECT_EQ(w->height, 1024);
}

TEST(Window, MinimiseLeavesSizeAndProjectionAlone) {
    FrameDriver driver;
    COGLWindow* w = driver.engine;
    Projection before = ReadProjection();
    driver.SendWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    EXPECT_TRUE(w->minimised);
    EXPECT_EQ(w->width, 800);
    EXPECT_EQ(w->height, 600);
    EXPECT_EQ(w->viewSize, 800);
    Projection after = ReadProjection();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(before.m[i], after.m[i]) << i;
    EXPECT_EQ(after.viewport[2], 800);
    // A frame asked for still runs; it is the loop that stands still (test_background).
    EXPECT_EQ(driver.Frames(2), 2);
}

TEST(Window, ZeroHeightKeepsTheLastAspect) {
    FrameDriver driver;
    COGLWindow* w = driver.engine;
    w->width = 640;
    w->height = 0;
    w->SetupProjection();
    EXPECT_EQ(w->viewSize, 640);
    Projection p = ReadProjection();
    for (float v : p.m)
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_NEAR(p.m[0], kFocal * 600.0 / 800.0, 1e-4);
    EXPECT_EQ(driver.Frames(1), 1);
}

TEST(Window, ButtonPositionsInViewUnits) {
    FrameDriver driver;
    COGLWindow* w = driver.engine;
    EXPECT_FLOAT_EQ(w->ToViewX(PackPosition(400, 300)), 0.0f);
    EXPECT_FLOAT_EQ(w->ToViewY(PackPosition(400, 300)), 0.0f);
    EXPECT_FLOAT_EQ(w->ToViewX(PackPosition(0, 0)), -1.0f);
    EXPECT_FLOAT_EQ(w->ToViewY(PackPosition(0, 0)), -0.75f);
    EXPECT_FLOAT_EQ(w->ToViewX(PackPosition(800, 600)), 1.0f);
    EXPECT_FLOAT_EQ(w->ToViewY(PackPosition(800, 600)), 0.75f);
    // Positions left of or above the client area are signed.
    EXPECT_FLOAT_EQ(w->ToViewX(PackPosition(-10, -20)), -410.0f * 2.0f / 800.0f);
    EXPECT_FLOAT_EQ(w->ToViewY(PackPosition(-10, -20)), -320.0f * 2.0f / 800.0f);
    // Odd widths halve by integer division; sensitivity scales.
    w->width = 801;
    w->mouseSensitivity = 1.0f;
    EXPECT_FLOAT_EQ(w->ToViewX(PackPosition(401, 0)), 1.0f / 800.0f);
    w->viewSize = 0;
    EXPECT_EQ(w->ToViewX(PackPosition(10, 10)), 0.0f);
}

class WindowMessages : public ::testing::Test {
protected:
    WindowMessages() : engine(new ButtonEngine()), driver(engine) { engine->useDirectInput = false; }
    void Key(Uint32 type, SDL_Keycode sym) {
        SDL_Event e;
        SDL_zero(e);
        e.type = type;
        e.key.keysym.sym = sym;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        SDL_PushEvent(&e);
    }
    void Button(Uint32 type, Uint8 button, int x, int y) {
        SDL_Event e;
        SDL_zero(e);
        e.type = type;
        e.button.button = button;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    void Motion(int x, int y) {
        SDL_Event e;
        SDL_zero(e);
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x;
        e.motion.y = y;
        SDL_PushEvent(&e);
    }
    ButtonEngine* engine;
    FrameDriver driver;
};

TEST_F(WindowMessages, KeysArriveAsVirtualKeyCodes) {
    const SDL_Keycode keys[] = {
        SDLK_w,      SDLK_q,    SDLK_p,       SDLK_a,        SDLK_s,        SDLK_d,
        SDLK_UP,     SDLK_DOWN, SDLK_LEFT,    SDLK_RIGHT,    SDLK_SPACE,    SDLK_RETURN,
        SDLK_ESCAPE, SDLK_F1,   SDLK_KP_PLUS, SDLK_KP_MINUS, SDLK_CAPSLOCK, SDLK_NUMLOCKCLEAR,
        SDLK_7};
    for (SDL_Keycode k : keys)
        Key(SDL_KEYDOWN, k);
    Key(SDL_KEYDOWN, SDLK_w);  // auto-repeat comes through again
    Key(SDL_KEYUP, SDLK_w);
    Key(SDL_KEYDOWN, SDLK_MENU);  // no code: not delivered
    driver.Pump();
    EXPECT_EQ(engine->down, (std::vector<int>{87, 81, 80, 65,  83,  68,  38, 40,  37, 39,
                                              32, 13, 27, 112, 107, 109, 20, 144, 55, 87}));
    EXPECT_EQ(engine->up, (std::vector<int>{87}));
}

TEST_F(WindowMessages, KeyEventsAreIgnoredWhileInputIsPolled) {
    engine->useDirectInput = true;
    Key(SDL_KEYDOWN, SDLK_w);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 10);
    driver.Pump();
    EXPECT_TRUE(engine->down.empty());
    EXPECT_TRUE(engine->presses.empty());
}

TEST_F(WindowMessages, ButtonsPassViewUnitsAndKeepCaptureWhileTheOtherIsHeld) {
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 400, 300);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 0, 0);
    driver.Pump();
    ASSERT_EQ(engine->presses.size(), 2u);
    EXPECT_FLOAT_EQ(engine->presses[0].a, 0.0f);
    EXPECT_FLOAT_EQ(engine->presses[0].b, 0.0f);
    EXPECT_FLOAT_EQ(engine->presses[1].a, -1.0f);
    EXPECT_FLOAT_EQ(engine->presses[1].b, -0.75f);
    EXPECT_TRUE(COGLWindow::leftHeld);
    EXPECT_TRUE(COGLWindow::rightHeld);

    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 0, 0);
    driver.Pump();
    EXPECT_FALSE(COGLWindow::leftHeld);
    EXPECT_TRUE(engine->hasCapture);
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 0, 0);
    driver.Pump();
    EXPECT_FALSE(engine->hasCapture);
}

TEST_F(WindowMessages, MouseMovesTurnTheCameraAndDragFromTheLastPosition) {
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 100, 100);
    Motion(110, 95);
    Motion(130, 95);
    driver.Pump();
    EXPECT_EQ(engine->cursorX, 130);
    EXPECT_EQ(engine->cursorY, 95);
    ASSERT_EQ(engine->drags.size(), 2u);
    EXPECT_EQ(engine->drags[0].a, 10.0f);
    EXPECT_EQ(engine->drags[0].b, -5.0f);
    EXPECT_EQ(engine->drags[1].a, 20.0f);
    EXPECT_EQ(engine->drags[1].b, 0.0f);
    // Both moves were up and left of the centre: two steps of 0.5 degrees each way.
    EXPECT_FLOAT_EQ(driver.Camera()->yaw, -1.0f);
    EXPECT_FLOAT_EQ(driver.Camera()->pitch, 1.0f);
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 130, 95);
    driver.Pump();
}

}  // namespace
