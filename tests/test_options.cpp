// The command line and where the game finds its files: each option as parsed, the real program's
// answers to --help, --version and an unknown option, and the data folder's lookup order.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CDataFolder.h"
#include "app/CDemoSession.h"
#include "app/COptions.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace {

struct Parsed {
    COptions options;
    CDemoSession demo;
    COptions::Outcome outcome;
    std::string text;
};

std::unique_ptr<Parsed> Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "pondquest");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(&a[0]);
    auto p = std::make_unique<Parsed>();
    p->outcome = p->options.Parse(static_cast<int>(argv.size()), argv.data(), &p->demo, &p->text);
    return p;
}

// Sets (or with nullopt removes) an environment variable for the object's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name(name) {
        if (const char* now = std::getenv(name)) saved = now;
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    ~ScopedEnv() { saved ? setenv(name, saved->c_str(), 1) : unsetenv(name); }

private:
    const char* name;
    std::optional<std::string> saved;
};

}  // namespace

TEST(Options, EachOptionIsTakenAndTheDemoOptionsReachTheDemoSession) {
    auto p = Parse({"--windowed", "--mute", "--data-dir", "some dir", "--classic-timing"});
    ASSERT_EQ(p->outcome, COptions::kRun) << p->text;
    EXPECT_TRUE(p->options.windowed && p->options.mute && p->demo.classicTiming);
    EXPECT_FALSE(p->options.fullscreen);
    EXPECT_EQ(p->options.dataDir, "some dir");
    EXPECT_TRUE(Parse({"--fullscreen"})->options.fullscreen);

    // The recording is written after the game has entered its data folder, so a relative
    // path is anchored to the folder the game was started from.
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    p = Parse({"--record", "run.pqdemo"});
    ASSERT_EQ(p->outcome, COptions::kRun);
    EXPECT_EQ(p->demo.recordPath, std::string(here) + "/run.pqdemo");
    EXPECT_EQ(Parse({"--timedemo", "x.pqdemo"})->demo.timeDemoPath, "x.pqdemo");
}

TEST(Options, HelpVersionAndMistakes) {
    auto help = Parse({"--windowed", "--help"});
    EXPECT_EQ(help->outcome, COptions::kExitOk);
    for (const char* option : {"--windowed", "--fullscreen", "--mute", "--data-dir DIR", "--classic-timing",
                               "--record FILE", "--playdemo FILE", "--timedemo FILE", "--help", "--version"})
        EXPECT_NE(help->text.find(option), std::string::npos) << option;
    auto version = Parse({"--version"});
    EXPECT_EQ(version->outcome, COptions::kExitOk);
    EXPECT_EQ(version->text, std::string("Pondquest ") + COptions::Version() + "\n");
    EXPECT_NE(std::string(COptions::Version()), "unversioned");

    auto unknown = Parse({"--windowed", "-x"});
    EXPECT_EQ(unknown->outcome, COptions::kBadUsage);
    EXPECT_EQ(unknown->text, "Pondquest: unknown option '-x'\n" + COptions::Usage());
    EXPECT_EQ(Parse({"--data-dir"})->text, "Pondquest: --data-dir needs a DIR\n");
    EXPECT_EQ(Parse({"--data-dir", "--mute"})->outcome, COptions::kBadUsage);
    EXPECT_EQ(Parse({"--windowed", "--fullscreen"})->outcome, COptions::kBadUsage);
    EXPECT_EQ(Parse({"--record"})->text, "Pondquest: --record needs a FILE\n");

    // The real program prints them where a shell user looks, with the agreed exit statuses.
    const std::string game = GameDir() + "/pondquest";
    ChildProcess shown = ChildProcess::Run(game, {"--help"}, GameDir());
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.out, COptions::Usage());
    EXPECT_EQ(ChildProcess::Run(game, {"--version"}, GameDir()).out, version->text);
    ChildProcess bad = ChildProcess::Run(game, {"--frobnicate"}, GameDir());
    EXPECT_EQ(bad.status, COptions::kUsageError);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "Pondquest: unknown option '--frobnicate'\n" + COptions::Usage());
}

TEST(DataFolder, GivenFolderElseEnvironmentElseBesideTheProgramElseInstalled) {
    using Places = std::vector<CDataFolder::SPlace>;
    auto folders = [](const Places& places) {
        std::vector<std::string> out;
        for (const CDataFolder::SPlace& p : places)
            out.push_back(p.folder);
        return out;
    };
    EXPECT_EQ(folders(CDataFolder::Places("given", "env", "/opt/pq/bin")), std::vector<std::string>{"given"});
    EXPECT_EQ(folders(CDataFolder::Places("", "env", "/opt/pq/bin")), std::vector<std::string>{"env"});
    EXPECT_EQ(folders(CDataFolder::Places("", "", "/opt/pq/bin")),
              (std::vector<std::string>{"/opt/pq/bin", "/opt/pq/share/pondquest"}));

    // An installed tree: the program's folder holds no data, share/pondquest all of it.
    TempDir tree;
    ASSERT_EQ(system(("mkdir -p '" + tree.path + "/bin' '" + tree.path + "/share/pondquest'").c_str()), 0);
    TempDir full;
    ASSERT_TRUE(LinkGameFiles(full, ""));
    for (const std::string& file : CDataFolder::Files())
        ASSERT_EQ(symlink(full.File(file).c_str(), (tree.path + "/share/pondquest/" + file).c_str()), 0);
    std::string folder, report;
    EXPECT_TRUE(CDataFolder::Find(CDataFolder::Places("", "", tree.path + "/bin"), &folder, &report))
        << report;
    EXPECT_EQ(folder, tree.path + "/share/pondquest");

    // One file gone: nothing is taken, and the report names every place and what it lacked.
    ASSERT_EQ(unlink((tree.path + "/share/pondquest/ouch.wav").c_str()), 0);
    EXPECT_FALSE(CDataFolder::Find(CDataFolder::Places("", "", tree.path + "/bin"), &folder, &report));
    EXPECT_EQ(report, "cannot find the game's files; looked in " + tree.path +
                          "/bin (beside the program: no readable " + CDataFolder::Files()[0] + "), " +
                          tree.path + "/share/pondquest (installed: no readable ouch.wav)");
    EXPECT_EQ(folder, tree.path + "/bin");

    // The real program says it on stderr before anything else (here it then finds no display).
    ScopedEnv data("PONDQUEST_DATA", tree.path + "/share/pondquest");
    ScopedEnv noDisplay("DISPLAY", std::nullopt);
    ScopedEnv x11("SDL_VIDEODRIVER", "x11");
    ChildProcess game = ChildProcess::Run(GameDir() + "/pondquest", {"--windowed"}, tree.path);
    ASSERT_FALSE(game.ErrLines().empty());
    EXPECT_EQ(game.ErrLines()[0], "Pondquest: cannot find the game's files; looked in " + tree.path +
                                      "/share/pondquest ($PONDQUEST_DATA: no readable ouch.wav)");
}
