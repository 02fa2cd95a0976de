// libFuzzer target for the effect reader: each input is written to a file and checked with
// CWaveChecker::CheckFile. An effect that passes must hold the frames it claims.
#include <cstddef>
#include <cstdint>

#include "CFuzzFile.h"
#include "sound/CWaveChecker.h"

static void Load(const std::string& path) {
    CWaveChecker checker;
    if (!checker.CheckFile(path)) {
        if (checker.reason.empty() || checker.reason.find('\n') != std::string::npos) __builtin_trap();
        return;
    }
    if (checker.channels < 1 || checker.channels > 8 || checker.frames == 0 || checker.rate <= 0)
        __builtin_trap();
    if (checker.frames * size_t(checker.channels) * size_t(checker.bits / 8) > checker.bytes.size())
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CFuzzFile file("fuzz.wav");
    // Once, the files no content can make. libFuzzer's first call is a probe whose
    // coverage it drops, so this goes with the second.
    static int calls = 0;
    if (++calls == 2) {
        file.LoadUnusualFiles(CWaveChecker::kMaxFileBytes + 1, Load);
    }
    Load(file.Write(data, size));
    return 0;
}
