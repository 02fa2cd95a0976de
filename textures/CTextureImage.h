#ifndef PONDQUEST_CTEXTUREIMAGE_H
#define PONDQUEST_CTEXTUREIMAGE_H

#include <cstdint>

enum ImageKind { PCX = 0, BMP = 1, TGA = 2 };

// One image read from a TGA, BMP or PCX file and the OpenGL texture made from it.
// Every owner loads its own copy; there is no cache.
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

    CTextureImage();
    ~CTextureImage();
    CTextureImage(const CTextureImage&) = delete;
    CTextureImage& operator=(const CTextureImage&) = delete;

    void LoadFromFile(const char* fileName);
    void LoadTGA(const char* fileName);
    void LoadBMP(const char* fileName);
    void LoadPCX(const char* fileName);
    void CreateTexture();
};

#endif
