// libFuzzer target: every input is offered to the TGA, BMP and PCX readers,
// and whatever loads is also uploaded as a texture. A hidden SDL window gives
// the readers a real GL context (PCX resampling and the upload need one).
#include <GL/gl.h>
#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "textures/CTextureImage.h"

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

static void Check(CTextureImage& image, bool loaded) {
    if (!loaded) {
        if (image.pixels || image.width || image.height) __builtin_trap();
        return;
    }
    // Touch every byte the image claims to hold, so a short array shows up.
    size_t bytes = image.PixelBytes();
    if (bytes == 0) __builtin_trap();
    volatile unsigned sum = 0;
    for (size_t i = 0; i < bytes; ++i)
        sum += image.pixels[i];
    if (haveContext) {
        image.CreateTexture();
        if (glGetError() != GL_NO_ERROR) __builtin_trap();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        CTextureImage image;
        Check(image, image.ReadTGA(data, size, "fuzz.tga"));
    }
    {
        CTextureImage image;
        Check(image, image.ReadBMP(data, size, "fuzz.bmp"));
    }
    {
        CTextureImage image;
        Check(image, image.ReadPCX(data, size, "fuzz.pcx"));
    }
    return 0;
}
