#include "app/CInputDevices.h"

#include "app/CKeyboardDevice.h"
#include "app/CMouseDevice.h"

#include <SDL.h>

CInputDevices::CInputDevices() : keyboard(nullptr), mouse(nullptr), directInput(false) {}

CInputDevices::~CInputDevices() { Shutdown(); }

bool CInputDevices::Initialize(SDL_Window* window, int devices) {
    keyboard = nullptr;
    mouse = nullptr;
    directInput = SDL_InitSubSystem(SDL_INIT_EVENTS) == 0;
    if (!directInput) return false;
    if (devices & kInputKeyboard) keyboard = new CKeyboardDevice(window);
    if (devices & kInputMouse) mouse = new CMouseDevice(window, true);
    return true;
}

bool CInputDevices::Update() {
    if (keyboard) keyboard->Update();
    if (mouse) mouse->Update();
    return true;
}

void CInputDevices::AcquireAll() {
    if (keyboard) keyboard->Acquire();
    if (mouse) mouse->Acquire();
}

void CInputDevices::UnacquireAll() {
    if (keyboard) keyboard->Unacquire();
    if (mouse) mouse->Unacquire();
}

void CInputDevices::Shutdown() {
    UnacquireAll();
    if (keyboard) {
        delete keyboard;
        keyboard = nullptr;
    }
    if (mouse) {
        delete mouse;
        mouse = nullptr;
    }
    if (directInput) {
        SDL_QuitSubSystem(SDL_INIT_EVENTS);
        directInput = false;
    }
}

bool CInputDevices::KeyDown(uint8_t scanCode) { return keyboard && (keyboard->keys[scanCode] & 0x80) != 0; }

bool CInputDevices::MouseButtonDown(int button) { return mouse && mouse->ButtonDown(button); }

void CInputDevices::GetMouseMovement(int* dx, int* dy) {
    if (mouse) mouse->GetMovement(dx, dy);
}

void CInputDevices::SetScript(CInputScript* script) {
    if (keyboard) keyboard->script = script;
    if (mouse) mouse->script = script;
}
