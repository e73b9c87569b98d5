#include "globals.h"

#include "library_classes.h"

namespace swf::avm1 {

void installGlobals(Vm& vm) {
    registerObjectClass(vm);
    registerFunctionClass(vm);
    registerBooleanClass(vm);
    registerErrorClass(vm);
    registerLibraryClasses(vm);
    registerGlobalFunctions(vm);
    registerAsBroadcaster(vm);
    registerInputObjects(vm);
    registerStage(vm);
    registerNativeTable(vm);
}

}  // namespace swf::avm1
