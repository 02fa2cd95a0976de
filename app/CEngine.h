#ifndef PONDQUEST_CENGINE_H
#define PONDQUEST_CENGINE_H

#include "app/COGLWindow.h"

class CFrameTimer;
class CViewCamera;
class CGameWorld;

// Limits a held left button to one click per half second of frame time.
extern float clickGate;

// The frame loop: it knows a frame needs a camera and a world, not which ones.
class CEngine : public COGLWindow {
public:
    CFrameTimer* timer;

    CEngine(const char* title, bool fullscreen, int width, int height, int bits);
    ~CEngine() override;

    // One frame: input, clear, world Prepare, camera Move, world Update, world Draw, swap.
    virtual void RunFrame(float dt);
    virtual void ClearScreen();
    virtual CViewCamera* GetCamera();
    virtual CGameWorld* GetWorld();
    virtual void CheckInput(float dt);

    // Runs frames until a quit arrives; returns its code.
    int Run();
    // Handles every pending event; true when a quit arrived, its code in *quitCode.
    bool PumpMessages(int* quitCode);
    // Sets the caption after a frame, touching the window system only when it differs.
    void UpdateCaption();
};

#endif
