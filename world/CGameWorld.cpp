#include "world/CGameWorld.h"

// Stand-in world: holds the camera and overlay and sits on the title; levels come later.
CGameWorld::CGameWorld(CViewCamera* cam, COverlay* ov)
    : screenWidth(0), screenHeight(0), menuMusicStarted(false), creditsMusicStarted(false),
      levelOneTerrain(nullptr), levelTwoTerrain(nullptr), camera(cam), player(nullptr), sound(nullptr),
      levelOneMusic(nullptr), levelTwoMusic(nullptr), menuMusic(nullptr), creditsMusic(nullptr), overlay(ov),
      nest(nullptr), maze(nullptr), walls(), water(nullptr), wiseOldMan(nullptr), food(), cougars(),
      boundaries(), credits(nullptr), timeLimit(0.0f), elapsed(0.0f), state(MainMenu) {}

CGameWorld::~CGameWorld() {}

void CGameWorld::SetScreenSize(int width, int height) {
    screenWidth = width;
    screenHeight = height;
}

void CGameWorld::StopMusic() {}
void CGameWorld::StartLevelOne() {}
void CGameWorld::BuildMazeLevel() {}
void CGameWorld::StartLevelTwo() {}
void CGameWorld::SpawnCougars() {}
void CGameWorld::StartCredits() {}
void CGameWorld::Prepare() {}
void CGameWorld::Update(float) {}
void CGameWorld::Draw(CViewCamera*) {}
void CGameWorld::DimScreen() {}
