#ifndef PONDQUEST_TOOLS_CMIDIFILE_H
#define PONDQUEST_TOOLS_CMIDIFILE_H

#include <cstdint>
#include <string>
#include <vector>

// A type-1 Standard MIDI File built in memory. Every track ends at the same tick
// and no note sounds past it, so a player that loops the file has no seam.
class CMidiFile {
public:
    explicit CMidiFile(int ticksPerQuarter);

    int AddTrack(const std::string& name);
    void Tempo(int track, uint32_t tick, double beatsPerMinute);
    void TimeSignature(int track, uint32_t tick, int numerator, int denominatorPower);
    void Program(int track, uint32_t tick, int channel, int program);
    void Control(int track, uint32_t tick, int channel, int controller, int value);
    void Note(int track, uint32_t tick, int channel, int key, int velocity, uint32_t length);
    // Ends every track at this tick; later events are dropped, notes cut short.
    void End(uint32_t tick);
    std::vector<uint8_t> Bytes() const;

    int ticksPerQuarter;

private:
    struct Event {
        uint32_t tick;
        int order;          // at one tick: note-offs, then set-up, then note-ons
        uint32_t sequence;  // keeps equal events in the order they were added
        std::vector<uint8_t> data;
    };
    void Add(int track, uint32_t tick, int order, std::vector<uint8_t> data);

    std::vector<std::vector<Event>> tracks;
    uint32_t endTick;
    uint32_t nextSequence;
};

#endif
