#include "platform/CFontLocator.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool Readable(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

// The folder holding the running program, with its trailing separator.
std::string ProgramFolder() {
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "";
    std::string path(buffer, length);
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

}  // namespace

// Windows has no fontconfig: every face the game asks for is shown in Arial Bold from the
// system's fonts folder, or, where that is missing (Wine, stripped systems), in the Liberation
// Sans Bold shipped beside the program, which has Arial's metrics.
bool CFontLocator::Find(const char* faceName, int, std::string* file, int* index, bool* embolden) {
    if (!faceName) return false;
    std::string places[2];
    if (const char* windows = std::getenv("WINDIR"))
        places[0] = std::string(windows) + "\\Fonts\\arialbd.ttf";
    places[1] = ProgramFolder() + "LiberationSans-Bold.ttf";
    for (const std::string& place : places) {
        if (place.empty() || !Readable(place)) continue;
        *file = place;
        *index = 0;
        *embolden = false;
        return true;
    }
    std::fprintf(stderr, "Pondquest: neither %s nor %s can be read\n", places[0].c_str(), places[1].c_str());
    return false;
}
