#include "app/CSimpEngine.h"

#include "scene/CViewCamera.h"
#include "world/CGameWorld.h"
#include "world/COverlay.h"

#include <GL/gl.h>

CSimpEngine::CSimpEngine(const char* title, bool fullscreenMode, int w, int h, int depth)
    : CEngine(title, fullscreenMode, w, h, depth), camera(nullptr), world(nullptr), overlay(nullptr) {
    camera = new CViewCamera();
    overlay = nullptr;
    world = new CGameWorld(camera, overlay);
    world->SetScreenSize(w, h);
}

CSimpEngine::~CSimpEngine() {
    delete world;
    world = nullptr;
    delete camera;
    camera = nullptr;
    delete overlay;
    overlay = nullptr;
}

void CSimpEngine::ClearScreen() {
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

CViewCamera* CSimpEngine::GetCamera() { return camera; }

CGameWorld* CSimpEngine::GetWorld() { return world; }

void CSimpEngine::OnMouseMotion(int dx, int dy) {
    if (world->state == MainMenu || world->state == Credits) return;
    camera->yaw += static_cast<float>(dx) * mouseSensitivity;
    camera->pitch -= static_cast<float>(dy) * mouseSensitivity;
}

void CSimpEngine::OnMouseMove(int x, int y, int w, int h) {
    int halfW = w / 2;
    int halfH = h / 2;
    float step = 0.25f * mouseSensitivity;
    if (static_cast<float>(x) < static_cast<float>(halfW))
        camera->yaw -= step;
    else if (static_cast<float>(x) > static_cast<float>(halfW))
        camera->yaw += step;
    if (static_cast<float>(y) < static_cast<float>(halfH))
        camera->pitch += step;
    else if (static_cast<float>(y) > static_cast<float>(halfH))
        camera->pitch -= step;
}

void CSimpEngine::OnKeyDown(int key) {
    if (world->state == MainMenu && key == 27) PostQuit(0);
}
