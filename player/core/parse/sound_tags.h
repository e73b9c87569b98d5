// Readers of the sound tags (define_sound.cpp).
#pragma once

#include <memory>

#include "../model/sound.h"
#include "reader.h"

namespace swf {

struct LoadContext;

SoundInfo readSoundInfo(Reader& r);
void readDefineSound(Reader& r, LoadContext& ctx);
void readDefineButtonSound(Reader& r, LoadContext& ctx);
SoundStart readStartSound(Reader& r, int startVersion);
SoundStreamHead readSoundStreamHead(Reader& r);
// `head` is the timeline's stream head (null when none came first): MP3 blocks carry a header.
std::shared_ptr<const SoundStreamBlock> readSoundStreamBlock(Reader& r, const SoundStreamHead* head);

}  // namespace swf
