#include "sound/CSynthesizer.h"

#include "sound/CLogLimiter.h"
#include "sound/CSoundFontView.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <fluidsynth.h>
#include <pthread.h>
#include <time.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>

namespace {

const int kRate = 44100;
const int kBlockFrames = 512;
const int kBlocks = 8;  // about 90 ms rendered ahead
// The music stream waits for the synthesizer's next block, so that a slow or busy machine only
// delays the sound, until the synthesizer has spent this much processor time without delivering
// one (a block costs about a millisecond: it is stuck in a loop) or this long has passed. It then
// plays silence and waits no more until the synthesizer delivers again.
const double kStuckSeconds = 0.3;
const Uint32 kLongestWaitMs = 2000;
const Uint32 kCloseWaitMs = 500;
const Uint32 kLongestHoldMs = 1000;

// The presets of the songs expected, for the soundfonts loaded from now on.
std::mutex expectLock;
std::set<CSoundFontView::Preset> expectedPresets;

// Messages repeat without end when a synthesizer loops over a fault; three of each are enough.
CLogLimiter* limiter = nullptr;

void Log(int level, const char* message, void*) {
    const char* kind = level == FLUID_PANIC ? "panic" : level == FLUID_ERR ? "error" : "warning";
    limiter->Say(std::string("fluidsynth: ") + kind + ": " + message);
}

struct Block {
    float samples[kBlockFrames * 2];
    uint32_t request;  // the request it was rendered for
    bool last;         // the song ended within it
};

// A request: a serial number that grows with every Play and Stop, shifted left, with the lowest
// bit set when it asks for a song.
uint32_t NextRequest(uint32_t current, bool song) { return ((current >> 1) + 1) << 1 | (song ? 1u : 0u); }

enum FontState { kLoading, kReady, kFailed };
enum Owner { kThreadRuns, kThreadEnded, kGivenUp };

// Everything the rendering thread touches. Freed when the thread ends; if it never ends (a
// synthesizer stuck in a loop), left in place for the rest of the process.
struct Engine {
    std::string soundFont;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    std::thread* thread = nullptr;
    // While set, the font loaded holds only the expected songs' presets; kept until the
    // synthesizer is gone, as FluidSynth reopens the font by its name to read samples.
    CSoundFontView* view = nullptr;
    bool trimmedLoaded = false;
    int fontId = FLUID_FAILED;

    Block blocks[kBlocks];
    std::atomic<uint32_t> written{0};  // blocks rendered, ever
    std::atomic<uint32_t> read{0};     // blocks the mixer is done with, ever
    int readFrame = 0;                 // within the block being read (mixer's thread only)
    SDL_sem* space = nullptr;          // a block was freed, posted while the renderer waits for one
    SDL_sem* data = nullptr;           // a block was rendered, posted while the mixer waits for one
    std::atomic<bool> rendererWaits{false};
    std::atomic<bool> mixerWaits{false};
    clockid_t rendererClock;  // the rendering thread's processor time
    std::atomic<bool> haveClock{false};
    SDL_sem* wake = nullptr;      // a new request
    SDL_sem* finished = nullptr;  // the rendering thread has ended
    SDL_sem* go = nullptr;        // the soundfont may load now (when the loading is held)
    bool held = false;

    std::mutex requestLock;  // guards the song and plays of the latest request
    std::shared_ptr<const std::vector<uint8_t>> song;
    int plays = 1;
    std::atomic<uint32_t> request{0};
    std::atomic<uint32_t> ended{0xFFFFFFFFu};  // the request whose song has been heard to its end
    std::atomic<int> font{kLoading};
    std::atomic<bool> stalled{false};
    std::atomic<bool> quit{false};
    std::atomic<int> owner{kThreadRuns};
    std::atomic<int> peakVoices{0};  // the most voices sounding at once in the song started last
    uint32_t active = 0;             // the request being rendered (rendering thread only)
    bool rendering = false;

    void Load() {
        settings = new_fluid_settings();
        if (settings) {
            fluid_settings_setnum(settings, "synth.sample-rate", kRate);
            fluid_settings_setnum(settings, "synth.gain", 1.0);
            // Pinning the samples in memory fails for ordinary users and only earns a warning.
            fluid_settings_setint(settings, "synth.lock-memory", 0);
            // Only the instruments a song selects are read into memory, not the whole font's.
            fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
            // Voices are allocated up front: 1.4 MB less than the default 256; the busiest song needs 109.
            fluid_settings_setint(settings, "synth.polyphony", CSynthesizer::kPolyphony);
            synth = new_fluid_synth(settings);
        }
        if (synth) LoadFont();
        if (fontId != FLUID_FAILED) {
            font = kReady;
            return;
        }
        std::fprintf(stderr, "Pondquest: cannot load the soundfont %s; the songs stay silent\n",
                     soundFont.c_str());
        font = kFailed;
    }

    // Only the presets the expected songs select, when the font allows it: FluidSynth keeps
    // every zone of every preset it reads, megabytes for a General MIDI font.
    void LoadFont() {
        std::set<CSoundFontView::Preset> wanted;
        {
            std::lock_guard<std::mutex> hold(expectLock);
            wanted = expectedPresets;
        }
        if (!wanted.empty() && CSoundFontView::AddLoader(synth)) {
            view = new CSoundFontView(soundFont, wanted);
            if (view->IsTrimmed()) fontId = fluid_synth_sfload(synth, view->Name().c_str(), 1);
            trimmedLoaded = fontId != FLUID_FAILED;
        }
        if (!trimmedLoaded) fontId = fluid_synth_sfload(synth, soundFont.c_str(), 1);
#ifdef __GLIBC__
        // Reading the soundfont leaves a megabyte or so free in this thread's own heap,
        // which nothing here asks for again: the system may have it back.
        if (fontId != FLUID_FAILED) malloc_trim(0);
#endif
    }

    // A song outside the expected ones may select presets the trimmed font lacks: the whole
    // font takes its place.
    void LoadWholeFontFor(const std::vector<uint8_t>& song) {
        std::set<CSoundFontView::Preset> needed;
        if (!trimmedLoaded || (CSoundFontView::AddSongPresets(song, &needed) && view->Keeps(needed))) return;
        // Loaded before the trimmed one goes, so that the channels always find a preset; should
        // it fail, the trimmed font plays on with the substitutes FluidSynth picks.
        const int whole = fluid_synth_sfload(synth, soundFont.c_str(), 0);
        if (whole == FLUID_FAILED) return;
        fluid_synth_sfunload(synth, fontId, 1);
        trimmedLoaded = false;
        fontId = whole;
    }

    // Ends the song being rendered and starts the one asked for, if any.
    void Switch(uint32_t wanted) {
        if (player) {
            fluid_player_stop(player);
            delete_fluid_player(player);
            player = nullptr;
        }
        if (synth) fluid_synth_system_reset(synth);
        active = wanted;
        rendering = false;
        if (!(wanted & 1) || font != kReady) return;
        std::shared_ptr<const std::vector<uint8_t>> bytes;
        int times = 1;
        {
            std::lock_guard<std::mutex> hold(requestLock);
            if (request.load() != wanted) return;  // already replaced: take the next one
            bytes = song;
            times = plays;
        }
        if (bytes) LoadWholeFontFor(*bytes);
        peakVoices = 0;
        player = new_fluid_player(synth);
        if (player && bytes && fluid_player_add_mem(player, bytes->data(), bytes->size()) == FLUID_OK &&
            fluid_player_set_loop(player, times) == FLUID_OK && fluid_player_play(player) == FLUID_OK) {
            rendering = true;
            return;
        }
        ended = wanted;
    }

    double RendererSeconds() {
        timespec now;
        if (!haveClock) return 0.0;
        if (clock_gettime(rendererClock, &now) != 0) return 1e9;
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    }

    void Run() {
        if (pthread_getcpuclockid(pthread_self(), &rendererClock) == 0) haveClock = true;
        if (held) SDL_SemWaitTimeout(go, kLongestHoldMs);
        if (!quit.load()) Load();
        while (!quit.load()) {
            const uint32_t wanted = request.load();
            if (wanted != active) {
                Switch(wanted);
                continue;
            }
            if (!rendering) {
                SDL_SemWaitTimeout(wake, 100);
                continue;
            }
            const uint32_t at = written.load();
            if (at - read.load() >= static_cast<uint32_t>(kBlocks)) {
                rendererWaits = true;
                if (written.load() - read.load() >= static_cast<uint32_t>(kBlocks))
                    SDL_SemWaitTimeout(space, 100);
                rendererWaits = false;
                continue;
            }
            Block& block = blocks[at % kBlocks];
            fluid_synth_write_float(synth, kBlockFrames, block.samples, 0, 2, block.samples, 1, 2);
            peakVoices = std::max(peakVoices.load(), fluid_synth_get_active_voice_count(synth));
            block.request = active;
            block.last = fluid_player_get_status(player) == FLUID_PLAYER_DONE;
            if (block.last) rendering = false;
            written.store(at + 1);
            stalled = false;
            if (mixerWaits) SDL_SemPost(data);
        }
        // Whoever comes second, this thread or Close giving up on it, frees everything.
        if (owner.exchange(kThreadEnded) == kGivenUp)
            Free();
        else
            SDL_SemPost(finished);
    }

    // Everything but the thread itself, which must have ended or been detached.
    void Free() {
        delete thread;
        if (player) delete_fluid_player(player);
        if (synth) delete_fluid_synth(synth);
        delete view;
        if (settings) delete_fluid_settings(settings);
        SDL_DestroySemaphore(space);
        SDL_DestroySemaphore(data);
        SDL_DestroySemaphore(wake);
        SDL_DestroySemaphore(finished);
        SDL_DestroySemaphore(go);
        delete this;
    }

    void Release(uint32_t at) {
        readFrame = 0;
        read.store(at + 1);
        if (rendererWaits) SDL_SemPost(space);
    }

    // The mixer's music stream: blocks of the current request, scaled; silence otherwise.
    void Mix(Sint16* out, int frames, float gain) {
        const uint32_t wanted = request.load();
        bool wait = (wanted & 1) && ended.load() != wanted && font != kFailed && !stalled && !quit;
        const float scale = gain * 32767.0f;
        Uint32 waitStarted = 0;
        double rendererAtStart = -1.0;
        int done = 0;
        while (done < frames) {
            const uint32_t at = read.load();
            if (at == written.load()) {
                // Nothing more to wait for once the song has ended, failed to start or been replaced.
                if (!wait || quit || ended.load() == wanted || request.load() != wanted) break;
                if (rendererAtStart < 0.0) {
                    rendererAtStart = RendererSeconds();
                    waitStarted = SDL_GetTicks();
                }
                // Loading the soundfont takes far longer than a block; only the clock limits it.
                const double stuck = font == kLoading ? 1e9 : kStuckSeconds;
                if (RendererSeconds() - rendererAtStart > stuck ||
                    SDL_GetTicks() - waitStarted > kLongestWaitMs) {
                    stalled = true;
                    break;
                }
                mixerWaits = true;
                if (read.load() == written.load()) SDL_SemWaitTimeout(data, 10);
                mixerWaits = false;
                continue;
            }
            Block& block = blocks[at % kBlocks];
            if (block.request != wanted) {  // rendered for a song since stopped or replaced
                Release(at);
                continue;
            }
            const int count = std::min(kBlockFrames - readFrame, frames - done);
            const float* in = block.samples + readFrame * 2;
            for (int i = 0; i < count * 2; ++i) {
                float v = in[i] * scale;
                v = v > 32767.0f ? 32767.0f : v < -32768.0f ? -32768.0f : v;
                out[done * 2 + i] = static_cast<Sint16>(std::lrint(v));
            }
            done += count;
            readFrame += count;
            if (readFrame == kBlockFrames) {
                if (block.last) {
                    ended = wanted;
                    wait = false;
                }
                Release(at);
            }
        }
        std::memset(out + done * 2, 0, static_cast<size_t>(frames - done) * 2 * sizeof(Sint16));
    }
};

Engine* engine = nullptr;
std::atomic<float> gainNow{1.0f};
bool holdNextLoad = false;

void MixMusic(void* data, Uint8* stream, int length) {
    static_cast<Engine*>(data)->Mix(reinterpret_cast<Sint16*>(stream), length / 4, gainNow.load());
}

bool IsSoundFont(const std::string& path, std::string* trouble) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *trouble = std::strerror(errno);
        return false;
    }
    unsigned char head[12] = {};
    size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    if (got != sizeof head || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "sfbk", 4) != 0) {
        *trouble = "not a soundfont";
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> CSynthesizer::SoundFontPlaces() {
    std::vector<std::string> places;
    if (const char* listed = std::getenv("SDL_SOUNDFONTS")) {
        std::string all = listed;
        size_t from = 0;
        while (from <= all.size()) {
            size_t to = all.find(';', from);
            if (to == std::string::npos) to = all.size();
            if (to > from) places.push_back(all.substr(from, to - from));
            from = to + 1;
        }
        return places;
    }
    // The system's chosen General MIDI font first, then the packaged ones; the compressed sf3
    // fonts last, as they take far longer to load and far more memory once loaded.
    return {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
            "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3",
            "/usr/share/sounds/sf3/FluidR3_GM.sf3"};
}

bool CSynthesizer::FindSoundFont(const std::vector<std::string>& places, std::string* path,
                                 std::string* why) {
    std::string looked;
    for (const std::string& place : places) {
        std::string trouble;
        if (IsSoundFont(place, &trouble)) {
            *path = place;
            return true;
        }
        looked.append(looked.empty() ? "" : ", ").append(place).append(" (").append(trouble).append(")");
    }
    *why = places.empty() ? "no soundfont: $SDL_SOUNDFONTS names none"
                          : "no soundfont found; looked at " + looked +
                                (std::getenv("SDL_SOUNDFONTS") ? ", as $SDL_SOUNDFONTS lists" : "");
    return false;
}

void CSynthesizer::Open(const std::string& soundFont) {
    if (engine) return;
    if (!limiter) {
        limiter = new CLogLimiter(stderr, 3);
        fluid_set_log_function(FLUID_PANIC, Log, nullptr);
        fluid_set_log_function(FLUID_ERR, Log, nullptr);
        fluid_set_log_function(FLUID_WARN, Log, nullptr);
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    }
    engine = new Engine();
    engine->soundFont = soundFont;
    engine->space = SDL_CreateSemaphore(0);
    engine->data = SDL_CreateSemaphore(0);
    engine->wake = SDL_CreateSemaphore(0);
    engine->finished = SDL_CreateSemaphore(0);
    engine->go = SDL_CreateSemaphore(0);
    engine->held = holdNextLoad && engine->go;
    holdNextLoad = false;
    Engine* e = engine;
    engine->thread = new std::thread([e]() { e->Run(); });
    Mix_HookMusic(MixMusic, engine);
}

void CSynthesizer::Close() {
    if (!engine) return;
    Engine* e = engine;
    engine = nullptr;
    e->quit = true;
    SDL_SemPost(e->wake);
    SDL_SemPost(e->space);
    if (e->held) SDL_SemPost(e->go);
    Mix_HookMusic(nullptr, nullptr);
    if (SDL_SemWaitTimeout(e->finished, kCloseWaitMs) != 0 && e->owner.exchange(kGivenUp) == kThreadRuns) {
        // Still loading the soundfont (it frees everything once done), or stuck inside the
        // synthesizer: either way the thread is left to itself.
        if (e->font != kLoading)
            std::fprintf(stderr, "Pondquest: the synthesizer did not stop; leaving it behind\n");
        e->thread->detach();
    } else {
        e->thread->join();
        e->Free();
    }
    limiter->Flush();
}

void CSynthesizer::HoldLoading() { holdNextLoad = true; }

void CSynthesizer::ReleaseLoading() {
    holdNextLoad = false;
    if (engine && engine->held) SDL_SemPost(engine->go);
}

void CSynthesizer::Expect(const CMidiChecker& song) {
    std::lock_guard<std::mutex> hold(expectLock);
    CSoundFontView::AddSongPresets(song, &expectedPresets);
}

void CSynthesizer::Play(std::shared_ptr<const std::vector<uint8_t>> song, int plays) {
    if (!engine) return;
    {
        std::lock_guard<std::mutex> hold(engine->requestLock);
        engine->song = std::move(song);
        engine->plays = plays;
        engine->request = NextRequest(engine->request.load(), true);
    }
    SDL_SemPost(engine->wake);
}

void CSynthesizer::Stop() {
    if (!engine) return;
    {
        std::lock_guard<std::mutex> hold(engine->requestLock);
        engine->song.reset();
        engine->request = NextRequest(engine->request.load(), false);
    }
    SDL_SemPost(engine->wake);
}

bool CSynthesizer::IsPlaying() {
    if (!engine) return false;
    const uint32_t wanted = engine->request.load();
    return (wanted & 1) && engine->ended.load() != wanted;
}

void CSynthesizer::SetGain(float gain) { gainNow = gain; }

int CSynthesizer::PeakVoices() { return engine ? engine->peakVoices.load() : 0; }
