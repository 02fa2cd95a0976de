#include "app/CDataFolder.h"

#include <SDL.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#ifndef PONDQUEST_DATA_FROM_PROGRAM
#define PONDQUEST_DATA_FROM_PROGRAM "../share/pondquest"
#endif

const std::vector<std::string>& CDataFolder::Files() {
    // What tools/Assets.cmake generates: the twelve pictures, four songs and two effects.
    static const std::vector<std::string> kFiles = {
        "sanddark.tga",       "fire2.tga",    "water1.tga",
        "plant25.tga",        "cougar.tga",   "nest.tga",
        "eggcrack.tga",       "reeses.tga",   "elder.tga",
        "titlemenu.tga",      "credits1.tga", "credits2.tga",
        "DuelOfTheFates.mid", "Crawling.mid", "The_Kids_Arent_Alright.mid",
        "rubberduckie.mid",   "ouch.wav",     "reeses.wav"};
    return kFiles;
}

std::vector<CDataFolder::SPlace> CDataFolder::Places(const std::string& option,
                                                     const std::string& environment,
                                                     const std::string& programFolder) {
    if (!option.empty()) return {{option, "--data-dir"}};
    if (!environment.empty()) return {{environment, "$PONDQUEST_DATA"}};
    if (programFolder.empty()) return {};
    const std::filesystem::path installed =
        (std::filesystem::path(programFolder) / PONDQUEST_DATA_FROM_PROGRAM).lexically_normal();
    return {{programFolder, "beside the program"}, {installed.string(), "installed"}};
}

bool CDataFolder::Find(const std::vector<SPlace>& places, std::string* folder, std::string* report) {
    std::string looked, fallback;
    for (const SPlace& place : places) {
        std::string trouble;
        struct stat st;
        const bool found = stat(place.folder.c_str(), &st) == 0;
        const bool isFolder = found && S_ISDIR(st.st_mode);
        if (!found) {
            trouble = std::strerror(errno);
        } else if (!isFolder) {
            trouble = "not a folder";
        } else {
            for (const std::string& file : Files()) {
                const std::string path = place.folder + "/" + file;
                if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || access(path.c_str(), R_OK) != 0) {
                    trouble = "no readable " + file;
                    break;
                }
            }
        }
        if (trouble.empty()) {
            *folder = place.folder;
            return true;
        }
        if (fallback.empty() && isFolder) fallback = place.folder;
        looked += (looked.empty() ? "" : ", ") + place.folder + " (" + place.source + ": " + trouble + ")";
    }
    *folder = fallback;
    *report = places.empty()
                  ? "cannot find the game's files: no place to look (the program's own folder is unknown)"
                  : "cannot find the game's files; looked in " + looked;
    return false;
}

std::string CDataFolder::ProgramFolder() {
    // SDL knows each platform's way (/proc/self/exe on Linux, the module's name on Windows).
    char* base = SDL_GetBasePath();
    if (!base) return "";
    std::string folder = base;
    SDL_free(base);
    // It ends in a separator; the places and messages name the folder itself.
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\') &&
           folder[folder.size() - 2] != ':')
        folder.pop_back();
    return folder;
}

bool CDataFolder::Enter(const std::string& option) {
    const char* environment = std::getenv("PONDQUEST_DATA");
    std::string folder, report;
    const bool found =
        Find(Places(option, environment ? environment : "", ProgramFolder()), &folder, &report);
    if (!found) std::fprintf(stderr, "Pondquest: %s\n", report.c_str());
    if (!folder.empty() && chdir(folder.c_str()) != 0) {
        std::fprintf(stderr, "Pondquest: cannot enter the data folder %s: %s\n", folder.c_str(),
                     std::strerror(errno));
        return false;
    }
    return found;
}
