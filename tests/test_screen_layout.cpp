// Where the text sits, at every size: the lines and the HUD stay inside the window, and at
// 800 x 600 the text sits where the bitmap fonts put it (boxes measured from them).
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/CSimpEngine.h"
#include "overlay/COverlay.h"
#include "overlay/CTextFont.h"
#include "scene/CViewCamera.h"
#include "support/FrameDriver.h"
#include "support/GLTestContext.h"
#include "support/TempDir.h"
#include "world/CGameWorld.h"

namespace {

struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;  // inclusive, y from the top
    int count = 0;
};

template <class Pred>
Box InkBox(const PixelImage& img, Pred pred) {
    Box b;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const uint8_t* p = img.At(x, y);
            if (!pred(p[0], p[1], p[2])) continue;
            b.x0 = std::min(b.x0, x);
            b.y0 = std::min(b.y0, y);
            b.x1 = std::max(b.x1, x);
            b.y1 = std::max(b.y1, y);
            ++b.count;
        }
    return b;
}

bool AnyInk(int r, int g, int b) { return (r | g | b) != 0; }

// Red text over the untextured (white) title square, edges included.
bool RedInk(int r, int g, int b) { return r >= 200 && g < 200 && std::abs(g - b) < 8; }

Box Union(const Box& a, const Box& b) {
    Box u;
    u.x0 = std::min(a.x0, b.x0);
    u.y0 = std::min(a.y0, b.y0);
    u.x1 = std::max(a.x1, b.x1);
    u.y1 = std::max(a.y1, b.y1);
    u.count = a.count + b.count;
    return u;
}

// The ink of every line of the title, the HUDs and the text screens as the bitmap fonts drew
// it in an 800 x 600 view, white on black: font height, position, text, box.
struct Reference {
    int height;
    float x, y;
    const char* text;
    Box box;
};
const Reference kBefore[] = {
    {40, -0.25f, 0.15f, "Level One", {269, 191, 451, 219}},
    {40, -0.7f, 0.0f, "You must find the Wise Old Man to", {26, 271, 670, 299}},
    {40, -0.7f, -0.08f, "get information about your parents.", {27, 314, 685, 350}},
    {40, -0.7f, -0.16f, "As, a duckling, you have a high", {26, 357, 602, 393}},
    {40, -0.7f, -0.24f, "metabolism and must constantly eat.", {27, 400, 713, 436}},
    {40, -0.7f, -0.32f, "Don't let your energy level go to zero.", {28, 443, 724, 479}},
    {40, -0.7f, -0.42f, "Press Spacebar to begin...", {28, 496, 517, 532}},
    {40, -0.68f, 0.4f, "CONGRADULATIONS, YOUNG DUCK!", {38, 58, 745, 91}},
    {40, -0.6f, 0.16f, "You have finally found me! I will", {79, 186, 666, 222}},
    {40, -0.6f, 0.08f, "give you a vision of the future.", {80, 229, 640, 265}},
    {40, -0.6f, 0.0f, "It is your job to make sure this ", {80, 271, 643, 307}},
    {40, -0.6f, -0.08f, "vision does not come true.", {78, 314, 573, 342}},
    {40, -0.5f, -0.16f, "That's it...go to sleep...", {133, 357, 552, 393}},
    {40, -0.5f, -0.3f, "Space = Continue to level two", {133, 432, 685, 468}},
    {40, -0.5f, -0.4f, "Q = Go to Main Menu", {134, 486, 520, 522}},
    {40, -0.25f, 0.15f, "Level Two", {269, 191, 454, 219}},
    {40, -0.7f, 0.0f, "You must stay alive by avoiding the", {26, 271, 687, 307}},
    {40, -0.7f, -0.08f, "cougars. Although it's only a vision, ", {27, 314, 691, 350}},
    {40, -0.7f, -0.16f, "if you die here, you die in real life.", {27, 357, 653, 393}},
    {40, -0.7f, -0.24f, "(like in the Matrix)", {27, 400, 355, 436}},
    {40, -0.35f, 0.4f, "IMPRESSIVE MOVES!", {214, 58, 620, 85}},
    {40, -0.6f, 0.2f, "Now you have seen the horor of the", {81, 164, 739, 200}},
    {40, -0.6f, 0.12f, "cougars.  Incidentally, the cougar", {80, 207, 698, 243}},
    {40, -0.6f, 0.04f, "in the vision is the one who killed", {80, 250, 696, 278}},
    {40, -0.6f, -0.04f, "your parents.", {79, 295, 324, 329}},
    {40, -0.3f, -0.12f, "* You get very mad *", {239, 336, 621, 372}},
    {40, -0.3f, -0.2f, "...to be continued...", {242, 379, 592, 407}},
    {40, -0.5f, -0.3f, "Space = Continue to Credits", {133, 432, 655, 468}},
    {40, -0.25f, 0.15f, "YOU LOSE!", {267, 192, 480, 219}},
    {40, -0.5f, -0.2f, "Space = try again", {133, 379, 455, 415}},
    {40, -0.25f, 0.15f, "InGame Menu", {268, 192, 519, 219}},
    {40, -0.5f, -0.2f, "Esc = Return to Game", {135, 380, 541, 407}},
    {40, -0.04f, -0.27f, "P = Play", {381, 416, 531, 452}},
    {30, -0.09f, -0.4f, "ESC key = Exit", {353, 493, 560, 520}},
    {16, 0.3f, 0.5f, "Enegy Level: 20", {561, 21, 680, 36}},
    {16, 0.1f, 0.5f, "Health: 5", {454, 21, 519, 32}},
    {16, 0.3f, 0.5f, "Time: 1:30.00", {561, 21, 660, 32}},
};

}  // namespace

TEST(ScreenLayout, At800x600TextSitsWhereTheBitmapFontsPutIt) {
    GLTestContext gl(800, 600);
    COverlay overlay;
    for (const Reference& r : kBefore) {
        CTextFont* font = r.height == 16   ? overlay.HudFont()
                          : r.height == 30 ? overlay.mediumFont
                                           : overlay.largeFont;
        gl.Clear();
        glDisable(GL_TEXTURE_2D);
        font->SetColor(1, 1, 1);
        font->SetPosition(r.x, r.y, -0.1f);
        font->Print("%s", r.text);
        Box b = InkBox(gl.ReadPixels(), AnyInk);
        EXPECT_NEAR(b.x0, r.box.x0, 2) << r.text;
        EXPECT_NEAR(b.y0, r.box.y0, 2) << r.text;
        EXPECT_NEAR(b.x1, r.box.x1, 2) << r.text;
        EXPECT_NEAR(b.y1, r.box.y1, 2) << r.text;
    }
}

namespace {

const Box& BoxOf(const char* text) {
    for (const Reference& r : kBefore)
        if (std::string(r.text) == text) return r.box;
    static Box none;
    ADD_FAILURE() << "no reference for " << text;
    return none;
}

// What the engine shows at its size: the title's key lines, each HUD and the longest text
// screen must lie inside the drawable and inside the view, and sit as at 800 x 600 scaled
// about the view's centre by the view's height (the field of view is vertical).
void CheckLayout(FrameDriver& driver) {
    CSimpEngine* engine = driver.engine;
    const int* view = engine->view;
    const double scale = view[3] / 600.0;
    auto check = [&](const Box& got, const Box& at800, const char* what) {
        SCOPED_TRACE(what);
        ASSERT_GT(got.count, 0);
        EXPECT_GE(got.x0, view[0]);
        EXPECT_GE(got.y0, engine->height - view[1] - view[3]);
        EXPECT_LT(got.x1, view[0] + view[2]);
        EXPECT_LT(got.y1, engine->height - view[1]);
        const double cx = view[0] + view[2] / 2.0, cy = engine->height - view[1] - view[3] / 2.0;
        // Hinting rounds each glyph to whole pixels at its own size: small text drifts most.
        const double slack = 3 + 0.06 * (at800.x1 - at800.x0) * scale;
        EXPECT_NEAR(got.x0, cx + (at800.x0 - 400) * scale, slack);
        EXPECT_NEAR(got.x1, cx + (at800.x1 - 400) * scale, slack);
        EXPECT_NEAR(got.y0, cy + (at800.y0 - 300) * scale, 3 + 0.03 * 30 * scale);
        EXPECT_NEAR(got.y1, cy + (at800.y1 - 300) * scale, 3 + 0.03 * 30 * scale);
    };
    EXPECT_GE(view[0], 0);
    EXPECT_GE(view[1], 0);
    EXPECT_LE(view[0] + view[2], engine->width);
    EXPECT_LE(view[1] + view[3], engine->height);

    driver.Frames(1);  // the title
    PixelImage title = driver.Pixels();
    check(InkBox(title, RedInk), Union(BoxOf("P = Play"), BoxOf("ESC key = Exit")), "title");
    // Beside a letterboxed view the bars stay black.
    for (int y = 0; y < engine->height; y += 7)
        for (int x = 0; x < engine->width; x += 7) {
            const bool inView = x >= view[0] && x < view[0] + view[2] && engine->height - 1 - y >= view[1] &&
                                engine->height - 1 - y < view[1] + view[3];
            if (!inView) {
                ASSERT_FALSE(AnyInk(title.At(x, y)[0], title.At(x, y)[1], title.At(x, y)[2]))
                    << x << "," << y;
            }
        }

    COverlay* overlay = engine->overlay;
    auto drawn = [&](void (COverlay::*draw)()) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        (overlay->*draw)();
        return InkBox(driver.Pixels(), AnyInk);
    };
    overlay->ResetLevelStats();
    overlay->SetEnergy(20);
    check(drawn(&COverlay::DrawEnergyHud), BoxOf("Enegy Level: 20"), "energy HUD");
    overlay->SetTimeLeft(90);
    check(drawn(&COverlay::DrawHealthTimeHud), Union(BoxOf("Health: 5"), BoxOf("Time: 1:30.00")),
          "health HUD");
    Box intro = BoxOf("Level One");
    for (const char* line : {"You must find the Wise Old Man to", "get information about your parents.",
                             "metabolism and must constantly eat.", "Don't let your energy level go to zero.",
                             "Press Spacebar to begin..."})
        intro = Union(intro, BoxOf(line));
    check(drawn(&COverlay::DrawLevelOneIntro), intro, "level-one introduction");
}

// A game folder whose title picture is missing: the title square is plain white.
class ScreenSizes : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LinkGameFiles(game, "titlemenu.tga"));
        inside = new WorkingDir(game.path);
        ASSERT_TRUE(inside->entered);
    }
    void TearDown() override { delete inside; }
    TempDir game;
    WorkingDir* inside = nullptr;
};

}  // namespace

TEST_F(ScreenSizes, WindowsOfEverySizeShowTheTitleAndHudWhole) {
    for (const auto& size :
         {std::make_pair(400, 300), std::make_pair(800, 600), std::make_pair(1280, 1024)}) {
        SCOPED_TRACE(std::to_string(size.first) + "x" + std::to_string(size.second));
        FrameDriver driver(size.first, size.second);
        ASSERT_EQ(driver.engine->width, size.first);
        ASSERT_EQ(driver.engine->height, size.second);
        // A window's view is all of it.
        EXPECT_EQ(driver.engine->view[2], size.first);
        EXPECT_EQ(driver.engine->view[3], size.second);
        CheckLayout(driver);
    }
}

TEST_F(ScreenSizes, FullScreenKeepsTheDesktopAndFitsThePictureToIt) {
    FrameDriver driver(new CSimpEngine("OpenGL Game", true, 800, 600, 16));
    CSimpEngine* engine = driver.engine;
    SDL_DisplayMode desktop;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    // The drawable is the desktop, whose mode is left as it was.
    EXPECT_EQ(engine->width, desktop.w);
    EXPECT_EQ(engine->height, desktop.h);
    SDL_DisplayMode now;
    ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &now), 0);
    EXPECT_EQ(now.w, desktop.w);
    EXPECT_EQ(now.h, desktop.h);
    int fitted[4];
    COGLWindow::FitView(desktop.w, desktop.h, fitted);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(engine->view[i], fitted[i]) << i;
    CheckLayout(driver);
}

TEST(ScreenFit, TheGamesPictureFitsEveryShapeCentred) {
    struct {
        int w, h, view[4];
    } cases[] = {{1920, 1080, {240, 0, 1440, 1080}}, {1280, 1024, {0, 32, 1280, 960}},
                 {1024, 768, {0, 0, 1024, 768}},     {801, 600, {0, 0, 800, 600}},
                 {2560, 1600, {213, 0, 2133, 1600}}, {0, 0, {0, 0, 0, 0}}};
    for (const auto& c : cases) {
        int view[4];
        COGLWindow::FitView(c.w, c.h, view);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(view[i], c.view[i]) << c.w << "x" << c.h << " [" << i << "]";
    }
}

// The dimming layer lies over everything on the screens between states, even a wall nearer
// than the layer itself.
TEST(ScreenDimming, AWallOneUnitAwayIsDimmedToo) {
    FrameDriver driver;
    CGameWorld* world = driver.World();
    CViewCamera* camera = driver.Camera();
    driver.Hold("P");
    driver.Frames(2);
    driver.Release("P");
    ASSERT_EQ(world->state, LevelOneIntro);
    auto frame = [&] {
        // One unit in front of the fence piece at z = 0, facing it.
        camera->SetPosition(25, 5, 1);
        camera->velocity = CVec3(0, 0, 0);
        camera->acceleration = CVec3(0, 0, 0);
        camera->yaw = 270;
        camera->pitch = 0;
        driver.Frames(1);
        return driver.Pixels();
    };
    PixelImage dimmed = frame();
    world->state = LevelOnePlay;
    PixelImage bright = frame();
    // Below the text the wall fills the view: a 0.7 black layer leaves 0.3 of it.
    int checked = 0;
    for (int y = 560; y < 600; y += 3)
        for (int x = 0; x < 800; x += 5) {
            const uint8_t* d = dimmed.At(x, y);
            const uint8_t* b = bright.At(x, y);
            for (int i = 0; i < 3; ++i)
                ASSERT_NEAR(d[i], 0.3 * b[i], 2.0) << x << "," << y;
            checked += b[0] + b[1] + b[2] > 60;
        }
    EXPECT_GT(checked, 100) << "the wall should be lit where it is checked";
    // The text lies over the wall too, though the wall is nearer than the text.
    const Box& line = BoxOf("You must find the Wise Old Man to");
    const int lit = dimmed.Count(line.x0, line.y0, line.x1 + 1, line.y1 + 1,
                                 [](int r, int g, int b) { return r > 180 && g > 180 && b > 180; });
    EXPECT_GT(lit, 500) << "the introduction's text is hidden behind the wall";
}

// HUD and text-screen lines keep their colours and gain a one-pixel dark shadow below and to
// the right; the title's lines have none.
TEST(ScreenShadow, HudAndTextScreenLinesCastADarkShadow) {
    GLTestContext gl(800, 600);
    COverlay overlay;
    overlay.SetEnergy(20);
    struct {
        void (COverlay::*draw)();
        uint8_t full[3];    // a fully covered text pixel: the line's colour as drawn over white
        uint8_t shadow[3];  // a shadow pixel over white
    } cases[] = {{&COverlay::DrawEnergyHud, {255, 0, 0}, {0, 0, 0}},
                 {&COverlay::DrawLevelOneIntro, {112, 255, 112}, {51, 51, 51}}};
    for (const auto& c : cases) {
        gl.Clear(1, 1, 1);
        glEnable(GL_TEXTURE_2D);
        (overlay.*c.draw)();
        PixelImage img = gl.ReadPixels();
        auto is = [](const uint8_t* p, const uint8_t* want) {
            return std::abs(p[0] - want[0]) <= 1 && std::abs(p[1] - want[1]) <= 1 &&
                   std::abs(p[2] - want[2]) <= 1;
        };
        int full = 0, shadow = 0, unshadowed = 0;
        for (int y = 0; y + 1 < img.height; ++y)
            for (int x = 0; x + 1 < img.width; ++x) {
                const uint8_t* p = img.At(x, y);
                shadow += is(p, c.shadow);
                if (!is(p, c.full)) continue;
                ++full;
                const uint8_t* below = img.At(x + 1, y + 1);
                unshadowed += below[0] == 255 && below[1] == 255 && below[2] == 255;
            }
        EXPECT_GT(full, 100);
        EXPECT_GT(shadow, full / 10);
        EXPECT_EQ(unshadowed, 0) << "text pixels with the white background right below them";
    }
}
