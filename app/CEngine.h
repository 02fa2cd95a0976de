#ifndef PONDQUEST_CENGINE_H
#define PONDQUEST_CENGINE_H

#include "app/COGLWindow.h"
#include "app/Keys.h"

class CFrameTimer;
class CViewCamera;
class CGameWorld;
class CDemoRecorder;
class CDemoPlayer;

// Limits a held left button to one click per half second of frame time.
extern float clickGate;

// The frame loop: it knows a frame needs a camera and a world, not which ones.
//
// The game advances in steps of exactly 1/60 s, the rate it was tuned for, whatever the
// display's rate: each pass of the loop runs the steps the real time since the last pass
// owes, then draws once. Classic timing instead runs one frame per pass with the real
// elapsed time, as the game first did, so its speed follows the frame rate.
class CEngine : public COGLWindow {
public:
    enum Timing {
        kFixedStep,        // steps owed by the real time, then one drawn frame
        kClassicTiming,    // one RunFrame per pass with the real elapsed time
        kOneStepPerFrame,  // one step and one drawn frame per pass, however long it took
    };
    static constexpr float kStepSeconds = 1.0f / 60.0f;
    static constexpr int kStepsPerSecond = 60;
    // A stall owes more than this; the rest is dropped, so one pass can never carry the
    // duckling further than a few steps' travel (through a fence, say).
    static constexpr int kMaxStepsPerPass = 5;

    CFrameTimer* timer;
    Timing timing;
    double owed;  // seconds of real time not yet stepped
    long long stepsRun;
    long long framesDrawn;
    // Demo hooks, not owned: the player feeds each step's input, the recorder keeps it.
    CDemoPlayer* demoPlayer;
    CDemoRecorder* demoRecorder;
    bool demoFinished;                         // the player had no step left; the loop has been asked to end
    bool soundKeysHeld[Keys::kSoundKeyCount];  // as the polled keyboard read them last step
    bool wasInBackground;                      // the last pass found the window in the background

    CEngine(const char* title, bool fullscreen, int width, int height, int bits);
    ~CEngine() override;

    // One classic frame: input, clear, world Prepare, camera Move, world Update, world Draw,
    // swap.
    virtual void RunFrame(float dt);
    virtual void ClearScreen();
    virtual CViewCamera* GetCamera();
    virtual CGameWorld* GetWorld();
    virtual void CheckInput(float dt);

    // One step of the game, the frame without its picture: input, world Prepare, the
    // camera's motion, world Update and the rules the world's drawing applies. False when
    // nothing could run (no camera or world, or the demo being played is over).
    virtual bool RunStep(float dt);
    // One picture of the game as the last step left it, then the swap. Changes nothing.
    virtual void DrawFrame();
    // One pass of the loop after elapsed seconds of real time; returns the steps it ran.
    // While it stands still it runs none (drawing only while in sight), and the time spent
    // so (up to the first pass back) is never owed.
    int RunPass(float elapsed);
    // In the background with the player in control: a demo being played runs on.
    bool StandsStill() const { return InBackground() && !demoPlayer; }

    // Runs passes until a quit arrives; returns its code.
    int Run();
    // Handles every pending event; true when a quit arrived, its code in *quitCode. A quit
    // signal (SIGINT, SIGTERM) counts as a quit with code 0.
    bool PumpMessages(int* quitCode);
    // Sets the caption after a frame, touching the window system only when it differs.
    void UpdateCaption();

private:
    // Counts a swapped frame; the first lets the songs' soundfont load.
    void FrameShown();
};

#endif
