#ifndef PONDQUEST_CDEMORECORDER_H
#define PONDQUEST_CDEMORECORDER_H

#include "app/CDemoFile.h"
#include "platform/CReplacingFile.h"

#include <cstdio>
#include <string>

class CInputDevices;

// Keeps every step's input as the engine read it, and writes the demo when the game ends.
// The file appears whole or not at all: it is written beside its place and then put there.
class CDemoRecorder {
public:
    CDemoFile demo;
    std::string path;  // where the demo goes
    CReplacingFile file;
    bool full;  // the longest demo is held; later steps are not kept

    CDemoRecorder();
    CDemoRecorder(const CDemoRecorder&) = delete;
    CDemoRecorder& operator=(const CDemoRecorder&) = delete;

    // Before the game starts, so a demo that cannot be written is known at once.
    bool Open(const std::string& path, std::string* error);
    void Begin(float mouseSensitivity);
    // The keys, motion and button the devices hold now; no devices: a step with nothing held.
    void Record(CInputDevices* input);
    bool Close(std::string* error);
};

#endif
