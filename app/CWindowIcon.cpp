#include "app/CWindowIcon.h"

#include <SDL.h>

#include <cstdio>

const char* const CWindowIcon::kFileName = "pondquest.bmp";

bool CWindowIcon::Apply(SDL_Window* window, const char* fileName) {
    if (!window) return false;
    SDL_Surface* icon = SDL_LoadBMP(fileName);
    if (!icon) {
        std::fprintf(stderr, "Pondquest: no window icon: cannot read %s: %s\n", fileName, SDL_GetError());
        return false;
    }
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
    return true;
}
