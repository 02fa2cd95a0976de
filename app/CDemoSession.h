#ifndef PONDQUEST_CDEMOSESSION_H
#define PONDQUEST_CDEMOSESSION_H

#include "app/CDemoFile.h"
#include "app/CInputScript.h"

#include <string>

class CEngine;
class CSimpEngine;
class CDemoPlayer;
class CDemoRecorder;

// The timing and demo choices of one run of the game, from the command line:
//   --classic-timing   one frame per pass with the real elapsed time (the original feel)
//   --record FILE      every step's input is written to FILE when the game ends
//   --playdemo FILE    FILE is played back in real time; Esc stops it
//   --timedemo FILE    FILE is played back as fast as frames can be drawn, then timed
// Problems are told on stderr as one line naming the file; the game then exits with 2.
class CDemoSession {
public:
    static constexpr int kUsageError = 2;

    bool classicTiming;
    std::string recordPath;
    std::string playPath;
    std::string timeDemoPath;

    CDemoFile demo;       // the demo played
    CInputScript script;  // what the devices read while it plays
    CDemoPlayer* player;
    CDemoRecorder* recorder;
    unsigned long long startCount;  // performance counter when the loop began

    CDemoSession();
    ~CDemoSession();
    CDemoSession(const CDemoSession&) = delete;
    CDemoSession& operator=(const CDemoSession&) = delete;

    // Takes argv[*i] (and its FILE) when it is one of the options above, moving *i past
    // them. False when it is not one of them, or, with *error set, when it is malformed.
    bool TakeOption(int argc, char** argv, int* i, std::string* error);
    // Before the window: checks the options go together, reads the demo to play, makes sure
    // the recording can be written. False with the line to print in *error.
    bool Open(std::string* error);
    // A timedemo asks nothing and runs in a window.
    bool AsksFullScreen() const { return timeDemoPath.empty(); }
    // Sets the engine's timing and hooks the demo into its steps.
    void Attach(CEngine* engine);
    // After the loop: writes the recording, prints the timedemo's figures. Returns the exit
    // status, given the loop's.
    int Finish(CSimpEngine* engine, int loopResult);
};

#endif
