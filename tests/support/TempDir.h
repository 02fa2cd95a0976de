#ifndef PONDQUEST_TESTS_TEMPDIR_H
#define PONDQUEST_TESTS_TEMPDIR_H

#include <string>
#include <vector>

// A fresh folder in the system's temporary folder (/tmp unless $TMPDIR says otherwise) named prefix + six
// random characters, removed with everything in it when the object goes. path is empty when the folder could
// not be made. The default name has a dot in it on purpose: file-type checks must look at the file's own name
// only.
class TempDir {
public:
    explicit TempDir(const char* prefix = "pondquest.test.");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return path + "/" + name; }
    // Writes bytes to name inside the folder; returns its full path.
    std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) const;

    std::string path;
};

// Makes dir the working directory for the object's lifetime, then goes back.
class WorkingDir {
public:
    explicit WorkingDir(const std::string& dir);
    ~WorkingDir();
    WorkingDir(const WorkingDir&) = delete;
    WorkingDir& operator=(const WorkingDir&) = delete;

    bool entered;  // false when dir could not be entered (the directory is unchanged)
    std::string previous;
};

// A whole file's bytes; empty when it cannot be read.
std::vector<unsigned char> ReadFileBytes(const std::string& path);

// The folder with the generated game files (the tests' working directory by default).
std::string GameDir();

// Links every game file but `except` into the folder: a game folder with one file left out
// or replaced. False when a link cannot be made.
bool LinkGameFiles(const TempDir& dir, const std::string& except);

#endif
