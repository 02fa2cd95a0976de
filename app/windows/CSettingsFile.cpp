#include "app/CSettingsFile.h"

#include "platform/CReplacingFile.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

// Windows keeps a user's program settings under %APPDATA%; the file is read with the C library
// and replaced whole through CReplacingFile, since there is no mkstemp or replacing rename.

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

const char* const kNowhere = "there is nowhere to keep them (no APPDATA folder)";
}  // namespace

CSettingsFile::CSettingsFile(const std::string& filePath) : path(filePath), saveFailureTold(false) {}

std::string CSettingsFile::DefaultPath() {
    // Only an absolute folder: a drive ("C:\...") or a network share ("\\server\...").
    const char* appData = std::getenv("APPDATA");
    if (!appData) return "";
    const std::string folder = appData;
    const bool drive = folder.size() >= 3 && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/');
    const bool share = folder.size() >= 3 && folder[0] == '\\' && folder[1] == '\\';
    if (!drive && !share) return "";
    return folder + "\\Pondquest\\settings.ini";
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
    if (path.empty()) return fail(kNowhere);
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) {
        if (errno == ENOENT) return fail("none saved yet at " + path);
        return fail("cannot read " + path + ": " + std::strerror(errno));
    }
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        text.append(buffer, n);
        if (static_cast<long>(text.size()) > kMaxFileBytes) break;
    }
    const bool failed = std::ferror(in) != 0;
    const int readError = errno;
    std::fclose(in);
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
    if (path.empty()) return fail(kNowhere);
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
        std::filesystem::create_directories(folder, error);
        if (error) return fail("cannot make the folder " + folder.string() + ": " + error.message());
    }
    CReplacingFile file;
    std::string why;
    if (!file.Open(path, &why)) return fail(path + " " + why);
    const std::string text = Format(values);
    if (std::fwrite(text.data(), 1, text.size(), file.Stream()) != text.size()) {
        why = std::string("cannot be written: ") + std::strerror(errno);
        file.Abandon();
        return fail(path + " " + why);
    }
    if (!file.Commit(&why)) return fail(path + " " + why);
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
