#include "app/COptions.h"

#include "app/CDemoFile.h"
#include "app/CDemoSession.h"

#include <unistd.h>

#include <cstring>

COptions::COptions() : help(false), version(false), windowed(false), fullscreen(false), mute(false) {}

std::string COptions::Usage() {
    return "Usage: pondquest [OPTION]...\n"
           "A duckling's quest through a maze of plant walls and a square of fire.\n"
           "\n"
           "  --windowed           play in an 800x600 window without asking\n"
           "  --fullscreen         play full screen without asking\n"
           "  --mute               start with the music and effects silenced\n"
           "  --data-dir DIR       read the game's pictures and sounds from DIR\n"
           "  --classic-timing     one step per drawn frame, as the game first ran\n"
           "  --record FILE        write every step's input to FILE when the game ends\n"
           "  --playdemo FILE      play FILE back in real time (Esc stops it)\n"
           "  --timedemo FILE      play FILE back as fast as possible and time it\n"
           "  --help               show this help and exit\n"
           "  --version            show the version and exit\n"
           "\n"
           "Environment: PONDQUEST_DATA names the data folder when --data-dir is not given;\n"
           "SDL_SOUNDFONTS lists soundfonts to try, separated by ';'.\n";
}

const char* COptions::Version() { return CDemoFile::GameVersion(); }

COptions::Outcome COptions::Parse(int argc, char** argv, CDemoSession* demo, std::string* text) {
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        std::string problem;
        if (demo->TakeOption(argc, argv, &i, &problem)) {
            if (!problem.empty()) {
                *text = problem + "\n";
                return kBadUsage;
            }
            continue;
        }
        if (std::strcmp(option, "--help") == 0) {
            help = true;
        } else if (std::strcmp(option, "--version") == 0) {
            version = true;
        } else if (std::strcmp(option, "--windowed") == 0) {
            windowed = true;
        } else if (std::strcmp(option, "--fullscreen") == 0) {
            fullscreen = true;
        } else if (std::strcmp(option, "--mute") == 0) {
            mute = true;
        } else if (std::strcmp(option, "--data-dir") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0' || std::strncmp(argv[i + 1], "--", 2) == 0) {
                *text = "Pondquest: --data-dir needs a DIR\n";
                return kBadUsage;
            }
            dataDir = argv[++i];
        } else {
            *text = std::string("Pondquest: unknown option '") + option + "'\n" + Usage();
            return kBadUsage;
        }
    }
    if (help) {
        *text = Usage();
        return kExitOk;
    }
    if (version) {
        *text = std::string("Pondquest ") + Version() + "\n";
        return kExitOk;
    }
    if (windowed && fullscreen) {
        *text = "Pondquest: choose one of --windowed and --fullscreen\n";
        return kBadUsage;
    }
    // The game reads its files from the data folder, which becomes the working directory
    // before the window opens; a recording is written at the end, so its place is fixed now.
    if (!demo->recordPath.empty() && demo->recordPath[0] != '/') {
        char here[4096];
        if (getcwd(here, sizeof here)) demo->recordPath = std::string(here) + "/" + demo->recordPath;
    }
    return kRun;
}
