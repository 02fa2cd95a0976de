#ifndef PONDQUEST_TESTS_SCRIPTEDCLOCK_H
#define PONDQUEST_TESTS_SCRIPTEDCLOCK_H

#include "app/CFrameTimer.h"

#include <cmath>
#include <cstdint>

// A frame timer whose counter moves only when told. Its rate holds 1/30, 1/60, 1/144 and
// 1/400 of a second and whole milliseconds as exact counts.
class ScriptedClock : public CFrameTimer {
public:
    static const int64_t kFrequency = 720000;
    int64_t now = 0;

    int64_t ReadFrequency() override { return kFrequency; }
    int64_t ReadCounter() override { return now; }
    void Advance(double seconds) { now += static_cast<int64_t>(std::llround(seconds * kFrequency)); }
};

#endif
