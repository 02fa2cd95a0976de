#ifndef PONDQUEST_CREPLACINGFILE_H
#define PONDQUEST_CREPLACINGFILE_H

#include <cstdio>
#include <string>

// A file written beside its place and put there whole once complete: a reader never sees it
// half-written, and a failed write leaves whatever was there before. Each platform has its own
// source for this header.
class CReplacingFile {
public:
    CReplacingFile();
    ~CReplacingFile();  // a file never committed is removed
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;

    // Makes a fresh temporary file beside path, readable by others like any file the user
    // makes. False with the reason.
    bool Open(const std::string& path, std::string* error);
    FILE* Stream() const { return out; }
    // Flushes it to the disk, closes it and puts it in place of path. False with the reason;
    // the temporary file is then removed.
    bool Commit(std::string* error);
    // Closes and removes the temporary file, leaving path as it was.
    void Abandon();

private:
    FILE* out;
    std::string path;
    std::string tempPath;
};

#endif
