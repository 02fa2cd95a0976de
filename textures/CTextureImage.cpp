#include "textures/CTextureImage.h"

#include <GL/gl.h>
#include <GL/glu.h>
// Formats past OpenGL 1.1 (16-bit TGA words); Windows' own gl.h stops at 1.1.
#include <GL/glext.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Nothing the readers accept can be larger than this: the biggest pixel area
// at four bytes a pixel, plus room for headers, colour maps and palettes.
const size_t kMaxFileBytes = size_t(CTextureImage::kMaxPixels) * 4 + (size_t(1) << 20);

uint16_t U16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
int32_t S32(const unsigned char* p) { return int32_t(U32(p)); }

// A whole file's bytes in malloc'd memory, freed with it unless a reader keeps them.
struct FileBytes {
    unsigned char* data = nullptr;
    size_t size = 0;
    FileBytes() = default;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes() { std::free(data); }
};

// Reads a whole file; a message on failure, empty string on success.
std::string ReadWholeFile(const char* fileName, FileBytes& out) {
    FILE* f = std::fopen(fileName, "rb");
    if (!f) return std::string("cannot open file: ") + std::strerror(errno);
    // Room for the whole file from the start where it tells its size (one more byte sees the
    // end), so a large picture is neither copied as it grows nor read twice.
    size_t capacity = 65536;
    std::string error;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        if (size > 0 && static_cast<unsigned long>(size) > kMaxFileBytes)
            error = "file is too large to be an image";
        else if (size > 0)
            capacity = static_cast<size_t>(size) + 1;
        if (std::fseek(f, 0, SEEK_SET) != 0 && error.empty())
            error = std::string("read error: ") + std::strerror(errno);
    }
    while (error.empty()) {
        if (!out.data || out.size == capacity) {
            if (out.data) capacity = std::min(capacity * 2, kMaxFileBytes + 1);
            unsigned char* grown = static_cast<unsigned char*>(std::realloc(out.data, capacity));
            if (!grown) {
                error = "out of memory";
                break;
            }
            out.data = grown;
        }
        const size_t n = std::fread(out.data + out.size, 1, capacity - out.size, f);
        out.size += n;
        if (out.size > kMaxFileBytes) {
            error = "file is too large to be an image";
        } else if (n == 0) {
            if (std::ferror(f)) error = std::string("read error: ") + std::strerror(errno);
            break;
        }
    }
    std::fclose(f);
    return error;
}

bool EqualNoCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char ca = *a, cb = *b;
        if (ca >= 'A' && ca <= 'Z') ca = char(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z') cb = char(cb - 'A' + 'a');
        if (ca != cb) return false;
    }
    return *a == *b;
}

bool ContextIsCurrent() { return glGetString(GL_VERSION) != nullptr; }

// GLU honours the caller's pixel-store modes; tightly packed arrays need these
// or GLU reads and writes past the ends of rows that are not 4-byte multiples.
void PushPackedPixelStore() {
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    const GLenum zeroModes[] = {GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS, GL_UNPACK_SKIP_PIXELS,
                                GL_UNPACK_SWAP_BYTES, GL_UNPACK_LSB_FIRST, GL_PACK_ROW_LENGTH,
                                GL_PACK_SKIP_ROWS,    GL_PACK_SKIP_PIXELS, GL_PACK_SWAP_BYTES,
                                GL_PACK_LSB_FIRST};
    for (GLenum mode : zeroModes)
        glPixelStorei(mode, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
}

}  // namespace

CTextureImage::CTextureImage()
    : scaledWidth(0),
      scaledHeight(0),
      palette(nullptr),
      kind(PCX),
      tgaImageType(0),
      width(0),
      height(0),
      bitsPerPixel(0),
      textureId(0),
      pixels(nullptr),
      sourceFile(),
      shared(nullptr) {}

CTextureImage::~CTextureImage() {
    LetGoOfTexture();
    Clear();
}

void CTextureImage::Release() {
    LetGoOfTexture();
    Clear();
    sourceFile.clear();
}

void CTextureImage::LetGoOfTexture() {
    // An image that never got a texture name has nothing to give back to GL,
    // and may outlive (or never have had) a context.
    if (shared)
        CTextureCache::Release(shared);
    else if (textureId != 0)
        glDeleteTextures(1, &textureId);
    shared = nullptr;
    textureId = 0;
}

void CTextureImage::ShareWith(CTextureCache::Entry* entry) {
    CTextureCache::AddUser(entry);  // first, in case this image is its only user
    LetGoOfTexture();
    Clear();
    shared = entry;
    textureId = entry->textureId;
    kind = static_cast<ImageKind>(entry->kind);
    tgaImageType = entry->tgaImageType;
    width = entry->width;
    height = entry->height;
    bitsPerPixel = entry->bitsPerPixel;
    scaledWidth = entry->scaledWidth;
    scaledHeight = entry->scaledHeight;
}

void CTextureImage::Clear() {
    std::free(pixels);
    std::free(palette);
    pixels = nullptr;
    palette = nullptr;
    scaledWidth = scaledHeight = 0;
    kind = PCX;
    tgaImageType = 0;
    width = height = 0;
    bitsPerPixel = 0;
}

bool CTextureImage::Fail(const char* name, const char* reason) {
    Clear();
    std::fprintf(stderr, "Pondquest: cannot load image \"%s\": %s\n", name ? name : "(null)", reason);
    return false;
}

size_t CTextureImage::PixelBytes() const {
    if (!pixels) return 0;
    switch (kind) {
    case TGA: return size_t(bitsPerPixel / 8) * size_t(width) * size_t(height);
    case BMP: return size_t(width) * size_t(height) * 4;
    case PCX: return size_t(scaledWidth) * size_t(scaledHeight) * 4;
    }
    return 0;
}

void CTextureImage::LoadFromFile(const char* fileName) {
    StartLoad();
    if (!fileName) {
        Fail(fileName, "no file name");
        return;
    }
    // A picture already on the card is not read again (nor reported again when it was bad).
    if (CTextureCache::Entry* entry = CTextureCache::Find(fileName)) {
        ShareWith(entry);
        return;
    }
    // The type is the whole text after the first dot of the file's own name
    // (directories in the path may contain dots of their own).
    const char* base = std::strrchr(fileName, '/');
    base = base ? base + 1 : fileName;
    const char* dot = std::strchr(base, '.');
    const char* ext = dot ? dot + 1 : "";
    if (EqualNoCase(ext, "bmp"))
        LoadBMP(fileName);
    else if (EqualNoCase(ext, "pcx"))
        LoadPCX(fileName);
    else if (EqualNoCase(ext, "tga"))
        LoadTGA(fileName);
    else
        Fail(fileName, "unknown image type (expected .tga, .bmp or .pcx)");
    // Registered under this name once its texture is made; a failure is shared as well.
    sourceFile = fileName;
}

void CTextureImage::StartLoad() {
    // A reload stops sharing whatever this image showed before.
    if (shared) LetGoOfTexture();
    sourceFile.clear();
}

void CTextureImage::LoadTGA(const char* fileName) {
    StartLoad();
    FileBytes file;
    std::string error = ReadWholeFile(fileName, file);
    if (!error.empty())
        Fail(fileName, error.c_str());
    else
        DecodeTGA(file.data, file.size, fileName, &file.data);
}

void CTextureImage::LoadBMP(const char* fileName) {
    StartLoad();
    FileBytes file;
    std::string error = ReadWholeFile(fileName, file);
    if (!error.empty())
        Fail(fileName, error.c_str());
    else
        ReadBMP(file.data, file.size, fileName);
}

void CTextureImage::LoadPCX(const char* fileName) {
    StartLoad();
    FileBytes file;
    std::string error = ReadWholeFile(fileName, file);
    if (!error.empty())
        Fail(fileName, error.c_str());
    else
        ReadPCX(file.data, file.size, fileName);
}

bool CTextureImage::ReadTGA(const unsigned char* d, size_t size, const char* name) {
    return DecodeTGA(d, size, name, nullptr);
}

bool CTextureImage::DecodeTGA(const unsigned char* d, size_t size, const char* name, unsigned char** keep) {
    StartLoad();
    Clear();
    if (!d || size < 18) return Fail(name, "TGA header is truncated");
    const unsigned idLength = d[0];
    const unsigned colourMapType = d[1];
    const unsigned imageType = d[2];
    const unsigned colourMapLength = U16(d + 5);
    const unsigned colourMapEntryBits = d[7];
    const int32_t w = int16_t(U16(d + 12));
    const int32_t h = int16_t(U16(d + 14));
    const int32_t depth = d[16];

    if (imageType != 2 && imageType != 3)
        return Fail(name, "TGA image type is not uncompressed true-colour (2) or grey (3)");
    if (w <= 0 || h <= 0) return Fail(name, "TGA width or height is zero or negative");
    if (int64_t(w) * h > kMaxPixels) return Fail(name, "TGA image is too large");
    const bool depthOk =
        imageType == 2 ? (depth == 16 || depth == 24 || depth == 32) : (depth == 8 || depth == 16);
    if (!depthOk) return Fail(name, "unsupported TGA pixel depth");

    // The ID field and any colour map come between the header and the pixels.
    size_t offset = 18 + size_t(idLength);
    if (colourMapType == 1) offset += size_t(colourMapLength) * ((colourMapEntryBits + 7) / 8);
    const size_t bytesPerPixel = size_t(depth) / 8;
    const size_t need = bytesPerPixel * size_t(w) * size_t(h);
    if (offset > size || size - offset < need) return Fail(name, "TGA pixel data is truncated");

    // Blue, green, red (and alpha) in the file. The file's own bytes become the pixels when
    // given (no second picture-sized buffer to fault in); a copy of three-byte pixels is turned
    // round as it is made.
    unsigned char* p = nullptr;
    const bool turnedInCopy = !keep && bytesPerPixel == 3;
    if (keep) {
        p = *keep;
        *keep = nullptr;
        std::memmove(p, p + offset, need);
    } else if (!(p = static_cast<unsigned char*>(std::malloc(need)))) {
        return Fail(name, "out of memory");
    } else if (turnedInCopy) {
        const unsigned char* from = d + offset;
        for (size_t i = 0; i < need; i += 3) {
            p[i] = from[i + 2];
            p[i + 1] = from[i + 1];
            p[i + 2] = from[i];
        }
    } else {
        std::memcpy(p, d + offset, need);
    }
    if (bytesPerPixel >= 3 && !turnedInCopy)
        for (size_t i = 0; i < need; i += bytesPerPixel) {
            unsigned char t = p[i];
            p[i] = p[i + 2];
            p[i + 2] = t;
        }
    pixels = p;
    width = w;
    height = h;
    bitsPerPixel = depth;
    tgaImageType = uint8_t(imageType);
    kind = TGA;
    return true;
}

bool CTextureImage::ReadBMP(const unsigned char* d, size_t size, const char* name) {
    StartLoad();
    Clear();
    if (!d || size < 14 + 40) return Fail(name, "BMP header is truncated");
    if (U16(d) != 0x4D42) return Fail(name, "not a BMP file (no BM signature)");
    const uint32_t dataOffset = U32(d + 10);
    const uint32_t infoSize = U32(d + 14);
    const int32_t w = S32(d + 18);
    const int32_t h = S32(d + 22);
    const uint16_t bitCount = U16(d + 28);
    const uint32_t compression = U32(d + 30);

    if (infoSize < 40) return Fail(name, "unsupported BMP info header");
    if (bitCount != 24 || compression != 0)
        return Fail(name, "only uncompressed 24-bit BMP files are supported");
    if (w <= 0 || h <= 0) return Fail(name, "BMP width or height is zero or negative");
    if (int64_t(w) * h > kMaxPixels) return Fail(name, "BMP image is too large");

    // Rows are padded to 4 bytes in the file. The stated image size (offset 34)
    // may be 0 or wrong, so the rows are measured from width and height instead,
    // and the padding is left out of the pixel array.
    const size_t stride = (size_t(w) * 3 + 3) & ~size_t(3);
    const size_t need = stride * size_t(h);
    if (dataOffset > size || size - dataOffset < need) return Fail(name, "BMP pixel data is truncated");

    const size_t count = size_t(w) * size_t(h);
    unsigned char* p = static_cast<unsigned char*>(std::malloc(count * 4));
    if (!p) return Fail(name, "out of memory");
    unsigned char* out = p;
    for (int32_t y = 0; y < h; ++y) {
        const unsigned char* row = d + dataOffset + size_t(y) * stride;
        for (int32_t x = 0; x < w; ++x, row += 3, out += 4) {
            out[0] = row[2];
            out[1] = row[1];
            out[2] = row[0];
            // Pure black is the transparent colour.
            out[3] = (row[0] | row[1] | row[2]) ? 255 : 0;
        }
    }
    pixels = p;
    width = w;
    height = h;
    kind = BMP;
    return true;
}

namespace {
// Largest power of two not above n (n >= 1).
int32_t FloorPowerOfTwo(int32_t n) {
    int halvings = 0;
    while (n > 0) {
        n /= 2;
        ++halvings;
    }
    return int32_t(1) << (halvings - 1);
}
}  // namespace

bool CTextureImage::ReadPCX(const unsigned char* d, size_t size, const char* name) {
    StartLoad();
    Clear();
    if (!d || size < 128) return Fail(name, "PCX header is truncated");
    if (d[0] != 10 || d[1] != 5) return Fail(name, "not a version 5 PCX file");
    const int32_t w = int32_t(U16(d + 8)) - int32_t(U16(d + 4)) + 1;
    const int32_t h = int32_t(U16(d + 10)) - int32_t(U16(d + 6)) + 1;
    if (w <= 0 || h <= 0) return Fail(name, "PCX width or height is zero or negative");
    if (int64_t(w) * h > kMaxPixels) return Fail(name, "PCX image is too large");
    if (size < 128 + 769) return Fail(name, "PCX palette is missing");
    const size_t paletteAt = size - 769;
    if (d[paletteAt] != 12) return Fail(name, "PCX palette marker is missing");

    // Run data lies between the header and the palette. Measure it before
    // allocating, so a tiny file cannot ask for a huge picture it does not hold.
    const size_t count = size_t(w) * size_t(h);
    size_t produced = 0;
    size_t at = 128;
    while (produced < count && at < paletteAt) {
        unsigned c = d[at++];
        if (c >= 192) {
            if (at >= paletteAt) break;
            ++at;
            produced += c & 63;
        } else {
            ++produced;
        }
    }
    if (produced < count) return Fail(name, "PCX run data ends early");

    std::vector<unsigned char> indices(count);
    produced = 0;
    at = 128;
    while (produced < count) {
        unsigned c = d[at++];
        if (c >= 192) {
            size_t run = c & 63;
            unsigned char value = d[at++];
            if (run > count - produced) run = count - produced;
            std::memset(&indices[produced], value, run);
            produced += run;
        } else {
            indices[produced++] = static_cast<unsigned char>(c);
        }
    }

    unsigned char* pal = static_cast<unsigned char*>(std::malloc(768));
    if (!pal) return Fail(name, "out of memory");
    std::memcpy(pal, d + paletteAt + 1, 768);

    std::vector<unsigned char> expanded(count * 4);
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* rgb = pal + 3 * indices[i];
        expanded[4 * i + 0] = rgb[0];
        expanded[4 * i + 1] = rgb[1];
        expanded[4 * i + 2] = rgb[2];
        expanded[4 * i + 3] = 255;
    }
    indices.clear();
    indices.shrink_to_fit();

    const int32_t sw = FloorPowerOfTwo(w);
    const int32_t sh = FloorPowerOfTwo(h);
    if (!ContextIsCurrent()) {
        std::free(pal);
        return Fail(name, "PCX resampling needs a current OpenGL context");
    }
    unsigned char* p = static_cast<unsigned char*>(std::malloc(size_t(sw) * size_t(sh) * 4));
    if (!p) {
        std::free(pal);
        return Fail(name, "out of memory");
    }
    PushPackedPixelStore();
    GLint status =
        gluScaleImage(GL_RGBA, w, h, GL_UNSIGNED_BYTE, expanded.data(), sw, sh, GL_UNSIGNED_BYTE, p);
    glPopClientAttrib();
    if (status != 0) {
        std::free(pal);
        std::free(p);
        std::string reason = "PCX resampling failed: ";
        const GLubyte* text = gluErrorString(GLenum(status));
        reason += text ? reinterpret_cast<const char*>(text) : "unknown error";
        return Fail(name, reason.c_str());
    }
    palette = pal;
    pixels = p;
    width = w;
    height = h;
    scaledWidth = sw;
    scaledHeight = sh;
    kind = PCX;
    return true;
}

void CTextureImage::CreateTexture() {
    if (shared) return;  // made from the same file by an earlier image
    if (!sourceFile.empty()) {
        // Another image may have uploaded the same file since this one read it.
        if (CTextureCache::Entry* entry = CTextureCache::Find(sourceFile.c_str())) {
            ShareWith(entry);
            return;
        }
    }
    // A second call replaces the texture rather than leaking the first name.
    LetGoOfTexture();
    GLuint id = 0;
    glGenTextures(1, &id);
    textureId = id;
    glBindTexture(GL_TEXTURE_2D, id);
    // The linear minification filter reads only the base level, so no mipmaps are made.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    if (pixels) Upload();
    // The card holds the picture now; the copy in memory is no longer needed.
    std::free(pixels);
    std::free(palette);
    pixels = nullptr;
    palette = nullptr;
    if (!sourceFile.empty() && CTextureCache::Sharing()) {
        shared = CTextureCache::Add(sourceFile.c_str(), id);
        shared->kind = kind;
        shared->tgaImageType = tgaImageType;
        shared->width = width;
        shared->height = height;
        shared->bitsPerPixel = bitsPerPixel;
        shared->scaledWidth = scaledWidth;
        shared->scaledHeight = scaledHeight;
    }
    sourceFile.clear();
}

namespace {
// The power of two a dimension is stretched to: the nearest one, rounding 3 x 2^n up.
GLint NearestPowerOfTwo(GLint n) {
    if (n <= 1) return 1;
    GLint p = 1;
    for (;;) {
        if (n == 1) return p;
        if (n == 3) return p * 4;
        n >>= 1;
        p *= 2;
    }
}
}  // namespace

void CTextureImage::Upload() {
    GLint components = GL_RGBA;
    GLenum format = GL_RGBA;
    GLenum type = GL_UNSIGNED_BYTE;
    GLint bytesPerPixel = 4;
    GLint w = width, h = height;
    if (kind == PCX) {
        w = scaledWidth;
        h = scaledHeight;
    } else if (kind == TGA) {
        switch (bitsPerPixel) {
        case 32: break;
        case 24:
            components = GL_RGB;
            format = GL_RGB;
            bytesPerPixel = 3;
            break;
        case 16:
            bytesPerPixel = 2;
            if (tgaImageType == 3) {
                components = GL_LUMINANCE_ALPHA;
                format = GL_LUMINANCE_ALPHA;
            } else {
                // A1R5G5B5 words; the attribute bit is not a reliable alpha.
                components = GL_RGB;
                format = GL_BGRA;
                type = GL_UNSIGNED_SHORT_1_5_5_5_REV;
            }
            break;
        default:
            components = GL_LUMINANCE;
            format = GL_LUMINANCE;
            bytesPerPixel = 1;
            break;
        }
    }
    // Pictures whose sides are not powers of two, or larger than the card takes, are
    // stretched to the nearest size that fits, as the mipmap builder used to do.
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    GLint tw = NearestPowerOfTwo(w), th = NearestPowerOfTwo(h);
    if (maxSize > 0 && tw > maxSize) tw = maxSize;
    if (maxSize > 0 && th > maxSize) th = maxSize;
    PushPackedPixelStore();
    const void* data = pixels;
    std::vector<unsigned char> stretched;
    GLint status = 0;
    if (tw != w || th != h) {
        stretched.resize(size_t(tw) * size_t(th) * size_t(bytesPerPixel));
        status = gluScaleImage(format, w, h, type, pixels, tw, th, type, stretched.data());
        data = stretched.data();
    }
    if (status == 0) glTexImage2D(GL_TEXTURE_2D, 0, components, tw, th, 0, format, type, data);
    glPopClientAttrib();
    if (status != 0) {
        const GLubyte* text = gluErrorString(GLenum(status));
        std::fprintf(stderr, "Pondquest: cannot make texture %u: %s\n", unsigned(textureId),
                     text ? reinterpret_cast<const char*>(text) : "unknown error");
    }
}
