// libFuzzer target for the effect reader: each input is written to a file and checked with
// CWaveChecker::CheckFile. An effect that passes must hold the frames it claims.
#include <cstddef>
#include <cstdint>

#include "CFuzzFile.h"
#include "sound/CWaveChecker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CFuzzFile file("fuzz.wav");
    CWaveChecker checker;
    if (!checker.CheckFile(file.Write(data, size))) {
        if (checker.reason.empty() || checker.reason.find('\n') != std::string::npos) __builtin_trap();
        return 0;
    }
    if (checker.channels < 1 || checker.channels > 8 || checker.frames == 0 || checker.rate <= 0)
        __builtin_trap();
    if (checker.frames * size_t(checker.channels) * size_t(checker.bits / 8) > size) __builtin_trap();
    return 0;
}
