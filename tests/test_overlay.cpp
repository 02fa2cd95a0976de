#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "overlay/COverlay.h"
#include "overlay/CTextFont.h"
#include "scene/CViewCamera.h"
#include "support/GLTestContext.h"
#include "support/TempDir.h"
#include "support/TextProjection.h"

namespace {

struct Colour {
    float r, g, b, a;
};
const Colour kGreen = {0.3f, 1.0f, 0.3f, 0.8f};
const Colour kPaleGreen = {0.4f, 1.0f, 0.3f, 0.8f};
const Colour kBlue = {0.3f, 0.3f, 1.0f, 0.8f};
const Colour kRed = {1.0f, 0.3f, 0.3f, 0.8f};
const Colour kWhite = {1.0f, 1.0f, 1.0f, 0.8f};

struct Line {
    Colour colour;
    float x, y;
    const char* text;
};

// Text is blended over a black background, so each channel ends up scaled by alpha, and by
// less at the smoothed edges of the glyphs: the pixel is the colour at some brightness.
bool Matches(const uint8_t* p, const Colour& c) {
    const float in[3] = {c.r * c.a * 255.0f, c.g * c.a * 255.0f, c.b * c.a * 255.0f};
    int brightest = 0;
    for (int i = 1; i < 3; ++i)
        if (in[i] > in[brightest]) brightest = i;
    const float k = p[brightest] / in[brightest];
    if (k > 1.02f) return false;
    for (int i = 0; i < 3; ++i)
        if (std::abs(p[i] - k * in[i]) > 3) return false;
    return true;
}

// HUD and screen texts print at depth -0.1.
void Project(float x, float y, double& sx, double& syFromTop) { ProjectText(x, y, -0.1f, sx, syFromTop); }

class OverlayTest : public ::testing::Test {
protected:
    GLTestContext gl;
    COverlay* overlay = nullptr;

    void SetUp() override { overlay = new COverlay(); }
    void TearDown() override { delete overlay; }

    // A frame as the game draws it: texturing on, no blending, black background.
    PixelImage DrawScreen(const std::function<void()>& draw) {
        gl.Clear();
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        draw();
        return gl.ReadPixels();
    }

    // The same lines printed one by one with a font of our own, shadowed as the HUD and the
    // text screens are.
    PixelImage DrawReference(const std::vector<Line>& lines, int height, bool blend) {
        CTextFont font("Arial", height);
        font.SetShadow(true);
        gl.Clear();
        glDisable(GL_TEXTURE_2D);
        if (blend) {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }
        for (const Line& l : lines) {
            font.SetColor(l.colour.r, l.colour.g, l.colour.b, l.colour.a);
            font.SetPosition(l.x, l.y, -0.1f);
            font.Print("%s", l.text);
        }
        glDisable(GL_BLEND);
        return gl.ReadPixels();
    }

    // Every lit pixel must lie in the band of a line of its colour, right of where
    // the line starts; every line must have ink of its colour starting at its place.
    void CheckBands(const PixelImage& img, const std::vector<Line>& lines) {
        std::vector<double> px(lines.size()), py(lines.size());
        for (size_t i = 0; i < lines.size(); ++i)
            Project(lines[i].x, lines[i].y, px[i], py[i]);
        std::vector<int> count(lines.size(), 0), left(lines.size(), img.width);
        int stray = 0;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                const uint8_t* p = img.At(x, y);
                if (!(p[0] | p[1] | p[2])) continue;
                bool owned = false;
                for (size_t i = 0; i < lines.size(); ++i) {
                    if (y < py[i] - 33 || y > py[i] + 10 || x < px[i] - 2) continue;
                    if (!Matches(p, lines[i].colour)) continue;
                    owned = true;
                    ++count[i];
                    left[i] = std::min(left[i], x);
                    break;
                }
                if (!owned) ++stray;
            }
        EXPECT_EQ(stray, 0) << "pixels outside every line's band or in the wrong colour";
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_GT(count[i], 40) << lines[i].text;
            EXPECT_LE(left[i], px[i] + 8) << lines[i].text;
        }
    }

    void CheckScreen(const std::function<void()>& draw, const std::vector<Line>& lines) {
        PixelImage img = DrawScreen(draw);
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(gl.ModelviewDepth(), 1);
        CheckBands(img, lines);
        PixelImage ref = DrawReference(lines, 40, true);
        EXPECT_TRUE(img.rgba == ref.rgba) << "text differs from the expected lines";
    }
};

}  // namespace

TEST(OverlayStatistics, ClockSplitsSecondsIntoMinutesAndSignedRemainder) {
    GLTestContext gl;
    COverlay overlay;
    EXPECT_EQ(overlay.health, 5);
    EXPECT_EQ(overlay.energyBonus, 0);
    EXPECT_FALSE(overlay.IsGoalReached());
    struct {
        int s, minutes, seconds;
    } cases[] = {{90, 1, 30}, {69, 1, 9},  {70, 1, 10},   {59, 0, 59},   {60, 1, 0},
                 {0, 0, 0},   {-1, 0, -1}, {-59, 0, -59}, {-61, -1, -1}, {3600, 60, 0}};
    for (const auto& c : cases) {
        overlay.SetTimeLeft(c.s);
        EXPECT_EQ(overlay.minutes, c.minutes) << c.s;
        EXPECT_EQ(overlay.seconds, c.seconds) << c.s;
        EXPECT_EQ(overlay.subSeconds, 0) << c.s;
    }
}

TEST(OverlayStatistics, EnergyCountsFoodAndResetsWithTheLevel) {
    GLTestContext gl;
    COverlay overlay;
    overlay.SetEnergy(20);
    EXPECT_EQ(overlay.GetEnergy(), 20);
    overlay.AddEnergyBonus(20);
    overlay.AddEnergyBonus(20);
    overlay.SetEnergy(15);  // the clock ran down five seconds, two food items eaten
    EXPECT_EQ(overlay.GetEnergy(), 55);
    overlay.LoseHealth();
    overlay.LoseHealth();
    EXPECT_EQ(overlay.GetHealth(), 3);
    overlay.SetGoalReached(true);
    EXPECT_TRUE(overlay.IsGoalReached());
    overlay.ResetLevelStats();
    overlay.SetEnergy(20);
    EXPECT_EQ(overlay.GetEnergy(), 20);
    EXPECT_EQ(overlay.GetHealth(), 5);
    for (int i = 0; i < 7; ++i)
        overlay.LoseHealth();
    EXPECT_EQ(overlay.GetHealth(), -2);
}

TEST_F(OverlayTest, LevelOneIntro) {
    CheckScreen([&] { overlay->DrawLevelOneIntro(); },
                {{kGreen, -0.25f, 0.15f, "Level One"},
                 {kWhite, -0.7f, 0.0f, "You must find the Wise Old Man to"},
                 {kWhite, -0.7f, -0.08f, "get information about your parents."},
                 {kWhite, -0.7f, -0.16f, "As, a duckling, you have a high"},
                 {kWhite, -0.7f, -0.24f, "metabolism and must constantly eat."},
                 {kRed, -0.7f, -0.32f, "Don't let your energy level go to zero."},
                 {kWhite, -0.7f, -0.42f, "Press Spacebar to begin..."}});
}

TEST_F(OverlayTest, LevelOneWon) {
    CheckScreen([&] { overlay->DrawLevelOneWon(); },
                {{kGreen, -0.68f, 0.4f, "CONGRADULATIONS, YOUNG DUCK!"},
                 {kBlue, -0.6f, 0.16f, "You have finally found me! I will"},
                 {kBlue, -0.6f, 0.08f, "give you a vision of the future."},
                 {kBlue, -0.6f, 0.0f, "It is your job to make sure this "},
                 {kBlue, -0.6f, -0.08f, "vision does not come true."},
                 {kBlue, -0.5f, -0.16f, "That's it...go to sleep..."},
                 {kWhite, -0.5f, -0.3f, "Space = Continue to level two"},
                 {kWhite, -0.5f, -0.4f, "Q = Go to Main Menu"}});
}

TEST_F(OverlayTest, LevelTwoIntro) {
    CheckScreen([&] { overlay->DrawLevelTwoIntro(); },
                {{kGreen, -0.25f, 0.15f, "Level Two"},
                 {kWhite, -0.7f, 0.0f, "You must stay alive by avoiding the"},
                 {kWhite, -0.7f, -0.08f, "cougars. Although it's only a vision, "},
                 {kWhite, -0.7f, -0.16f, "if you die here, you die in real life."},
                 {kWhite, -0.7f, -0.24f, "(like in the Matrix)"},
                 {kWhite, -0.7f, -0.42f, "Press Spacebar to begin..."}});
}

TEST_F(OverlayTest, LevelTwoWon) {
    CheckScreen([&] { overlay->DrawLevelTwoWon(); },
                {{kPaleGreen, -0.35f, 0.4f, "IMPRESSIVE MOVES!"},
                 {kBlue, -0.6f, 0.2f, "Now you have seen the horor of the"},
                 {kBlue, -0.6f, 0.12f, "cougars.  Incidentally, the cougar"},
                 {kBlue, -0.6f, 0.04f, "in the vision is the one who killed"},
                 {kBlue, -0.6f, -0.04f, "your parents."},
                 {kBlue, -0.3f, -0.12f, "* You get very mad *"},
                 {kBlue, -0.3f, -0.2f, "...to be continued..."},
                 {kWhite, -0.5f, -0.3f, "Space = Continue to Credits"},
                 {kWhite, -0.5f, -0.4f, "Q = Go to Main Menu"}});
}

TEST_F(OverlayTest, LostAndInGameMenu) {
    CheckScreen([&] { overlay->DrawLost(); }, {{kRed, -0.25f, 0.15f, "YOU LOSE!"},
                                               {kWhite, -0.5f, -0.2f, "Space = try again"},
                                               {kWhite, -0.5f, -0.4f, "Q = Go to Main Menu"}});
    CheckScreen([&] { overlay->DrawInGameMenu(); }, {{kGreen, -0.25f, 0.15f, "InGame Menu"},
                                                     {kWhite, -0.5f, -0.2f, "Esc = Return to Game"},
                                                     {kWhite, -0.5f, -0.4f, "Q = Go to Main Menu"}});
}

TEST_F(OverlayTest, LostDrawsNothingOnceTheGoalIsReached) {
    overlay->SetGoalReached(true);
    gl.Clear();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    overlay->DrawLost();
    PixelImage img = gl.ReadPixels();
    int lit = img.Count(0, 0, img.width, img.height, [](int r, int g, int b) { return (r | g | b) != 0; });
    EXPECT_EQ(lit, 0);
    // Not even the frame around the text: the state is left as it was.
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glDisable(GL_BLEND);
}

TEST_F(OverlayTest, EnergyHudShowsZeroForExhaustedEnergy) {
    const Colour opaqueRed = {1, 0, 0, 1};
    struct {
        int energy;
        const char* shown;
    } cases[] = {
        {37, "Enegy Level: 37"}, {1, "Enegy Level: 1"}, {0, "Enegy Level: 0"}, {-4, "Enegy Level: 0"}};
    for (const auto& c : cases) {
        overlay->SetEnergy(c.energy);
        glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
        PixelImage img = DrawScreen([&] { overlay->DrawEnergyHud(); });
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        GLfloat current[4];
        glGetFloatv(GL_CURRENT_COLOR, current);
        EXPECT_FLOAT_EQ(current[0], 0.25f) << "the HUD must restore the current colour";
        EXPECT_FLOAT_EQ(current[2], 0.75f);
        std::vector<Line> lines = {{opaqueRed, 0.3f, 0.5f, c.shown}};
        CheckBands(img, lines);
        PixelImage ref = DrawReference(lines, 16, false);
        EXPECT_TRUE(img.rgba == ref.rgba) << "expected \"" << c.shown << "\"";
    }
}

// The HUDs and the note lie over whatever was drawn before: the current colour and texture
// coordinate, and for the note the switches it turns, come back as they were.
TEST_F(OverlayTest, HudsAndNoteGiveBackTheStateTheyFound) {
    overlay->ShowNote("Music: 70%");
    const std::function<void()> draws[] = {[&] { overlay->DrawEnergyHud(); },
                                           [&] { overlay->PrintHealthTimeHud(); },
                                           [&] { overlay->DrawNote(); }};
    for (int i = 0; i < 3; ++i)
        for (bool on : {false, true}) {
            const GLfloat colour[4] = {0.25f, 0.5f, 0.75f, on ? 0.5f : 1.0f},
                          texCoord[4] = {0.125f, 0.375f, 0, 1};
            glColor4fv(colour);
            glTexCoord4fv(texCoord);
            on ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
            on ? glDisable(GL_TEXTURE_2D) : glEnable(GL_TEXTURE_2D);
            on ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
            draws[i]();
            GLfloat nowColour[4], nowTexCoord[4];
            glGetFloatv(GL_CURRENT_COLOR, nowColour);
            glGetFloatv(GL_CURRENT_TEXTURE_COORDS, nowTexCoord);
            for (int k = 0; k < 4; ++k) {
                EXPECT_EQ(nowColour[k], colour[k]) << "draw " << i;
                EXPECT_EQ(nowTexCoord[k], texCoord[k]) << "draw " << i;
            }
            if (i == 2) {
                EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), on);
                EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), !on);
                EXPECT_EQ(glIsEnabled(GL_BLEND), on);
            }
        }
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

TEST_F(OverlayTest, HealthAndClockHud) {
    const Colour opaqueBlue = {0.3f, 0.3f, 1.0f, 1.0f};  // no blending in play
    struct {
        int health;
        int timeLeft;
        const char* health_text;
        const char* clock;
        bool goal;
    } cases[] = {
        {5, 90, "Health: 5", "Time: 1:30.00", false},     {3, 69, "Health: 3", "Time: 1:09.00", false},
        {1, 70, "Health: 1", "Time: 1:10.00", false},     {0, 5, "Health: 0", "Time: 0:05.00", false},
        {-2, 600, "Health: -2", "Time: 10:00.00", false}, {4, 0, "Health: 4", "Time: 0:0.00", true},
        {4, -3, "Health: 4", "Time: 0:0.00", true},       {4, -75, "Health: 4", "Time: 0:0.00", true},
    };
    for (const auto& c : cases) {
        overlay->ResetLevelStats();
        overlay->SetGoalReached(false);
        while (overlay->GetHealth() > c.health)
            overlay->LoseHealth();
        overlay->SetTimeLeft(c.timeLeft);
        PixelImage img = DrawScreen([&] {
            glEnable(GL_BLEND);  // left on by a text screen: the HUD turns it off
            glBlendFunc(GL_ONE, GL_ZERO);
            overlay->DrawHealthTimeHud();
        });
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(overlay->IsGoalReached(), c.goal) << c.timeLeft;
        std::vector<Line> lines = {{opaqueBlue, 0.1f, 0.5f, c.health_text},
                                   {opaqueBlue, 0.3f, 0.5f, c.clock}};
        PixelImage ref = DrawReference(lines, 16, false);
        EXPECT_TRUE(img.rgba == ref.rgba) << "expected \"" << c.health_text << "\" and \"" << c.clock << "\"";
    }
}

TEST_F(OverlayTest, ClockPadsSecondsAndFractions) {
    const Colour opaqueBlue = {0.3f, 0.3f, 1.0f, 1.0f};
    struct {
        int minutes, seconds, subSeconds;
        const char* clock;
    } cases[] = {{0, 5, 7, "Time: 0:05.07"},
                 {0, 5, 30, "Time: 0:05.30"},
                 {2, 12, 7, "Time: 2:12.07"},
                 {2, 12, 45, "Time: 2:12.45"},
                 {0, 0, 1, "Time: 0:00.01"}};
    for (const auto& c : cases) {
        overlay->minutes = c.minutes;
        overlay->seconds = c.seconds;
        overlay->subSeconds = c.subSeconds;
        overlay->SetGoalReached(false);
        PixelImage img = DrawScreen([&] { overlay->DrawHealthTimeHud(); });
        EXPECT_FALSE(overlay->IsGoalReached());
        PixelImage ref = DrawReference(
            {{opaqueBlue, 0.1f, 0.5f, "Health: 5"}, {opaqueBlue, 0.3f, 0.5f, c.clock}}, 16, false);
        EXPECT_TRUE(img.rgba == ref.rgba) << "expected \"" << c.clock << "\"";
    }
}

// The title without its picture: the square comes out in the plain current colour (white),
// so the red key lines can be found on it whatever the art looks like.
TEST(OverlayTitle, KeyLinesInRedOverTheTitlePicture) {
    TempDir empty;
    WorkingDir inside(empty.path);
    ASSERT_TRUE(inside.entered);
    {
        GLTestContext gl;
        COverlay overlay;
        CViewCamera camera;
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        gl.Clear(0.5f, 0.5f, 0.5f);
        glColor4f(1, 1, 1, 1);
        camera.SetPosition(0, 0, 0);
        camera.yaw = 0;
        camera.pitch = 0;
        camera.Move(0.0f);
        glDisable(GL_TEXTURE_2D);
        overlay.DrawMainMenu();
        PixelImage img = gl.ReadPixels();

        GLfloat clear[4], current[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        glGetFloatv(GL_CURRENT_COLOR, current);
        EXPECT_EQ(clear[0], 0.0f);
        EXPECT_EQ(clear[1], 0.0f);
        EXPECT_EQ(clear[2], 0.0f);
        EXPECT_EQ(clear[3], 1.0f);
        for (float c : current)
            EXPECT_EQ(c, 1.0f);
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(gl.ModelviewDepth(), 1);

        // "P = Play" in the large font, "ESC key = Exit" in the medium one, both opaque red.
        double playX, playY, exitX, exitY;
        Project(-0.04f, -0.27f, playX, playY);
        Project(-0.09f, -0.4f, exitX, exitY);
        auto red = [](int r, int g, int b) { return r == 255 && g == 0 && b == 0; };
        int total = img.Count(0, 0, img.width, img.height, red);
        int play = img.Count(static_cast<int>(playX) - 1, static_cast<int>(playY) - 33, img.width,
                             static_cast<int>(playY) + 10, red);
        int exit = img.Count(static_cast<int>(exitX) - 1, static_cast<int>(exitY) - 25, img.width,
                             static_cast<int>(exitY) + 8, red);
        EXPECT_GT(play, 200);
        EXPECT_GT(exit, 200);
        EXPECT_EQ(play + exit, total) << "red outside the two key lines";
        // The medium font is smaller: its capitals are shorter than the large font's.
        int playTop = img.height, exitTop = img.height;
        for (int y = 0; y < img.height && (playTop == img.height || exitTop == img.height); ++y)
            for (int x = 0; x < img.width; ++x) {
                if (!red(img.At(x, y)[0], img.At(x, y)[1], img.At(x, y)[2])) continue;
                if (y < playY + 10 && playTop == img.height) playTop = y;
                if (y > playY + 10 && exitTop == img.height) exitTop = y;
            }
        EXPECT_GT(playY - playTop, exitY - exitTop + 4);
        // Elsewhere the untextured picture is white; beside it the frame's clear shows,
        // the black only taking effect from the next clear.
        EXPECT_EQ(img.At(200, 100)[0], 255);
        EXPECT_EQ(img.At(200, 100)[2], 255);
        EXPECT_NEAR(img.At(20, 300)[0], 128, 1);
    }
}
