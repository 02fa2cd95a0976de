#include "sound/CLogLimiter.h"

namespace {
// Beyond this many distinct messages, new ones are counted under the last.
const size_t kMaxDistinct = 64;
}  // namespace

CLogLimiter::CLogLimiter(FILE* out, int times) : stream(out), shownTimes(times) {}

void CLogLimiter::Say(const std::string& message) {
    std::lock_guard<std::mutex> hold(lock);
    Seen* entry = nullptr;
    for (Seen& s : seen)
        if (s.message == message) entry = &s;
    if (!entry) {
        if (seen.size() >= kMaxDistinct) {
            ++seen.back().count;
            return;
        }
        seen.push_back(Seen{message, 0, 0});
        entry = &seen.back();
    }
    if (++entry->count <= shownTimes) {
        std::fprintf(stream, "%s\n", message.c_str());
        std::fflush(stream);
        entry->told = entry->count;
    }
}

void CLogLimiter::Flush() {
    std::lock_guard<std::mutex> hold(lock);
    for (Seen& s : seen) {
        if (s.count > s.told) {
            std::fprintf(stream, "%s (%lld more times)\n", s.message.c_str(), s.count - s.told);
            s.told = s.count;
        }
    }
    std::fflush(stream);
}
