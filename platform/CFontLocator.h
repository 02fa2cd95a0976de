#ifndef PONDQUEST_CFONTLOCATOR_H
#define PONDQUEST_CFONTLOCATOR_H

#include <string>

// Finds the font file that best stands in for a named face in bold. Each platform has its
// own source for this header: fontconfig where there is one, fixed places on Windows.
class CFontLocator {
public:
    // The file, the face's index inside it, and whether bold must be synthesised because
    // the face found is regular. False when no file can be found.
    static bool Find(const char* faceName, int pixelHeight, std::string* file, int* index, bool* embolden);
};

#endif
