// libFuzzer target for the demo reader: each input is written to a file and read with
// CDemoFile::Load. A demo that loads must encode and read back to the same steps.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "CFuzzFile.h"
#include "app/CDemoFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CFuzzFile file("fuzz.pqdemo");
    CDemoFile demo;
    std::string error;
    if (!demo.Load(file.Write(data, size), &error)) {
        if (error.empty() || error.find('\n') != std::string::npos) __builtin_trap();
        return 0;
    }
    if (!error.empty() || demo.steps.empty() || demo.steps.size() > CDemoFile::kMaxSteps) __builtin_trap();
    const std::vector<uint8_t> bytes = demo.Encode();
    CDemoFile again;
    if (!again.Parse(bytes.data(), bytes.size(), &error)) __builtin_trap();
    if (again.steps != demo.steps || again.gameVersion != demo.gameVersion ||
        std::memcmp(&again.mouseSensitivity, &demo.mouseSensitivity, sizeof(float)) != 0)
        __builtin_trap();
    return 0;
}
