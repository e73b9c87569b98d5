// An MP3 file as Sound.loadSound reads it: the audio frames between an ID3v2 tag at the start
// and an ID3v1 tag at the end, and the text of those tags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace swf {

// One text or comment frame of an ID3v2 tag ("TIT2", "COMM"; version 2.2 ids are given their
// 2.3 names), its text as UTF-8.
struct Id3Frame {
    std::string id;
    std::string text;
};

struct Mp3File {
    size_t audioBegin = 0, audioEnd = 0;  // byte range of the MPEG frames
    bool hasId3v2 = false;
    std::vector<Id3Frame> frames;  // ID3v2 text and comment frames, in file order
    // ID3v1 fields (empty when there is no such tag); `genre` is the stored number.
    bool hasId3v1 = false;
    std::string title, artist, album, year, comment, track, genre;
    // The first MPEG frame header's rate and channels; 0 when none is found.
    int rateHz = 0;
    bool stereo = true;
};

Mp3File readMp3File(const uint8_t* data, size_t size);

}  // namespace swf
