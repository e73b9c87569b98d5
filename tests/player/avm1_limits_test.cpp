// Collection and the limits that give bad scripts a defined outcome.
#include <gtest/gtest.h>

#include <parse/load_context.h>
#include <runtime/avm1/interpreter.h>

#include "avm1_script_test.h"

namespace {

using script_test::Lines;
using swf::avm1::Object;
using swf::avm1::Value;

bool anyContains(const Lines& lines, const std::string& part) {
    for (const auto& l : lines)
        if (l.find(part) != std::string::npos) return true;
    return false;
}

// A Vm without a movie: scripts run with no clip, variables land on _global.
struct BareVm {
    swf::avm1::FixedHostServices host;
    swf::avm1::Vm vm;
    explicit BareVm(swf::avm1::VmLimits limits = {}) : vm(8, host, limits) {}
    void run(const std::string& source) {
        vm.interpreter().startFrameBudget();
        runInSameFrame(source);
    }
    void runInSameFrame(const std::string& source) {
        std::vector<uint8_t> bytes = swfw::assemble(source).build();
        swf::Reader r(bytes.data(), bytes.size());
        vm.interpreter().runScript(swf::decodeActions(r), nullptr);
    }
};

TEST(Avm1Collector, FreesWhatIsUnreachableKeepsWhatIsReachable) {
    BareVm b;
    b.vm.collectGarbage();
    size_t base = b.vm.heap().size();
    Object* kept = b.vm.newObject();
    b.vm.global()->define("kept", Value::object(kept));
    Object* child = b.vm.newObject();
    kept->define("child", Value::object(child));
    // An unreachable cycle and plain garbage.
    Object* x = b.vm.newObject();
    Object* y = b.vm.newObject();
    x->define("y", Value::object(y));
    y->define("x", Value::object(x));
    for (int i = 0; i < 100; ++i) b.vm.newObject();
    size_t freed = b.vm.collectGarbage();
    EXPECT_EQ(freed, 102u);
    EXPECT_EQ(b.vm.heap().size(), base + 2);
    EXPECT_EQ(b.vm.getMember(kept, "child").asObject(), child) << "the survivor is intact";
}

TEST(Avm1Collector, ClosuresHeldByTimersSurvive) {
    // setInterval(function() { trace(secret); }, 10) inside a function whose local is `secret`.
    BareVm b;
    b.run(R"(
        function start()
          push "secret", "kept"
          defineLocal
          push 10
          function ()
            push "secret"
            getVariable
            trace
          end
          push 2, "setInterval"
          callFunction
          pop
        end
        push 0, "start"
        callFunction
        pop
        push "start", undefined
        setVariable
    )");
    b.vm.collectGarbage();
    b.vm.timers().runDue(b.vm, 15);
    EXPECT_EQ(b.vm.traces(), (Lines{"kept"}));
}

TEST(Avm1Collector, AllocatingLoopsCollectAsTheyGo) {
    // for (i = 0; i < 300000; i++) o = {}; with a cap of 200,000 objects.
    swf::avm1::VmLimits limits;
    limits.maxObjects = 200000;
    BareVm b(limits);
    b.run(R"(
        push "i", 0
        setVariable
    loop:
        push "o", 0
        initObject
        setVariable
        push "i", "i"
        getVariable
        increment
        setVariable
        push "i"
        getVariable
        push 300000
        less2
        if loop
        push "done"
        trace
    )");
    EXPECT_EQ(b.vm.traces(), (Lines{"done"}));
    EXPECT_TRUE(b.vm.warnings().empty());
}

TEST(Avm1Limits, ObjectCapAbortsTheScriptWithAWarning) {
    // head = {next: head} forever: every object stays reachable.
    swf::avm1::VmLimits limits;
    limits.maxObjects = 5000;
    BareVm b(limits);
    b.run(R"(
    loop:
        push "head", "next", "head"
        getVariable
        push 1
        initObject
        setVariable
        jump loop
    )");
    EXPECT_TRUE(anyContains(b.vm.warnings(), "too many script objects"));
    // The list stays reachable: the next script gets what collection frees, never a throw.
    b.run("push 0\ninitObject\npush 0\ninitObject\npush 0\ninitObject\npush 0\ninitObject\npush \"x\"\ntrace");
    b.vm.global()->remove("head", b.vm.names());
    b.run("push \"room again\"\ntrace");
    ASSERT_FALSE(b.vm.traces().empty());
    EXPECT_EQ(b.vm.traces().back(), "room again");
}

TEST(Avm1Limits, StringCapAbortsDoublingLoops) {
    BareVm b;
    b.run(R"(
        push "s", "x"
        setVariable
    loop:
        push "s", "s"
        getVariable
        push "s"
        getVariable
        add2
        setVariable
        jump loop
    )");
    EXPECT_TRUE(anyContains(b.vm.warnings(), "string longer than"));
}

TEST(Avm1Limits, RecursionStopsAtTheMovieLimitAndTheMovieGoesOn) {
    // function f() { f(); } f(); trace("same frame"); -- next frame: trace("next frame")
    const char* recurse = R"(
        function f()
          push 0, "f"
          callFunction
        end
        push 0, "f"
        callFunction
        push "same frame"
        trace
    )";
    auto run = script_test::runFrames(7, {recurse, "push \"next frame\"\ntrace"});
    EXPECT_EQ(run->traces(), (Lines{"next frame"}));
    EXPECT_TRUE(anyContains(run->warnings(), "256 levels of recursion"));
}

TEST(Avm1Limits, EndlessLoopsEndAtTheScriptLimit) {
    // The movies of these tests set one second through ScriptLimits.
    auto run = script_test::runFrames(7, {"forever:\njump forever", "push \"next frame\"\ntrace"});
    EXPECT_EQ(run->traces(), (Lines{"next frame"}));
    EXPECT_TRUE(anyContains(run->warnings(), "longer than 1 seconds"));
}

TEST(Avm1Limits, ScriptsLeftInAFrameWhoseTimeRanOutDoNotRun) {
    // Gotos can queue thousands of scripts into one frame; once its time is spent, each of them
    // ran another stretch of actions before noticing (a fuzzed movie took seconds per frame).
    swf::avm1::VmLimits limits;
    limits.scriptSeconds = 0.05;
    BareVm b(limits);
    b.run("forever:\njump forever");
    b.runInSameFrame("push \"same frame\"\ntrace");
    EXPECT_TRUE(b.vm.traces().empty());
    b.run("push \"next frame\"\ntrace");
    EXPECT_EQ(b.vm.traces(), (Lines{"next frame"}));
}

// Regression: the clock was read every 4096 actions, so a loop of costly native calls ran
// hundreds of them past the frame's time (seconds of bitmap work in a fuzzed movie).
TEST(Avm1Limits, LoopsOfCostlyNativeCallsEndSoonAfterTheScriptLimit) {
    swf::avm1::VmLimits limits;
    limits.scriptSeconds = 0.001;
    BareVm b(limits);
    // Each join walks 50,000 elements: far more than a millisecond.
    Object* array = b.vm.construct(b.vm.getMember(b.vm.global(), "Array"), swf::avm1::Arguments(std::vector<Value>{Value::number(50000)})).asObject();
    ASSERT_NE(array, nullptr);
    b.vm.global()->define("a", Value::object(array));
    b.run(R"(
        push "i", 0
        setVariable
    loop:
        push 0, "a"
        getVariable
        push "join"
        callMethod
        pop
        push "i", "i"
        getVariable
        increment
        setVariable
        jump loop
    )");
    const double joins = b.vm.getMember(b.vm.global(), "i").asNumber();
    EXPECT_GE(joins, 1);
    EXPECT_LT(joins, 150) << "the time was checked only after that many calls";
}

TEST(Avm1Limits, WebActionsAreWarningsAndQuitStopsTheShow) {
    auto run = script_test::runFrames(7, {R"(
        getUrl "http://example.com" "_blank"
        getUrl "FSCommand:quit" ""
        push "frame one"
        trace
    )"});
    EXPECT_TRUE(anyContains(run->warnings(), "http://example.com"));
    EXPECT_TRUE(run->player->quitRequested());
    EXPECT_EQ(run->traces(), (Lines{"frame one"}));
}

TEST(Avm1Limits, HostileCountsAndRegistersAreHarmless) {
    BareVm b;
    b.run(R"(
        push 1000000000
        initArray
        pop
        push 99999999, "nothing"
        newObject
        pop
        push r:200
        trace
        store 250
        push -5
        initObject
        pop
        push "survived"
        trace
    )");
    EXPECT_EQ(b.vm.traces(), (Lines{"undefined", "survived"}));
}

}  // namespace

namespace {

TEST(Avm1Clock, IntervalsTickWithThePinnedClock) {
    // A clock: setInterval(tick, 1000) where tick() traces the Date's h:m:s. The movie's clock
    // starts at 22:20:06 (UTC, the pinned zone) and 30 frames at 12 fps pass 2.4 seconds.
    const char* clock = R"(
        function2 tick() regs 3
          push 0, "Date"
          newObject
          store 1
          pop
          push 0, r:1, "getHours"
          callMethod
          push ":"
          add2
          push 0, r:1, "getMinutes"
          callMethod
          add2
          push ":"
          add2
          push 0, r:1, "getSeconds"
          callMethod
          add2
          trace
        end
        push 1000, "tick"
        getVariable
        push 2, "setInterval"
        callFunction
        pop
    )";
    auto run = script_test::runFrames(7, {clock}, 30);
    EXPECT_EQ(run->traces(), (Lines{"22:20:7", "22:20:8"}));
}

TEST(Avm1Clock, ShortIntervalsRunAsOftenAsTheyFitWithQueuedActionsBetween) {
    // setInterval(tick, 10); setTimeout(once, 25), both set at 0 and run at 35 ms.
    BareVm b;
    b.run(R"(
        push 10
        function ()
          push "tick"
          trace
        end
        push 2, "setInterval"
        callFunction
        pop
        push 25
        function ()
          push "once"
          trace
        end
        push 2, "setTimeout"
        callFunction
        pop
    )");
    b.vm.timers().runDue(b.vm, 35, [&] { b.vm.trace("queued"); });
    EXPECT_EQ(b.vm.traces(), (Lines{"tick", "queued", "once", "queued", "tick", "queued", "tick", "queued"}));
    b.vm.timers().runDue(b.vm, 39);
    EXPECT_EQ(b.vm.traces().size(), 8u) << "next due at 40";
}

}  // namespace
