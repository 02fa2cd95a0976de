// libFuzzer target for one picture reader, chosen when building by the file name the
// loader is given (PICTURE_FILE, e.g. "fuzz.tga"). Each input is written to that file and
// loaded through CTextureImage::LoadFromFile, as the game loads its pictures; whatever
// loads is then uploaded as a texture. A hidden SDL window gives the reader a real GL
// context (PCX resampling and the upload need one).
#include <GL/gl.h>
#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "CFuzzFile.h"
#include "textures/CTextureImage.h"

#ifndef PICTURE_FILE
#error "build with -DPICTURE_FILE=\"fuzz.tga\" (or .bmp, .pcx)"
#endif

static bool haveContext = false;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "fuzz: no video (%s); PCX and uploads go untested\n", SDL_GetError());
        return 0;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_Window* window = SDL_CreateWindow("fuzz", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window && SDL_GL_CreateContext(window))
        haveContext = true;
    else
        std::fprintf(stderr, "fuzz: no GL context (%s)\n", SDL_GetError());
    return 0;
}

static void Load(const std::string& path) {
    CTextureImage image;
    image.LoadFromFile(path.c_str());
    if (!image.pixels) {
        // A refused file leaves nothing behind.
        if (image.width || image.height || image.palette) __builtin_trap();
        return;
    }
    // Touch every byte the image claims to hold, so a short array shows up.
    const size_t bytes = image.PixelBytes();
    if (bytes == 0) __builtin_trap();
    volatile unsigned sum = 0;
    for (size_t i = 0; i < bytes; ++i)
        sum += image.pixels[i];
    (void)sum;
    if (haveContext) {
        image.CreateTexture();
        if (glGetError() != GL_NO_ERROR) __builtin_trap();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CFuzzFile file(PICTURE_FILE);
    // Once, the files no content can make. libFuzzer's first call is a probe whose
    // coverage it drops, so this goes with the second.
    static int calls = 0;
    if (++calls == 2) {
        // Larger than one read of the loader; a gigabyte to pass its limit would cost too much.
        file.LoadUnusualFiles(70000, Load);
    }
    Load(file.Write(data, size));
    return 0;
}
