// The built-in objects and functions on _global.
#pragma once

#include "vm.h"

namespace swf::avm1 {

// Registers every native class and global function this player links. Called once per Vm.
void installGlobals(Vm& vm);

void registerObjectClass(Vm& vm);
void registerFunctionClass(Vm& vm);
void registerBooleanClass(Vm& vm);
void registerErrorClass(Vm& vm);
void registerGlobalFunctions(Vm& vm);
// ASnative: after every other registrar, as it refers to their functions.
void registerNativeTable(Vm& vm);
void registerAsBroadcaster(Vm& vm);
void registerInputObjects(Vm& vm);  // Key, Mouse
void registerStage(Vm& vm);

// AsBroadcaster.initialize(o): _listeners, addListener, removeListener, broadcastMessage.
void makeBroadcaster(Vm& vm, Object* o);
// Calls `method` on every listener of a broadcaster (Key.onKeyDown, Stage.onResize); false
// when it has none.
bool broadcast(Vm& vm, Object* broadcaster, const std::string& method, const Arguments& args);
// The stage size Stage.width / Stage.height report, in pixels.
void setStageSize(Vm& vm, double width, double height);

}  // namespace swf::avm1
