#ifndef PONDQUEST_TESTS_FRAMEDRIVER_H
#define PONDQUEST_TESTS_FRAMEDRIVER_H

#include "app/CInputScript.h"
#include "support/GLTestContext.h"
#include "support/ScriptedClock.h"

#include <cstdint>

class CSimpEngine;
class CGameWorld;
class CViewCamera;

// Drives the real game engine frame by frame, for tests and tools.
//
//   FrameDriver driver;               // CSimpEngine "OpenGL Game", windowed 800 x 600
//   driver.Hold("P");                 // held from the next frame on, until Release
//   driver.Frames(2);                 // two passes of RunFrame + caption + PumpMessages
//   driver.Release("P");
//   driver.SetMouse(5, -3);           // relative motion reported by every read until changed
//   PixelImage img = driver.Pixels(); // what the last frame drew
//
//   driver.Steps(600);                // ten seconds of game, nothing drawn (fast)
//   driver.Draw();                    // one picture of where the game stands
//   driver.Pass(1.0f / 30);           // the real loop, 1/30 s after the last pass: two steps
//
// The engine's keyboard and mouse read the script below instead of the physical devices,
// through their normal read path (acquire, lost device, key table, click gate all real).
// Frames runs the classic frame (RunFrame) with the dt given. Steps and Draw run the two
// halves of the fixed-step loop on their own; Pass runs one pass of the loop itself, its
// elapsed time read from a scripted clock, and lets each mouse motion set before it be read
// once, as a real mouse's is. Each call handles the events after every frame, step or pass;
// a quit posted stops it early, and quitArrived and quitCode tell what happened.
class FrameDriver {
public:
    explicit FrameDriver(int width = 800, int height = 600);
    // Drives an engine built by the test (a subclass that records handler calls, say); takes it over.
    explicit FrameDriver(CSimpEngine* engine);
    ~FrameDriver();
    FrameDriver(const FrameDriver&) = delete;
    FrameDriver& operator=(const FrameDriver&) = delete;

    // Keys by DirectInput scan code, or by name: "F1" "Q" "P" "Space" "Enter" "W" "S" "A" "D"
    // "KP+" "KP-" "Esc". An unknown name fails the current test.
    void Hold(uint8_t scanCode);
    void Hold(const char* name);
    void Release(uint8_t scanCode);
    void Release(const char* name);
    void ReleaseAll();
    void SetMouse(int dx, int dy);
    void SetLeftButton(bool down);

    // Runs up to n classic frames with a fixed dt; returns how many ran before a quit arrived.
    int Frames(int n, float dt = 1.0f / 60.0f);
    // Runs up to n steps of 1/60 s without drawing; returns how many ran before a quit
    // arrived or a demo being played ran out.
    int Steps(int n);
    // Draws one frame of the game as it stands.
    void Draw();
    // One pass of the loop, seconds after the previous one by the scripted clock; returns
    // the steps it ran.
    int Pass(double seconds);
    // Handles pending events only (no frame); true when a quit arrived.
    bool Pump();
    // Sends the window a focus or minimise event (SDL_WINDOWEVENT_*) and handles it. Only
    // these reach the engine: the X server's own are held back, since the tests share one
    // server and its focus wanders between their windows.
    void SendWindowEvent(uint8_t what);
    // Resizes the real window and handles events until the engine has taken the new drawable
    // size (false if that does not happen within two seconds).
    bool Resize(int width, int height);

    // The frame buffer as the last frame left it.
    PixelImage Pixels() const;

    CGameWorld* World() const;
    CViewCamera* Camera() const;

    static uint8_t ScanCode(const char* name);  // 0 for an unknown name

    CSimpEngine* engine;
    CInputScript script;
    ScriptedClock clock;  // the time Pass reads
    bool quitArrived;
    int quitCode;
};

#endif
