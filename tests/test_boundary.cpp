// Level-two fence walls: contact boxes for both orientations and the drawn,
// 32-times repeated texture.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "objects/CBoundary.h"
#include "support/GLTestContext.h"
#include "test_texture_files.h"

namespace {

class Boundary : public testing::Test {
protected:
    GLTestContext gl{800, 100};
    TempDir dir;

    // Swaps the wall's fire for stripes: left half red, right half blue.
    void UseStripes(CBoundary& wall) {
        std::vector<Rgb> px;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                px.push_back(x < 4 ? Rgb{255, 0, 0} : Rgb{0, 0, 255});
        wall.image.LoadFromFile(dir.Write("stripes.tga", MakeTga24(8, 8, px)).c_str());
        wall.image.CreateTexture();
    }

    // Looks straight at the plane the wall lies in; x spans -256..256, y -1..16.
    PixelImage DrawFacing(CBoundary& wall) {
        gl.Clear(0, 0, 0);
        glDisable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-256, 256, -1, 16, -1000, 1000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        if (wall.orientation != 0) glRotatef(-90, 0, 1, 0);  // its length runs along +z
        glColor3f(1, 1, 1);
        glPushMatrix();
        wall.Render(nullptr);
        glPopMatrix();
        return gl.ReadPixels();
    }

    // Red runs along the screen row that shows wall height y (-1..16).
    int RedRuns(const PixelImage& shot, float y) {
        int row = static_cast<int>((16 - y) / 17 * shot.height);
        int runs = 0;
        bool inRed = false;
        for (int x = 0; x < shot.width; ++x) {
            const unsigned char* p = shot.At(x, row);
            bool red = p[0] > 128 && p[2] < 128;
            if (red && !inRed) ++runs;
            inRed = red;
        }
        return runs;
    }
};

}  // namespace

TEST_F(Boundary, UnplacedWallHasItsSizeAndAnEmptyBox) {
    CBoundary wall(1);
    EXPECT_EQ(wall.orientation, 1);
    EXPECT_EQ(wall.height, 15.0f);
    EXPECT_EQ(wall.width, 512.0f);
    EXPECT_EQ(wall.size, 256.0f);
    EXPECT_EQ(wall.position.x, 0.0f);
    EXPECT_EQ(wall.position.z, 0.0f);
    for (float bound : {wall.minX, wall.maxX, wall.minY, wall.maxY, wall.minZ, wall.maxZ})
        EXPECT_EQ(bound, 0.0f);
    EXPECT_NE(wall.image.textureId, 0u);  // made even when fire2.tga is absent
}

TEST_F(Boundary, PlacedBoxesForBothOrientations) {
    CBoundary alongZ(1);
    alongZ.SetPosition(-256, 0, 0);
    EXPECT_EQ(alongZ.minX, -258.0f);
    EXPECT_EQ(alongZ.maxX, -254.0f);
    EXPECT_EQ(alongZ.minY, 0.0f);
    EXPECT_EQ(alongZ.maxY, 15.0f);
    EXPECT_EQ(alongZ.minZ, -256.0f);
    EXPECT_EQ(alongZ.maxZ, 256.0f);
    EXPECT_EQ(alongZ.position.x, -256.0f);

    CBoundary alongX(0);
    alongX.SetPosition(0, 0, 256);
    EXPECT_EQ(alongX.minX, -256.0f);
    EXPECT_EQ(alongX.maxX, 256.0f);
    EXPECT_EQ(alongX.minZ, 254.0f);
    EXPECT_EQ(alongX.maxZ, 258.0f);
    EXPECT_EQ(alongX.position.z, 256.0f);

    CBoundary raised(7);  // any non-zero orientation runs along z
    raised.SetPosition(10, 3, -20);
    EXPECT_EQ(raised.minX, 8.0f);
    EXPECT_EQ(raised.maxX, 12.0f);
    EXPECT_EQ(raised.minY, 3.0f);
    EXPECT_EQ(raised.maxY, 18.0f);
    EXPECT_EQ(raised.minZ, -276.0f);
    EXPECT_EQ(raised.maxZ, 236.0f);

    // Nothing moves it afterwards.
    raised.Update(1.0f);
    raised.BeforeFrame();
    raised.HandleContact(&alongX);
    EXPECT_EQ(raised.position.x, 10.0f);
    EXPECT_EQ(raised.minZ, -276.0f);
}

TEST_F(Boundary, TextureRepeatsThirtyTwoTimesAlongAndOnceUp) {
    for (int orientation : {0, 1}) {
        CBoundary wall(orientation);
        UseStripes(wall);
        PixelImage shot = DrawFacing(wall);
        EXPECT_EQ(RedRuns(shot, 7.5f), 32) << "orientation " << orientation;
        EXPECT_EQ(RedRuns(shot, 14.5f), 32) << "orientation " << orientation;
        EXPECT_EQ(RedRuns(shot, 15.5f), 0) << "above the wall, orientation " << orientation;
        EXPECT_EQ(RedRuns(shot, -0.5f), 0) << "below the foot, orientation " << orientation;
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));  // left on for the next object
    }
}

TEST_F(Boundary, DrawnWhereItIsPlaced) {
    CBoundary wall(0);
    UseStripes(wall);
    wall.SetPosition(128, 0, 0);  // now spans x -128..384: the left quarter stays dark
    PixelImage shot = DrawFacing(wall);
    int row = shot.height / 2;
    int lit = shot.Count(0, row, 190, row + 1, [](int r, int, int b) { return r + b > 60; });
    EXPECT_EQ(lit, 0);
    EXPECT_EQ(RedRuns(shot, 7.5f), 24);  // three quarters of the 32 repeats are on screen
}
