#ifndef PONDQUEST_TESTS_CHILDPROCESS_H
#define PONDQUEST_TESTS_CHILDPROCESS_H

#include <string>
#include <vector>

// Runs a program to its end in a given folder and keeps what it printed.
//
//   ChildProcess game = ChildProcess::Run(GameDir() + "/pondquest", {"--timedemo", path}, dir);
//   EXPECT_EQ(game.status, 2);
//
// Under the sanitizers the child is a sanitized program too: the system libraries' own leaks
// are suppressed for it and Mesa's driver is kept loaded, as for the tests themselves.
class ChildProcess {
public:
    int status = -1;  // the exit status; 128 + the signal when one ended it; -1 if it never ran
    std::string out;  // its standard output
    std::string err;  // its standard error

    static ChildProcess Run(const std::string& program, const std::vector<std::string>& args,
                            const std::string& folder);
    // The lines of err.
    std::vector<std::string> ErrLines() const;
};

#endif
