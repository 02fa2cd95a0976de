// libFuzzer target for the song reader: each input is written to a file and checked with
// CMidiChecker::CheckFile. A song that passes must come out as a plain copy that passes
// again unchanged, since that copy is what the synthesizer plays.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "CFuzzFile.h"
#include "sound/CMidiChecker.h"

static void Load(const std::string& path) {
    CMidiChecker checker;
    if (!checker.CheckFile(path)) {
        // The reason goes into one line of stderr.
        if (checker.reason.empty() || checker.reason.find('\n') != std::string::npos) __builtin_trap();
        if (!checker.playable.empty()) __builtin_trap();
        return;
    }
    if (!checker.reason.empty() || checker.trackCount < 1 || checker.trackCount > CMidiChecker::kMaxTracks)
        __builtin_trap();
    const std::vector<uint8_t> plain = checker.playable;
    CMidiChecker again;
    if (!again.Check(plain.data(), plain.size())) __builtin_trap();
    if (again.playable != plain || again.tracksWithoutEnd != 0 || again.format != checker.format ||
        again.trackCount != checker.trackCount || again.division != checker.division)
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CFuzzFile file("fuzz.mid");
    // Once, the files no content can make. libFuzzer's first call is a probe whose
    // coverage it drops, so this goes with the second.
    static int calls = 0;
    if (++calls == 2) {
        file.LoadUnusualFiles(CMidiChecker::kMaxFileBytes + 1, Load);
    }
    Load(file.Write(data, size));
    return 0;
}
