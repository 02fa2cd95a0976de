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

// Up to GCC 13 the sanitizer runtime's __tls_get_addr interceptor can take a dynamic TLS
// block of Mesa's driver for an old glibc's and read past it, so LeakSanitizer's tracer dies
// with signal 11 at exit after every test has passed. The leak check does not need it.
const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }
}

namespace {
struct TestEnvironment {
    TestEnvironment() {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        // The tests draw on Xvfb. Left to itself SDL first tries Wayland, which loads its client
        // library, fails, unloads it, and leaves an allocation reported from an unknown module.
        setenv("SDL_VIDEODRIVER", "x11", 0);
        setenv("PONDQUEST_SOURCE_DIR", PONDQUEST_SOURCE_DIR, 0);
        setenv("PONDQUEST_GAME_DIR", PONDQUEST_GAME_DIR, 0);
        // Keep Mesa's software driver and the GL vendor library that loads it mapped for the
        // whole run: once the engine closes its display they are unloaded, and their
        // leftovers would be reported from an unknown module that no suppression can name.
        const char* drivers[] = {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "swrast_dri.so"};
        for (const char* driver : drivers)
            if (dlopen(driver, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE)) break;
        dlopen("libGLX_mesa.so.0", RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
    }
};
const TestEnvironment environment;
}  // namespace
