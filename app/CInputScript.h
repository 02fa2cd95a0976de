#ifndef PONDQUEST_CINPUTSCRIPT_H
#define PONDQUEST_CINPUTSCRIPT_H

#include <cstdint>

// Snapshot of one read of the mouse: relative motion since the read before, four buttons
// (bit 7 set while down).
struct CMouseState {
    int32_t lX;
    int32_t lY;
    int32_t lZ;
    uint8_t rgbButtons[4];
};

// Stands in for the physical keyboard and mouse (tests, demo tools). While a script is set
// on the input devices, every read returns these bytes instead of SDL's state, through the
// same read path, so acquiring, lost devices and the engine's key table all run for real.
class CInputScript {
public:
    uint8_t keys[256];  // by DirectInput scan code, bit 7 set while held
    CMouseState mouse;  // lX/lY are returned by every read until changed
    bool lost;          // reads and acquisitions fail, as with a device taken away
    // A read takes lX/lY, as a real mouse's motion is reported once: later reads see none
    // until new motion is set.
    bool motionOnce;

    CInputScript();
    void Clear();
};

#endif
