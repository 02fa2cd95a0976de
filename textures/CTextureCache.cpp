#include "textures/CTextureCache.h"

#include <GL/gl.h>

#include <map>

namespace {
bool sharing = true;

// Never destroyed: an image released during static destruction must still find it.
std::map<std::string, CTextureCache::Entry>& Entries() {
    static auto* entries = new std::map<std::string, CTextureCache::Entry>();
    return *entries;
}
}  // namespace

CTextureCache::Entry* CTextureCache::Find(const char* file) {
    if (!file || !sharing) return nullptr;
    auto it = Entries().find(file);
    return it == Entries().end() ? nullptr : &it->second;
}

CTextureCache::Entry* CTextureCache::Add(const char* file, uint32_t textureId) {
    Entry& e = Entries()[file];
    e = Entry();
    e.file = file;
    e.textureId = textureId;
    e.users = 1;
    return &e;
}

void CTextureCache::AddUser(Entry* entry) { ++entry->users; }

void CTextureCache::Release(Entry* entry) {
    if (--entry->users > 0) return;
    GLuint id = entry->textureId;
    if (id != 0) glDeleteTextures(1, &id);
    const std::string file = entry->file;  // the key goes with the entry
    Entries().erase(file);
}

int CTextureCache::Count() { return static_cast<int>(Entries().size()); }

void CTextureCache::SetSharing(bool on) { sharing = on; }

bool CTextureCache::Sharing() { return sharing; }
