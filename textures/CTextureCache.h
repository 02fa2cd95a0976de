#ifndef PONDQUEST_CTEXTURECACHE_H
#define PONDQUEST_CTEXTURECACHE_H

#include <cstdint>
#include <string>

// One GL texture per picture file while anything uses it: the 264 wall pieces of a maze all
// draw the same plant picture, and reading, uploading and binding it 264 times cost memory
// and frame time for nothing. An entry lives from the first texture made from its file until
// its last user lets go; a file that failed to load is shared too, as its empty texture, so a
// bad file is reported once per build rather than once per object.
class CTextureCache {
public:
    struct Entry {
        std::string file;
        uint32_t textureId;
        int users;
        // What the picture was, for images that share it without reading the file.
        int32_t kind;
        uint8_t tgaImageType;
        int32_t width, height, bitsPerPixel, scaledWidth, scaledHeight;
    };

    // The live entry for the file, or null.
    static Entry* Find(const char* file);
    // Registers a texture just made from the file, with one user.
    static Entry* Add(const char* file, uint32_t textureId);
    static void AddUser(Entry* entry);
    // One user fewer; the last one deletes the texture and the entry.
    static void Release(Entry* entry);
    // Entries alive now.
    static int Count();

    // On unless turned off. Off, every image reads its file and makes its own texture, as
    // each object once did; frames drawn both ways can then be compared.
    static void SetSharing(bool on);
    static bool Sharing();
};

#endif
