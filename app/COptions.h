#ifndef PONDQUEST_COPTIONS_H
#define PONDQUEST_COPTIONS_H

#include <string>

class CDemoSession;

// The command line. Besides the demo options, which the demo session takes itself:
//   --help, --version       print and exit 0
//   --windowed, --fullscreen  skip the full-screen question
//   --mute                  start with songs and effects silenced
//   --data-dir DIR          the folder holding the game's pictures and sounds
// An unknown option prints the usage on stderr, a malformed one a line saying what is wrong;
// either way the game exits with 2.
class COptions {
public:
    enum Outcome { kRun, kExitOk, kBadUsage };
    static constexpr int kUsageError = 2;

    bool help;
    bool version;
    bool windowed;
    bool fullscreen;
    bool mute;
    std::string dataDir;  // empty: not given

    COptions();

    // Reads argv into these fields and demo's. kRun when the game should start; kExitOk when
    // --help or --version was given (the text to print is in *text); kBadUsage with what to
    // print on stderr in *text.
    Outcome Parse(int argc, char** argv, CDemoSession* demo, std::string* text);

    static std::string Usage();
    static const char* Version();
};

#endif
