#ifndef PONDQUEST_CLOGLIMITER_H
#define PONDQUEST_CLOGLIMITER_H

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

// Passes messages on to a stream, but each distinct message only its first few times; the
// rest are counted, and Flush says in one line per message how many more there were. Safe to
// call from any thread.
class CLogLimiter {
public:
    CLogLimiter(FILE* stream, int shownTimes);

    void Say(const std::string& message);
    // One line for each message held back since the last flush.
    void Flush();

    FILE* stream;
    int shownTimes;

private:
    struct Seen {
        std::string message;
        long long count;
        long long told;  // up to which count Flush has reported it
    };
    std::mutex lock;
    std::vector<Seen> seen;
};

#endif
