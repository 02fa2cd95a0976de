#include "app/CSettingsFile.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The file's text, the same on every platform; where it lives and how it is read and replaced
// is in CSettingsFilePlatform.cpp (app/ or app/windows/).

namespace {
const char* const kSection = "[pondquest]";

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
}  // namespace

std::string CSettingsFile::Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

CSettingsFile::CSettingsFile(const std::string& filePath) : path(filePath), saveFailureTold(false) {}

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
