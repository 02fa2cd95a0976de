#ifndef PONDQUEST_CQUITSIGNALS_H
#define PONDQUEST_CQUITSIGNALS_H

// SIGINT and SIGTERM ask the game to end the way Esc on the title does. The handler only
// notes the signal and wakes whoever waits on WakeFd (the question box); the frame loop and
// the boxes look at Requested. A second signal while the first is pending ends the process
// at once, in case something is stuck.
class CQuitSignals {
public:
    // Installs the handlers; false (with errno set) when they could not be.
    static bool Install();
    // A quit signal has arrived.
    static bool Requested();
    // Readable once a quit signal has arrived; -1 before Install, and always on Windows.
    static int WakeFd();
};

#endif
