#include "app/CSettingsFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const char* const kSection = "[pondquest]";

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool ParseFloat(const std::string& text, float low, float high, float* out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const float v = std::strtof(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v) || v < low || v > high) return false;
    *out = v;
    return true;
}

bool ParseBool(const std::string& text, bool* out) {
    if (text == "yes" || text == "true" || text == "on" || text == "1") {
        *out = true;
        return true;
    }
    if (text == "no" || text == "false" || text == "off" || text == "0") {
        *out = false;
        return true;
    }
    return false;
}

// Two decimals when they read back as the same float, else the fewest digits that do (nine
// always do), so a value set by hand is not rounded away at the game's next save.
std::string Number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(v));
    for (int digits = 1; std::strtof(text, nullptr) != v && digits <= 9; ++digits)
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(v));
    return text;
}

// mkdir -p with the usual permissions; true when the folder exists afterwards.
bool MakeFolders(const std::string& folder) {
    if (folder.empty()) return true;
    struct stat st;
    if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) return false;
    return mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST;
}

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

CSettingsFile::CSettingsFile(const std::string& filePath) : path(filePath), saveFailureTold(false) {}

std::string CSettingsFile::DefaultPath() {
    // XDG asks for relative values to be ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/pondquest/settings.ini";
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const struct passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    if (home && home[0] == '/') return std::string(home) + "/.config/pondquest/settings.ini";
    return "";
}

std::string CSettingsFile::Format(const Values& v) {
    return std::string("# Pondquest settings, rewritten by the game when they change.\n") + kSection +
           "\nmouse_sensitivity = " + Number(v.mouseSensitivity) +
           "\nmusic_volume = " + Number(v.musicVolume) + "\neffects_volume = " + Number(v.effectsVolume) +
           "\nmute = " + (v.muted ? "yes" : "no") + "\n";
}

bool CSettingsFile::Parse(const std::string& text, Values* values, std::string* problem) {
    *values = Values();
    int bad = 0, lineNumber = 0;
    std::string first;
    auto reject = [&](const std::string& why) {
        if (bad++ == 0) first = "line " + std::to_string(lineNumber) + ": " + why;
    };
    if (text.find('\0') != std::string::npos) {
        if (problem) *problem = "it is not text";
        return false;
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(start, end - start));
        start = end + 1;
        ++lineNumber;
        if (line.empty() || line[0] == '#' || line[0] == ';' || line == kSection) continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            reject("not a setting");
            continue;
        }
        const std::string key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
        bool ok = true;
        if (key == "mouse_sensitivity")
            ok = ParseFloat(value, kMinSensitivity, kMaxSensitivity, &values->mouseSensitivity);
        else if (key == "music_volume")
            ok = ParseFloat(value, 0.0f, 1.0f, &values->musicVolume);
        else if (key == "effects_volume")
            ok = ParseFloat(value, 0.0f, 1.0f, &values->effectsVolume);
        else if (key == "mute")
            ok = ParseBool(value, &values->muted);
        else
            continue;  // a setting of a later version: left alone
        if (!ok) {
            // A lone carriage return or a terminal escape in the value would garble the stderr line.
            std::string why = key + " cannot be \"";
            for (const char c : value)
                why.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c);
            reject(why.append("\""));
        }
    }
    if (bad == 0) return true;
    if (problem) {
        *problem = first;
        if (bad > 1) *problem += " (and " + std::to_string(bad - 1) + " more bad lines)";
    }
    return false;
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
    if (!MakeFolders(folder)) return fail("cannot make the folder " + folder + ": " + std::strerror(errno));
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

void CSettingsFile::SaveAndTell() {
    std::string problem;
    if (Save(&problem)) {
        saveFailureTold = false;
    } else if (!saveFailureTold) {
        std::fprintf(stderr, "Pondquest: settings not saved: %s\n", problem.c_str());
        saveFailureTold = true;
    }
}

void CSettingsFile::LoadAndTell() {
    std::string problem;
    if (!Load(&problem)) std::fprintf(stderr, "Pondquest: settings: %s\n", problem.c_str());
}
