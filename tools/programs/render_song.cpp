// Renders one of the game's songs or effects to a WAV file through the game's own
// sound system (SDL_mixer, FluidSynth and the General MIDI soundfont), so a
// person can listen to exactly what the game plays, and prints its levels as mixed.
//   pondquest_render_song <sound file> <output.wav> [repeats]
#include "sound/CSoundClip.h"
#include "sound/CSoundSystem.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Put(FILE* file, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        std::fputc(static_cast<int>((value >> (8 * i)) & 0xFF), file);
}

void NoBox(void*, const char* caption, const char* text) { std::fprintf(stderr, "%s %s\n", caption, text); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: pondquest_render_song <sound file> <output.wav> [repeats]\n");
        return 2;
    }
    const std::string output = argv[2];
    const std::string raw = output + ".raw";
    unsigned long repeats = argc == 4 ? std::strtoul(argv[3], nullptr, 10) : 0;

    // The disk driver writes exactly what the mixer produces, as fast as it can.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    CSoundSystem::showFailureBox = NoBox;

    CSoundSystem sound;
    sound.Initialize(nullptr);
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    CSoundClip* clip = sound.Load(argv[1], false);
    sound.Play(clip, static_cast<uint32_t>(repeats));
    while (sound.IsPlaying(clip))
        SDL_Delay(5);
    sound.Shutdown();

    FILE* in = std::fopen(raw.c_str(), "rb");
    if (!in) {
        std::fprintf(stderr, "pondquest_render_song: no audio was written\n");
        return 1;
    }
    std::vector<int16_t> samples;
    int16_t buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, sizeof(int16_t), 4096, in)) > 0)
        samples.insert(samples.end(), buffer, buffer + got);
    std::fclose(in);
    std::remove(raw.c_str());

    // Drop the silence before the sound starts and after it ends.
    size_t first = 0, last = samples.size();
    while (first < last && samples[first] == 0)
        ++first;
    while (last > first && std::abs(samples[last - 1]) <= 4)
        --last;  // inaudible reverb tail
    first -= first % channels;
    last += (channels - last % channels) % channels;
    if (last > samples.size()) last = samples.size();

    FILE* out = std::fopen(output.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "pondquest_render_song: cannot write %s\n", output.c_str());
        return 1;
    }
    const uint32_t bytes = static_cast<uint32_t>((last - first) * 2);
    std::fwrite("RIFF", 1, 4, out);
    Put(out, 36 + bytes, 4);
    std::fwrite("WAVEfmt ", 1, 8, out);
    Put(out, 16, 4);
    Put(out, 1, 2);
    Put(out, static_cast<uint32_t>(channels), 2);
    Put(out, static_cast<uint32_t>(rate), 4);
    Put(out, static_cast<uint32_t>(rate * channels * 2), 4);
    Put(out, static_cast<uint32_t>(channels * 2), 2);
    Put(out, 16, 2);
    std::fwrite("data", 1, 4, out);
    Put(out, bytes, 4);
    std::fwrite(samples.data() + first, 2, last - first, out);
    std::fclose(out);
    // The levels as the game mixes them at full volume.
    double sum = 0.0;
    int peak = 0, full = 0;
    for (size_t i = first; i < last; ++i) {
        const int v = samples[i];
        peak = std::max(peak, std::abs(v));
        full += v == 32767 || v == -32768;
        sum += static_cast<double>(v) * v;
    }
    const double rms = last > first ? std::sqrt(sum / static_cast<double>(last - first)) : 0.0;
    std::printf(
        "%s: %.2f seconds, %d Hz, %d channels; peak %.2f dBFS, RMS %.2f dBFS, %d samples at full scale\n",
        output.c_str(), static_cast<double>(last - first) / channels / rate, rate, channels,
        20.0 * std::log10(std::max(peak, 1) / 32767.0), 20.0 * std::log10(std::max(rms, 1.0) / 32767.0),
        full);
    return 0;
}
