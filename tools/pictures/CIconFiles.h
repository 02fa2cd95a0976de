#ifndef PONDQUEST_TOOLS_CICONFILES_H
#define PONDQUEST_TOOLS_CICONFILES_H

#include <cstdint>
#include <string>
#include <vector>

#include "CPicture.h"

// The game's icon at the sizes desktops ask for, with transparency around the badge:
//   pondquest_48.png, pondquest_128.png, pondquest_256.png  (the desktop entry's icon)
//   pondquest.bmp, 64 x 64 with alpha                          (the window's icon)
class CIconFiles {
public:
    static const int kPngSizes[3];
    static const int kWindowIconSize = 64;

    // RGBA bytes, top row first, size x size, from the icon painted over black and over white:
    // what differs between the two is the background showing through.
    static std::vector<uint8_t> Rgba(const CPicture& overBlack, const CPicture& overWhite, int size);
    // A 32-bit BMP (BITMAPV4HEADER with channel masks, so readers keep the alpha).
    static std::vector<uint8_t> Bmp(int size, const std::vector<uint8_t>& rgba);
    // Paints the icon and writes every file into dir; false, naming the file in *error, on
    // a write error (a half-written file is removed).
    static bool Write(const std::string& dir, std::string* error);
};

#endif
