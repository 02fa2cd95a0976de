#include "app/CDemoSession.h"

#include "app/CDemoPlayer.h"
#include "app/CDemoRecorder.h"
#include "app/CInputDevices.h"
#include "app/CSimpEngine.h"

#include <SDL.h>
#include <cstdio>
#include <cstring>

CDemoSession::CDemoSession() : classicTiming(false), player(nullptr), recorder(nullptr), startCount(0) {}

CDemoSession::~CDemoSession() {
    delete player;
    delete recorder;
}

bool CDemoSession::TakeOption(int argc, char** argv, int* i, std::string* error) {
    const char* option = argv[*i];
    if (std::strcmp(option, "--classic-timing") == 0) {
        classicTiming = true;
        return true;
    }
    std::string* path = nullptr;
    if (std::strcmp(option, "--record") == 0)
        path = &recordPath;
    else if (std::strcmp(option, "--playdemo") == 0)
        path = &playPath;
    else if (std::strcmp(option, "--timedemo") == 0)
        path = &timeDemoPath;
    if (!path) return false;
    // A following option is not taken for the file: "--record --timedemo x" lacks one.
    if (*i + 1 >= argc || argv[*i + 1][0] == '\0' || std::strncmp(argv[*i + 1], "--", 2) == 0) {
        *error = std::string("Pondquest: ") + option + " needs a FILE";
        return true;
    }
    *path = argv[++*i];
    return true;
}

bool CDemoSession::Open(std::string* error) {
    const int demos = !recordPath.empty() + !playPath.empty() + !timeDemoPath.empty();
    if (demos > 1) {
        *error = "Pondquest: choose one of --record, --playdemo and --timedemo";
        return false;
    }
    if (demos == 1 && classicTiming) {
        *error = "Pondquest: --classic-timing cannot record or play demos: they step 60 times a second";
        return false;
    }
    const std::string& played = playPath.empty() ? timeDemoPath : playPath;
    std::string reason;
    if (!played.empty() && !demo.Load(played, &reason)) {
        *error = "Pondquest: demo " + played + ": " + reason;
        return false;
    }
    if (!played.empty() && demo.gameVersion != CDemoFile::GameVersion())
        std::fprintf(
            stderr,
            "Pondquest: demo %s was recorded by version %s, this is %s; it may play out differently\n",
            played.c_str(), demo.gameVersion.c_str(), CDemoFile::GameVersion());
    if (!recordPath.empty()) {
        recorder = new CDemoRecorder();
        if (!recorder->Open(recordPath, &reason)) {
            *error = "Pondquest: demo " + recordPath + ": " + reason;
            delete recorder;
            recorder = nullptr;
            return false;
        }
    }
    return true;
}

void CDemoSession::Attach(CEngine* engine) {
    engine->timing = classicTiming ? CEngine::kClassicTiming : CEngine::kFixedStep;
    if (recorder) {
        recorder->Begin(engine->mouseSensitivity);
        engine->demoRecorder = recorder;
    }
    if (!playPath.empty() || !timeDemoPath.empty()) {
        engine->mouseSensitivity = demo.mouseSensitivity;
        player = new CDemoPlayer(&demo, &script);
        player->watchEscape = !playPath.empty();
        engine->demoPlayer = player;
        if (engine->input) engine->input->SetScript(&script);
        if (engine->input) engine->input->AcquireAll();
    }
    if (!timeDemoPath.empty()) {
        engine->timing = CEngine::kOneStepPerFrame;
        SDL_GL_SetSwapInterval(0);  // as fast as frames can be drawn
    }
    startCount = SDL_GetPerformanceCounter();
}

int CDemoSession::Finish(CSimpEngine* engine, int loopResult) {
    const double seconds = static_cast<double>(SDL_GetPerformanceCounter() - startCount) /
                           static_cast<double>(SDL_GetPerformanceFrequency());
    int status = loopResult;
    if (recorder) {
        engine->demoRecorder = nullptr;
        std::string reason;
        if (recorder->full)
            std::fprintf(stderr, "Pondquest: demo %s: only the first %u steps were kept\n",
                         recordPath.c_str(), CDemoFile::kMaxSteps);
        if (!recorder->Close(&reason)) {
            std::fprintf(stderr, "Pondquest: demo %s: %s\n", recordPath.c_str(), reason.c_str());
            if (status == 0) status = 1;
        }
    }
    if (player) engine->demoPlayer = nullptr;
    if (!timeDemoPath.empty()) {
        const double fps = seconds > 0 ? static_cast<double>(engine->framesDrawn) / seconds : 0.0;
        std::printf("timedemo %s: %lld steps, %lld frames drawn in %.3f s = %.1f frames a second\n",
                    timeDemoPath.c_str(), engine->stepsRun, engine->framesDrawn, seconds, fps);
        std::printf("final %s\n", engine->DescribeState().c_str());
        std::fflush(stdout);
    }
    return status;
}
