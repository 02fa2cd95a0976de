#ifndef PONDQUEST_CGAMEWORLD_H
#define PONDQUEST_CGAMEWORLD_H

#include "objects/CMaze.h"
#include "world/CFrozenView.h"

class CViewCamera;
class COverlay;
class CTerrain;
class CTerrain2;
class CPlayer;
class CSoundSystem;
class CSoundClip;
class CNest;
class CMazeWall;
class CWater;
class CSphere;
class CReeses;
class CCougarBox;
class CBoundary;
class CCredits;
class CObject;

// The states keep their original names.
// NOLINTBEGIN(readability-identifier-naming)
enum GameState {
    MainMenu = 0,
    LevelOneLoading = 1,
    LevelOneIntro = 2,
    LevelOnePlay = 3,
    LevelOneMenu = 4,
    LevelOneWon = 5,
    LevelOneLost = 6,
    LevelTwoLoading = 7,
    LevelTwoPlay = 8,
    LevelTwoMenu = 9,
    LevelTwoWon = 10,
    LevelTwoIntro = 11,
    LevelTwoLost = 12,
    CreditsLoading = 13,
    Credits = 14
};
// NOLINTEND(readability-identifier-naming)

// The game proper: both levels' trees, the music, the clock and the game state.
class CGameWorld {
public:
    // Seconds on each level's clock: level one's energy runs down with it, level two is won
    // when it reaches zero.
    static constexpr float kLevelOneTimeLimit = 20.0f;
    static constexpr float kLevelTwoTimeLimit = 90.0f;
    // The credits roll back towards negative x; once the eye passes this, the title returns.
    static constexpr float kCreditsEndX = -33.0f;
    static constexpr int kFoodCount = 5;
    static constexpr int kCougarCount = 20;
    static constexpr int kBoundaryCount = 4;

    int screenWidth, screenHeight;
    bool menuMusicStarted;
    bool creditsMusicStarted;
    CTerrain* levelOneTerrain;
    CTerrain2* levelTwoTerrain;
    CViewCamera* camera;
    CPlayer* player;
    CSoundSystem* sound;
    CSoundClip* levelOneMusic;
    CSoundClip* levelTwoMusic;
    CSoundClip* menuMusic;
    CSoundClip* creditsMusic;
    COverlay* overlay;
    CNest* nest;
    CMaze* maze;
    CMazeWall* walls[CMaze::kWallCount];
    CWater* water;
    CSphere* wiseOldMan;
    CReeses* food[kFoodCount];
    CCougarBox* cougars[kCougarCount];
    CBoundary* boundaries[kBoundaryCount];
    CCredits* credits;
    float timeLimit;
    float elapsed;
    int state;
    // The state whose picture is drawn: the one the last rules pass began in, so a win found
    // in play still shows the play picture once, as when the tests were made while drawing.
    int shownState;
    // Counts every change a level's picture can show (builds, contacts, updates).
    int sceneVersion;
    // The dimmed level behind the text screens, drawn once while it stands still.
    CFrozenView frozenView;

    CGameWorld(CViewCamera* camera, COverlay* overlay);
    ~CGameWorld();
    CGameWorld(const CGameWorld&) = delete;
    CGameWorld& operator=(const CGameWorld&) = delete;

    void SetScreenSize(int width, int height);
    void StopMusic();
    void StartLevelOne();
    void BuildMazeLevel();
    void StartLevelTwo();
    void SpawnCougars();
    void StartCredits();
    void Prepare();
    void Update(float dt);
    // The frame's draw: the rules below, then the picture.
    void Draw(CViewCamera* camera);
    // What drawing decides, once per step: win and loss tests, the level-two clock at zero,
    // the title's camera and music, the credits' end and speed, the duckling under the eye.
    void ApplyRules();
    // The picture of shownState alone; it changes nothing, however often it is drawn.
    void Render(CViewCamera* camera);
    // A level under the dimming layer, from the picture kept while it is unchanged.
    void DrawDimmedLevel(CObject* level, CViewCamera* camera);
    void DimScreen();
};

#endif
