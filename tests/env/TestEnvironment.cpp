// Compiled into every test program: the environment the tests expect, whoever starts them
// (ctest, a debugger, or the program on its own).
#include <cstdlib>

extern "C" {
// Leaks inside the system's graphics, font and audio libraries are not ours to mend.
const char* __lsan_default_suppressions() {
    return "leak:libGLX\nleak:libGL.so\nleak:libEGL\nleak:swrast_dri\nleak:libgallium\n"
           "leak:libLLVM\nleak:libX11\nleak:libxcb\nleak:libfontconfig\nleak:libdbus\n"
           "leak:libSDL2\nleak:libfluidsynth\nleak:libglib\nleak:libasound\nleak:libpulse\n";
}
}

namespace {
struct TestEnvironment {
    TestEnvironment() {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("PONDQUEST_SOURCE_DIR", PONDQUEST_SOURCE_DIR, 0);
        setenv("PONDQUEST_GAME_DIR", PONDQUEST_GAME_DIR, 0);
    }
};
const TestEnvironment environment;
}  // namespace
