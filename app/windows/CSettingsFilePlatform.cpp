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
const char* const kNowhere = "there is nowhere to keep them (no APPDATA folder)";
}  // namespace

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
