// Soundtracks of sprites (a SoundStreamHead inside a DefineSprite): each plays while its sprite
// walks through the frames that carry its blocks, beside the root's soundtrack, and on across
// the sprite's loop without a break. A sprite's soundtrack does not pace the root timeline; a
// jump, a stop or the sprite's removal ends it, and it starts again at the next frame entered
// that has a block.
#pragma once

#include <map>
#include <memory>

#include "sound_engine.h"
#include "sound_scopes.h"

namespace swf {

class Clip;

class SpriteSoundtracks {
public:
    // The sprite entered `frame` of its timeline.
    void entered(SoundEngine& engine, SoundScopes& scopes, const std::shared_ptr<Clip>& sprite, int frame);
    // Ends the soundtracks of sprites that are gone or stopped, forgets the ones that ended.
    void follow(SoundEngine& engine);

private:
    struct Track {
        VoiceId voice = 0;
        int frame = -1;   // the frame last entered
        int passes = 0;   // the sprite's loops since the soundtrack started
        std::shared_ptr<int> readFrame = std::make_shared<int>(-1);  // counted on across loops
        std::shared_ptr<bool> mayLoop = std::make_shared<bool>(true);
    };
    std::map<std::weak_ptr<Clip>, Track, std::owner_less<std::weak_ptr<Clip>>> tracks_;
};

}  // namespace swf
