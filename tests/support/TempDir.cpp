#include "support/TempDir.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

// Made with the standard library rather than mkdtemp, so the Windows test programs have it too.
TempDir::TempDir(const char* prefix) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) return;
    std::random_device seed;
    std::mt19937 pick(seed());
    std::uniform_int_distribution<int> letter(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 6; ++i)
            name += kLetters[letter(pick)];
        const std::filesystem::path candidate = base / name;
        if (std::filesystem::create_directory(candidate, error)) {
            path = candidate.generic_string();
            return;
        }
        if (error) return;
    }
}

TempDir::~TempDir() {
    if (path.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string TempDir::Write(const std::string& name, const std::vector<unsigned char>& bytes) const {
    const std::string full = File(name);
    if (FILE* f = std::fopen(full.c_str(), "wb")) {
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return full;
}

WorkingDir::WorkingDir(const std::string& dir) : entered(false) {
    char buffer[4096];
    previous = getcwd(buffer, sizeof buffer) ? buffer : ".";
    entered = chdir(dir.c_str()) == 0;
}

WorkingDir::~WorkingDir() {
    if (entered && chdir(previous.c_str()) != 0) std::perror("chdir");
}

std::vector<unsigned char> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string GameDir() {
    const char* d = std::getenv("PONDQUEST_GAME_DIR");
    return d ? d : ".";
}

bool LinkGameFiles(const TempDir& dir, const std::string& except) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(GameDir(), error)) {
        const std::string name = entry.path().filename().string();
        if (name == except) continue;
        std::filesystem::create_symlink(entry.path(), dir.File(name), error);
        if (error) return false;
    }
    return !error;
}
