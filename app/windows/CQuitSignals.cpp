#include "app/CQuitSignals.h"

#include <cerrno>
#include <csignal>

// Windows has signal() alone: SIGINT comes from a console's Ctrl+C (on a thread of its own),
// SIGTERM only from raise. The C library puts the default action back before calling the
// handler, so a second signal ends the process at once, as on Linux. No box waits on a file
// descriptor here, so WakeFd stays -1.

namespace {
volatile sig_atomic_t received = 0;

void OnQuitSignal(int sig) { received = sig; }
}  // namespace

bool CQuitSignals::Install() {
    return std::signal(SIGINT, OnQuitSignal) != SIG_ERR && std::signal(SIGTERM, OnQuitSignal) != SIG_ERR;
}

bool CQuitSignals::Requested() { return received != 0; }

int CQuitSignals::WakeFd() { return -1; }
