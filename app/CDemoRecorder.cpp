#include "app/CDemoRecorder.h"

#include "app/CInputDevices.h"
#include "app/Keys.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

CDemoRecorder::CDemoRecorder() : full(false) {}

bool CDemoRecorder::Open(const std::string& where, std::string* error) {
    path = where;
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        *error = "is a directory";
        return false;
    }
    return file.Open(path, error);
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
    if (!file.Stream()) {
        *error = "was never opened";
        return false;
    }
    if (demo.steps.empty()) Record(nullptr);  // a demo holds at least one step
    std::vector<uint8_t> bytes = demo.Encode();
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.Stream()) != bytes.size()) {
        *error = std::string("cannot be written: ") + std::strerror(errno);
        file.Abandon();
        return false;
    }
    return file.Commit(error);
}
