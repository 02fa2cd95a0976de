// Compiled into every test program: the environment the tests expect, whoever starts them
// (ctest, a debugger, or the program on its own).
#include <dlfcn.h>

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
        // Keep Mesa's software driver mapped for the whole run: once the engine closes its
        // display the driver is unloaded, and its leftovers would be reported from an
        // unknown module that no suppression can name.
        const char* drivers[] = {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "swrast_dri.so"};
        for (const char* driver : drivers)
            if (dlopen(driver, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE)) break;
    }
};
const TestEnvironment environment;
}  // namespace
