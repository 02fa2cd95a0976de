#ifndef PONDQUEST_CSOUNDFILECHECKER_H
#define PONDQUEST_CSOUNDFILECHECKER_H

#include "scene/PrintfFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A strict reader of one kind of sound file, run before any decoder or synthesizer sees the
// bytes: a file it accepts is whole, and every length in it lies within the file. Check works
// on bytes in memory (what a fuzzer calls); CheckFile reads a file and checks it.
class CSoundFileChecker {
public:
    explicit CSoundFileChecker(size_t maxBytes);
    virtual ~CSoundFileChecker();

    // True when the bytes are usable; otherwise false, with reason set to one short phrase.
    virtual bool Check(const uint8_t* data, size_t size) = 0;
    // Reads the whole file into bytes and checks it; a file that cannot be read is refused too.
    bool CheckFile(const std::string& path);

    // Reads at most limit bytes of a file; false with the reason when it cannot be read or is longer.
    static bool ReadFile(const std::string& path, size_t limit, std::vector<uint8_t>* bytes,
                         std::string* reason);

    size_t maxBytes;             // larger files are refused
    std::string reason;          // why the last check failed; empty after a pass
    std::vector<uint8_t> bytes;  // the file CheckFile read

protected:
    // Sets reason from a printf-style text and returns false.
    bool Refuse(const char* format, ...) PONDQUEST_PRINTF_FORMAT(2, 3);
};

#endif
