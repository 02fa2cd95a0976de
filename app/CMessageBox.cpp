#include "app/CMessageBox.h"

#include "app/CQuitSignals.h"

#include <SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {
struct Reply {
    int result;  // SDL_ShowMessageBox's
    int button;
    char error[256];
};

// In the helper: a quit signal, or the game's death, takes the whole box group down.
void EndBoxGroup(int) { kill(0, SIGKILL); }

bool ReadWhole(int fd, void* data, size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        ssize_t n = read(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Shows the box in the helper and waits for its answer or a quit signal. Returns SDL's result
// (0 shown, negative failed, with the error in *error) or 1 when a quit signal closed it.
int ShowInHelper(const SDL_MessageBoxData& data, int* button, char* error, size_t errorSize) {
    if (CQuitSignals::Requested()) return 1;
    // Without a helper the box is shown here, and a signal waits for its answer.
    auto showHere = [&]() {
        const int result = SDL_ShowMessageBox(&data, button);
        if (result != 0) std::snprintf(error, errorSize, "%s", SDL_GetError());
        return result;
    };
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return showHere();
    const pid_t parent = getpid();
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return showHere();
    }
    if (pid == 0) {
        close(fds[0]);
        setpgid(0, 0);
        struct sigaction action = {};
        action.sa_handler = EndBoxGroup;
        sigemptyset(&action.sa_mask);
        for (int sig : {SIGINT, SIGTERM, SIGHUP})
            sigaction(sig, &action, nullptr);
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(1);  // the game ended before the line above
        Reply reply = {};
        reply.button = -1;
        reply.result = SDL_ShowMessageBox(&data, &reply.button);
        if (reply.result != 0) std::snprintf(reply.error, sizeof reply.error, "%s", SDL_GetError());
        ssize_t ignored = write(fds[1], &reply, sizeof reply);
        (void)ignored;
        _exit(0);  // nothing of the game's own is torn down in the helper
    }
    close(fds[1]);
    setpgid(pid, pid);  // whichever of the two runs first, the group exists before a kill
    Reply reply = {};
    bool answered = false, interrupted = false;
    for (;;) {
        struct pollfd waits[2] = {{fds[0], POLLIN, 0}, {CQuitSignals::WakeFd(), POLLIN, 0}};
        const int count = waits[1].fd >= 0 ? 2 : 1;
        if (CQuitSignals::Requested()) {
            interrupted = true;
            break;
        }
        if (poll(waits, count, -1) < 0 && errno != EINTR) break;
        if (waits[0].revents) {
            answered = ReadWhole(fds[0], &reply, sizeof reply);
            break;
        }
    }
    close(fds[0]);
    if (interrupted) kill(-pid, SIGTERM);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {}
    if (interrupted) return 1;
    if (!answered) {
        std::snprintf(error, errorSize, "the box's helper process ended without an answer");
        return -1;
    }
    std::snprintf(error, errorSize, "%s", reply.error);
    *button = reply.button;
    return reply.result;
}
}  // namespace

void CMessageBox::ShowError(const char* text, const char* caption) {
    if (!caption) caption = "Error";
    std::fprintf(stderr, "Pondquest: %s: %s\n", caption, text);
    const SDL_MessageBoxButtonData button = {
        SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"};
    SDL_MessageBoxData data;
    SDL_zero(data);
    data.flags = SDL_MESSAGEBOX_ERROR;
    data.title = caption;
    data.message = text;
    data.numbuttons = 1;
    data.buttons = &button;
    int answer = -1;
    char error[256] = "";
    if (ShowInHelper(data, &answer, error, sizeof error) < 0)
        std::fprintf(stderr, "Pondquest: the message box could not be shown: %s\n", error);
}

CMessageBox::Answer CMessageBox::AskYesNo(const char* text, const char* caption) {
    const SDL_MessageBoxButtonData buttons[2] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kYes, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kNo, "No"},
    };
    SDL_MessageBoxData data;
    SDL_zero(data);
    data.flags = SDL_MESSAGEBOX_INFORMATION | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    data.window = nullptr;
    data.title = caption;
    data.message = text;
    data.numbuttons = 2;
    data.buttons = buttons;
    data.colorScheme = nullptr;
    int answer = -1;
    char error[256] = "";
    const int result = ShowInHelper(data, &answer, error, sizeof error);
    if (result > 0) return kInterrupted;
    if (result != 0) {
        std::fprintf(stderr, "Pondquest: cannot ask \"%s\" (%s)\n", text, error);
        return kUnavailable;
    }
    return answer == kYes ? kYes : kNo;
}
