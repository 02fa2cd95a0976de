#include "app/CEngine.h"

#include "app/CDemoPlayer.h"
#include "app/CDemoRecorder.h"
#include "app/CFrameTimer.h"
#include "app/CInputDevices.h"
#include "app/CQuitSignals.h"
#include "app/Keys.h"
#include "scene/CViewCamera.h"
#include "sound/CSynthesizer.h"
#include "world/CGameWorld.h"

#include <SDL.h>
#include <cstring>

float clickGate = 0.0f;

namespace {
const char* const kCaption = "Pondquest!";

// Counters read at a display's exact rate land a hair either side of a step; within this a
// pass counts as one step owed, so 60 passes a second run one step each rather than 0 and 2.
const double kStepSlack = 1e-6;

// A quit posted by a step (Esc on the title) ends the pass: no further step runs after it.
bool QuitPosted() {
    SDL_Event event;
    return SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, COGLWindow::QuitEventType(),
                          COGLWindow::QuitEventType()) > 0;
}
}  // namespace

CEngine::CEngine(const char* title, bool fullscreenMode, int w, int h, int depth)
    : COGLWindow(title, fullscreenMode, w, h, depth),
      timer(nullptr),
      timing(kFixedStep),
      owed(0.0),
      stepsRun(0),
      framesDrawn(0),
      demoPlayer(nullptr),
      demoRecorder(nullptr),
      demoFinished(false),
      soundKeysHeld{},
      wasInBackground(false) {}

CEngine::~CEngine() {
    delete timer;
    timer = nullptr;
}

void CEngine::ClearScreen() {}

CViewCamera* CEngine::GetCamera() { return nullptr; }

CGameWorld* CEngine::GetWorld() { return nullptr; }

void CEngine::RunFrame(float dt) {
    CViewCamera* camera = GetCamera();
    CGameWorld* world = GetWorld();
    if (!camera || !world) return;  // a bare engine has nothing to run
    if (useDirectInput) CheckInput(dt);
    ClearScreen();
    world->Prepare();
    camera->Move(dt);
    world->Update(dt);
    world->Draw(camera);
    SwapBuffers();
    ++stepsRun;
    FrameShown();
}

void CEngine::FrameShown() {
    // The songs' soundfont waited for the first picture; it may load now.
    if (framesDrawn++ == 0) CSynthesizer::ReleaseLoading();
}

bool CEngine::RunStep(float dt) {
    CViewCamera* camera = GetCamera();
    CGameWorld* world = GetWorld();
    if (!camera || !world) return false;
    if (demoPlayer && !demoPlayer->Feed()) {
        if (!demoFinished) {
            demoFinished = true;
            PostQuit(0);
        }
        return false;
    }
    if (useDirectInput) CheckInput(dt);
    // Keys from window events cannot be replayed; such a step is kept as one with nothing held.
    if (demoRecorder) demoRecorder->Record(useDirectInput ? input : nullptr);
    world->Prepare();
    camera->Advance(dt);
    world->Update(dt);
    world->ApplyRules();
    ++stepsRun;
    return true;
}

void CEngine::DrawFrame() {
    CViewCamera* camera = GetCamera();
    CGameWorld* world = GetWorld();
    if (!camera || !world) return;
    ClearScreen();
    camera->ApplyView();
    world->Render(camera);
    SwapBuffers();
    FrameShown();
}

int CEngine::RunPass(float elapsed) {
    if (StandsStill()) {
        owed = 0.0;
        wasInBackground = true;
        if (!minimised) DrawFrame();  // still in sight: the same picture, nothing stepped
        return 0;
    }
    if (wasInBackground) {
        wasInBackground = false;
        elapsed = 0.0f;
    }
    if (timing == kClassicTiming) {
        RunFrame(elapsed);
        return 1;
    }
    int steps = 0;
    if (timing == kOneStepPerFrame) {
        if (RunStep(kStepSeconds)) steps = 1;
    } else {
        if (elapsed > 0.0f) owed += elapsed;  // a clock that went back (or NaN) owes nothing
        // The first picture is of a game that has taken its first step.
        if (stepsRun == 0 && owed < kStepSeconds) owed = kStepSeconds;
        while (steps < kMaxStepsPerPass && owed + kStepSlack >= kStepSeconds) {
            owed -= kStepSeconds;
            if (owed < 0.0) owed = 0.0;
            if (!RunStep(kStepSeconds)) break;
            ++steps;
            if (QuitPosted()) break;
        }
        if (owed >= kStepSeconds) owed = 0.0;
    }
    DrawFrame();
    return steps;
}

void CEngine::CheckInput(float dt) {
    clickGate -= dt;
    if (clickGate < 0.0f) clickGate = 0.0f;
    input->Update();
    int dx = 0, dy = 0;
    input->GetMouseMovement(&dx, &dy);
    OnMouseMotion(dx, dy);
    for (const Keys::KeyRow& row : Keys::kKeyTable)
        if (input->KeyDown(row.scanCode)) OnKeyDown(row.key);
    for (int i = 0; i < Keys::kSoundKeyCount; ++i) {
        const bool down = input->KeyDown(Keys::kSoundKeyTable[i].scanCode);
        if (down && !soundKeysHeld[i]) OnKeyPressed(Keys::kSoundKeyTable[i].key);
        soundKeysHeld[i] = down;
    }
    if (input->MouseButtonDown(0) && clickGate == 0.0f) {
        OnLeftButtonDown(0.0f, 0.0f);
        clickGate = 0.5f;
    }
}

void CEngine::UpdateCaption() {
    if (!hwnd) return;
    const char* current = SDL_GetWindowTitle(hwnd);
    if (!current || std::strcmp(current, kCaption) != 0) SDL_SetWindowTitle(hwnd, kCaption);
}

bool CEngine::PumpMessages(int* quitCode) {
    if (CQuitSignals::Requested()) {
        if (quitCode) *quitCode = 0;
        return true;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == QuitEventType()) {
            if (quitCode) *quitCode = event.user.code;
            return true;
        }
        WindowProc(event);
    }
    // SDL stops polling at the events queued while handling (a close posts its quit then);
    // a quit posted that way still ends the loop now, before another frame.
    if (SDL_PeepEvents(&event, 1, SDL_GETEVENT, QuitEventType(), QuitEventType()) > 0) {
        if (quitCode) *quitCode = event.user.code;
        return true;
    }
    return false;
}

int CEngine::Run() {
    timer = new CFrameTimer();
    timer->Start();
    for (;;) {
        RunPass(timer->ElapsedSeconds());
        UpdateCaption();
        // Nothing to step or draw in the background: wait for events instead of spinning.
        if (StandsStill()) SDL_WaitEventTimeout(nullptr, 100);
        int code = 0;
        if (PumpMessages(&code)) {
            delete timer;
            timer = nullptr;
            return code;
        }
    }
}
