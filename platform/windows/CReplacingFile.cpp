#include "platform/CReplacingFile.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

// Windows has no mkstemp and its rename never replaces a file: the temporary name is picked
// with a counter and opened exclusively, and MoveFileEx puts it in place.

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
    const unsigned long stamp = GetCurrentProcessId() ^ GetTickCount();
    for (unsigned attempt = 0; attempt < 100 && !out; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%06lx", (stamp + attempt) & 0xFFFFFFul);
        tempPath = path + suffix;
        // msvcrt.dll's fopen knows no "x": the exclusive create is asked of _open instead.
        const int fd =
            _open(tempPath.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0) {
            if (errno != EEXIST) break;
            continue;
        }
        out = _fdopen(fd, "wb");
        if (!out) {
            const int openErrno = errno;
            _close(fd);
            std::remove(tempPath.c_str());
            errno = openErrno;
            break;
        }
    }
    if (!out) {
        *error = std::string("cannot be written: ") + std::strerror(errno);
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
    written = _commit(_fileno(out)) == 0 && written;
    int writeErrno = errno;
    written = std::fclose(out) == 0 && written;
    out = nullptr;
    if (written &&
        MoveFileExA(tempPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    *error = written ? "cannot be put in place (Windows error " + std::to_string(GetLastError()) + ")"
                     : std::string("cannot be written: ") + std::strerror(writeErrno);
    std::remove(tempPath.c_str());
    return false;
}
