// The settings file: what is saved comes back, a bad or unreadable file gives the defaults
// with one line saying why, and a write cut short leaves the old file as it was.
#include "app/CSettingsFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> Bytes(const std::string& s) {
    return std::vector<unsigned char>(s.begin(), s.end());
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* e = readdir(dir))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
        closedir(dir);
    }
    return names;
}

void ExpectValues(const CSettingsFile::Values& got, const CSettingsFile::Values& want) {
    EXPECT_FLOAT_EQ(got.mouseSensitivity, want.mouseSensitivity);
    EXPECT_FLOAT_EQ(got.musicVolume, want.musicVolume);
    EXPECT_FLOAT_EQ(got.effectsVolume, want.effectsVolume);
    EXPECT_EQ(got.muted, want.muted);
}

CSettingsFile::Values Changed() {
    CSettingsFile::Values v;
    v.mouseSensitivity = 3.25f;
    v.musicVolume = 0.4f;
    v.effectsVolume = 0.7f;
    v.muted = true;
    return v;
}

}  // namespace

TEST(SettingsFile, SavedValuesComeBackThroughNewFoldersWithNothingLeftBeside) {
    TempDir dir;
    const std::string path = dir.path + "/config/pondquest/settings.ini";
    CSettingsFile saved(path);
    saved.values = Changed();
    std::string problem;
    ASSERT_TRUE(saved.Save(&problem)) << problem;
    saved.values.musicVolume = 0.9f;  // saved again over the first
    ASSERT_TRUE(saved.Save(&problem)) << problem;

    CSettingsFile loaded(path);
    EXPECT_TRUE(loaded.Load(&problem)) << problem;
    ExpectValues(loaded.values, saved.values);
    EXPECT_EQ(Entries(dir.path + "/config/pondquest"), std::vector<std::string>{"settings.ini"});
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(SettingsFile, PathFollowsXdgConfigHomeThenHome) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string keptXdg = oldXdg ? oldXdg : "", keptHome = oldHome ? oldHome : "";
    setenv("HOME", "/home/duck", 1);
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(CSettingsFile::DefaultPath(), "/cfg/pondquest/settings.ini");
    setenv("XDG_CONFIG_HOME", "relative/cfg", 1);  // not absolute: ignored
    EXPECT_EQ(CSettingsFile::DefaultPath(), "/home/duck/.config/pondquest/settings.ini");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(CSettingsFile::DefaultPath(), "/home/duck/.config/pondquest/settings.ini");
    oldXdg ? setenv("XDG_CONFIG_HOME", keptXdg.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    oldHome ? setenv("HOME", keptHome.c_str(), 1) : unsetenv("HOME");
}

TEST(SettingsFile, BadOrUnreadableFilesGiveDefaultsAndOneLine) {
    TempDir dir;
    const CSettingsFile::Values defaults;
    CSettingsFile::Values musicOnly;
    musicOnly.musicVolume = 0.3f;
    struct Case {
        const char* name;
        std::string text;  // what the file holds; "<folder>" for a folder in its place, "<none>" for none
        CSettingsFile::Values expected;
    };
    const std::vector<Case> cases = {
        {"missing", "<none>", defaults},
        {"a folder in its place", "<folder>", defaults},
        {"empty", "", defaults},
        {"blank lines only", "\n  \n\t\n", defaults},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), defaults},
        {"garbage text", "ducks ducks ducks\n", defaults},
        {"too long", "# " + std::string(CSettingsFile::kMaxFileBytes, 'x') + "\n", defaults},
        {"bad values, one good line",
         "mouse_sensitivity = fast\nmusic_volume = 0.3\neffects_volume = 1.5\nmute = perhaps\n", musicOnly},
        {"not numbers", "mouse_sensitivity = nan\nmusic_volume = 0.3\neffects_volume = 1e999\n", musicOnly},
        {"sensitivity too small", "music_volume=0.3\nmouse_sensitivity = 0.001\n", musicOnly},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(std::string(c.name) + ".ini");
        if (c.text == "<folder>")
            ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
        else if (c.text != "<none>")
            dir.Write(std::string(c.name) + ".ini", Bytes(c.text));
        CSettingsFile file(path);
        file.values = Changed();  // whatever was there before is not kept
        testing::internal::CaptureStderr();
        file.LoadAndTell();
        const std::string told = testing::internal::GetCapturedStderr();
        ExpectValues(file.values, c.expected);
        EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
        EXPECT_NE(told.find(path), std::string::npos) << told;
    }
    // Unknown settings (a later version's) are no fault.
    const std::string later = dir.Write("later.ini", Bytes("[pondquest]\nmusic_volume = 0.3\nfov = 90\n"));
    CSettingsFile file(later);
    std::string problem;
    EXPECT_TRUE(file.Load(&problem)) << problem;
    ExpectValues(file.values, musicOnly);
}

TEST(SettingsFile, WriteCutShortLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string path = dir.File("settings.ini");
    CSettingsFile file(path);
    std::string problem;
    ASSERT_TRUE(file.Save(&problem)) << problem;
    const std::vector<unsigned char> before = ReadFileBytes(path);
    ASSERT_FALSE(before.empty());

    // In a child whose files may not grow past a few bytes, as on a full disk.
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {8, 8};
        setrlimit(RLIMIT_FSIZE, &limit);
        file.values = Changed();
        std::string why;
        _exit(!file.Save(&why) && !why.empty() ? 0 : 1);
    }
    ASSERT_GT(pid, 0);
    int status = -1;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the cut-short save did not report failure";
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(Entries(dir.path), std::vector<std::string>{"settings.ini"});

    // A folder that cannot hold the file (a file in the folder's place) fails the same way.
    dir.Write("blocked", Bytes("x"));
    CSettingsFile blocked(dir.File("blocked/settings.ini"));
    EXPECT_FALSE(blocked.Save(&problem));
    EXPECT_NE(problem.find("blocked"), std::string::npos) << problem;
}
