#include "platform/CFontLocator.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/CReplacingFile.h"
#include "platform/CUserFolders.h"

namespace {

// Asks fontconfig for the file that best stands in for the named face in bold.
// "symbol" is a Windows-style request for a symbol face, so the usual symbol
// families are offered in order before whatever fontconfig falls back to.
bool Lookup(const char* faceName, int height, std::string* file, int* index, bool* embolden) {
    if (!FcInit()) return false;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    if (strcasecmp(faceName, "symbol") == 0) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Standard Symbols PS"));
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("OpenSymbol"));
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Symbol"));
    } else {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
    }
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, static_cast<double>(height));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;

    bool found = false;
    FcChar8* path = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
        *file = reinterpret_cast<const char*>(path);
        *index = 0;
        FcPatternGetInteger(match, FC_INDEX, 0, index);
        FcBool bold = FcFalse;
        *embolden = FcPatternGetBool(match, FC_EMBOLDEN, 0, &bold) == FcResultMatch && bold;
        found = true;
    }
    FcPatternDestroy(match);
    return found;
}

// fontconfig reads its whole configuration on a run's first lookup, a few milliseconds of
// every start; so its answers are remembered in the user's cache folder, each with a stamp of
// what could change it: the font file, fontconfig's configuration, and its cache folders
// (installing a font runs fc-cache, which rewrites them).
std::string MemoPath() {
    const std::string cache = CUserFolders::Base("XDG_CACHE_HOME", "/.cache");
    return cache.empty() ? cache : cache + "/pondquest/fonts";
}

std::string Stamp(const std::string& fontFile) {
    const std::string places[] = {fontFile,
                                  "/etc/fonts",
                                  "/etc/fonts/conf.d",
                                  "/var/cache/fontconfig",
                                  CUserFolders::Base("XDG_CACHE_HOME", "/.cache") + "/fontconfig",
                                  CUserFolders::Base("XDG_CONFIG_HOME", "/.config") + "/fontconfig"};
    std::string stamp;
    for (const std::string& place : places) {
        struct stat st;
        if (stat(place.c_str(), &st) == 0)
            stamp += std::to_string(st.st_mtime) + "." + std::to_string(st.st_mtim.tv_nsec) + "." +
                     std::to_string(st.st_size) + ";";
        else
            stamp += "-;";
    }
    return stamp;
}

// A remembered answer: the face, the height, the index, whether to embolden, the stamp and the
// file, a line each, separated by tabs.
struct Memo {
    std::string face, stamp, file;
    int height = 0, index = 0;
    bool embolden = false;
};

std::vector<Memo> ReadMemos(const std::string& path) {
    std::vector<Memo> memos;
    std::ifstream in(path);
    std::string line;
    while (memos.size() < 64 && std::getline(in, line)) {
        std::vector<std::string> parts;
        for (size_t from = 0;;) {
            const size_t tab = line.find('\t', from);
            parts.push_back(line.substr(from, tab - from));
            if (tab == std::string::npos) break;
            from = tab + 1;
        }
        if (parts.size() != 6) continue;
        Memo m;
        m.face = parts[0];
        m.height = std::atoi(parts[1].c_str());
        m.index = std::atoi(parts[2].c_str());
        m.embolden = parts[3] == "1";
        m.stamp = parts[4];
        m.file = parts[5];
        memos.push_back(m);
    }
    return memos;
}

// The remembered answers with this one in place of any earlier for the same request. A memo
// that cannot be written is only a slower next start.
void Remember(const std::string& path, const std::vector<Memo>& memos, const Memo& memo) {
    std::vector<Memo> kept;
    for (const Memo& m : memos)
        if (m.face != memo.face || m.height != memo.height) kept.push_back(m);
    if (kept.size() >= 32) kept.erase(kept.begin());
    kept.push_back(memo);
    CReplacingFile out;
    std::string error;
    if (!CUserFolders::Make(path.substr(0, path.rfind('/'))) || !out.Open(path, &error)) return;
    for (const Memo& m : kept)
        std::fprintf(out.Stream(), "%s\t%d\t%d\t%d\t%s\t%s\n", m.face.c_str(), m.height, m.index,
                     m.embolden ? 1 : 0, m.stamp.c_str(), m.file.c_str());
    out.Commit(&error);
}

}  // namespace

bool CFontLocator::Find(const char* faceName, int pixelHeight, std::string* file, int* index,
                        bool* embolden) {
    const std::string face = faceName ? faceName : "";
    const std::string path = MemoPath();
    // A name that would break a line of the memo is looked up every time.
    const bool memorable = !path.empty() && face.find_first_of("\t\n") == std::string::npos;
    const std::vector<Memo> memos = memorable ? ReadMemos(path) : std::vector<Memo>();
    for (const Memo& m : memos)
        if (m.face == face && m.height == pixelHeight && m.stamp == Stamp(m.file)) {
            *file = m.file;
            *index = m.index;
            *embolden = m.embolden;
            return true;
        }
    if (!Lookup(faceName, pixelHeight, file, index, embolden)) return false;
    if (memorable) {
        Memo m;
        m.face = face;
        m.height = pixelHeight;
        m.index = *index;
        m.embolden = *embolden;
        m.file = *file;
        m.stamp = Stamp(*file);
        Remember(path, memos, m);
    }
    return true;
}
