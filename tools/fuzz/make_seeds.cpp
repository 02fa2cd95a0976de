// Writes the fuzzers' seed corpus: small valid files of every kind and variant each reader
// meets, and a few well-formed files of kinds the readers refuse, one folder per reader.
//   make_seeds <folder>    (makes <folder>/tga, bmp, pcx, song, effect, demo, settings)
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CDemoFile.h"
#include "support/SoundBytes.h"

using namespace soundbytes;

namespace {

Bytes Pattern(size_t n, unsigned step) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = uint8_t(i * step + 1);
    return b;
}

// TGA: a header, an ID field, an optional colour map, then the pixels.
Bytes Tga(int type, int w, int h, int depth, int idLength = 0, int mapEntries = 0, int descriptor = 0) {
    Bytes b = {uint8_t(idLength), uint8_t(mapEntries ? 1 : 0), uint8_t(type)};
    b = b + Little(0, 2) + Little(mapEntries, 2) + Bytes{uint8_t(mapEntries ? 24 : 0)} + Little(0, 2) +
        Little(0, 2) + Little(w, 2) + Little(h, 2) + Bytes{uint8_t(depth), uint8_t(descriptor)};
    return b + Bytes(idLength, 'i') + Pattern(mapEntries * 3, 5) + Pattern(size_t(w) * h * depth / 8, 37);
}

// Run-length TGA (type 10): one run packet and one raw packet per row.
Bytes TgaRle(int w, int h) {
    Bytes b = Tga(10, w, h, 24);
    b.resize(18);
    for (int y = 0; y < h; ++y)
        b = b + Bytes{uint8_t(0x80 | (w - 2)), 10, 20, 30, 0, 40, 50, 60};
    return b;
}

// BMP: file header, an info header of the given size, an optional palette, padded rows.
Bytes Bmp(int w, int h, int bits = 24, uint32_t infoSize = 40, uint32_t compression = 0,
          uint32_t imageSize = 0) {
    const size_t stride = (size_t(w < 0 ? -w : w) * bits / 8 + 3) & ~size_t(3);
    const size_t rows = size_t(h < 0 ? -h : h);
    const uint32_t paletteBytes = bits <= 8 ? (1u << bits) * 4 : 0;
    const uint32_t offset = 14 + infoSize + paletteBytes;
    Bytes info = Little(infoSize, 4) + Little(uint32_t(w), 4) + Little(uint32_t(h), 4) + Little(1, 2) +
                 Little(bits, 2) + Little(compression, 4) + Little(imageSize, 4) + Little(2835, 4) +
                 Little(2835, 4) + Little(0, 4) + Little(0, 4);
    info.resize(infoSize, 0);
    return Text("BM") + Little(uint32_t(offset + stride * rows), 4) + Little(0, 4) + Little(offset, 4) +
           info + Pattern(paletteBytes, 3) + Pattern(stride * rows, 53);
}

// PCX version 5, one 8-bit plane: runs of equal pixels, literals above 191 written as runs of
// one, rows that run into each other, then the 256-colour palette.
Bytes Pcx(int w, int h, int x0 = 0, int y0 = 0, int version = 5) {
    Bytes b = Bytes{10, uint8_t(version), 1, 8} + Little(x0, 2) + Little(y0, 2) + Little(x0 + w - 1, 2) +
              Little(y0 + h - 1, 2);
    b.resize(128, 0);
    b[65] = 1;
    b[66] = uint8_t(w);
    b[67] = uint8_t(w >> 8);
    const int count = w * h;
    for (int i = 0; i < count;) {
        int run = (i % 3 == 0) ? 5 : 1;
        if (run > count - i) run = count - i;
        const uint8_t v = uint8_t(i * 29);
        if (run > 1 || v >= 192)
            b = b + Bytes{uint8_t(192 | run), v};
        else
            b.push_back(v);
        i += run;
    }
    return b + Bytes{12} + Pattern(768, 11);
}

Bytes Song0() { return Header(0, 1, 96) + Track(Tempo(500000) + kNotes + kRunning + kEnd); }

// Every meta event whose length is fixed, and some whose length is free.
Bytes Metas() {
    return Bytes{0x00, 0xFF, 0x00, 0x02, 0x00, 0x01} + Bytes{0x00, 0xFF, 0x00, 0x00} +
           Bytes{0x00, 0xFF, 0x01, 0x04} + Text("text") + Bytes{0x00, 0xFF, 0x03, 0x04} + Text("name") +
           Bytes{0x00, 0xFF, 0x20, 0x01, 0x00} + Bytes{0x00, 0xFF, 0x21, 0x01, 0x00} +
           Bytes{0x00, 0xFF, 0x54, 0x05, 0x60, 0x00, 0x00, 0x00, 0x00} +
           Bytes{0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08} + Bytes{0x00, 0xFF, 0x59, 0x02, 0x00, 0x00} +
           Bytes{0x00, 0xFF, 0x7F, 0x03, 0x00, 0x00, 0x41} + Tempo(10000);
}

// Every channel message kind, the one- and two-byte ones, each once plainly and once running.
Bytes Channels() {
    return Bytes{0x00, 0x80, 0x3C, 0x40, 0x00, 0x3D, 0x40, 0x00, 0x91, 0x3C, 0x64, 0x00, 0xA2, 0x3C,
                 0x10, 0x00, 0xB3, 0x07, 0x64, 0x00, 0x08, 0x40, 0x00, 0xC4, 0x05, 0x00, 0x06, 0x00,
                 0xD5, 0x20, 0x00, 0x21, 0x00, 0xE6, 0x00, 0x40, 0x81, 0x80, 0x00, 0xE6, 0x7F, 0x7F};
}

std::vector<std::pair<std::string, Bytes>> Songs() {
    Bytes longHeader = MidiChunk("MThd", Big(1, 2) + Big(2, 2) + Big(480, 2) + Bytes{0, 0, 0, 0});
    Bytes bigDelta = Bytes{0x8F, 0xFF, 0xFF, 0x7F, 0xFF, 0x2F, 0x00};
    return {
        {"format0", Song0()},
        {"format1_three_tracks", Header(1, 3, 480) + Track(Tempo(400000) + Metas() + kEnd) +
                                     Track(kRunning + kEnd) + Track(Channels() + kEnd)},
        {"sysex_plain_and_escaped", Header(0, 1, 96) + Track(kSysex + kEscaped + kNotes + kEscaped + kEnd)},
        {"no_end_of_track", Header(1, 2, 96) + Track(kNotes + kRunning) + Track(kNotes + kEnd)},
        {"escaped_last", Header(0, 1, 96) + Track(kNotes + kEscaped)},
        {"long_header_unknown_chunk_trailing", longHeader + MidiChunk("XFIH", Text("info")) +
                                                   Track(kNotes + kEnd + Bytes{0, 0, 0}) +
                                                   MidiChunk("MTrk", kNotes + kEnd) + Bytes{0, 0}},
        {"largest_delta", Header(0, 1, 1) + Track(bigDelta)},
        {"empty_tracks", Header(1, 2, 0x7FFF) + Track(Bytes{}) + Track(kEnd)},
        {"format2", Header(2, 2, 96) + Track(kNotes + kEnd) + Track(kNotes + kEnd)},
        {"smpte_division", Header(0, 1, 0xE728) + Track(kNotes + kEnd)},
    };
}

std::vector<std::pair<std::string, Bytes>> Effects() {
    Bytes list = WaveChunk("LIST", Text("INFOISFT") + Little(3, 4) + Text("pq"));
    return {
        {"pcm8_mono", Wave(Format(1, 1, 8000, 8), 64)},
        {"pcm16_stereo", Wave(Format(1, 2, 22050, 16), 64)},
        {"pcm24_mono", Wave(Format(1, 1, 44100, 24), 63)},
        {"pcm32_eight_channels", Wave(Format(1, 8, 48000, 32), 64)},
        {"float32_stereo", Wave(Format(3, 2, 44100, 32), 64)},
        {"extensible_pcm",
         Riff(WaveChunk("fmt ", Extensible(1, 2, 44100, 16)) + WaveChunk("data", Bytes(16, 1)))},
        {"extensible_float",
         Riff(WaveChunk("fmt ", Extensible(3, 1, 96000, 32)) + WaveChunk("data", Bytes(8, 2)))},
        {"list_and_fact_chunks_odd_data",
         Riff(list + WaveChunk("fmt ", Format(1, 1, 11025, 8)) + WaveChunk("fact", Little(5, 4)) +
              WaveChunk("data", Bytes(5, 3)))},
        {"last_pad_missing",
         Riff(WaveChunk("fmt ", Format(1, 1, 11025, 8)) + Text("data") + Little(3, 4) + Bytes{1, 2, 3})},
        {"fmt_with_extra_bytes",
         Riff(WaveChunk("fmt ", Format(1, 1, 8000, 16) + Little(0, 2)) + WaveChunk("data", Bytes(4, 0)))},
        {"adpcm", Wave(Format(2, 1, 8000, 4), 64)},
    };
}

Bytes Demo(const std::vector<CDemoStep>& steps, float sensitivity, const char* version) {
    CDemoFile demo;
    demo.mouseSensitivity = sensitivity;
    demo.gameVersion = version;
    demo.steps = steps;
    return demo.Encode();
}

std::vector<std::pair<std::string, Bytes>> Demos() {
    std::vector<CDemoStep> walk;
    for (int i = 0; i < 40; ++i)
        walk.push_back(CDemoStep{uint16_t(i < 20 ? 0x10 : 0x30), 0, 0, false});
    std::vector<CDemoStep> look;
    for (int i = 0; i < 30; ++i)
        look.push_back(CDemoStep{uint16_t(i / 7), i % 3 ? -i * 40 : 0, i % 2 ? 70000 - i : 0, i % 5 == 0});
    std::vector<CDemoStep> longRun(5000, CDemoStep{0x0FFF, -1, 1, true});
    longRun.push_back(CDemoStep{0, 0x7FFFFFFF, -0x7FFFFFFF - 1, false});
    return {
        {"one_step", Demo({CDemoStep{0, 0, 0, false}}, 2.0f, "v1")},
        {"walk", Demo(walk, 2.0f, CDemoFile::GameVersion())},
        {"look_and_click", Demo(look, 0.25f, "0123456789abcdef0123456789abcdef")},
        {"long_runs_extremes", Demo(longRun, 1e6f, "x y")},
    };
}

// Settings files as the game writes them and as a player might edit them.
std::vector<std::pair<std::string, Bytes>> Settings() {
    return {
        {"as_written",
         Text("# Pondquest settings, rewritten by the game when they change.\n[pondquest]\n"
              "mouse_sensitivity = 2.00\nmusic_volume = 1.00\neffects_volume = 1.00\nmute = no\n")},
        {"hand_edited", Text("; mine\n\n[pondquest]\n  mouse_sensitivity=0.05\n\tmusic_volume =0.333\n"
                             "effects_volume= 1e-3\n\nmute = on   \n# the end")},
        {"crlf", Text("[pondquest]\r\nmouse_sensitivity = 1000000\r\nmute = true\r\n\r\n")},
        {"unknown_keys_and_sections",
         Text("[pondquest]\nfov = 90\n[later]\nmusic_volume = 0\nname = x = y\n")},
        {"bad_values", Text("mouse_sensitivity = 0.04\nmusic_volume = 1.01\neffects_volume = nan\n"
                            "mute = perhaps\nmusic_volume = \nmouse_sensitivity = 0x1p-2\n")},
        {"not_settings", Text("ducks\n=\n[pondquest\nmouse_sensitivity 2\n")},
        {"bool_spellings", Text("mute = 1\nmute = off\nmute = yes\nmute = false\nmute = 0\n")},
        {"blank_and_spaces", Text(" \t \n\n\r\n  \n")},
    };
}

bool WriteAll(const std::string& folder, const std::vector<std::pair<std::string, Bytes>>& files) {
    mkdir(folder.c_str(), 0755);
    for (const auto& file : files) {
        const std::string path = folder + "/" + file.first;
        FILE* f = std::fopen(path.c_str(), "wb");
        bool ok = f && std::fwrite(file.second.data(), 1, file.second.size(), f) == file.second.size();
        if (f && std::fclose(f) != 0) ok = false;
        if (!ok) {
            std::perror(path.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    mkdir(dir.c_str(), 0755);
    const bool ok = WriteAll(dir + "/tga", {{"rgb24_4x2", Tga(2, 4, 2, 24)},
                                            {"rgba32_3x3_top_left", Tga(2, 3, 3, 32, 0, 0, 0x28)},
                                            {"a1r5g5b5_2x2", Tga(2, 2, 2, 16)},
                                            {"grey8_5x1", Tga(3, 5, 1, 8)},
                                            {"grey_alpha16_2x3", Tga(3, 2, 3, 16)},
                                            {"id_field_and_colour_map", Tga(2, 2, 2, 24, 3, 4)},
                                            {"rle24_4x2", TgaRle(4, 2)},
                                            {"colour_mapped_8", Tga(1, 2, 2, 8, 0, 4)},
                                            {"true_colour_8_bits", Tga(2, 2, 2, 8)}}) &&
                    WriteAll(dir + "/bmp", {{"w1", Bmp(1, 2)},
                                            {"w2_size_stated", Bmp(2, 2, 24, 40, 0, 16)},
                                            {"w3_wrong_size", Bmp(3, 2, 24, 40, 0, 3)},
                                            {"w4", Bmp(4, 4)},
                                            {"v4_header", Bmp(3, 3, 24, 108)},
                                            {"v5_header", Bmp(2, 1, 24, 124)},
                                            {"top_down", Bmp(2, -2)},
                                            {"paletted8", Bmp(4, 2, 8)},
                                            {"rgba32_bitfields", Bmp(2, 2, 32, 40, 3)},
                                            {"rle8", Bmp(4, 2, 8, 40, 1)},
                                            {"os2_core_header", Bmp(2, 2, 24, 12)}}) &&
                    WriteAll(dir + "/pcx", {{"5x3", Pcx(5, 3)},
                                            {"8x8", Pcx(8, 8)},
                                            {"1x1", Pcx(1, 1)},
                                            {"origin_offset_3x7", Pcx(3, 7, 10, 20)},
                                            {"version3", Pcx(4, 4, 0, 0, 3)}}) &&
                    WriteAll(dir + "/song", Songs()) && WriteAll(dir + "/effect", Effects()) &&
                    WriteAll(dir + "/demo", Demos()) && WriteAll(dir + "/settings", Settings());
    return ok ? 0 : 1;
}
