#include "app/CMouseDevice.h"

#include <SDL.h>
#include <cstring>

CMouseDevice::CMouseDevice(SDL_Window* window, bool exclusiveMode)
    : device(window), exclusive(exclusiveMode), acquired(false), script(nullptr) {
    std::memset(&state, 0, sizeof state);
    Acquire();
    CMouseDevice::GetDeviceState(&state);
}

CMouseDevice::~CMouseDevice() { Unacquire(); }

bool CMouseDevice::GetDeviceState(CMouseState* buffer) {
    if (script) {
        if (script->lost) {
            acquired = false;
            return false;
        }
        if (!acquired) return false;
        *buffer = script->mouse;
        if (script->motionOnce) script->mouse.lX = script->mouse.lY = 0;
        return true;
    }
    if (!acquired) return false;
    int x = 0, y = 0;
    Uint32 buttons = SDL_GetRelativeMouseState(&x, &y);
    buffer->lX = x;
    buffer->lY = y;
    buffer->lZ = 0;
    buffer->rgbButtons[0] = (buttons & SDL_BUTTON_LMASK) ? 0x80 : 0;
    buffer->rgbButtons[1] = (buttons & SDL_BUTTON_RMASK) ? 0x80 : 0;
    buffer->rgbButtons[2] = (buttons & SDL_BUTTON_MMASK) ? 0x80 : 0;
    buffer->rgbButtons[3] = (buttons & SDL_BUTTON_X1MASK) ? 0x80 : 0;
    return true;
}

bool CMouseDevice::Update() {
    if (GetDeviceState(&state)) return true;
    if (!Acquire()) return false;
    return GetDeviceState(&state);
}

bool CMouseDevice::Acquire() {
    if (script) {
        acquired = !script->lost;
        return acquired;
    }
    // Relative mode is the exclusive grab: the cursor stays in the window and motion is unbounded.
    if (exclusive && !acquired) SDL_SetRelativeMouseMode(SDL_TRUE);
    acquired = true;
    return true;
}

bool CMouseDevice::Unacquire() {
    if (exclusive && SDL_GetRelativeMouseMode()) SDL_SetRelativeMouseMode(SDL_FALSE);
    acquired = false;
    return true;
}

bool CMouseDevice::ButtonDown(int button) {
    if (button < 0 || button > 3) return false;
    return (state.rgbButtons[button] & 0x80) != 0;
}

void CMouseDevice::GetMovement(int* dx, int* dy) {
    *dx = state.lX;
    *dy = state.lY;
}
