#ifndef PONDQUEST_CDEMOPLAYER_H
#define PONDQUEST_CDEMOPLAYER_H

#include <cstddef>

class CDemoFile;
class CInputScript;

// Plays a demo back through the scripted devices: before each step it puts that step's keys,
// motion and button where the engine's normal read finds them.
class CDemoPlayer {
public:
    const CDemoFile* demo;
    CInputScript* script;
    size_t next;       // the step fed next
    bool watchEscape;  // the real Esc key stops the playback
    bool stopped;      // Esc did

    CDemoPlayer(const CDemoFile* demo, CInputScript* script);

    // False when no step is left, or Esc was pressed.
    bool Feed();
    bool Finished() const;
};

#endif
