#ifndef PONDQUEST_CMIDICHECKER_H
#define PONDQUEST_CMIDICHECKER_H

#include "sound/CSoundFileChecker.h"

#include <set>

// A strict reader of Standard MIDI Files (formats 0 and 1): the header and its fields, every
// track's length within the file, every event and its running status within its track, meta
// and system-exclusive lengths, a sane number of tracks, tempo and length. A track that only
// lacks its end-of-track event is accepted, as real-world files often do.
//
// A file that passes is also written out again as playable: a six-byte header, only the tracks,
// each event with its own status byte, escaped system-exclusive packets left out (synthesizers
// do not read them) and every track closed by an end-of-track event.
class CMidiChecker : public CSoundFileChecker {
public:
    static constexpr size_t kMaxFileBytes = 4u << 20;
    static constexpr int kMaxTracks = 128;             // what the synthesizer's player holds
    static constexpr uint32_t kMinTempo = 10000;       // microseconds a quarter note: 6000 beats a minute
    static constexpr uint32_t kMaxTicks = 0x0FFFFFFF;  // the largest delta time; no track lasts longer

    CMidiChecker();
    bool Check(const uint8_t* data, size_t size) override;

    // What the last passing file holds.
    int format;
    int trackCount;
    int division;          // ticks a quarter note
    int tracksWithoutEnd;  // tracks that lacked their end-of-track event
    std::vector<uint8_t> playable;
    // What its channels select, on any channel: programs, and bank-select bytes (controllers
    // 0 and 32), for the synthesizer to know which instruments the song can need.
    std::set<int> programs;
    std::set<int> bankMsbs;
    std::set<int> bankLsbs;

private:
    // What a walk finds in the tracks; a refused song keeps none of it.
    void ClearFindings();
    bool Walk(const uint8_t* data, size_t size);
    bool CheckTrack(const uint8_t* file, size_t start, size_t length, int number);
};

#endif
