#ifndef PONDQUEST_CWINDOWICON_H
#define PONDQUEST_CWINDOWICON_H

struct SDL_Window;

// The duckling on the window's title bar and in the task switcher.
class CWindowIcon {
public:
    // The picture the generator paints, in the data folder.
    static const char* const kFileName;

    // Sets the window's icon from a BMP file. False, with one stderr line naming the file, when
    // it cannot be read; the window then keeps the desktop's default icon.
    static bool Apply(SDL_Window* window, const char* fileName);
};

#endif
