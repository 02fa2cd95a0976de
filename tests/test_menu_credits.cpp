#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "overlay/CMainMenu.h"
#include "scene/CViewCamera.h"
#include "support/GLTestContext.h"
#include "support/TempDir.h"
#include "world/CCredits.h"

namespace {

struct Rgb {
    int r, g, b;
};

// A 64 x 64 uncompressed TGA, one colour per quadrant, stored bottom row first.
void WriteQuadrantTga(const std::string& path, Rgb topLeft, Rgb topRight, Rgb bottomLeft, Rgb bottomRight) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    unsigned char header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 64, 0, 64, 0, 24, 0};
    std::fwrite(header, 1, sizeof header, f);
    for (int row = 0; row < 64; ++row)
        for (int col = 0; col < 64; ++col) {
            bool top = row >= 32, left = col < 32;
            Rgb c = top ? (left ? topLeft : topRight) : (left ? bottomLeft : bottomRight);
            unsigned char bgr[3] = {static_cast<unsigned char>(c.b), static_cast<unsigned char>(c.g),
                                    static_cast<unsigned char>(c.r)};
            std::fwrite(bgr, 1, 3, f);
        }
    std::fclose(f);
}

const Rgb kRed = {255, 0, 0}, kGreen = {0, 255, 0}, kBlue = {0, 0, 255}, kYellow = {255, 255, 0};
const Rgb kCyan = {0, 255, 255}, kMagenta = {255, 0, 255}, kGrey = {128, 128, 128}, kOrange = {255, 128, 0};

// Runs the test body in a fresh folder so the objects read the pictures we put there.
struct PictureFolder {
    TempDir made;
    WorkingDir inside{made.path};
    bool Ready() const { return !made.path.empty() && inside.entered; }
};

class PictureTest : public ::testing::Test {
protected:
    GLTestContext gl;
    CViewCamera camera;

    // The view the world sets up, applied the way the engine does each frame.
    void Look(float x, float y, float z, float yaw, float pitch) {
        gl.Clear();
        glColor4f(1, 1, 1, 1);
        camera.SetPosition(x, y, z);
        camera.velocity = CVec3(0, 0, 0);
        camera.yaw = yaw;
        camera.pitch = pitch;
        camera.pitchLimitOff = true;
        camera.Move(0.0f);
    }

    // Screen pixel of a world point under the current view; false when off screen.
    bool Project(float x, float y, float z, int& sx, int& sy) {
        GLdouble model[16], proj[16];
        GLint view[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, proj);
        glGetIntegerv(GL_VIEWPORT, view);
        double wx, wy, wz;
        if (!gluProject(x, y, z, model, proj, view, &wx, &wy, &wz)) return false;
        sx = static_cast<int>(wx);
        sy = view[3] - 1 - static_cast<int>(wy);
        return wz > 0 && wz < 1 && sx >= 0 && sx < view[2] && sy >= 0 && sy < view[3];
    }

    void ExpectColourAt(const PixelImage& img, int sx, int sy, Rgb c, const char* what) {
        const uint8_t* p = img.At(sx, sy);
        EXPECT_NEAR(p[0], c.r, 12) << what;
        EXPECT_NEAR(p[1], c.g, 12) << what;
        EXPECT_NEAR(p[2], c.b, 12) << what;
    }

    struct Probe {
        float x, y, z;
        Rgb colour;
        const char* what;
    };
    void CheckProbes(const std::vector<Probe>& probes, const PixelImage& img) {
        for (const Probe& p : probes) {
            int sx, sy;
            ASSERT_TRUE(Project(p.x, p.y, p.z, sx, sy)) << p.what << " should be in view";
            ExpectColourAt(img, sx, sy, p.colour, p.what);
        }
    }

    static int Lit(const PixelImage& img) {
        return img.Count(0, 0, img.width, img.height, [](int r, int g, int b) { return (r | g | b) != 0; });
    }
};

}  // namespace

TEST_F(PictureTest, TitlePictureFacesTheOriginUpright) {
    PictureFolder folder;
    ASSERT_TRUE(folder.Ready());
    WriteQuadrantTga("titlemenu.tga", kRed, kGreen, kBlue, kYellow);
    CMainMenu menu;
    EXPECT_EQ(menu.halfSize, 10);
    EXPECT_FLOAT_EQ(menu.position.x, 20.0f);
    EXPECT_FLOAT_EQ(menu.position.z, -0.25f);
    ASSERT_NE(menu.images[0].textureId, 0u);

    Look(0, 0, 0, 0, 0);
    glDisable(GL_TEXTURE_2D);
    GLdouble before[16], after[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, before);
    menu.Draw();
    glGetDoublev(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(gl.ModelviewDepth(), 1);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(before[i], after[i]);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    PixelImage img = gl.ReadPixels();

    // Top of the image up, its left edge towards -z, which is the left of the view.
    CheckProbes({{20, 5, -5.25f, kRed, "top left"},
                 {20, 5, 4.75f, kGreen, "top right"},
                 {20, -5, -5.25f, kBlue, "bottom left"},
                 {20, -5, 4.75f, kYellow, "bottom right"}},
                img);

    // The square x = 20, y -10..10, z -10.25..9.75 and nothing else.
    int left, top, right, bottom;
    ASSERT_TRUE(Project(20, 10, -10.25f, left, top));
    ASSERT_TRUE(Project(20, -10, 9.75f, right, bottom));
    EXPECT_NEAR(left, 98, 2);
    EXPECT_NEAR(right, 687, 2);
    EXPECT_LT(top, 10);
    EXPECT_GT(bottom, 590);
    int inside = img.Count(left + 2, top + 2, right - 1, bottom - 1,
                           [](int r, int g, int b) { return (r | g | b) != 0; });
    EXPECT_EQ(inside, (right - left - 3) * (bottom - top - 3));
    EXPECT_EQ(Lit(img) - inside, img.Count(left - 1, top - 1, right + 2, bottom + 2,
                                           [](int r, int g, int b) { return (r | g | b) != 0; }) -
                                     inside)
        << "lit pixels outside the square";
}

TEST_F(PictureTest, CreditsLieFlatAndPassOutOfViewAsTheCameraBacksAway) {
    PictureFolder folder;
    ASSERT_TRUE(folder.Ready());
    WriteQuadrantTga("credits1.tga", kRed, kGreen, kBlue, kYellow);
    WriteQuadrantTga("credits2.tga", kCyan, kMagenta, kGrey, kOrange);
    CCredits credits;
    EXPECT_FLOAT_EQ(credits.size, 5.0f);
    EXPECT_FLOAT_EQ(credits.position.x, -4.0f);
    EXPECT_FLOAT_EQ(credits.position.y, 1.0f);

    // Shortly after the roll starts: the top half of the first page.
    Look(-4, 5, 0, 0, -90);
    glDisable(GL_TEXTURE_2D);
    credits.Draw();
    EXPECT_EQ(gl.ModelviewDepth(), 1);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    PixelImage img = gl.ReadPixels();
    CheckProbes({{-1, 1, -2.5f, kRed, "page one, top left"}, {-1, 1, 2.5f, kGreen, "page one, top right"}},
                img);
    EXPECT_GT(Lit(img), img.width * img.height / 3);

    // Further back: the first page's bottom meets the second page's top.
    Look(-14, 5, 0, 0, -90);
    credits.Draw();
    img = gl.ReadPixels();
    CheckProbes({{-8, 1, -2.5f, kBlue, "page one, bottom left"},
                 {-8, 1, 2.5f, kYellow, "page one, bottom right"},
                 {-10.5f, 1, -2.5f, kCyan, "page two, top left"},
                 {-10.5f, 1, 2.5f, kMagenta, "page two, top right"}},
                img);
    // Beside the pages (|z| > 5) the ground stays empty.
    int sx, sy;
    ASSERT_TRUE(Project(-3, 1, -5.6f, sx, sy));
    ExpectColourAt(img, sx, sy, {0, 0, 0}, "left of the pages");
    ASSERT_TRUE(Project(-3, 1, 5.6f, sx, sy));
    ExpectColourAt(img, sx, sy, {0, 0, 0}, "right of the pages");
    ASSERT_TRUE(Project(-3, 1, 4.6f, sx, sy));
    ExpectColourAt(img, sx, sy, kGreen, "right edge of page one");

    // The view meets y = 1 from about 1.3 to 12.3 units ahead of the eye: the pages stay
    // ahead as the camera backs away, and the second page's bottom edge leaves the top
    // of the view once the eye is past x = -31.3.
    Look(-19.5f, 5, 0, 0, -90);
    credits.Draw();
    img = gl.ReadPixels();
    CheckProbes(
        {{-18.1f, 1, -2.5f, kGrey, "page two, bottom left"}, {-10, 1, 2.5f, kMagenta, "page two, top right"}},
        img);
    Look(-31.0f, 5, 0, 0, -90);
    credits.Draw();
    img = gl.ReadPixels();
    EXPECT_GT(Lit(img), 0);
    EXPECT_EQ(img.Count(0, 60, img.width, img.height, [](int r, int g, int b) { return (r | g | b) != 0; }),
              0)
        << "only a strip at the top should remain";
    for (float x : {-31.5f, -32.5f, -33.0f, -40.0f}) {
        Look(x, 5, 0, 0, -90);
        credits.Draw();
        EXPECT_EQ(Lit(gl.ReadPixels()), 0) << "camera at x = " << x;
    }
    // At the very start the pages are still just below the view.
    Look(0, 5, 0, 0, -90);
    credits.Draw();
    EXPECT_EQ(Lit(gl.ReadPixels()), 0);
}

// The generated art, compared with a run in which the pictures are missing and the
// squares come out in the plain current colour: same place, but textured.
TEST_F(PictureTest, GameArtCoversTheSameSquares) {
    const std::string gameDir = GameDir();
    for (const char* name : {"titlemenu.tga", "credits1.tga", "credits2.tga"}) {
        FILE* f = std::fopen((gameDir + "/" + name).c_str(), "rb");
        ASSERT_NE(f, nullptr) << name << " was not generated";
        std::fclose(f);
    }
    auto draw = [&](bool title) {
        if (title) {
            CMainMenu menu;
            Look(0, 0, 0, 0, 0);
            menu.Draw();
        } else {
            CCredits credits;
            Look(-4, 5, 0, 0, -90);
            credits.Draw();
        }
        return gl.ReadPixels();
    };
    for (bool title : {true, false}) {
        PixelImage plain;
        {
            PictureFolder empty;
            plain = draw(title);
        }
        ASSERT_EQ(chdir(gameDir.c_str()), 0);
        PixelImage art = draw(title);
        int covered = 0, textured = 0, stray = 0;
        for (int y = 0; y < plain.height; ++y)
            for (int x = 0; x < plain.width; ++x) {
                const uint8_t* p = plain.At(x, y);
                const uint8_t* a = art.At(x, y);
                bool inSquare = p[0] == 255 && p[1] == 255 && p[2] == 255;
                if (inSquare) {
                    ++covered;
                    if (!(a[0] == 255 && a[1] == 255 && a[2] == 255)) ++textured;
                } else if (a[0] | a[1] | a[2]) {
                    ++stray;
                }
            }
        EXPECT_GT(covered, plain.width * plain.height / 3) << (title ? "title" : "credits");
        EXPECT_GT(textured, covered / 2) << (title ? "title" : "credits");
        EXPECT_EQ(stray, 0) << (title ? "title" : "credits");
    }
}
