#include "app/CDemoRecorder.h"

#include "app/CInputDevices.h"
#include "app/Keys.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

CDemoRecorder::CDemoRecorder() : out(nullptr), full(false) {}

CDemoRecorder::~CDemoRecorder() {
    if (out) {
        std::fclose(out);
        std::remove(tempPath.c_str());
    }
}

bool CDemoRecorder::Open(const std::string& where, std::string* error) {
    path = where;
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        *error = "is a directory";
        return false;
    }
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    int fd = mkstemp(name.data());
    if (fd < 0) {
        *error = std::string("cannot be written: ") + std::strerror(errno);
        return false;
    }
    tempPath = name.data();
    // mkstemp keeps the file to its owner; a demo is shared like any file the user makes.
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

void CDemoRecorder::Begin(float mouseSensitivity) {
    demo.mouseSensitivity = mouseSensitivity;
    demo.steps.clear();
    full = false;
}

void CDemoRecorder::Record(CInputDevices* input) {
    if (demo.steps.size() >= CDemoFile::kMaxSteps) {
        full = true;
        return;
    }
    CDemoStep step{0, 0, 0, false};
    if (input) {
        for (int i = 0; i < Keys::kKeyCount; ++i)
            if (input->KeyDown(Keys::kKeyTable[i].scanCode)) step.keys |= static_cast<uint16_t>(1u << i);
        int dx = 0, dy = 0;
        input->GetMouseMovement(&dx, &dy);
        step.dx = dx;
        step.dy = dy;
        step.leftButton = input->MouseButtonDown(0);
    }
    demo.steps.push_back(step);
}

bool CDemoRecorder::Close(std::string* error) {
    if (!out) {
        *error = "was never opened";
        return false;
    }
    if (demo.steps.empty()) Record(nullptr);  // a demo holds at least one step
    std::vector<uint8_t> bytes = demo.Encode();
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    written = std::fflush(out) == 0 && written;
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
