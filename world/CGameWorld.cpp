#include "world/CGameWorld.h"

#include <GL/gl.h>

#include "objects/CBoundary.h"
#include "objects/CCougarBox.h"
#include "objects/CMaze.h"
#include "objects/CMazeWall.h"
#include "objects/CNest.h"
#include "objects/CPlayer.h"
#include "objects/CReeses.h"
#include "objects/CSphere.h"
#include "objects/CTerrain.h"
#include "objects/CTerrain2.h"
#include "objects/CWater.h"
#include "overlay/COverlay.h"
#include "platform/CHeap.h"
#include "scene/CObject.h"
#include "scene/CRandom.h"
#include "scene/CViewCamera.h"
#include "sound/CSoundSystem.h"
#include "world/CCredits.h"

CGameWorld::CGameWorld(CViewCamera* cam, COverlay* ov)
    : screenWidth(0),
      screenHeight(0),
      menuMusicStarted(false),
      creditsMusicStarted(false),
      levelOneTerrain(nullptr),
      levelTwoTerrain(nullptr),
      camera(cam),
      player(nullptr),
      sound(nullptr),
      levelOneMusic(nullptr),
      levelTwoMusic(nullptr),
      menuMusic(nullptr),
      creditsMusic(nullptr),
      overlay(ov),
      nest(nullptr),
      maze(nullptr),
      walls(),
      water(nullptr),
      wiseOldMan(nullptr),
      food(),
      cougars(),
      boundaries(),
      credits(nullptr),
      timeLimit(0),
      elapsed(0),
      state(MainMenu),
      shownState(MainMenu),
      sceneVersion(0),
      frozenView() {
    sound = new CSoundSystem();
    try {
        sound->Initialize(nullptr);
        menuMusicStarted = false;
        creditsMusicStarted = false;
        levelOneMusic = sound->Load("Crawling.mid", false);
        levelTwoMusic = sound->Load("The_Kids_Arent_Alright.mid", false);
        menuMusic = sound->Load("DuelOfTheFates.mid", false);
        creditsMusic = sound->Load("rubberduckie.mid", false);
    } catch (...) {  // a missing song ends the game; the songs loaded so far go with their system
        delete sound;
        throw;
    }
    credits = new CCredits();
}

// Released in every state: the music stops, and the trees, the credits and the
// sound system with its clips go back to the system.
CGameWorld::~CGameWorld() {
    if (sound) sound->Shutdown();
    delete levelOneTerrain;
    delete levelTwoTerrain;
    delete credits;
    delete sound;
}

void CGameWorld::SetScreenSize(int width, int height) {
    screenWidth = width;
    screenHeight = height;
}

void CGameWorld::StopMusic() {
    sound->Stop(levelOneMusic);
    sound->Stop(levelTwoMusic);
    sound->Stop(menuMusic);
    sound->Stop(creditsMusic);
    menuMusicStarted = false;
    creditsMusicStarted = false;
}

void CGameWorld::StartLevelOne() {
    ++sceneVersion;
    // A rebuild replaces the whole level; the old tree has nobody else referring to it.
    overlay->ReleaseTitle();
    delete levelOneTerrain;
    levelOneTerrain = new CTerrain(32, 1.0f);
    player = new CPlayer();
    water = new CWater();
    wiseOldMan = new CSphere();
    glClearColor(0.5f, 0.5f, 1.0f, 1.0f);
    player->AttachTo(levelOneTerrain);
    player->SetCamera(camera);
    player->SetOverlay(overlay);
    BuildMazeLevel();
    timeLimit = kLevelOneTimeLimit;
    elapsed = 0;
    overlay->ResetLevelStats();
    overlay->SetGoalReached(false);
    overlay->SetEnergy(static_cast<int>(timeLimit));
    camera->SetPosition(3, 5, 3);
    CHeap::ReturnFreePages();
}

void CGameWorld::BuildMazeLevel() {
    for (int i = 0; i < CMaze::kWallCount; ++i)
        walls[i] = new CMazeWall(i < CMaze::kWallsAlongX ? 0 : 1);
    maze = new CMaze(walls);
    maze->AttachTo(levelOneTerrain);
    for (int i = 0; i < CMaze::kWallCount; ++i)
        walls[i]->AttachTo(maze);
    water->AttachTo(levelOneTerrain);

    static const float kFoodSpots[kFoodCount][3] = {
        {25, 3, 525}, {525, 3, 25}, {275, 3, 275}, {25, 3, 275}, {275, 3, 25}};
    for (int i = 0; i < kFoodCount; ++i) {
        food[i] = new CReeses();
        food[i]->SetPosition(kFoodSpots[i][0], kFoodSpots[i][1], kFoodSpots[i][2]);
        food[i]->AttachTo(maze);
    }
    nest = new CNest();
    nest->AttachTo(maze);
    nest->SetPosition(20, 1.5f, 20);
    wiseOldMan->AttachTo(maze);
    sound->Play(levelOneMusic, DMUS_SEG_REPEAT_INFINITE);
}

void CGameWorld::StartLevelTwo() {
    ++sceneVersion;
    glClearColor(0, 0, 0, 1);
    overlay->ReleaseTitle();
    delete levelTwoTerrain;
    levelTwoTerrain = new CTerrain2(32, 1.0f);
    player = new CPlayer();
    player->AttachTo(levelTwoTerrain);
    player->SetCamera(camera);
    player->SetOverlay(overlay);
    camera->SetPosition(0, 5, 0);

    static const struct {
        int orientation;
        float x, y, z;
    } kFence[kBoundaryCount] = {{1, -256, 0, 0}, {1, 256, 0, 0}, {0, 0, 0, -256}, {0, 0, 0, 256}};
    for (int i = 0; i < kBoundaryCount; ++i) {
        boundaries[i] = new CBoundary(kFence[i].orientation);
        boundaries[i]->SetPosition(kFence[i].x, kFence[i].y, kFence[i].z);
        boundaries[i]->AttachTo(levelTwoTerrain);
    }
    SpawnCougars();
    sound->Play(levelTwoMusic, DMUS_SEG_REPEAT_INFINITE);
    timeLimit = kLevelTwoTimeLimit;
    elapsed = 0;
    overlay->SetTimeLeft(static_cast<int>(timeLimit));
    overlay->ResetLevelStats();
    overlay->SetGoalReached(false);
    CHeap::ReturnFreePages();
}

void CGameWorld::SpawnCougars() {
    for (int i = 0; i < kCougarCount; ++i) {
        int r1 = CRandom::Rand();
        int r2 = CRandom::Rand();
        int z = 255 - (r1 % 510);
        int x = 255 - (r2 % 510);
        cougars[i] = new CCougarBox(static_cast<float>(x), -20, static_cast<float>(z));
        cougars[i]->AttachTo(levelTwoTerrain);
    }
}

void CGameWorld::StartCredits() {
    credits->LoadAssets();
    camera->SetPosition(0, 5, 0);
    camera->yaw = 0;
    camera->pitch = -90;
    camera->pitchLimitOff = true;
}

void CGameWorld::Prepare() {
    if (state == LevelOnePlay || state == LevelTwoPlay) ++sceneVersion;
    if (state == LevelOnePlay)
        levelOneTerrain->PrepareTree();
    else if (state == LevelTwoPlay)
        levelTwoTerrain->PrepareTree();
}

void CGameWorld::Update(float dt) {
    if (state == LevelOnePlay || state == LevelTwoPlay) ++sceneVersion;
    // The clock is read before elapsed grows, so what is shown lags one frame.
    if (state == LevelOnePlay) {
        levelOneTerrain->UpdateTree(dt);
        overlay->SetEnergy(static_cast<int>(timeLimit - elapsed));
        elapsed += dt;
    } else if (state == LevelTwoPlay) {
        levelTwoTerrain->UpdateTree(dt);
        overlay->SetTimeLeft(static_cast<int>(timeLimit - elapsed));
        elapsed += dt;
    }
}

void CGameWorld::DimScreen() {
    // Over everything, however near: a wall closer than the layer must not stay bright.
    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    glDisable(GL_DEPTH_TEST);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glColor4f(0, 0, 0, 0.7f);
    glBegin(GL_QUADS);
    glVertex3f(-5, -5, -2);
    glVertex3f(5, -5, -2);
    glVertex3f(5, 5, -2);
    glVertex3f(-5, 5, -2);
    glEnd();
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glPopMatrix();
    if (depthTest) glEnable(GL_DEPTH_TEST);
}

void CGameWorld::DrawDimmedLevel(CObject* level, CViewCamera* cam) {
    if (frozenView.Matches(level, sceneVersion)) {
        frozenView.Show();
        return;
    }
    level->RenderTree(cam);
    DimScreen();
    frozenView.Keep();
}

void CGameWorld::Draw(CViewCamera* cam) {
    ApplyRules();
    Render(cam);
}

void CGameWorld::ApplyRules() {
    shownState = state;
    switch (state) {
    case MainMenu:
        if (!menuMusicStarted) {
            sound->Play(menuMusic, DMUS_SEG_REPEAT_INFINITE);
            menuMusicStarted = true;
        }
        camera->velocity = CVec3(0, 0, 0);
        camera->SetPosition(0, 0, 0);
        camera->SetLookAt(0, 0, 1);
        camera->yaw = 0;
        camera->pitch = 0;
        break;
    case LevelOnePlay:
        // The goal is tested first: reaching it as the energy runs out still wins.
        if (overlay->IsGoalReached())
            state = LevelOneWon;
        else if (overlay->GetEnergy() <= 0)
            state = LevelOneLost;
        break;
    case LevelTwoPlay:
        if (overlay->IsGoalReached())
            state = LevelTwoWon;
        else if (overlay->GetHealth() <= 0)
            state = LevelTwoLost;
        break;
    case Credits:
        if (!creditsMusicStarted) {
            sound->Play(creditsMusic, DMUS_SEG_REPEAT_INFINITE);
            creditsMusicStarted = true;
        }
        if (camera->position.x < kCreditsEndX) {
            state = MainMenu;
            StopMusic();
        }
        camera->velocity = CVec3(0, 0, -0.5f);
        break;
    default: break;
    }

    // Every state that draws a level has its duckling stand under the eye (the player's own
    // drawing puts it there); level two's clock at zero, drawn in each of its states, wins.
    CObject* tree = nullptr;
    if (shownState >= LevelOneIntro && shownState <= LevelOneLost)
        tree = levelOneTerrain;
    else if (shownState >= LevelTwoPlay && shownState <= LevelTwoLost)
        tree = levelTwoTerrain;
    if (tree && player && player->FindRoot() == tree) player->FollowCamera();
    if (tree && tree == levelTwoTerrain && overlay->ClockShowsZero()) overlay->SetGoalReached(true);
}

void CGameWorld::Render(CViewCamera* cam) {
    switch (shownState) {
    case MainMenu: overlay->DrawMainMenu(); break;
    case LevelOneIntro:
        DrawDimmedLevel(levelOneTerrain, cam);
        overlay->DrawEnergyHud();
        overlay->DrawLevelOneIntro();
        break;
    case LevelOnePlay:
        levelOneTerrain->RenderTree(cam);
        overlay->DrawEnergyHud();
        break;
    case LevelOneMenu:
    case LevelOneWon:
    case LevelOneLost:
        DrawDimmedLevel(levelOneTerrain, cam);
        overlay->DrawEnergyHud();
        if (shownState == LevelOneMenu)
            overlay->DrawInGameMenu();
        else if (shownState == LevelOneWon)
            overlay->DrawLevelOneWon();
        else
            overlay->DrawLost();
        break;
    case LevelTwoPlay:
        levelTwoTerrain->RenderTree(cam);
        overlay->PrintHealthTimeHud();
        break;
    case LevelTwoMenu:
    case LevelTwoWon:
    case LevelTwoIntro:
    case LevelTwoLost:
        DrawDimmedLevel(levelTwoTerrain, cam);
        overlay->PrintHealthTimeHud();
        if (shownState == LevelTwoMenu)
            overlay->DrawInGameMenu();
        else if (shownState == LevelTwoWon)
            overlay->DrawLevelTwoWon();
        else if (shownState == LevelTwoIntro)
            overlay->DrawLevelTwoIntro();
        else
            overlay->DrawLost();
        break;
    case Credits: credits->Draw(); break;
    default:  // the loading states show nothing
        break;
    }
    overlay->DrawNote();
}
