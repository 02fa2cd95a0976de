#ifndef PONDQUEST_TOOLS_FUZZ_CFUZZFILE_H
#define PONDQUEST_TOOLS_FUZZ_CFUZZFILE_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "support/TempDir.h"

// One fuzz input written to a file of its own, so that every reader is entered through the
// same file loader the game calls (opening, reading and size limits included), not through
// the in-memory parser alone. The file lives in a private folder removed at exit.
class CFuzzFile {
public:
    // fileName is the name the loaders see; its extension picks the picture reader.
    explicit CFuzzFile(const char* fileName);

    // Replaces the file's contents with the input; returns its path. A file that cannot be
    // written ends the run, since every later input would be tested against nothing.
    const std::string& Write(const uint8_t* data, size_t size);

    // Hands the loader, once, the files no content can make: a name that is not there, a
    // folder and a device under the reader's own file name, and (sparseBytes > 0) a file of
    // that many zero bytes, sparse so it costs no disk.
    void LoadUnusualFiles(size_t sparseBytes, const std::function<void(const std::string&)>& load);

    std::string path;

private:
    TempDir folder;
};

#endif
