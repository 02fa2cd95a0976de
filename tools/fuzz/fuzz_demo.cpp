// libFuzzer target for the demo reader: each input is written to a file and read with
// CDemoFile::Load. A demo that loads must encode and read back to the same steps.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "CFuzzFile.h"
#include "app/CDemoFile.h"

static void Load(const std::string& path) {
    CDemoFile demo;
    std::string error;
    if (!demo.Load(path, &error)) {
        if (error.empty() || error.find('\n') != std::string::npos) __builtin_trap();
        return;
    }
    if (!error.empty() || demo.steps.empty() || demo.steps.size() > CDemoFile::kMaxSteps) __builtin_trap();
    const std::vector<uint8_t> bytes = demo.Encode();
    CDemoFile again;
    if (!again.Parse(bytes.data(), bytes.size(), &error)) __builtin_trap();
    if (again.steps != demo.steps || again.gameVersion != demo.gameVersion ||
        std::memcmp(&again.mouseSensitivity, &demo.mouseSensitivity, sizeof(float)) != 0)
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CFuzzFile file("fuzz.pqdemo");
    // Once, the files no content can make. libFuzzer's first call is a probe whose
    // coverage it drops, so this goes with the second.
    static int calls = 0;
    if (++calls == 2) {
        file.LoadUnusualFiles(CDemoFile::kMaxFileBytes + 1, Load);
    }
    Load(file.Write(data, size));
    return 0;
}
