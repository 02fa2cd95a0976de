#include "app/CEngine.h"

#include "app/CFrameTimer.h"
#include "app/CInputDevices.h"
#include "app/Keys.h"
#include "scene/CViewCamera.h"
#include "world/CGameWorld.h"

#include <SDL.h>
#include <cstring>

float clickGate = 0.0f;

namespace {
const char* const kCaption = "Pondquest!";

}  // namespace

CEngine::CEngine(const char* title, bool fullscreenMode, int w, int h, int depth)
    : COGLWindow(title, fullscreenMode, w, h, depth), timer(nullptr) {}

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
        float dt = timer->ElapsedSeconds();
        RunFrame(dt);
        UpdateCaption();
        int code = 0;
        if (PumpMessages(&code)) {
            delete timer;
            timer = nullptr;
            return code;
        }
    }
}
