#include "app/CKeyboardDevice.h"

#include "app/CInputScript.h"
#include "app/Keys.h"

#include <SDL.h>
#include <cstring>

int SdlScancodeFromDik(uint8_t scanCode) {
    switch (scanCode) {
    case Keys::kScanF1: return SDL_SCANCODE_F1;
    case Keys::kScanQ: return SDL_SCANCODE_Q;
    case Keys::kScanP: return SDL_SCANCODE_P;
    case Keys::kScanSpace: return SDL_SCANCODE_SPACE;
    case Keys::kScanReturn: return SDL_SCANCODE_RETURN;
    case Keys::kScanW: return SDL_SCANCODE_W;
    case Keys::kScanS: return SDL_SCANCODE_S;
    case Keys::kScanA: return SDL_SCANCODE_A;
    case Keys::kScanD: return SDL_SCANCODE_D;
    case Keys::kScanPadPlus: return SDL_SCANCODE_KP_PLUS;
    case Keys::kScanPadMinus: return SDL_SCANCODE_KP_MINUS;
    case Keys::kScanEscape: return SDL_SCANCODE_ESCAPE;
    case Keys::kScanM: return SDL_SCANCODE_M;
    case Keys::kScanLeftBracket: return SDL_SCANCODE_LEFTBRACKET;
    case Keys::kScanRightBracket: return SDL_SCANCODE_RIGHTBRACKET;
    default: return SDL_SCANCODE_UNKNOWN;
    }
}

CKeyboardDevice::CKeyboardDevice(SDL_Window* window) : device(window), acquired(false), script(nullptr) {
    Acquire();
    ClearKeys();
}

CKeyboardDevice::~CKeyboardDevice() { Unacquire(); }

void CKeyboardDevice::ClearKeys() { std::memset(keys, 0, sizeof keys); }

bool CKeyboardDevice::GetDeviceState(uint8_t* buffer) {
    if (script) {
        if (script->lost) {
            acquired = false;
            return false;
        }
        if (!acquired) return false;
        std::memcpy(buffer, script->keys, 256);
        return true;
    }
    if (!acquired) return false;
    int count = 0;
    const Uint8* sdlKeys = SDL_GetKeyboardState(&count);
    for (int code = 0; code < 256; ++code) {
        int sdlCode = SdlScancodeFromDik(static_cast<uint8_t>(code));
        buffer[code] = (sdlCode != SDL_SCANCODE_UNKNOWN && sdlCode < count && sdlKeys[sdlCode]) ? 0x80 : 0;
    }
    return true;
}

bool CKeyboardDevice::Update() {
    if (GetDeviceState(keys)) return true;
    if (!Acquire()) return false;
    return GetDeviceState(keys);
}

bool CKeyboardDevice::Acquire() {
    ClearKeys();
    acquired = script ? !script->lost : true;
    return acquired;
}

bool CKeyboardDevice::Unacquire() {
    ClearKeys();
    acquired = false;
    return true;
}
