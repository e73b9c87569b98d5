// avm1bench [ITERATIONS]: the interpreter's speed on tight loops, in actions per second.
//   arithmetic: i = 0; s = 0; while (i < N) { s = s + i * 2 - 1; i++; }  (timeline variables)
//   registers:  the same loop in a DefineFunction2 with both variables in registers
// Prints the actions run, the time taken and the rate for each; nothing is asserted.
#include <action_assembler.h>
#include <parse/load_context.h>
#include <runtime/avm1/interpreter.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* kVariableLoop = R"(
    push "i", 0
    setVariable
    push "s", 0
    setVariable
loop:
    push "s", "s"
    getVariable
    push "i"
    getVariable
    push 2
    multiply
    add2
    push 1
    subtract
    setVariable
    push "i", "i"
    getVariable
    increment
    setVariable
    push "i"
    getVariable
    push N
    less2
    if loop
    push "s"
    getVariable
    trace
)";

const char* kRegisterLoop = R"(
    function2 run() regs 3
        push 0
        store 1
        pop
        push 0
        store 2
        pop
    loop:
        push r:2, r:1, 2
        multiply
        add2
        push 1
        subtract
        store 2
        pop
        push r:1
        increment
        store 1
        push N
        less2
        if loop
        push r:2
        return
    end
    push 0, "run"
    callFunction
    trace
)";

void measure(const char* name, std::string source, long iterations) {
    source.replace(source.find("push N"), 6, "push " + std::to_string(iterations));
    std::vector<uint8_t> bytes = swfw::assemble(source).build();
    swf::Reader r(bytes.data(), bytes.size());
    swf::ActionListPtr code = swf::decodeActions(r);
    swf::avm1::FixedHostServices host;
    swf::avm1::Vm vm(8, host);
    vm.limits().scriptSeconds = 1e9;
    auto start = std::chrono::steady_clock::now();
    vm.interpreter().startFrameBudget();
    vm.interpreter().runScript(code, nullptr);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double actions = double(vm.interpreter().actionsExecuted());
    std::printf("%-11s %12.0f actions  %8.3f s  %7.2f M actions/s  (result %s)\n", name, actions, seconds,
                actions / seconds / 1e6, vm.traces().empty() ? "-" : vm.traces().back().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    long iterations = argc > 1 ? std::atol(argv[1]) : 2000000;
    if (iterations < 1) {
        std::fprintf(stderr, "usage: avm1bench [ITERATIONS]\n");
        return 2;
    }
    measure("arithmetic", kVariableLoop, iterations);
    measure("registers", kRegisterLoop, iterations);
    return 0;
}
