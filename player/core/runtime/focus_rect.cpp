#include "focus_rect.h"

#include <cmath>

#include "avm1/vm.h"

namespace swf {

using avm1::Value;

namespace {

bool refersToStage(avm1::Vm& vm, const FocusRectSetting& s) { return s.isLevel || vm.swfVersion() <= 5; }

}  // namespace

Value readFocusRect(avm1::Vm& vm, const FocusRectSetting& s) {
    if (refersToStage(vm, s)) return vm.swfVersion() <= 5 ? Value::number(s.stage ? 1 : 0) : Value::boolean(s.stage);
    return s.own ? Value::boolean(*s.own) : Value::null();
}

void writeFocusRect(avm1::Vm& vm, const FocusRectSetting& s, const Value& v) {
    if (refersToStage(vm, s)) {
        if (v.isNullish()) return;
        s.stage = v.asObject() ? false : vm.toNumber(v) != 0;  // NaN != 0: on
        return;
    }
    if (v.isNullish()) s.own.reset();
    else s.own = vm.toBoolean(v);
}

}  // namespace swf
