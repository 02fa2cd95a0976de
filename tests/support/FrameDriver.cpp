#include "support/FrameDriver.h"

#include "app/CEngine.h"
#include "app/CInputDevices.h"
#include "app/CSimpEngine.h"
#include "app/Keys.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {
const Sint32 kSentByTest = 0x50515354;

int HoldBackServerFocusEvents(void*, SDL_Event* event) {
    if (event->type != SDL_WINDOWEVENT || event->window.data1 == kSentByTest) return 1;
    switch (event->window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_RESTORED: return 0;
    default: return 1;
    }
}
}  // namespace

void FrameDriver::SendWindowEvent(uint8_t what) {
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    event.window.windowID = SDL_GetWindowID(engine->hwnd);
    event.window.data1 = kSentByTest;
    SDL_PushEvent(&event);
    Pump();
}

uint8_t FrameDriver::ScanCode(const char* name) {
    for (const Keys::KeyRow& k : Keys::kKeyTable)
        if (std::strcmp(k.name, name) == 0) return k.scanCode;
    return 0;
}

FrameDriver::FrameDriver(int width, int height)
    : FrameDriver(new CSimpEngine("OpenGL Game", false, width, height, 16)) {}

FrameDriver::FrameDriver(CSimpEngine* built) : engine(built), quitArrived(false), quitCode(-1) {
    clock.Start();
    engine->input->SetScript(&script);
    engine->input->AcquireAll();
    clickGate = 0.0f;  // process-wide: start every driver with an open gate
    SDL_SetEventFilter(HoldBackServerFocusEvents, nullptr);
    // Events of the window's creation belong to no test.
    Pump();
    quitArrived = false;
}

FrameDriver::~FrameDriver() {
    delete engine;
    SDL_SetEventFilter(nullptr, nullptr);
}

void FrameDriver::Hold(uint8_t scanCode) { script.keys[scanCode] = 0x80; }
void FrameDriver::Release(uint8_t scanCode) { script.keys[scanCode] = 0; }

void FrameDriver::Hold(const char* name) {
    uint8_t code = ScanCode(name);
    if (code == 0) {
        ADD_FAILURE() << "unknown key name " << name;
        return;
    }
    Hold(code);
}

void FrameDriver::Release(const char* name) {
    uint8_t code = ScanCode(name);
    if (code == 0) {
        ADD_FAILURE() << "unknown key name " << name;
        return;
    }
    Release(code);
}

void FrameDriver::ReleaseAll() { std::memset(script.keys, 0, sizeof script.keys); }

void FrameDriver::SetMouse(int dx, int dy) {
    script.mouse.lX = dx;
    script.mouse.lY = dy;
}

void FrameDriver::SetLeftButton(bool down) { script.mouse.rgbButtons[0] = down ? 0x80 : 0; }

bool FrameDriver::Pump() {
    int code = 0;
    if (engine->PumpMessages(&code)) {
        quitArrived = true;
        quitCode = code;
        return true;
    }
    return false;
}

bool FrameDriver::Resize(int width, int height) {
    SDL_SetWindowSize(engine->hwnd, width, height);
    const Uint32 deadline = SDL_GetTicks() + 2000;
    while (!SDL_TICKS_PASSED(SDL_GetTicks(), deadline)) {
        // The X server answers the resize with an event; wait for it rather than guess.
        if (SDL_WaitEventTimeout(nullptr, 50)) Pump();
        if (engine->width == width && engine->height == height) return true;
    }
    return false;
}

int FrameDriver::Frames(int n, float dt) {
    for (int i = 0; i < n; ++i) {
        engine->RunFrame(dt);
        engine->UpdateCaption();
        if (Pump()) return i + 1;
    }
    return n;
}

int FrameDriver::Steps(int n) {
    for (int i = 0; i < n; ++i) {
        if (!engine->RunStep(CEngine::kStepSeconds)) {
            Pump();
            return i;
        }
        if (Pump()) return i + 1;
    }
    return n;
}

void FrameDriver::Draw() {
    engine->DrawFrame();
    engine->UpdateCaption();
    Pump();
}

int FrameDriver::Pass(double seconds) {
    clock.Advance(seconds);
    const bool once = script.motionOnce;
    script.motionOnce = true;
    int steps = engine->RunPass(clock.ElapsedSeconds());
    script.motionOnce = once;
    engine->UpdateCaption();
    Pump();
    return steps;
}

PixelImage FrameDriver::Pixels() const {
    PixelImage img;
    img.width = engine->width;
    img.height = engine->height;
    img.rgba.resize(static_cast<size_t>(img.width) * img.height * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // The frame has been swapped to the front; the software renderer keeps the back intact too.
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, img.width, img.height, GL_RGBA, GL_UNSIGNED_BYTE, img.rgba.data());
    return img;
}

CGameWorld* FrameDriver::World() const { return engine->world; }
CViewCamera* FrameDriver::Camera() const { return engine->camera; }
