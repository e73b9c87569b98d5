#include "library_classes.h"

namespace swf::avm1 {

void registerLibraryClasses(Vm& vm) {
    registerArrayClass(vm);  // first: arguments objects and array literals need it
    registerStringClass(vm);
    registerNumberClass(vm);
    registerMathObject(vm);
    registerDateClass(vm);
    registerXmlClasses(vm);
    registerLoadVarsClass(vm);
    registerSharedObjectClass(vm);
    registerSystemObject(vm);
    registerTextFunctions(vm);
    registerExternalInterface(vm);
    registerAbsentServices(vm);
}

}  // namespace swf::avm1
