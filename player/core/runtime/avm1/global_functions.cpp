// Global functions: isNaN, isFinite, timers, getTimer, getVersion, trace, ASSetPropFlags.
#include <cmath>

#include "globals.h"
#include "names.h"
#include "native_class.h"

namespace swf::avm1 {
namespace {

// Without an argument: isNaN() is true and isFinite() false in every version.
Value isNaN(Vm& vm, const Value&, const Arguments& args) {
    return Value::boolean(args.empty() || std::isnan(vm.toNumber(args[0])));
}
Value isFinite(Vm& vm, const Value&, const Arguments& args) {
    return Value::boolean(!args.empty() && std::isfinite(vm.toNumber(args[0])));
}

// setInterval(function, ms, args...) or setInterval(object, "method", ms, args...).
Value addTimer(Vm& vm, const Arguments& args, bool repeat) {
    Timers::Timer t;
    t.repeat = repeat;
    size_t next;
    Object* first = args[0].asObject();
    if (first && first->asFunction()) {
        t.function = args[0];
        next = 1;
    } else if (first && args.size() >= 3) {
        t.object = args[0];
        t.method = vm.toString(args[1]);
        next = 2;
    } else {
        return Value();
    }
    if (args.size() <= next || args[next].isUndefined()) return Value();  // no interval, no timer
    t.intervalMs = vm.toNumber(args[next]);
    if (std::isnan(t.intervalMs)) t.intervalMs = 0;
    for (size_t i = next + 1; i < args.size(); ++i) t.args.push_back(args[i]);
    int id = vm.timers().add(std::move(t), vm.host().movieMs());
    return id ? Value::number(id) : Value();
}

Value setInterval(Vm& vm, const Value&, const Arguments& args) { return addTimer(vm, args, true); }
Value setTimeout(Vm& vm, const Value&, const Arguments& args) { return addTimer(vm, args, false); }

Value clearTimer(Vm& vm, const Value&, const Arguments& args) {
    if (args[0].isNumber()) vm.timers().remove(int(args[0].asNumber()));
    return Value();
}

Value getTimer(Vm& vm, const Value&, const Arguments&) { return Value::number(std::floor(vm.host().movieMs())); }

Value getVersion(Vm&, const Value&, const Arguments&) { return Value::string(std::string("WIN 8,0,0,0")); }

Value traceFunction(Vm& vm, const Value&, const Arguments& args) {
    vm.trace(args[0].isUndefined() ? std::string("undefined") : vm.toString(args[0]));
    return Value();
}

bool isArray(Vm& vm, const Value& v) {
    Object* o = v.asObject();
    for (int depth = 0; o && depth < 256; o = o->proto(), ++depth)
        if (o == vm.builtins().arrayProto) return true;
    return false;
}

// ASSetPropFlags(object, names, set, clear): names is null (all), an array, or anything else
// as text ("a,b"; an object's toString gives it).
Value asSetPropFlags(Vm& vm, const Value&, const Arguments& args) {
    Object* o = args[0].asObject();
    if (!o) return Value();
    uint16_t set = uint16_t(vm.toInt32(args[2]) & kPropertyFlags);
    uint16_t clear = uint16_t(vm.toInt32(args[3]) & kPropertyFlags);
    std::vector<std::string> names;
    if (args[1].isNull()) {
        o->ownNames(names, true);
    } else if (Object* list = isArray(vm, args[1]) ? args[1].asObject() : nullptr) {
        double n = vm.toNumber(vm.getMember(list, "length"));
        for (size_t i = 0; n > 0 && i < size_t(std::min(n, 1e6)); ++i)
            names.push_back(vm.toString(vm.getMember(list, std::to_string(i))));
    } else {
        names = splitNameList(vm.toString(args[1]));
    }
    for (const std::string& name : names) o->setFlags(name, vm.names(), set, clear);
    return Value();
}

}  // namespace

void registerGlobalFunctions(Vm& vm) {
    Object* g = vm.global();
    defineMethod(vm, g, "isNaN", isNaN);
    defineMethod(vm, g, "isFinite", isFinite);
    defineMethod(vm, g, "setInterval", setInterval);
    defineMethod(vm, g, "setTimeout", setTimeout);
    defineMethod(vm, g, "clearInterval", clearTimer);
    defineMethod(vm, g, "clearTimeout", clearTimer);
    defineMethod(vm, g, "getTimer", getTimer);
    defineMethod(vm, g, "getVersion", getVersion);
    defineMethod(vm, g, "trace", traceFunction);
    defineMethod(vm, g, "ASSetPropFlags", asSetPropFlags);
    g->define("NaN", Value::number(NAN), kDontEnum);
    g->define("Infinity", Value::number(INFINITY), kDontEnum);
}

}  // namespace swf::avm1
