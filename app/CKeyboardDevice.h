#ifndef PONDQUEST_CKEYBOARDDEVICE_H
#define PONDQUEST_CKEYBOARDDEVICE_H

#include <cstdint>

struct SDL_Window;
class CInputScript;

// The keyboard, polled once per frame. keys[] is indexed by DirectInput scan code so the
// engine's key table stays layout-independent; SDL scancodes are translated on each read.
class CKeyboardDevice {
public:
    SDL_Window* device;  // the window the keyboard reads for
    uint8_t keys[256];   // the last successful read, bit 7 set while down
    bool acquired;
    CInputScript* script;  // when set, read instead of SDL

    explicit CKeyboardDevice(SDL_Window* window);
    virtual ~CKeyboardDevice();

    bool Update();
    bool Acquire();
    bool Unacquire();
    void ClearKeys();

    // One read into buffer; false (buffer untouched) when the device is not acquired or lost.
    virtual bool GetDeviceState(uint8_t* buffer);
};

// SDL scancode read for a DirectInput scan code, or 0 (unknown) for codes the game never reads.
int SdlScancodeFromDik(uint8_t scanCode);

#endif
