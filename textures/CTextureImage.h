#ifndef PONDQUEST_CTEXTUREIMAGE_H
#define PONDQUEST_CTEXTUREIMAGE_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "textures/CTextureCache.h"

enum ImageKind { PCX = 0, BMP = 1, TGA = 2 };  // NOLINT(readability-identifier-naming): original names

// One image read from a TGA, BMP or PCX file and the OpenGL texture made from it.
// Images loaded from the same file share one texture (textures/CTextureCache): while a
// texture made from a file is alive, LoadFromFile of that file reads nothing and
// CreateTexture hands out the shared name. The pixels are freed once they are uploaded.
//
// Image files are untrusted: a reader that meets a file it cannot read safely
// leaves the image empty (no pixels, all sizes 0) and prints one line on stderr
// naming the file and the reason. Callers see no error and may still call
// CreateTexture, which then makes a texture name without an image.
class CTextureImage {
public:
    int32_t scaledWidth;
    int32_t scaledHeight;
    unsigned char* palette;
    ImageKind kind;
    uint8_t tgaImageType;
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;
    uint32_t textureId;
    unsigned char* pixels;

    // Largest pixel count a reader accepts (16384 x 16384).
    static const int64_t kMaxPixels = int64_t(16384) * 16384;

    CTextureImage();
    ~CTextureImage();
    CTextureImage(const CTextureImage&) = delete;
    CTextureImage& operator=(const CTextureImage&) = delete;

    void LoadFromFile(const char* fileName);
    void LoadTGA(const char* fileName);
    void LoadBMP(const char* fileName);
    void LoadPCX(const char* fileName);
    void CreateTexture();

    // The readers proper, working on a file's bytes already in memory; `name`
    // only labels the failure message. They return whether pixels were loaded.
    // PCX resampling needs a current OpenGL context; without one it fails.
    bool ReadTGA(const unsigned char* data, size_t size, const char* name);
    bool ReadBMP(const unsigned char* data, size_t size, const char* name);
    bool ReadPCX(const unsigned char* data, size_t size, const char* name);

    // Bytes in the pixel array (0 when empty).
    size_t PixelBytes() const;
    // Drops pixels, palette and sizes; keeps the texture name.
    void Clear();
    // Drops everything, the texture too (or this image's share of it).
    void Release();

private:
    // ReadTGA; given `keep` (pointing at the malloc'd `data`), the pixels are made in place in
    // those bytes, which the image then owns (*keep is cleared).
    bool DecodeTGA(const unsigned char* data, size_t size, const char* name, unsigned char** keep);
    bool Fail(const char* name, const char* reason);
    void Upload();
    void LetGoOfTexture();
    void ShareWith(CTextureCache::Entry* entry);
    void StartLoad();

    std::string sourceFile;        // the file LoadFromFile read, until its texture is registered
    CTextureCache::Entry* shared;  // the texture this image uses, once it has one from a file
};

#endif
