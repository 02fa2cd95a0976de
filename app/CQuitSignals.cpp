#include "app/CQuitSignals.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

namespace {
volatile sig_atomic_t received = 0;
int wakePipe[2] = {-1, -1};

// Only async-signal-safe calls here.
void OnQuitSignal(int sig) {
    if (received) {
        // Asked twice: whatever holds up the clean end, stop now.
        signal(sig, SIG_DFL);
        raise(sig);
        return;
    }
    received = sig;
    const int saved = errno;
    if (wakePipe[1] >= 0) {
        const char byte = 1;
        ssize_t ignored = write(wakePipe[1], &byte, 1);
        (void)ignored;
    }
    errno = saved;
}
}  // namespace

bool CQuitSignals::Install() {
    if (wakePipe[0] < 0) {
        if (pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            wakePipe[0] = wakePipe[1] = -1;
            return false;
        }
    }
    struct sigaction action = {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(SIGINT, &action, nullptr) == 0 && sigaction(SIGTERM, &action, nullptr) == 0;
}

bool CQuitSignals::Requested() { return received != 0; }

int CQuitSignals::WakeFd() { return wakePipe[0]; }
