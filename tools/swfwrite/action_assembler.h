// A small assembler for AVM1 test scripts, one action per line:
//
//   constants "counter" "n="          ConstantPool
//   push "text", 1, 2.5, true, null, undefined, r:1, c:0
//   getVariable / add2 / callMethod   any action without payload, by its name
//   loop:                             a label;  jump loop / if loop  branch to it
//   store 1                           StoreRegister
//   function name(a, b) ... end       DefineFunction (name may be empty: an anonymous one)
//   function2 name(r1 a, r0 b) regs 4 flags preloadThis,suppressArguments ... end
//   with ... end                      With over the block
//   try catchVar ... catch ... finally ... end    (catch/finally parts optional; "try r:2" catches into a register)
//   getUrl "url" "window" / gotoFrame 3 / gotoLabel "x" / setTarget "/a" / gotoFrame2 play
//   call                              Call (runs the frame popped from the stack)
//
// '#' starts a comment. Errors throw std::invalid_argument with the line.
#pragma once

#include <string>

#include "action_writer.h"

namespace swfw {

ActionWriter assemble(const std::string& source);

}  // namespace swfw
