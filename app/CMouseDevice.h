#ifndef PONDQUEST_CMOUSEDEVICE_H
#define PONDQUEST_CMOUSEDEVICE_H

#include "app/CInputScript.h"

struct SDL_Window;

// The mouse, polled once per frame for its relative motion and buttons.
class CMouseDevice {
public:
    SDL_Window* device;
    CMouseState state;  // the last successful read
    bool exclusive;     // grabbed in relative mode: cursor hidden and confined
    bool acquired;
    CInputScript* script;

    CMouseDevice(SDL_Window* window, bool exclusive);
    virtual ~CMouseDevice();

    bool Update();
    bool Acquire();
    bool Unacquire();
    bool ButtonDown(int button);
    void GetMovement(int* dx, int* dy);

    virtual bool GetDeviceState(CMouseState* buffer);
};

#endif
