// The Windows test programs' environment (they run under Wine): the same variables as on
// Linux, set only where the caller has not set them already.
#include <cstdlib>

namespace {
void SetDefault(const char* name, const char* value) {
    if (!std::getenv(name)) _putenv_s(name, value);
}

struct TestEnvironment {
    TestEnvironment() {
        SetDefault("SDL_AUDIODRIVER", "dummy");
        SetDefault("PONDQUEST_SOURCE_DIR", PONDQUEST_SOURCE_DIR);
        SetDefault("PONDQUEST_GAME_DIR", PONDQUEST_GAME_DIR);
    }
};
const TestEnvironment environment;
}  // namespace
