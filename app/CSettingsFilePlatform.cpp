#include "app/CSettingsFile.h"

#include "platform/CUserFolders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
bool WriteAll(int fd, const std::string& text) {
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}
}  // namespace

std::string CSettingsFile::DefaultPath() {
    const std::string config = CUserFolders::Base("XDG_CONFIG_HOME", "/.config");
    return config.empty() ? config : config + "/pondquest/settings.ini";
}

bool CSettingsFile::Load(std::string* problem) {
    values = Values();
    auto fail = [&](const std::string& why) {
        values = Values();
        if (problem) *problem = why + "; using the defaults";
        return false;
    };
    if (path.empty()) return fail("there is nowhere to keep them (no XDG_CONFIG_HOME and no home folder)");
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return fail("none saved yet at " + path);
        return fail("cannot read " + path + ": " + std::strerror(errno));
    }
    std::string text;
    char buffer[4096];
    bool failed = false;
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            failed = true;
            break;
        }
        if (n == 0) break;
        text.append(buffer, static_cast<size_t>(n));
        if (static_cast<long>(text.size()) > kMaxFileBytes) break;
    }
    const int readError = errno;
    close(fd);
    if (failed) return fail("cannot read " + path + ": " + std::strerror(readError));
    if (static_cast<long>(text.size()) > kMaxFileBytes) return fail(path + " is far too long for settings");
    if (Trim(text).empty()) return fail(path + " is empty");
    std::string why;
    if (!Parse(text, &values, &why)) {
        if (problem) *problem = path + ": " + why + "; those settings keep their defaults";
        return false;
    }
    return true;
}

bool CSettingsFile::Save(std::string* problem) const {
    auto fail = [&](const std::string& why) {
        if (problem) *problem = why;
        return false;
    };
    if (path.empty()) return fail("there is nowhere to keep them (no XDG_CONFIG_HOME and no home folder)");
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
    if (!CUserFolders::Make(folder))
        return fail("cannot make the folder " + folder + ": " + std::strerror(errno));
    std::string temp = path + ".XXXXXX";
    const int fd = mkostemp(&temp[0], O_CLOEXEC);
    if (fd < 0) return fail("cannot write beside " + path + ": " + std::strerror(errno));
    const bool written = WriteAll(fd, Format(values)) && fsync(fd) == 0;
    const int writeError = errno;
    if (close(fd) != 0 || !written) {
        unlink(temp.c_str());
        return fail("cannot write " + temp + ": " + std::strerror(written ? errno : writeError));
    }
    // mkostemp makes the file private; settings are not secret.
    chmod(temp.c_str(), 0644);
    if (rename(temp.c_str(), path.c_str()) != 0) {
        const int renameError = errno;
        unlink(temp.c_str());
        return fail("cannot replace " + path + ": " + std::strerror(renameError));
    }
    return true;
}
