#include "app/CFrameTimer.h"

#include <SDL.h>

CFrameTimer::CFrameTimer() : startCount(0), frequency(0), lastCount(0), useTicks(false) {}

CFrameTimer::~CFrameTimer() {}

int64_t CFrameTimer::ReadFrequency() { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }

int64_t CFrameTimer::ReadCounter() {
    if (useTicks) return static_cast<int64_t>(SDL_GetTicks64());
    return static_cast<int64_t>(SDL_GetPerformanceCounter());
}

bool CFrameTimer::Start() {
    frequency = ReadFrequency();
    bool highResolution = frequency > 0;
    if (!highResolution) {
        useTicks = true;
        frequency = 1000;
    }
    startCount = ReadCounter();
    lastCount = startCount;
    return highResolution;
}

float CFrameTimer::ElapsedSeconds() {
    if (frequency <= 0) return 0.0f;  // not started
    int64_t now = ReadCounter();
    long double seconds = (static_cast<long double>(now) - static_cast<long double>(lastCount)) /
                          static_cast<long double>(frequency);
    lastCount = now;
    return static_cast<float>(seconds);
}
