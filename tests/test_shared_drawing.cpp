// Drawing less for the same picture: textures shared by every object that names a file, and
// objects outside the view (or parked by the maze) not drawn. Frames must not change.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "objects/CMazeWall.h"
#include "objects/CReeses.h"
#include "objects/CSphere.h"
#include "objects/CTerrain.h"
#include "objects/CTerrain2.h"
#include "scene/CFrustum.h"
#include "scene/CRandom.h"
#include "scene/CViewCamera.h"
#include "support/FrameDriver.h"
#include "support/HeapInUse.h"
#include "support/TreeShot.h"
#include "test_texture_files.h"
#include "textures/CTextureCache.h"
#include "world/CGameWorld.h"

namespace {

struct Pose {
    float x, y, z, yaw, pitch;
};

// Poses a player can take: inside the maze (the fence keeps everyone 2 units in) or the fire
// square, at eye height, turned and tilted every way; a few aimed at what the culling skips.
std::vector<Pose> Poses(bool levelOne) {
    static const Pose kMaze[] = {{3, 5, 3, 225, 0},    {3, 5, 3, 45, 0},      {3, 5, 3, 200, -30},
                                 {547, 5, 547, 45, 0}, {500, 5, 500, 45, 10}, {275, 5, 260, 90, -60},
                                 {20, 5, 40, 270, 0}};
    static const Pose kFire[] = {
        {0, 5, 0, 0, 0}, {250, 5, 250, 45, 0}, {-250, 5, -250, 225, -20}, {0, 5, 0, 90, -60}};
    std::vector<Pose> poses(levelOne ? std::begin(kMaze) : std::begin(kFire),
                            levelOne ? std::end(kMaze) : std::end(kFire));
    uint32_t seed = levelOne ? 12345u : 777u;  // the test's own sequence, not the game's
    auto next = [&seed](float lo, float hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + (hi - lo) * static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
    };
    while (poses.size() < 30) {
        if (levelOne)
            poses.push_back({next(3, 547), 5, next(3, 547), next(0, 360), next(-60, 60)});
        else
            poses.push_back({next(-250, 250), 5, next(-250, 250), next(0, 360), next(-60, 60)});
    }
    return poses;
}

int Differing(const PixelImage& a, const PixelImage& b) {
    int n = 0;
    for (size_t i = 0; i + 3 < a.rgba.size() && i + 3 < b.rgba.size(); i += 4)
        n += std::memcmp(&a.rgba[i], &b.rgba[i], 4) != 0;
    return n;
}

void Look(CViewCamera* camera, const Pose& p) {
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    camera->position = CVec3(p.x, p.y, p.z);
    camera->velocity = CVec3(0, 0, 0);
    camera->acceleration = CVec3(0, 0, 0);
    camera->yaw = p.yaw;
    camera->pitch = p.pitch;
    camera->Move(0);
}

class SharedDrawing : public ::testing::Test {
protected:
    FrameDriver driver;
    CGameWorld* world = driver.World();
    CViewCamera* camera = driver.Camera();

    void TearDown() override { CTextureCache::SetSharing(true); }

    // Builds the level from a fixed point of the random sequence, so both builds lay out the
    // same maze and cougars; level two's cougars are moved out of the ground first.
    CObject* Build(bool levelOne) {
        world->StopMusic();
        CRandom::Reset(4242);
        if (levelOne) {
            world->StartLevelOne();
            return world->levelOneTerrain;
        }
        world->StartLevelTwo();
        for (int i = 0; i < 300; ++i)
            world->levelTwoTerrain->UpdateTree(1.0f / 60.0f);
        return world->levelTwoTerrain;
    }

    // The picture as the walk drew it before the ground went last: the ground's plain quad
    // first, under groundTest, then everything else in its turn.
    void RenderGroundFirst(CObject* root, GLenum groundTest = GL_LESS) {
        glPushMatrix();
        glDepthFunc(groundTest);
        if (const CTerrain* sand = dynamic_cast<CTerrain*>(root))
            CTerrain::DrawGround(sand->images[0].textureId, static_cast<float>(sand->halfSize), 128);
        else if (const CTerrain2* fire = dynamic_cast<CTerrain2*>(root))
            CTerrain::DrawGround(fire->images[0].textureId, static_cast<float>(fire->halfSize), 32);
        glDepthFunc(GL_LESS);
        if (root->child) RenderWholeTree(static_cast<CObject*>(root->child), camera);
        glPopMatrix();
    }

    void CompareFrames(bool levelOne) {
        const std::vector<Pose> poses = Poses(levelOne);
        std::vector<PixelImage> reference;
        CTextureCache::SetSharing(false);
        CObject* root = Build(levelOne);
        for (const Pose& p : poses) {
            Look(camera, p);
            RenderGroundFirst(root);
            reference.push_back(driver.Pixels());
        }
        CTextureCache::SetSharing(true);
        root = Build(levelOne);
        int differing = 0;
        for (size_t i = 0; i < poses.size(); ++i) {
            Look(camera, poses[i]);
            root->RenderTree(camera);
            PixelImage shot = driver.Pixels();
            if (shot.rgba != reference[i].rgba) {
                ++differing;
                ADD_FAILURE() << "pose " << i << " at (" << poses[i].x << ", " << poses[i].z << ") yaw "
                              << poses[i].yaw << " pitch " << poses[i].pitch << " differs";
            }
        }
        EXPECT_EQ(differing, 0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
};

}  // namespace

TEST_F(SharedDrawing, LevelOneFramesMatchDrawingEverythingWithTexturesOfTheirOwn) { CompareFrames(true); }

TEST_F(SharedDrawing, LevelTwoFramesMatchDrawingEverythingWithTexturesOfTheirOwn) { CompareFrames(false); }

// Where the ground's depth rounds to the cleared value, drawing it first left the cleared
// pixel; drawn last it must too. A near plane this close widens that band to rows of pixels
// (and leaves the culling's far plane too coarse to use, hence the bare grounds).
TEST_F(SharedDrawing, GroundDrawnLastLeavesItsFarBandAsDrawingItFirstDid) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(54.0, 4.0 / 3.0, 1e-5, 200.0);
    glMatrixMode(GL_MODELVIEW);
    CTerrain sand(32, 1.0f);
    CTerrain2 fire(32, 1.0f);
    for (CObject* ground : {static_cast<CObject*>(&sand), static_cast<CObject*>(&fire)})
        for (const Pose& pose : {Pose{-250, 5, -250, 45, -10}, Pose{100, 5, 0, 300, 20}}) {
            Look(camera, pose);
            RenderGroundFirst(ground);
            const PixelImage first = driver.Pixels();
            Look(camera, pose);
            RenderGroundFirst(ground, GL_LEQUAL);
            EXPECT_GT(Differing(driver.Pixels(), first), 0)
                << "no band at yaw " << pose.yaw << ": the view tests nothing";
            Look(camera, pose);
            ground->RenderTree(camera);
            EXPECT_EQ(Differing(driver.Pixels(), first), 0) << "yaw " << pose.yaw;
        }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

// The text screens show the still level from a picture kept while nothing in it changes: it
// must be the very frame drawing the level would give, and be redrawn when anything moves.
TEST_F(SharedDrawing, TextScreensShowTheStillLevelAsDrawingItWould) {
    auto fresh = [&] {
        world->frozenView.Forget();
        driver.Frames(1);
        return driver.Pixels();
    };
    auto kept = [&] {
        const int before = world->frozenView.shown;
        driver.Frames(1);
        EXPECT_EQ(world->frozenView.shown, before + 1) << "the level was drawn again";
        return driver.Pixels();
    };
    driver.Hold("P");
    driver.Frames(2);
    driver.Release("P");
    ASSERT_EQ(world->state, LevelOneIntro);
    driver.Frames(1);  // from the state the screen leaves: the title's differed
    PixelImage first = driver.Pixels();
    EXPECT_TRUE(kept().rgba == first.rgba);
    EXPECT_TRUE(fresh().rgba == first.rgba);

    // The mouse turns the view on the screens: that frame is drawn anew, then kept.
    driver.SetMouse(7, 3);
    const int shown = world->frozenView.shown;
    driver.Frames(1);
    driver.SetMouse(0, 0);
    EXPECT_EQ(world->frozenView.shown, shown) << "the turned view came from the picture kept";
    PixelImage turned = driver.Pixels();
    EXPECT_TRUE(turned.rgba != first.rgba);
    EXPECT_TRUE(kept().rgba == turned.rgba);
    EXPECT_TRUE(fresh().rgba == turned.rgba);

    // Play moves the water; the in-game menu then shows the level as it is now.
    driver.Hold("Space");
    driver.Frames(1);
    driver.Release("Space");
    driver.Frames(30);
    driver.Hold("Enter");
    driver.Frames(1);
    driver.Release("Enter");
    ASSERT_EQ(world->state, LevelOneMenu);
    PixelImage menu = driver.Pixels();
    EXPECT_TRUE(fresh().rgba == menu.rgba);
    EXPECT_TRUE(kept().rgba == menu.rgba);

    // A level built anew behind the very same view is not the one kept.
    camera->SetPosition(3, 5, 3);
    driver.Frames(1);
    world->StartLevelOne();
    world->state = LevelOneMenu;
    driver.Frames(1);
    PixelImage rebuilt = driver.Pixels();
    EXPECT_TRUE(fresh().rgba == rebuilt.rgba);
}

TEST_F(SharedDrawing, ParkedPiecesAndFarOrHiddenObjectsAreSkipped) {
    Build(true);
    Look(camera, {3, 5, 3, 45, 0});  // the start, looking into the maze
    CFrustum view;
    view.FromCurrentMatrices();
    int parked = 0, parkedShown = 0, standing = 0, standingShown = 0;
    for (CMazeWall* wall : world->walls) {
        (wall->parked ? parked : standing)++;
        if (wall->IsVisible(view)) (wall->parked ? parkedShown : standingShown)++;
    }
    EXPECT_GT(parked, 100);
    EXPECT_EQ(parkedShown, 0);
    EXPECT_GT(standingShown, 0);
    EXPECT_LT(standingShown, standing / 2) << "pieces behind the eye are still drawn";
    // The far corner's Wise Old Man and food lie beyond the far plane from here.
    EXPECT_FALSE(world->wiseOldMan->IsVisible(view));
    EXPECT_FALSE(world->food[2]->IsVisible(view));  // (275, 3, 275): 385 units away
    // Turned to face them from close by, they are drawn.
    Look(camera, {500, 5, 500, 45, 0});
    view.FromCurrentMatrices();
    EXPECT_TRUE(world->wiseOldMan->IsVisible(view));
}

// Texture objects alive in the context: every name up to the next one the GL would give.
int LiveTextures() {
    GLuint next = 0;
    glGenTextures(1, &next);
    glDeleteTextures(1, &next);
    int live = 0;
    for (GLuint name = 1; name < next; ++name)
        live += glIsTexture(name) ? 1 : 0;
    return live;
}

TEST_F(SharedDrawing, TexturesGoWithTheirLastUserOverTwentyRebuilds) {
    int entries = 0, textures = 0;
    for (int i = 0; i < 20; ++i) {
        Build(true);
        Build(false);
        const CTextureCache::Entry* plant = CTextureCache::Find("plant25.tga");
        ASSERT_NE(plant, nullptr);
        EXPECT_EQ(plant->users, 264) << "the walls of the replaced maze still hold the picture";
        ASSERT_NE(CTextureCache::Find("fire2.tga"), nullptr);
        EXPECT_EQ(CTextureCache::Find("fire2.tga")->users, 5);  // the ground and four fence walls
        if (i == 1) {
            entries = CTextureCache::Count();
            textures = LiveTextures();
            // The title, the credits' two pages, the fonts and the two levels' pictures.
            EXPECT_LT(textures, 30);
        } else if (i > 1) {
            ASSERT_EQ(CTextureCache::Count(), entries) << "rebuild " << i;
            ASSERT_EQ(LiveTextures(), textures) << "rebuild " << i;
        }
    }
}

// A valid but large wall picture is held once, not once per wall piece.
TEST(SharedPictures, AHugeWallPictureKeepsMemoryBounded) {
    TempDir game;
    ASSERT_FALSE(game.path.empty());
    ASSERT_TRUE(LinkGameFiles(game, "plant25.tga"));
    const int side = 1024;
    std::vector<Rgb> leaves(static_cast<size_t>(side) * side);
    for (size_t i = 0; i < leaves.size(); ++i)
        leaves[i] = {static_cast<unsigned char>(i), static_cast<unsigned char>(i >> 10), 90};
    game.Write("plant25.tga", MakeTga24(side, side, leaves));
    leaves.clear();
    leaves.shrink_to_fit();

    WorkingDir inside(game.path);
    ASSERT_TRUE(inside.entered);
    FrameDriver driver;
    const size_t before = HeapInUse();
    driver.World()->StartLevelOne();
    const size_t grown = HeapInUse() - before;
    // One 4 MiB texture and the level's other pictures; a copy per piece would be gigabytes.
    EXPECT_LT(grown, 32u << 20) << grown / (1 << 20) << " MiB";
    const CTextureCache::Entry* plant = CTextureCache::Find("plant25.tga");
    ASSERT_NE(plant, nullptr);
    EXPECT_EQ(plant->width, side);
    EXPECT_EQ(driver.World()->walls[0]->image.pixels, nullptr);
}
