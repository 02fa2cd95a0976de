#include "platform/CReplacingFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

CReplacingFile::CReplacingFile() : out(nullptr) {}

CReplacingFile::~CReplacingFile() { Abandon(); }

void CReplacingFile::Abandon() {
    if (!out) return;
    std::fclose(out);
    out = nullptr;
    std::remove(tempPath.c_str());
}

bool CReplacingFile::Open(const std::string& where, std::string* error) {
    Abandon();
    path = where;
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    int fd = mkstemp(name.data());
    if (fd < 0) {
        *error = std::string("cannot be written: ") + std::strerror(errno);
        return false;
    }
    tempPath = name.data();
    // mkstemp keeps the file to its owner; this one is shared like any file the user makes.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    out = fdopen(fd, "wb");
    if (!out) {
        *error = std::string("cannot be written: ") + std::strerror(errno);
        close(fd);
        std::remove(tempPath.c_str());
        return false;
    }
    return true;
}

bool CReplacingFile::Commit(std::string* error) {
    if (!out) {
        *error = "was never opened";
        return false;
    }
    bool written = std::fflush(out) == 0;
    written = fsync(fileno(out)) == 0 && written;
    int writeErrno = errno;
    written = std::fclose(out) == 0 && written;
    out = nullptr;
    if (written && std::rename(tempPath.c_str(), path.c_str()) == 0) return true;
    if (!written) errno = writeErrno;
    *error = std::string("cannot be written: ") + std::strerror(errno);
    std::remove(tempPath.c_str());
    return false;
}
