#include "sound/CSoundFileChecker.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

CSoundFileChecker::CSoundFileChecker(size_t limit) : maxBytes(limit) {}

CSoundFileChecker::~CSoundFileChecker() {}

bool CSoundFileChecker::Refuse(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    reason = text;
    return false;
}

bool CSoundFileChecker::ReadFile(const std::string& path, size_t limit, std::vector<uint8_t>* out,
                                 std::string* why) {
    out->clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *why = std::strerror(errno);
        return false;
    }
    uint8_t block[65536];
    bool ok = true;
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        if (out->size() + got > limit) {
            *why = "larger than " + std::to_string(limit) + " bytes";
            ok = false;
            break;
        }
        out->insert(out->end(), block, block + got);
    }
    if (ok && std::ferror(file)) {
        *why = std::strerror(errno);
        ok = false;
    }
    std::fclose(file);
    if (!ok) out->clear();
    return ok;
}

bool CSoundFileChecker::CheckFile(const std::string& path) {
    reason.clear();
    if (!ReadFile(path, maxBytes, &bytes, &reason)) return false;
    return Check(bytes.data(), bytes.size());
}
