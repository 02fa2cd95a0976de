#include "CFuzzFile.h"

#include <cstdio>
#include <cstdlib>

CFuzzFile::CFuzzFile(const char* fileName) : folder("pondquest.fuzz.") {
    if (folder.path.empty()) {
        std::perror("fuzz: cannot make a folder under /tmp");
        std::abort();
    }
    path = folder.File(fileName);
}

const std::string& CFuzzFile::Write(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f != nullptr;
    if (ok && size > 0) ok = std::fwrite(data, 1, size, f) == size;
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok) {
        std::perror(path.c_str());
        std::abort();
    }
    return path;
}
