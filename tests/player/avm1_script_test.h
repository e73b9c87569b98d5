// Runs assembled scripts in writer-made movies with a pinned clock and seed.
#pragma once

#include <action_assembler.h>
#include <movie_writer.h>
#include <runtime/avm1/host_services.h>
#include <runtime/player.h>
#include <tags.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace script_test {

using Lines = std::vector<std::string>;

struct ScriptRun {
    swf::avm1::FixedHostServices host;
    std::unique_ptr<swf::Player> player;
    const Lines& traces() const { return player->traces(); }
    const Lines& warnings() const { return player->scriptWarnings(); }
};

// Loads a writer-made movie and steps it to frame `steps` (its first frame is shown on load).
inline std::unique_ptr<ScriptRun> play(const std::vector<uint8_t>& bytes, int steps) {
    auto run = std::make_unique<ScriptRun>();
    std::string error;
    run->player = swf::Player::load(bytes.data(), bytes.size(), error, &run->host);
    if (!run->player) throw std::runtime_error(error);
    for (int f = 1; f < steps; ++f) run->player->stepFrame();
    return run;
}

// One frame per entry of `frames`, each holding a DoAction per assembled source, in a movie of
// the given version with a one-second script limit.
inline std::unique_ptr<ScriptRun> runFrameScripts(int version, const std::vector<std::vector<std::string>>& frames,
                                                  int framesToRun = 0) {
    swfw::MovieWriter m(version, 100, 100, 12);
    m.add(swfw::scriptLimits(256, 1));
    for (const std::vector<std::string>& scripts : frames) {
        for (const std::string& source : scripts) m.add(swfw::doAction(swfw::assemble(source)));
        m.showFrame();
    }
    std::vector<uint8_t> bytes = m.build();
    auto run = std::make_unique<ScriptRun>();
    run->host.startUtcMs = 981152406000.0;  // 2001-02-02T22:20:06Z
    run->host.seed = 7;
    std::string error;
    run->player = swf::Player::load(bytes.data(), bytes.size(), error, &run->host);
    if (!run->player) throw std::runtime_error(error);
    int steps = framesToRun ? framesToRun : int(frames.size());
    for (int f = 1; f < steps; ++f) {
        run->host.elapsedMs += 1000.0 / 12;
        run->player->stepFrame();
    }
    return run;
}

// One frame per script in `frames`.
inline std::unique_ptr<ScriptRun> runFrames(int version, const std::vector<std::string>& frames, int framesToRun = 0) {
    std::vector<std::vector<std::string>> perFrame;
    for (const std::string& source : frames) perFrame.push_back({source});
    return runFrameScripts(version, perFrame, framesToRun);
}

// for..in over the stack of names Enumerate2 leaves: traces each name.
inline const char* const kTraceEnumerated = R"(
    enumerate2
  next:
    store 0
    push null
    equals2
    if done
    push r:0
    trace
    jump next
  done:
)";

inline Lines traces(int version, const std::string& source) {
    return runFrames(version, {source})->traces();
}

}  // namespace script_test
