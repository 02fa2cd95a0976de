#ifndef PONDQUEST_CFRAMETIMER_H
#define PONDQUEST_CFRAMETIMER_H

#include <cstdint>

// Seconds between frames, from SDL's performance counter.
class CFrameTimer {
public:
    int64_t startCount;
    int64_t frequency;
    int64_t lastCount;
    // Set by Start when the counter reports no frequency: millisecond ticks are used instead.
    bool useTicks;

    CFrameTimer();
    virtual ~CFrameTimer();

    // False when there is no high-resolution counter (the timer still works, on ticks).
    bool Start();
    // Seconds since the previous call, or since Start for the first one.
    float ElapsedSeconds();

    // The clock itself, separate so the arithmetic can be checked against a scripted clock.
    virtual int64_t ReadFrequency();
    virtual int64_t ReadCounter();
};

#endif
