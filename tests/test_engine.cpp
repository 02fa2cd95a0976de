// The frame loop: key table order and repeats, the click gate, mouse look by game state,
// the caption, posted quits and the frame timer's arithmetic.
#include "app/CEngine.h"
#include "app/CFrameTimer.h"
#include "app/CSimpEngine.h"
#include "app/Keys.h"
#include "scene/CViewCamera.h"
#include "support/FrameDriver.h"
#include "world/CGameWorld.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// The game's engine, noting every key and click the frame hands it.
class RecordingEngine : public CSimpEngine {
public:
    RecordingEngine() : CSimpEngine("OpenGL Game", false, 800, 600, 16) {}
    void OnKeyDown(int key) override {
        keys.push_back(key);
        CSimpEngine::OnKeyDown(key);
    }
    void OnLeftButtonDown(float x, float y) override { clicks.push_back({x, y}); }
    std::vector<int> keys;
    struct Click {
        float x, y;
    };
    std::vector<Click> clicks;
};

class EngineFrames : public ::testing::Test {
protected:
    EngineFrames() : engine(new RecordingEngine()), driver(engine) {}
    RecordingEngine* engine;
    FrameDriver driver;
};

TEST_F(EngineFrames, KeysAreDeliveredInTableOrderWithinOneFrame) {
    driver.Hold("W");
    driver.Hold("Enter");
    driver.Frames(1);
    EXPECT_EQ(engine->keys, (std::vector<int>{Keys::kEnter, Keys::kW}));

    // Every mapped key at once: the whole table in its order, Q and P as Caps/Num Lock.
    engine->keys.clear();
    const char* all[] = {"Esc", "KP-", "KP+", "D", "A", "S", "W", "Enter", "Space", "P", "Q", "F1"};
    for (const char* name : all)
        driver.Hold(name);
    driver.Hold(0x12);  // E: not in the table
    driver.Frames(1);
    EXPECT_EQ(engine->keys,
              (std::vector<int>{Keys::kF1, Keys::kQ, Keys::kP, Keys::kSpace, Keys::kEnter, Keys::kW, Keys::kS,
                                Keys::kA, Keys::kD, Keys::kPadPlus, Keys::kPadMinus, Keys::kEsc}));
}

TEST_F(EngineFrames, HeldKeyRepeatsEveryFrameAndStopsWhenReleased) {
    driver.Hold("W");
    EXPECT_EQ(driver.Frames(60), 60);
    ASSERT_EQ(engine->keys.size(), 60u);
    for (int key : engine->keys)
        EXPECT_EQ(key, 38);
    driver.Release("W");
    driver.Frames(5);
    EXPECT_EQ(engine->keys.size(), 60u);
}

TEST_F(EngineFrames, KeysAreNotPolledWhenWindowEventsDriveInput) {
    engine->useDirectInput = false;
    driver.Hold("W");
    driver.SetLeftButton(true);
    driver.Frames(3);
    EXPECT_TRUE(engine->keys.empty());
    EXPECT_TRUE(engine->clicks.empty());
}

TEST_F(EngineFrames, HeldButtonClicksOncePerHalfSecondOfFrameTime) {
    driver.SetLeftButton(true);
    // 0.125 s frames: clicks in frames 1, 5 and 9 of 12.
    driver.Frames(12, 0.125f);
    ASSERT_EQ(engine->clicks.size(), 3u);
    EXPECT_EQ(engine->clicks[0].x, 0.0f);
    EXPECT_EQ(engine->clicks[0].y, 0.0f);
    EXPECT_FLOAT_EQ(clickGate, 0.125f);

    // Released, the gate still runs down; pressed again once it is open, it clicks at once.
    driver.SetLeftButton(false);
    driver.Frames(4, 0.125f);
    EXPECT_EQ(engine->clicks.size(), 3u);
    EXPECT_EQ(clickGate, 0.0f);
    driver.SetLeftButton(true);
    driver.Frames(1, 0.125f);
    EXPECT_EQ(engine->clicks.size(), 4u);

    // A long frame opens the gate straight away.
    driver.Frames(3, 1.0f);
    EXPECT_EQ(engine->clicks.size(), 7u);
}

TEST_F(EngineFrames, EscOnTheTitlePostsQuitWithCodeZero) {
    ASSERT_EQ(driver.World()->state, MainMenu);
    driver.Hold("Esc");
    EXPECT_EQ(driver.Frames(10), 1);
    EXPECT_TRUE(driver.quitArrived);
    EXPECT_EQ(driver.quitCode, 0);
}

TEST_F(EngineFrames, CaptionReadsPondquestFromTheFirstFrameOn) {
    EXPECT_STREQ(SDL_GetWindowTitle(engine->hwnd), "OpenGL Game");
    driver.Frames(1);
    EXPECT_STREQ(SDL_GetWindowTitle(engine->hwnd), "Pondquest!");
    SDL_SetWindowTitle(engine->hwnd, "something else");
    driver.Frames(1);
    EXPECT_STREQ(SDL_GetWindowTitle(engine->hwnd), "Pondquest!");
}

TEST_F(EngineFrames, FrameClearsToTheClearColourAndLeavesIdentityModelview) {
    driver.World()->state = LevelOneLoading;  // a state that draws nothing over the clear
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    driver.Frames(1);
    PixelImage img = driver.Pixels();
    ASSERT_EQ(img.width, 800);
    int blue = img.Count(0, 0, 800, 600, [](int r, int g, int b) { return r == 0 && g == 0 && b == 255; });
    EXPECT_EQ(blue, 800 * 600);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    driver.Frames(1);
    img = driver.Pixels();
    EXPECT_EQ(img.At(400, 300)[0], 255);
    EXPECT_EQ(img.At(400, 300)[2], 0);
}

// Mouse look through the input check alone, so the world's frame work stays out of it.
TEST_F(EngineFrames, MouseTurnsTheCameraExceptOnTheTitleAndDuringCredits) {
    CViewCamera* camera = driver.Camera();
    CGameWorld* world = driver.World();
    driver.SetMouse(10, 5);

    world->state = MainMenu;
    engine->CheckInput(0.016f);
    EXPECT_EQ(camera->yaw, 0.0f);
    EXPECT_EQ(camera->pitch, 0.0f);
    world->state = Credits;
    engine->CheckInput(0.016f);
    EXPECT_EQ(camera->yaw, 0.0f);

    world->state = LevelOneIntro;
    engine->CheckInput(0.016f);
    EXPECT_FLOAT_EQ(camera->yaw, 20.0f);
    EXPECT_FLOAT_EQ(camera->pitch, -10.0f);

    engine->mouseSensitivity = 0.5f;
    driver.SetMouse(-4, -8);
    engine->CheckInput(0.016f);
    EXPECT_FLOAT_EQ(camera->yaw, 18.0f);
    EXPECT_FLOAT_EQ(camera->pitch, -6.0f);

    // No movement since the last read: nothing turns.
    driver.SetMouse(0, 0);
    engine->CheckInput(0.016f);
    EXPECT_FLOAT_EQ(camera->yaw, 18.0f);
    world->state = MainMenu;
}

TEST_F(EngineFrames, WindowMessageMouseLookStepsTowardsTheCursorSide) {
    CViewCamera* camera = driver.Camera();
    // The window-message path ignores the game state.
    ASSERT_EQ(driver.World()->state, MainMenu);
    engine->OnMouseMove(100, 500, 800, 600);
    EXPECT_FLOAT_EQ(camera->yaw, -0.5f);
    EXPECT_FLOAT_EQ(camera->pitch, -0.5f);
    engine->OnMouseMove(400, 300, 800, 600);  // the centre itself: no step
    EXPECT_FLOAT_EQ(camera->yaw, -0.5f);
    EXPECT_FLOAT_EQ(camera->pitch, -0.5f);
    engine->OnMouseMove(401, 298, 801, 599);  // odd sizes halve by integer division
    EXPECT_FLOAT_EQ(camera->yaw, 0.0f);
    EXPECT_FLOAT_EQ(camera->pitch, 0.0f);
}

TEST(EngineQuit, PostedQuitEndsRunWithItsCodeAfterEarlierEvents) {
    FrameDriver driver;
    driver.engine->useDirectInput = false;
    driver.World()->state = LevelOneIntro;  // so the key below cannot quit by itself
    SDL_Event key;
    SDL_zero(key);
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_w;
    SDL_PushEvent(&key);
    COGLWindow::PostQuit(7);
    EXPECT_TRUE(driver.Pump());
    EXPECT_EQ(driver.quitCode, 7);

    // Run itself: one frame, the caption, then the queued quit.
    COGLWindow::PostQuit(3);
    driver.World()->state = MainMenu;
    EXPECT_EQ(driver.engine->Run(), 3);
    EXPECT_EQ(driver.engine->timer, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(driver.engine->hwnd), "Pondquest!");
}

TEST(EngineQuit, ClosingTheWindowReleasesItOnceAndQuitsWithZero) {
    FrameDriver driver;
    SDL_Event close;
    SDL_zero(close);
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = SDL_GetWindowID(driver.engine->hwnd);
    SDL_PushEvent(&close);
    EXPECT_TRUE(driver.Pump());
    EXPECT_EQ(driver.quitCode, 0);
    EXPECT_EQ(driver.engine->hwnd, nullptr);
    EXPECT_EQ(driver.engine->glContext, nullptr);
    // A second close, or SDL's own quit, reaches a detached window: no second quit.
    SDL_PushEvent(&close);
    EXPECT_FALSE(driver.Pump());
}

TEST(EngineQuit, StaleQuitDoesNotEndANewEnginesLoop) {
    {
        FrameDriver first;
        COGLWindow::PostQuit(5);
    }
    FrameDriver second;
    EXPECT_EQ(second.Frames(3), 3);
    EXPECT_FALSE(second.quitArrived);
}

TEST(EngineBare, EngineWithoutCameraOrWorldRunsNoFrameWork) {
    CEngine engine("bare", false, 320, 240, 16);
    engine.RunFrame(0.1f);  // must not touch a missing camera or world
    EXPECT_EQ(engine.GetCamera(), nullptr);
    EXPECT_EQ(engine.GetWorld(), nullptr);
}

// A clock the test moves by hand.
class ScriptedTimer : public CFrameTimer {
public:
    int64_t ReadFrequency() override { return freq; }
    int64_t ReadCounter() override { return now; }
    int64_t freq = 1000;
    int64_t now = 0;
};

TEST(FrameTimer, ElapsedSecondsIsTheTimeSinceThePreviousCall) {
    ScriptedTimer timer;
    timer.now = 5000;
    EXPECT_TRUE(timer.Start());
    EXPECT_EQ(timer.startCount, 5000);
    EXPECT_EQ(timer.lastCount, 5000);
    timer.now = 5250;
    EXPECT_FLOAT_EQ(timer.ElapsedSeconds(), 0.25f);
    EXPECT_EQ(timer.ElapsedSeconds(), 0.0f);
    timer.now = 8250;
    EXPECT_FLOAT_EQ(timer.ElapsedSeconds(), 3.0f);
}

TEST(FrameTimer, LargeCountsKeepSmallDifferencesExact) {
    // Converting each count to float first would lose the whole difference.
    ScriptedTimer timer;
    timer.freq = 1000000000;
    timer.now = 4000000000000000123LL;
    timer.Start();
    timer.now += 16666667;
    EXPECT_NEAR(timer.ElapsedSeconds(), 0.016666667f, 1e-9f);
}

TEST(FrameTimer, NoCounterFrequencyFallsBackToTicks) {
    ScriptedTimer timer;
    timer.freq = 0;
    EXPECT_FALSE(timer.Start());
    EXPECT_TRUE(timer.useTicks);
    EXPECT_EQ(timer.frequency, 1000);
    timer.now = timer.lastCount + 40;
    EXPECT_FLOAT_EQ(timer.ElapsedSeconds(), 0.04f);
}

TEST(FrameTimer, UnstartedTimerReportsZeroInsteadOfDividingByZero) {
    CFrameTimer timer;
    EXPECT_EQ(timer.ElapsedSeconds(), 0.0f);
}

TEST(FrameTimer, RealCounterAdvances) {
    CFrameTimer timer;
    EXPECT_TRUE(timer.Start());
    float total = 0.0f;
    while (total <= 0.0f)
        total += timer.ElapsedSeconds();
    EXPECT_GT(total, 0.0f);
    EXPECT_LT(total, 1.0f);
}

}  // namespace
