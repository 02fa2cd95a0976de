#include "CFuzzFile.h"

#include <sys/stat.h>
#include <unistd.h>

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

void CFuzzFile::LoadUnusualFiles(size_t sparseBytes, const std::function<void(const std::string&)>& load) {
    const std::string name = path.substr(path.rfind('/') + 1);
    const std::string missing = folder.File("missing/" + name);
    const std::string asFolder = folder.File("folder/" + name);
    const std::string device = folder.File("device/" + name);
    const std::string large = folder.File("large/" + name);
    for (const char* sub : {"/folder", "/device", "/large"})
        mkdir((folder.path + sub).c_str(), 0700);
    bool ok = mkdir(asFolder.c_str(), 0700) == 0 && symlink("/dev/null", device.c_str()) == 0;
    if (ok && sparseBytes > 0) {
        FILE* f = std::fopen(large.c_str(), "wb");
        ok = f && ftruncate(fileno(f), off_t(sparseBytes)) == 0;
        if (f && std::fclose(f) != 0) ok = false;
    }
    if (!ok) {
        std::perror("fuzz: cannot make the unusual files");
        std::abort();
    }
    load(missing);
    load(asFolder);
    load(device);
    if (sparseBytes > 0) load(large);
}
