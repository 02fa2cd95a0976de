#ifndef PONDQUEST_TOOLS_SONGS_H
#define PONDQUEST_TOOLS_SONGS_H

#include <cstdint>
#include <vector>

// The game's four songs as Standard MIDI File bytes; each loops without a seam.
std::vector<uint8_t> ComposeTitleSong();     // "DuelOfTheFates.mid": grand, urgent
std::vector<uint8_t> ComposeLevelOneSong();  // "Crawling.mid": slow, underwater
std::vector<uint8_t> ComposeLevelTwoSong();  // "The_Kids_Arent_Alright.mid": fast, tense
std::vector<uint8_t> ComposeCreditsSong();   // "rubberduckie.mid": light, cheerful

#endif
