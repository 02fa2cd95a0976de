// libFuzzer target for the settings reader: each input is written to a file and read with
// CSettingsFile::LoadAndTell, as the game does at start. Whatever the file holds, the values
// stay in the ranges the game accepts and at most one printable line reaches stderr; the
// values read, saved and read again come back bit for bit and without complaint.
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CFuzzFile.h"
#include "app/CSettingsFile.h"

namespace {

std::string toldPath;   // where stderr goes while the reader may write to it
std::string savedPath;  // where what was read is saved to be read again

bool InRange(const CSettingsFile::Values& v) {
    return std::isfinite(v.mouseSensitivity) && v.mouseSensitivity >= CSettingsFile::kMinSensitivity &&
           v.mouseSensitivity <= CSettingsFile::kMaxSensitivity && v.musicVolume >= 0.0f &&
           v.musicVolume <= 1.0f && v.effectsVolume >= 0.0f && v.effectsVolume <= 1.0f;
}

bool Same(const CSettingsFile::Values& a, const CSettingsFile::Values& b) {
    return std::memcmp(&a.mouseSensitivity, &b.mouseSensitivity, sizeof(float)) == 0 &&
           std::memcmp(&a.musicVolume, &b.musicVolume, sizeof(float)) == 0 &&
           std::memcmp(&a.effectsVolume, &b.effectsVolume, sizeof(float)) == 0 && a.muted == b.muted;
}

// What LoadAndTell wrote on stderr (libFuzzer has it pointing at /dev/null or its log).
std::string LoadAndCapture(CSettingsFile* file) {
    std::fflush(stderr);
    const int kept = dup(2);
    const int told = open(toldPath.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (kept < 0 || told < 0 || dup2(told, 2) < 0) {
        std::perror("fuzz: cannot catch stderr");
        std::abort();
    }
    file->LoadAndTell();
    std::fflush(stderr);
    dup2(kept, 2);
    close(kept);
    std::string text;
    char buffer[4096];
    ssize_t n;
    lseek(told, 0, SEEK_SET);
    while ((n = read(told, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    close(told);
    return text;
}

void Load(const std::string& path) {
    CSettingsFile file(path);
    file.values = {7.5f, 0.25f, 0.5f, true};  // nothing from before may survive a load
    const std::string told = LoadAndCapture(&file);
    if (!InRange(file.values)) __builtin_trap();
    // None, or one line of plain text: nothing in the file may split it or drive a terminal.
    if (!told.empty()) {
        if (told.back() != '\n') __builtin_trap();
        for (size_t i = 0; i + 1 < told.size(); ++i)
            if (static_cast<unsigned char>(told[i]) < 0x20 || told[i] == 0x7F) __builtin_trap();
    }
    // What was read is what the game would save at its first change; saved and read again
    // it must not drift, or a player's hand-set value is lost at that change.
    CSettingsFile saved(savedPath);
    saved.values = file.values;
    std::string problem;
    if (!saved.Save(&problem)) {
        std::fprintf(stdout, "fuzz: cannot save: %s\n", problem.c_str());
        std::abort();
    }
    CSettingsFile again(savedPath);
    if (!again.Load(&problem) || !Same(again.values, file.values)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CFuzzFile file("fuzz.ini");
    // Once, the files no content can make. libFuzzer's first call is a probe whose
    // coverage it drops, so this goes with the second.
    static int calls = 0;
    if (++calls == 1) {
        toldPath = file.path + ".told";
        savedPath = file.path + ".saved";
    }
    if (calls == 2) {
        file.LoadUnusualFiles(CSettingsFile::kMaxFileBytes + 1, Load);
        Load("");                        // no folder to keep settings in
        Load(file.path + "/under.ini");  // a file where a folder should be: cannot open
    }
    Load(file.Write(data, size));
    return 0;
}
