#include "platform/CFontLocator.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

// Asks fontconfig for the file that best stands in for the named face in bold.
// "symbol" is a Windows-style request for a symbol face, so the usual symbol
// families are offered in order before whatever fontconfig falls back to.
bool CFontLocator::Find(const char* faceName, int height, std::string* file, int* index, bool* embolden) {
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
