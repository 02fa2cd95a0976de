#include "support/ChildProcess.h"

#include "support/TempDir.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

extern char** environ;

namespace {
const char* const kQuietLibraries[] = {"libGLX",  "libGL.so",      "libEGL",  "swrast_dri",    "libgallium",
                                       "libLLVM", "libX11",        "libxcb",  "libfontconfig", "libdbus",
                                       "libSDL2", "libfluidsynth", "libglib", "libasound",     "libpulse"};

std::string Slurp(const std::string& path) {
    std::vector<unsigned char> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}
}  // namespace

ChildProcess ChildProcess::Run(const std::string& program, const std::vector<std::string>& args,
                               const std::string& folder) {
    ChildProcess child;
    TempDir scratch("pondquest.child.");
    const std::string outPath = scratch.File("out"), errPath = scratch.File("err");
    const std::string suppressions = scratch.File("lsan.supp");
    if (FILE* f = std::fopen(suppressions.c_str(), "w")) {
        for (const char* library : kQuietLibraries)
            std::fprintf(f, "leak:%s\n", library);
        std::fclose(f);
    }
    // Everything the child needs is made before the fork: between fork and exec it only
    // redirects, changes folder and runs the program.
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("LSAN_OPTIONS=", 0) != 0 && entry.rfind("LD_PRELOAD=", 0) != 0) env.push_back(entry);
    }
    env.push_back("LSAN_OPTIONS=suppressions=" + suppressions + ":print_suppressions=0");
    if (!std::getenv("ASAN_OPTIONS")) env.push_back("ASAN_OPTIONS=verify_asan_link_order=0");
#if defined(__SANITIZE_ADDRESS__)
    const char* driver = "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so";
    if (access(driver, R_OK) == 0) env.push_back(std::string("LD_PRELOAD=") + driver);
#endif
    std::vector<char*> envp, argv;
    for (std::string& e : env)
        envp.push_back(&e[0]);
    envp.push_back(nullptr);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    std::fflush(nullptr);
    pid_t pid = outFd < 0 || errFd < 0 ? -1 : fork();
    if (pid == 0) {
        if (dup2(outFd, 1) < 0 || dup2(errFd, 2) < 0 || chdir(folder.c_str()) != 0) _exit(127);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    if (outFd >= 0) close(outFd);
    if (errFd >= 0) close(errFd);
    if (pid < 0) return child;
    int status = 0;
    if (waitpid(pid, &status, 0) == pid)
        child.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    child.out = Slurp(outPath);
    child.err = Slurp(errPath);
    return child;
}

std::vector<std::string> ChildProcess::ErrLines() const {
    std::vector<std::string> lines;
    std::istringstream in(err);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
