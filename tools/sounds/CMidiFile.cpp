#include "tools/sounds/CMidiFile.h"

#include <algorithm>
#include <cmath>

namespace {

void PutBig(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutVariable(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = value & 0x7F;
        value >>= 7;
    } while (value);
    while (count > 1)
        out.push_back(groups[--count] | 0x80);
    out.push_back(groups[0]);
}

uint8_t Clamp7(int value) { return static_cast<uint8_t>(std::min(127, std::max(0, value))); }

}  // namespace

CMidiFile::CMidiFile(int ticks) : ticksPerQuarter(ticks), endTick(0), nextSequence(0) {}

int CMidiFile::AddTrack(const std::string& name) {
    tracks.emplace_back();
    int track = static_cast<int>(tracks.size()) - 1;
    std::vector<uint8_t> data = {0xFF, 0x03};
    PutVariable(data, static_cast<uint32_t>(name.size()));
    data.insert(data.end(), name.begin(), name.end());
    Add(track, 0, 1, data);
    return track;
}

void CMidiFile::Add(int track, uint32_t tick, int order, std::vector<uint8_t> data) {
    tracks[track].push_back(Event{tick, order, nextSequence++, std::move(data)});
}

void CMidiFile::Tempo(int track, uint32_t tick, double bpm) {
    uint32_t micros = static_cast<uint32_t>(std::lround(60000000.0 / bpm));
    std::vector<uint8_t> data = {0xFF, 0x51, 0x03};
    PutBig(data, micros, 3);
    Add(track, tick, 1, data);
}

void CMidiFile::TimeSignature(int track, uint32_t tick, int numerator, int denominatorPower) {
    Add(track, tick, 1, {0xFF, 0x58, 0x04, Clamp7(numerator), Clamp7(denominatorPower), 24, 8});
}

void CMidiFile::Program(int track, uint32_t tick, int channel, int program) {
    Add(track, tick, 1, {static_cast<uint8_t>(0xC0 | (channel & 15)), Clamp7(program)});
}

void CMidiFile::Control(int track, uint32_t tick, int channel, int controller, int value) {
    Add(track, tick, 1, {static_cast<uint8_t>(0xB0 | (channel & 15)), Clamp7(controller), Clamp7(value)});
}

void CMidiFile::Note(int track, uint32_t tick, int channel, int key, int velocity, uint32_t length) {
    if (length == 0 || velocity <= 0) return;
    uint8_t status = static_cast<uint8_t>(channel & 15);
    Add(track, tick, 2, {static_cast<uint8_t>(0x90 | status), Clamp7(key), Clamp7(velocity)});
    Add(track, tick + length, 0, {static_cast<uint8_t>(0x80 | status), Clamp7(key), 0x40});
}

void CMidiFile::End(uint32_t tick) { endTick = tick; }

std::vector<uint8_t> CMidiFile::Bytes() const {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    PutBig(out, static_cast<uint32_t>(tracks.size()), 2);
    PutBig(out, static_cast<uint32_t>(ticksPerQuarter), 2);
    for (const std::vector<Event>& source : tracks) {
        std::vector<Event> events;
        for (Event e : source) {
            bool noteOff = (e.data[0] & 0xF0) == 0x80;
            if (e.tick > endTick) {
                if (!noteOff) continue;
                e.tick = endTick;  // a note running past the end is cut there
            }
            // A note starting at the very end would only sound after the loop point.
            if ((e.data[0] & 0xF0) == 0x90 && e.tick >= endTick) continue;
            events.push_back(e);
        }
        // Drop note-offs whose note-on was dropped.
        std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
            if (a.tick != b.tick) return a.tick < b.tick;
            if (a.order != b.order) return a.order < b.order;
            return a.sequence < b.sequence;
        });
        std::vector<uint8_t> body;
        uint32_t now = 0;
        int sounding[16][128] = {};
        for (const Event& e : events) {
            uint8_t kind = e.data[0] & 0xF0;
            int channel = e.data[0] & 15;
            if (kind == 0x90) {
                ++sounding[channel][e.data[1]];
            } else if (kind == 0x80) {
                if (sounding[channel][e.data[1]] == 0) continue;
                --sounding[channel][e.data[1]];
            }
            PutVariable(body, e.tick - now);
            now = e.tick;
            body.insert(body.end(), e.data.begin(), e.data.end());
        }
        PutVariable(body, endTick - now);
        body.push_back(0xFF);
        body.push_back(0x2F);
        body.push_back(0x00);
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        PutBig(out, static_cast<uint32_t>(body.size()), 4);
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}
