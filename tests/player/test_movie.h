// Loading helpers for the tests.
#pragma once

#include <gtest/gtest.h>
#include <parse/movie_loader.h>
#include <runtime/display/morph_display.h>
#include <runtime/player.h>

#include <string>
#include <vector>

namespace testing_support {

inline std::shared_ptr<const swf::Movie> load(const std::vector<uint8_t>& bytes) {
    std::string error;
    auto movie = swf::loadMovie(bytes.data(), bytes.size(), error);
    EXPECT_TRUE(movie) << error;
    return movie;
}

inline std::unique_ptr<swf::Player> play(const std::vector<uint8_t>& bytes) {
    std::string error;
    auto player = swf::Player::load(bytes.data(), bytes.size(), error);
    EXPECT_TRUE(player) << error;
    return player;
}

template <typename T>
const T& character(const swf::Movie& movie, uint16_t id, swf::CharacterKind kind) {
    const swf::Character* c = movie.character(id);
    if (!c || c->kind != kind) throw std::runtime_error("character " + std::to_string(id) + " missing or of another kind");
    return static_cast<const T&>(*c);
}

// The shape a morph object draws at its ratio; null for other kinds.
inline const swf::Shape* morphShapeOf(const swf::DisplayObject& object) {
    auto* morph = dynamic_cast<const swf::MorphDisplay*>(&object);
    return morph ? morph->shape() : nullptr;
}

// "depth:characterId" for each object of a display list, in depth order.
inline std::string describe(const swf::Clip& clip) {
    std::string s;
    for (const auto& [depth, obj] : clip.displayList()) {
        if (!s.empty()) s += ' ';
        s += std::to_string(depth) + ":" + std::to_string(obj->character()->id);
    }
    return s;
}

}  // namespace testing_support
