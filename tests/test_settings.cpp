// The settings file: what is saved comes back exactly, a bad or unreadable file gives the
// defaults with one plain line saying why, and a write cut short leaves the old file as it was.
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
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(dir);
    }
    return names;
}

// Fields as text, so a whole set compares in one expectation.
std::string Show(const CSettingsFile::Values& v) {
    return std::to_string(v.mouseSensitivity) + " " + std::to_string(v.musicVolume) + " " +
           std::to_string(v.effectsVolume) + (v.muted ? " muted" : " on");
}

const CSettingsFile::Values kChanged = {3.25f, 0.4f, 0.7f, true};
const CSettingsFile::Values kMusicOnly = {2.0f, 0.3f, 1.0f, false};

}  // namespace

TEST(SettingsFile, SavedValuesComeBackFromTheXdgFolderWithNothingLeftBeside) {
    TempDir dir;
    const char* home = std::getenv("XDG_CONFIG_HOME");
    const std::string kept = home ? home : "";
    setenv("XDG_CONFIG_HOME", (dir.path + "/config").c_str(), 1);
    CSettingsFile saved(CSettingsFile::DefaultPath());
    home ? setenv("XDG_CONFIG_HOME", kept.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    ASSERT_EQ(saved.path, dir.path + "/config/pondquest/settings.ini");

    saved.values = kChanged;
    std::string problem;
    ASSERT_TRUE(saved.Save(&problem)) << problem;  // the folders made on the way
    saved.values.musicVolume = 0.9f;
    ASSERT_TRUE(saved.Save(&problem)) << problem;  // and over the first
    CSettingsFile loaded(saved.path);
    EXPECT_TRUE(loaded.Load(&problem)) << problem;
    EXPECT_EQ(Show(loaded.values), Show(saved.values));
    EXPECT_EQ(Entries(dir.path + "/config/pondquest"), std::vector<std::string>{"settings.ini"});
}

TEST(SettingsFile, BadOrUnreadableFilesGiveDefaultsAndOneLine) {
    TempDir dir;
    const CSettingsFile::Values defaults;
    // What the file holds: "<folder>" for a folder in its place, "<none>" for none.
    const std::vector<std::pair<std::string, CSettingsFile::Values>> cases = {
        {"<none>", defaults},
        {"<folder>", defaults},
        {"", defaults},
        {"\n  \n\t\n", defaults},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), defaults},
        {"ducks ducks ducks\n", defaults},
        {"# " + std::string(CSettingsFile::kMaxFileBytes, 'x') + "\n", defaults},
        {"mouse_sensitivity = fast\nmusic_volume = 0.3\neffects_volume = 1.5\nmute = perhaps\n", kMusicOnly},
        {"mouse_sensitivity = nan\nmusic_volume = 0.3\neffects_volume = 1e999\n", kMusicOnly},
        {"music_volume=0.3\nmouse_sensitivity = 0.001\n", kMusicOnly},
        {"mute = a\rb\x1b[2J\x7f\n", defaults},  // the bad value must not garble the terminal
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        const std::string path = dir.File(std::to_string(i) + ".ini");
        if (cases[i].first == "<folder>")
            ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
        else if (cases[i].first != "<none>")
            dir.Write(std::to_string(i) + ".ini", Bytes(cases[i].first));
        CSettingsFile file(path);
        file.values = kChanged;  // whatever was there before is not kept
        testing::internal::CaptureStderr();
        file.LoadAndTell();
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Show(file.values), Show(cases[i].second));
        EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
        EXPECT_EQ(std::count_if(told.begin(), told.end(), [](char c) { return c < 0x20 || c == 0x7F; }), 1)
            << told;
        EXPECT_NE(told.find(path), std::string::npos) << told;
    }
    // A later version's settings are no fault.
    CSettingsFile later(dir.Write("later.ini", Bytes("[pondquest]\nmusic_volume = 0.3\nfov = 90\n")));
    std::string problem;
    EXPECT_TRUE(later.Load(&problem)) << problem;
    EXPECT_EQ(Show(later.values), Show(kMusicOnly));
}

TEST(SettingsFile, HandSetAndSteppedValuesSurviveTheNextSave) {
    TempDir dir;
    CSettingsFile file(dir.Write("settings.ini", Bytes("music_volume = 0.333\neffects_volume = 0.001\n")));
    std::string problem;
    ASSERT_TRUE(file.Load(&problem)) << problem;
    for (int i = 0; i < 9; ++i)
        file.values.mouseSensitivity += 0.01f;  // keypad plus, held
    const CSettingsFile::Values kept = file.values;
    ASSERT_TRUE(file.Save(&problem)) << problem;
    CSettingsFile again(file.path);
    ASSERT_TRUE(again.Load(&problem)) << problem;
    EXPECT_EQ(again.values.mouseSensitivity, kept.mouseSensitivity);
    EXPECT_EQ(again.values.musicVolume, kept.musicVolume);
    EXPECT_EQ(again.values.effectsVolume, kept.effectsVolume);
}

TEST(SettingsFile, WriteCutShortLeavesTheOldFileWhole) {
    TempDir dir;
    CSettingsFile file(dir.File("settings.ini"));
    std::string problem;
    ASSERT_TRUE(file.Save(&problem)) << problem;
    const std::vector<unsigned char> before = ReadFileBytes(file.path);
    // In a child whose files may not grow past a few bytes, as on a full disk.
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const struct rlimit limit = {8, 8};
        setrlimit(RLIMIT_FSIZE, &limit);
        file.values = kChanged;
        _exit(!file.Save(&problem) && !problem.empty() ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the cut-short save did not report failure";
    EXPECT_EQ(ReadFileBytes(file.path), before);
    EXPECT_EQ(Entries(dir.path), std::vector<std::string>{"settings.ini"});
}
