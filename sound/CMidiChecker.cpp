#include "sound/CMidiChecker.h"

#include <cstring>

namespace {

uint32_t Big(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | p[i];
    return value;
}

void PutBig(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutNumber(std::vector<uint8_t>& out, uint32_t value) {
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

enum NumberResult { kNumberOk, kNumberCut, kNumberTooLong };

// A variable-length number of at most four bytes, read no further than end.
NumberResult ReadNumber(const uint8_t*& p, const uint8_t* end, uint32_t* value) {
    *value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p == end) return kNumberCut;
        uint8_t byte = *p++;
        *value = (*value << 7) | (byte & 0x7F);
        if (!(byte & 0x80)) return kNumberOk;
    }
    return kNumberTooLong;
}

// The lengths the standard fixes for some meta events; -1 where any length will do.
int MetaLength(uint8_t type) {
    switch (type) {
    case 0x20:  // channel prefix
    case 0x21:  // port
        return 1;
    case 0x2F: return 0;  // end of track
    case 0x51: return 3;  // tempo
    case 0x54: return 5;  // SMPTE offset
    case 0x58: return 4;  // time signature
    case 0x59: return 2;  // key signature
    default: return -1;
    }
}

bool IsText(const uint8_t* id) {
    for (int i = 0; i < 4; ++i)
        if (id[i] < 0x20 || id[i] > 0x7E) return false;
    return true;
}

}  // namespace

CMidiChecker::CMidiChecker()
    : CSoundFileChecker(kMaxFileBytes), format(-1), trackCount(0), division(0), tracksWithoutEnd(0) {}

bool CMidiChecker::Check(const uint8_t* data, size_t size) {
    reason.clear();
    format = -1;
    trackCount = 0;
    division = 0;
    ClearFindings();
    if (Walk(data, size)) return true;
    ClearFindings();
    return false;
}

void CMidiChecker::ClearFindings() {
    playable.clear();
    tracksWithoutEnd = 0;
    programs.clear();
    bankMsbs.clear();
    bankLsbs.clear();
}

bool CMidiChecker::Walk(const uint8_t* data, size_t size) {
    if (size > maxBytes) return Refuse("%zu bytes is too large for a song", size);
    if (size < 4 || std::memcmp(data, "MThd", 4) != 0)
        return Refuse("not a Standard MIDI File (no MThd header)");
    if (size < 14) return Refuse("file ends inside the header (%zu bytes)", size);
    const uint32_t headerLength = Big(data + 4, 4);
    if (headerLength < 6) return Refuse("header of %u bytes, less than 6", headerLength);
    if (headerLength > size - 8)
        return Refuse("header claims %u bytes but only %zu follow", headerLength, size - 8);
    const int kind = static_cast<int>(Big(data + 8, 2));
    const int tracks = static_cast<int>(Big(data + 10, 2));
    const uint32_t ticks = Big(data + 12, 2);
    if (kind == 2) return Refuse("format 2 (independent sequences) is not played");
    if (kind > 2) return Refuse("unknown format %d", kind);
    if (tracks == 0) return Refuse("no tracks");
    if (tracks > kMaxTracks) return Refuse("%d tracks, more than the %d a song may have", tracks, kMaxTracks);
    if (kind == 0 && tracks != 1) return Refuse("format 0 with %d tracks instead of one", tracks);
    if (ticks & 0x8000) return Refuse("SMPTE time division is not played");
    if (ticks == 0) return Refuse("time division of 0 ticks a quarter note");

    playable = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
    PutBig(playable, static_cast<uint32_t>(kind), 2);
    PutBig(playable, static_cast<uint32_t>(tracks), 2);
    PutBig(playable, ticks, 2);
    size_t at = 8 + headerLength;
    int found = 0;
    while (found < tracks) {
        if (at == size) return Refuse("file ends after %d of %d tracks", found, tracks);
        if (size - at < 8) return Refuse("file ends inside the chunk header at byte %zu", at);
        const uint8_t* id = data + at;
        const uint32_t length = Big(data + at + 4, 4);
        if (!IsText(id)) return Refuse("chunk without a name at byte %zu", at);
        const bool track = std::memcmp(id, "MTrk", 4) == 0;
        if (length > size - at - 8) {
            if (track)
                return Refuse("track %d of %d at byte %zu claims %u bytes but only %zu remain", found + 1,
                              tracks, at, length, size - at - 8);
            return Refuse("chunk '%.4s' at byte %zu claims %u bytes but only %zu remain", id, at, length,
                          size - at - 8);
        }
        // Chunks of other kinds are skipped, as the standard asks of readers.
        if (track) {
            if (!CheckTrack(data, at + 8, length, ++found)) return false;
        }
        at += 8 + length;
    }
    // Anything after the last track is never read.
    format = kind;
    trackCount = tracks;
    division = static_cast<int>(ticks);
    return true;
}

bool CMidiChecker::CheckTrack(const uint8_t* file, size_t start, size_t length, int number) {
    const uint8_t* p = file + start;
    const uint8_t* const end = p + length;
    std::vector<uint8_t> out;
    uint8_t running = 0;
    uint32_t time = 0;
    uint32_t carried = 0;  // delta time of events left out, added to the next one kept
    bool ended = false;
    // The offset in the file of the event being read, for the reasons.
    size_t eventAt = start;
    auto cut = [&]() { return Refuse("track %d ends inside the event at byte %zu", number, eventAt); };
    auto numberError = [&](NumberResult r, const char* what) {
        if (r == kNumberCut) return cut();
        return Refuse("track %d: %s at byte %zu is longer than 4 bytes", number, what, eventAt);
    };

    while (p < end && !ended) {
        eventAt = static_cast<size_t>(p - file);
        uint32_t delta = 0;
        NumberResult r = ReadNumber(p, end, &delta);
        if (r != kNumberOk) return numberError(r, "delta time");
        if (delta > kMaxTicks - time) return Refuse("track %d lasts more than %u ticks", number, kMaxTicks);
        time += delta;
        if (p == end) return cut();

        uint8_t status = *p;
        if (status & 0x80) {
            ++p;
        } else {
            if (!running)
                return Refuse("track %d: running status without a status before it at byte %zu", number,
                              eventAt);
            status = running;
        }

        if (status < 0xF0) {
            const int count = ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) ? 1 : 2;
            if (end - p < count) return cut();
            for (int i = 0; i < count; ++i)
                if (p[i] & 0x80)
                    return Refuse("track %d: data byte 0x%02X at byte %zu is out of range", number, p[i],
                                  static_cast<size_t>(p + i - file));
            if ((status & 0xF0) == 0xC0) programs.insert(p[0]);
            if ((status & 0xF0) == 0xB0 && p[0] == 0) bankMsbs.insert(p[1]);
            if ((status & 0xF0) == 0xB0 && p[0] == 32) bankLsbs.insert(p[1]);
            running = status;
            PutNumber(out, delta + carried);
            carried = 0;
            out.push_back(status);
            out.insert(out.end(), p, p + count);
            p += count;
            continue;
        }

        // Meta and system-exclusive events end any running status.
        running = 0;
        if (status == 0xFF) {
            if (p == end) return cut();
            const uint8_t type = *p++;
            if (type & 0x80)
                return Refuse("track %d: meta event type 0x%02X at byte %zu is out of range", number, type,
                              eventAt);
            uint32_t size = 0;
            r = ReadNumber(p, end, &size);
            if (r != kNumberOk) return numberError(r, "meta event length");
            if (size > static_cast<size_t>(end - p))
                return Refuse("track %d: meta event at byte %zu claims %u bytes but only %zu remain", number,
                              eventAt, size, static_cast<size_t>(end - p));
            const int fixed = MetaLength(type);
            if (fixed >= 0 && size != static_cast<uint32_t>(fixed))
                return Refuse("track %d: meta event 0x%02X at byte %zu has %u bytes instead of %d", number,
                              type, eventAt, size, fixed);
            if (type == 0x00 && size != 0 && size != 2)
                return Refuse("track %d: sequence number at byte %zu has %u bytes", number, eventAt, size);
            if (type == 0x51) {
                const uint32_t tempo = Big(p, 3);
                if (tempo < kMinTempo)
                    return Refuse("track %d: tempo of %u microseconds a quarter note at byte %zu", number,
                                  tempo, eventAt);
            }
            ended = type == 0x2F;
            PutNumber(out, delta + carried);
            carried = 0;
            out.push_back(0xFF);
            out.push_back(type);
            PutNumber(out, size);
            out.insert(out.end(), p, p + size);
            p += size;
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            uint32_t size = 0;
            r = ReadNumber(p, end, &size);
            if (r != kNumberOk) return numberError(r, "system-exclusive length");
            if (size > static_cast<size_t>(end - p))
                return Refuse(
                    "track %d: system-exclusive event at byte %zu claims %u bytes but only %zu remain",
                    number, eventAt, size, static_cast<size_t>(end - p));
            if (status == 0xF0) {
                PutNumber(out, delta + carried);
                carried = 0;
                out.push_back(0xF0);
                PutNumber(out, size);
                out.insert(out.end(), p, p + size);
            } else {
                carried += delta;
            }
            p += size;
            continue;
        }
        return Refuse("track %d: status 0x%02X at byte %zu does not belong in a file", number, status,
                      eventAt);
    }
    // Bytes after the end-of-track event are never read.
    if (!ended) {
        ++tracksWithoutEnd;
        PutNumber(out, carried);
        out.insert(out.end(), {0xFF, 0x2F, 0x00});
    }
    playable.insert(playable.end(), {'M', 'T', 'r', 'k'});
    PutBig(playable, static_cast<uint32_t>(out.size()), 4);
    playable.insert(playable.end(), out.begin(), out.end());
    return true;
}
