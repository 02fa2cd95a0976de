#include "sound/CSoundFontView.h"

#include "sound/CMidiChecker.h"

#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

namespace {

// What a trimmed view serves: the real file's head, then the rebuilt preset data.
struct Image {
    std::string path;
    uint32_t headLength;        // bytes read from the real file: all before its preset data
    uint8_t riffHeader[8];      // the first eight bytes, with the new size
    std::vector<uint8_t> pdta;  // the whole new 'LIST' chunk
    uint32_t Size() const { return headLength + static_cast<uint32_t>(pdta.size()); }
};

// FluidSynth's loader callbacks are given only a name: the views are found by theirs.
std::mutex registryLock;
std::map<std::string, std::shared_ptr<const Image>>& Registry() {
    static std::map<std::string, std::shared_ptr<const Image>> views;
    return views;
}
std::atomic<unsigned> serial{0};

struct Handle {
    std::shared_ptr<const Image> image;  // null for a plain file
    FILE* file = nullptr;
    long long at = 0;       // position in the view
    long long fileAt = -1;  // position of the real file, -1 when unknown
};

void* OpenView(const char* name) {
    std::shared_ptr<const Image> image;
    {
        std::lock_guard<std::mutex> hold(registryLock);
        auto found = Registry().find(name);
        if (found != Registry().end()) image = found->second;
    }
    FILE* file = std::fopen(image ? image->path.c_str() : name, "rb");
    if (!file) return nullptr;
    Handle* handle = new Handle();
    handle->image = image;
    handle->file = file;
    return handle;
}

int ReadView(void* buffer, fluid_long_long_t count, void* opaque) {
    Handle* handle = static_cast<Handle*>(opaque);
    if (!handle->image)
        return std::fread(buffer, static_cast<size_t>(count), 1, handle->file) == 1 ? FLUID_OK : FLUID_FAILED;
    const Image& image = *handle->image;
    if (count <= 0 || handle->at < 0 || handle->at + count > image.Size()) return FLUID_FAILED;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        long long piece;
        if (handle->at < 8) {
            piece = std::min<long long>(count, 8 - handle->at);
            std::memcpy(out, image.riffHeader + handle->at, static_cast<size_t>(piece));
        } else if (handle->at < image.headLength) {
            piece = std::min<long long>(count, image.headLength - handle->at);
            if (handle->fileAt != handle->at &&
                std::fseek(handle->file, static_cast<long>(handle->at), SEEK_SET) != 0) {
                handle->fileAt = -1;
                return FLUID_FAILED;
            }
            if (std::fread(out, static_cast<size_t>(piece), 1, handle->file) != 1) {
                handle->fileAt = -1;
                return FLUID_FAILED;
            }
            handle->fileAt = handle->at + piece;
        } else {
            piece = count;
            std::memcpy(out, image.pdta.data() + (handle->at - image.headLength), static_cast<size_t>(piece));
        }
        out += piece;
        count -= piece;
        handle->at += piece;
    }
    return FLUID_OK;
}

int SeekView(void* opaque, fluid_long_long_t offset, int origin) {
    Handle* handle = static_cast<Handle*>(opaque);
    if (!handle->image)
        return std::fseek(handle->file, static_cast<long>(offset), origin) == 0 ? FLUID_OK : FLUID_FAILED;
    long long to = offset;
    if (origin == SEEK_CUR)
        to += handle->at;
    else if (origin == SEEK_END)
        to += handle->image->Size();
    else if (origin != SEEK_SET)
        return FLUID_FAILED;
    if (to < 0) return FLUID_FAILED;
    handle->at = to;
    return FLUID_OK;
}

fluid_long_long_t TellView(void* opaque) {
    Handle* handle = static_cast<Handle*>(opaque);
    return handle->image ? handle->at : std::ftell(handle->file);
}

int CloseView(void* opaque) {
    Handle* handle = static_cast<Handle*>(opaque);
    const int closed = std::fclose(handle->file);
    delete handle;
    return closed == 0 ? FLUID_OK : FLUID_FAILED;
}

uint32_t Little(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

void PutLittle(uint8_t* p, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}

bool ReadAt(FILE* file, uint32_t at, void* into, size_t bytes) {
    return std::fseek(file, static_cast<long>(at), SEEK_SET) == 0 && std::fread(into, bytes, 1, file) == 1;
}

// One sub-chunk of the preset data: its records, in place.
struct Records {
    const uint8_t* data = nullptr;
    uint32_t size = 0;  // bytes of one record
    uint32_t count = 0;
    const uint8_t* At(uint32_t i) const { return data + static_cast<size_t>(i) * size; }
};

// Each list (presets, instruments) points into its bags with a 16-bit index at indexAt, and
// its last record ends the one before. The indices must start at 0, never fall, and the last
// must name the bags' own last record, as FluidSynth reads them.
bool IndicesFit(const Records& list, uint32_t indexAt, uint32_t targetCount) {
    if (list.count < 1 || targetCount < 1) return false;
    uint32_t previous = 0;
    for (uint32_t i = 0; i < list.count; ++i) {
        const uint32_t index = Little(list.At(i) + indexAt, 2);
        if ((i == 0 && index != 0) || index < previous) return false;
        previous = index;
    }
    return previous == targetCount - 1;
}

const int kInstrumentGenerator = 41;
const int kSampleGenerator = 53;
const uint32_t kMostPdtaBytes = 64u << 20;
const uint32_t kMostInfoBytes = 1u << 20;

// Copies the kept entries of one level (presets or instruments) with their bags, generators
// and modulators, the indices renumbered; 'remap' rewrites a zone's generators.
struct Level {
    Records headers, bags, mods, gens;
    uint32_t headerBagAt;  // offset of the bag index within a header
    std::vector<uint8_t> outHeaders, outBags, outMods, outGens;

    void Append(std::vector<uint8_t>& out, const uint8_t* record, uint32_t size) {
        out.insert(out.end(), record, record + size);
    }
    void PutIndex(std::vector<uint8_t>& out, size_t at, uint32_t value) {
        PutLittle(out.data() + at, value, 2);
    }
    uint32_t Bag(uint32_t header) const { return Little(headers.At(header) + headerBagAt, 2); }
    uint32_t Gen(uint32_t bag) const { return Little(bags.At(bag), 2); }
    uint32_t Mod(uint32_t bag) const { return Little(bags.At(bag) + 2, 2); }

    template <class Remap>
    void Keep(uint32_t header, Remap remap) {
        Append(outHeaders, headers.At(header), headers.size);
        PutIndex(outHeaders, outHeaders.size() - headers.size + headerBagAt,
                 static_cast<uint32_t>(outBags.size() / 4));
        for (uint32_t bag = Bag(header); bag < Bag(header + 1); ++bag) {
            uint8_t record[4];
            PutLittle(record, static_cast<uint32_t>(outGens.size() / 4), 2);
            PutLittle(record + 2, static_cast<uint32_t>(outMods.size() / 10), 2);
            Append(outBags, record, 4);
            for (uint32_t m = Mod(bag); m < Mod(bag + 1); ++m)
                Append(outMods, mods.At(m), mods.size);
            const size_t firstGen = outGens.size();
            for (uint32_t g = Gen(bag); g < Gen(bag + 1); ++g)
                Append(outGens, gens.At(g), gens.size);
            remap(outGens.data() + firstGen, (outGens.size() - firstGen) / 4);
        }
    }
    // The terminal records, as the file had them but for their indices.
    void Close() {
        Append(outHeaders, headers.At(headers.count - 1), headers.size);
        PutIndex(outHeaders, outHeaders.size() - headers.size + headerBagAt,
                 static_cast<uint32_t>(outBags.size() / 4));
        uint8_t record[4];
        PutLittle(record, static_cast<uint32_t>(outGens.size() / 4), 2);
        PutLittle(record + 2, static_cast<uint32_t>(outMods.size() / 10), 2);
        Append(outBags, record, 4);
        Append(outMods, mods.At(mods.count - 1), mods.size);
        Append(outGens, gens.At(gens.count - 1), gens.size);
    }
    bool Fits() const {
        return IndicesFit(headers, headerBagAt, bags.count) && bags.count >= 1 && mods.count >= 1 &&
               gens.count >= 1 && Gen(0) == 0 && Mod(0) == 0 && IndicesFitBags();
    }
    // The first generator of that kind in each zone is the one FluidSynth takes (it skips any
    // after it): it must name one of the count entries below.
    bool NamesFit(uint32_t kind, uint32_t count) const {
        for (uint32_t bag = 0; bag + 1 < bags.count; ++bag) {
            for (uint32_t g = Gen(bag); g < Gen(bag + 1); ++g) {
                if (Little(gens.At(g), 2) != kind) continue;
                if (Little(gens.At(g) + 2, 2) >= count) return false;
                break;
            }
        }
        return true;
    }
    bool IndicesFitBags() const {
        uint32_t gen = 0, mod = 0;
        for (uint32_t i = 0; i < bags.count; ++i) {
            if (Gen(i) < gen || Mod(i) < mod) return false;
            gen = Gen(i);
            mod = Mod(i);
        }
        return gen == gens.count - 1 && mod == mods.count - 1;
    }
};

void PutChunk(std::vector<uint8_t>& out, const char* id, const std::vector<uint8_t>& body) {
    const size_t at = out.size();
    out.resize(at + 8);
    std::memcpy(out.data() + at, id, 4);
    PutLittle(out.data() + at + 4, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
}

}  // namespace

CSoundFontView::CSoundFontView(const std::string& path, const std::set<Preset>& presets)
    : name(path), trimmed(false), keptPresets(0), kept(presets) {
    trimmed = Build(path);
}

CSoundFontView::~CSoundFontView() {
    if (!trimmed) return;
    std::lock_guard<std::mutex> hold(registryLock);
    Registry().erase(name);
}

bool CSoundFontView::Keeps(const std::set<Preset>& presets) const {
    if (!trimmed) return true;
    for (const Preset& preset : presets)
        if (!kept.count(preset)) return false;
    return true;
}

bool CSoundFontView::Build(const std::string& path) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return false;
    const long length = std::ftell(file.get());
    if (length < 12 || static_cast<unsigned long>(length) > 0xFFFFFFF0ul) return false;
    const uint32_t fileSize = static_cast<uint32_t>(length);
    uint8_t head[12];
    if (!ReadAt(file.get(), 0, head, sizeof head) || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "sfbk", 4) != 0 || Little(head + 4, 4) != fileSize - 8)
        return false;

    // FluidSynth reads three lists in this order; the preset data comes last.
    const char* const lists[3] = {"INFO", "sdta", "pdta"};
    uint32_t at = 12;
    std::vector<uint8_t> pdta;
    uint32_t pdtaAt = 0;
    for (const char* list : lists) {
        uint8_t chunk[12];
        if (fileSize - at < 12 || !ReadAt(file.get(), at, chunk, sizeof chunk) ||
            std::memcmp(chunk, "LIST", 4) != 0 || std::memcmp(chunk + 8, list, 4) != 0)
            return false;
        const uint32_t size = Little(chunk + 4, 4);
        if (size < 4 || size > fileSize - at - 8 || size % 2) return false;
        if (list == lists[0]) {
            // Only version 2 fonts, whose samples are plain 16-bit data.
            if (size > kMostInfoBytes) return false;
            std::vector<uint8_t> info(size - 4);
            if (!info.empty() && !ReadAt(file.get(), at + 12, info.data(), info.size())) return false;
            bool versionTwo = false;
            for (size_t i = 0; i + 8 <= info.size();) {
                const uint32_t itemSize = Little(info.data() + i + 4, 4);
                if (itemSize > info.size() - i - 8) return false;
                if (std::memcmp(info.data() + i, "ifil", 4) == 0)
                    versionTwo = itemSize == 4 && Little(info.data() + i + 8, 2) == 2;
                i += 8 + itemSize + (itemSize % 2);
            }
            if (!versionTwo) return false;
        } else if (list == lists[2]) {
            if (size > kMostPdtaBytes) return false;
            pdtaAt = at;
            pdta.resize(size - 4);
            if (!pdta.empty() && !ReadAt(file.get(), at + 12, pdta.data(), pdta.size())) return false;
        }
        at += 8 + size;
    }

    const char* const ids[9] = {"phdr", "pbag", "pmod", "pgen", "inst", "ibag", "imod", "igen", "shdr"};
    const uint32_t sizes[9] = {38, 4, 10, 4, 22, 4, 10, 4, 46};
    Records records[9];
    size_t from = 0;
    for (int i = 0; i < 9; ++i) {
        if (pdta.size() - from < 8 || std::memcmp(pdta.data() + from, ids[i], 4) != 0) return false;
        const uint32_t size = Little(pdta.data() + from + 4, 4);
        if (size > pdta.size() - from - 8 || size % sizes[i] || size == 0) return false;
        records[i].data = pdta.data() + from + 8;
        records[i].size = sizes[i];
        records[i].count = size / sizes[i];
        from += 8 + size;
    }
    if (from != pdta.size()) return false;

    Level presetLevel{records[0], records[1], records[2], records[3], 24, {}, {}, {}, {}};
    Level instrumentLevel{records[4], records[5], records[6], records[7], 20, {}, {}, {}, {}};
    if (!presetLevel.Fits() || !instrumentLevel.Fits()) return false;
    const uint32_t presetCount = records[0].count - 1;
    const uint32_t instrumentCount = records[4].count - 1;
    if (presetCount == 0 || instrumentCount == 0) return false;

    // Every zone must name an instrument or sample that is there, kept or not: FluidSynth
    // refuses the whole file otherwise, and so must the view.
    if (!presetLevel.NamesFit(kInstrumentGenerator, instrumentCount) ||
        !instrumentLevel.NamesFit(kSampleGenerator, records[8].count - 1))
        return false;

    // The presets kept, and the instruments their zones name (the first instrument generator
    // of a zone is the one FluidSynth takes; any after it are skipped).
    std::vector<bool> keepPreset(presetCount, false);
    std::vector<int> newInstrument(instrumentCount, -1);
    for (uint32_t p = 0; p < presetCount; ++p) {
        const uint8_t* header = records[0].At(p);
        if (!kept.count(
                Preset(static_cast<int>(Little(header + 22, 2)), static_cast<int>(Little(header + 20, 2)))))
            continue;
        keepPreset[p] = true;
        ++keptPresets;
        for (uint32_t bag = presetLevel.Bag(p); bag < presetLevel.Bag(p + 1); ++bag) {
            for (uint32_t g = presetLevel.Gen(bag); g < presetLevel.Gen(bag + 1); ++g) {
                const uint8_t* gen = records[3].At(g);
                if (Little(gen, 2) != kInstrumentGenerator) continue;
                newInstrument[Little(gen + 2, 2)] = 0;
                break;
            }
        }
    }
    if (keptPresets == 0) return false;
    int instruments = 0;
    for (int& number : newInstrument)
        if (number == 0) number = instruments++;

    for (uint32_t i = 0; i < instrumentCount; ++i)
        if (newInstrument[i] >= 0) instrumentLevel.Keep(i, [](uint8_t*, size_t) {});
    instrumentLevel.Close();
    for (uint32_t p = 0; p < presetCount; ++p) {
        if (!keepPreset[p]) continue;
        presetLevel.Keep(p, [&](uint8_t* gens, size_t count) {
            for (size_t g = 0; g < count; ++g) {
                if (Little(gens + g * 4, 2) != kInstrumentGenerator) continue;
                PutLittle(gens + g * 4 + 2, static_cast<uint32_t>(newInstrument[Little(gens + g * 4 + 2, 2)]),
                          2);
                break;
            }
        });
    }
    presetLevel.Close();

    auto image = std::make_shared<Image>();
    image->path = path;
    image->headLength = pdtaAt;
    std::vector<uint8_t> body = {'p', 'd', 't', 'a'};
    PutChunk(body, "phdr", presetLevel.outHeaders);
    PutChunk(body, "pbag", presetLevel.outBags);
    PutChunk(body, "pmod", presetLevel.outMods);
    PutChunk(body, "pgen", presetLevel.outGens);
    PutChunk(body, "inst", instrumentLevel.outHeaders);
    PutChunk(body, "ibag", instrumentLevel.outBags);
    PutChunk(body, "imod", instrumentLevel.outMods);
    PutChunk(body, "igen", instrumentLevel.outGens);
    PutChunk(body, "shdr", std::vector<uint8_t>(records[8].data, records[8].data + records[8].count * 46));
    PutChunk(image->pdta, "LIST", body);
    std::memcpy(image->riffHeader, "RIFF", 4);
    PutLittle(image->riffHeader + 4, image->Size() - 8, 4);

    name = path + "?presets=" + std::to_string(++serial);
    std::lock_guard<std::mutex> hold(registryLock);
    Registry()[name] = image;
    return true;
}

bool CSoundFontView::AddLoader(void* synthesizer) {
    fluid_synth_t* synth = static_cast<fluid_synth_t*>(synthesizer);
    fluid_sfloader_t* loader = new_fluid_defsfloader(fluid_synth_get_settings(synth));
    if (!loader) return false;
    if (fluid_sfloader_set_callbacks(loader, OpenView, ReadView, SeekView, TellView, CloseView) != FLUID_OK) {
        delete_fluid_sfloader(loader);
        return false;
    }
    fluid_synth_add_sfloader(synth, loader);
    return true;
}

bool CSoundFontView::AddSongPresets(const std::vector<uint8_t>& song, std::set<Preset>* presets) {
    CMidiChecker midi;
    if (!midi.Check(song.data(), song.size())) return false;
    AddSongPresets(midi, presets);
    return true;
}

void CSoundFontView::AddSongPresets(const CMidiChecker& song, std::set<Preset>* presets) {
    // Banks as the default (GS) selection reads them, the drum bank, and for other styles
    // the least and most significant bytes alone and together: keeping a few presets too
    // many costs little, one too few changes the song.
    std::set<int> banks = {0, 128};
    banks.insert(song.bankMsbs.begin(), song.bankMsbs.end());
    banks.insert(song.bankLsbs.begin(), song.bankLsbs.end());
    for (int high : song.bankMsbs)
        for (int low : song.bankLsbs)
            banks.insert(high * 128 + low);
    std::set<int> programs = song.programs;
    programs.insert(0);  // where reset channels start
    for (int bank : banks)
        for (int program : programs)
            presets->insert(Preset(bank, program));
}
