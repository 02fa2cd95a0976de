#ifndef PONDQUEST_CINPUTDEVICES_H
#define PONDQUEST_CINPUTDEVICES_H

#include <cstdint>

struct SDL_Window;
class CKeyboardDevice;
class CMouseDevice;
class CInputScript;

const int kInputKeyboard = 1;
const int kInputMouse = 2;

// Keyboard and mouse, read as state snapshots once per frame (no event buffering).
class CInputDevices {
public:
    CKeyboardDevice* keyboard;
    CMouseDevice* mouse;
    bool directInput;  // holds a reference on SDL's event subsystem

    CInputDevices();
    virtual ~CInputDevices();

    // False only when SDL's event subsystem cannot start; window events drive input then.
    bool Initialize(SDL_Window* window, int devices);
    bool Update();
    void AcquireAll();
    void UnacquireAll();
    void Shutdown();
    bool KeyDown(uint8_t scanCode);
    bool MouseButtonDown(int button);
    void GetMouseMovement(int* dx, int* dy);

    // Reads come from script instead of SDL while it is set (null: the real devices).
    void SetScript(CInputScript* script);
};

#endif
