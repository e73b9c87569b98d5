// The core library's native classes and functions: Array, String, Number, Math, Date,
// XML/XMLNode, LoadVars, SharedObject, System.capabilities and the global text functions.
#pragma once

#include "vm.h"

namespace swf::avm1 {

void registerArrayClass(Vm& vm);
void registerStringClass(Vm& vm);
void registerNumberClass(Vm& vm);
void registerMathObject(Vm& vm);
void registerDateClass(Vm& vm);
void registerXmlClasses(Vm& vm);
void registerLoadVarsClass(Vm& vm);
void registerSharedObjectClass(Vm& vm);
void registerSystemObject(Vm& vm);
void registerTextFunctions(Vm& vm);  // escape, unescape, parseInt, parseFloat
void registerExternalInterface(Vm& vm);
// Classes of devices and services a screen saver does not have (Camera, NetConnection,
// FileReference, PrintJob, ...): they exist and answer as with nothing attached.
void registerAbsentServices(Vm& vm);

// Writes every SharedObject the movie opened, as the original does when a movie unloads;
// the host calls it when the movie stops.
void flushSharedObjects(Vm& vm);

// All of the above, in the order their prototypes are needed.
void registerLibraryClasses(Vm& vm);

// An array of the values (Array.prototype, an ArrayObject); for natives returning arrays.
Object* makeArrayObject(Vm& vm, const std::vector<Value>& values);
// The length an array-like object reports, as a count natives may loop to (capped by the
// Vm's array limit, which aborts the script past it).
uint32_t arrayLikeLength(Vm& vm, Object* o);

// Shared by XML and LoadVars: load(url) reads the file beside the movie at once and hands its
// text (undefined when missing) to the object's onData; getBytesLoaded/getBytesTotal.
Value loadBesideMovie(Vm& vm, const Value& self, const Arguments& args);
Value bytesLoaded(Vm& vm, const Value& self, const Arguments& args);
Value bytesTotal(Vm& vm, const Value& self, const Arguments& args);
// send / sendAndLoad of XML and LoadVars: nothing leaves the machine; false and a warning.
Value refuseNetwork(Vm& vm, const Value& self, const Arguments& args);

}  // namespace swf::avm1
