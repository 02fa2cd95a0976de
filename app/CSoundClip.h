#ifndef PONDQUEST_CSOUNDCLIP_H
#define PONDQUEST_CSOUNDCLIP_H

// One loaded sound file; the sound system that loaded it plays it.
class CSoundClip {
public:
    // Filled in with the sound system's implementation.
};

#endif
