// Date: a time value in UTC milliseconds; local fields through the host's time zone, every
// getter and setter with its UTC form, Date.UTC and the original's toString.
#include <algorithm>
#include <cmath>
#include <limits>

#include "date_math.h"
#include "library_classes.h"
#include "native_class.h"

namespace swf::avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class DateObject final : public Object {
public:
    using Object::Object;
    Value primitiveValue() const override { return Value::number(time); }
    bool prefersStringPrimitive() const override { return true; }
    double time = kNaN;
};

Object* makeDateInstance(Vm& vm, Object* proto) { return vm.heap().make<DateObject>(proto); }

// The host answers with the zone's present rules for every date, as the original does.
LocalOffsetMinutes zoneOf(Vm& vm) {
    HostServices* host = &vm.host();
    return [host](double utc) { return host->localOffsetMinutes(utc); };
}

DateObject* thisDate(const Value& self) { return nativeAs<DateObject>(self); }

// Fields from arguments: year (two digits mean 19xx), month, then date 1 and zeros for what
// is not given.
DateFields fieldsFromArguments(Vm& vm, const Arguments& args) {
    DateFields f;
    f.year = fullYearFromTwoDigits(vm.toNumber(args[0]));
    f.month = vm.toNumber(args[1]);
    double* rest[] = {&f.date, &f.hours, &f.minutes, &f.seconds, &f.ms};
    for (size_t i = 2; i < args.size() && i < 7; ++i) *rest[i - 2] = vm.toNumber(args[i]);
    return f;
}

Value constructDate(Vm& vm, const Value& self, const Arguments& args) {
    DateObject* date = thisDate(self);
    if (!date) return self;
    if (args.empty()) {
        date->time = vm.host().nowUtcMs();
    } else if (args.size() == 1) {
        date->time = vm.toNumber(args[0]);
    } else {
        date->time = utcFromLocalTime(joinFields(fieldsFromArguments(vm, args)), zoneOf(vm));
    }
    return self;
}

Value callDate(Vm& vm, const Value&, const Arguments&) {
    return vm.newString(formatDate(vm.host().nowUtcMs(), zoneOf(vm)));
}

Value dateUtc(Vm& vm, const Value&, const Arguments& args) {
    if (args.size() < 2) return Value();
    return Value::number(joinFields(fieldsFromArguments(vm, args)));
}

double localTimeOf(Vm& vm, const DateObject& date) { return localTimeFromUtc(date.time, zoneOf(vm)); }

template <DateField F, bool Utc>
Value getField(Vm& vm, const Value& self, const Arguments&) {
    DateObject* date = thisDate(self);
    if (!date) return Value();
    return Value::number(dateField(Utc ? date->time : localTimeOf(vm, *date), F));
}

template <bool Utc>
Value getYear(Vm& vm, const Value& self, const Arguments&) {
    DateObject* date = thisDate(self);
    if (!date) return Value();
    return Value::number(dateField(Utc ? date->time : localTimeOf(vm, *date), DateField::kYear) - 1900);
}

Value getTime(Vm&, const Value& self, const Arguments&) {
    DateObject* date = thisDate(self);
    return date ? Value::number(date->time) : Value();
}

Value getTimezoneOffset(Vm& vm, const Value& self, const Arguments&) {
    DateObject* date = thisDate(self);
    if (!date) return Value();
    if (!std::isfinite(date->time)) return Value::number(kNaN);
    return Value::number(-zoneOf(vm)(date->time));
}

Value dateToString(Vm& vm, const Value& self, const Arguments&) {
    DateObject* date = thisDate(self);
    if (!date) return Value();
    return vm.newString(formatDate(date->time, zoneOf(vm)));
}

// Unlike the constructor, the setters keep the edition's TimeClip: a non-finite field or a
// time beyond 8.64e15 ms makes the date invalid.
double clipSetterResult(double t) { return std::isfinite(t) && std::fabs(t) <= 8.64e15 ? t : kNaN; }

// A setter replaces up to `Count` fields starting at field `First` (0 year .. 6 ms) with its
// arguments, keeping the others (ECMA-262 15.9.5.28-41). Only setFullYear starts from +0 when
// the date is invalid.
template <int First, int Count, bool Utc>
Value setFields(Vm& vm, const Value& self, const Arguments& args) {
    DateObject* date = thisDate(self);
    if (!date) return Value();
    double base;
    if (std::isnan(date->time)) {
        base = First == 0 ? 0 : kNaN;
    } else {
        base = Utc ? date->time : localTimeOf(vm, *date);
    }
    DateFields f = splitTime(base);
    double* fields[] = {&f.year, &f.month, &f.date, &f.hours, &f.minutes, &f.seconds, &f.ms};
    const size_t given = args.empty() ? 1 : std::min<size_t>(args.size(), Count);
    bool allFinite = true;
    for (size_t i = 0; i < given; ++i) {
        *fields[First + i] = vm.toNumber(args[i]);
        allFinite = allFinite && std::isfinite(*fields[First + i]);
    }
    const double joined = joinFields(f);
    date->time = clipSetterResult(allFinite ? (Utc ? joined : utcFromLocalTime(joined, zoneOf(vm))) : kNaN);
    return Value::number(date->time);
}

Value setYear(Vm& vm, const Value& self, const Arguments& args) {
    DateObject* date = thisDate(self);
    if (!date) return Value();
    DateFields f = splitTime(std::isnan(date->time) ? 0 : localTimeOf(vm, *date));
    f.year = fullYearFromTwoDigits(vm.toNumber(args[0]));
    date->time = clipSetterResult(std::isfinite(f.year) ? utcFromLocalTime(joinFields(f), zoneOf(vm)) : kNaN);
    return Value::number(date->time);
}

Value setTime(Vm& vm, const Value& self, const Arguments& args) {
    DateObject* date = thisDate(self);
    if (!date) return Value();
    date->time = vm.toNumber(args[0]);
    return Value::number(date->time);
}

}  // namespace

void registerDateClass(Vm& vm) {
    NativeFunction* ctor = defineClass(vm, vm.global(), {"Date", callDate, constructDate, makeDateInstance, nullptr});
    Object* proto = prototypeOf(vm, ctor);
    vm.builtins().dateProto = proto;
    defineMethod(vm, ctor, "UTC", dateUtc);

    defineMethod(vm, proto, "getFullYear", getField<DateField::kYear, false>);
    defineMethod(vm, proto, "getYear", getYear<false>);
    defineMethod(vm, proto, "getMonth", getField<DateField::kMonth, false>);
    defineMethod(vm, proto, "getDate", getField<DateField::kDate, false>);
    defineMethod(vm, proto, "getDay", getField<DateField::kWeekDay, false>);
    defineMethod(vm, proto, "getHours", getField<DateField::kHours, false>);
    defineMethod(vm, proto, "getMinutes", getField<DateField::kMinutes, false>);
    defineMethod(vm, proto, "getSeconds", getField<DateField::kSeconds, false>);
    defineMethod(vm, proto, "getMilliseconds", getField<DateField::kMilliseconds, false>);
    defineMethod(vm, proto, "getUTCFullYear", getField<DateField::kYear, true>);
    defineMethod(vm, proto, "getUTCYear", getYear<true>);
    defineMethod(vm, proto, "getUTCMonth", getField<DateField::kMonth, true>);
    defineMethod(vm, proto, "getUTCDate", getField<DateField::kDate, true>);
    defineMethod(vm, proto, "getUTCDay", getField<DateField::kWeekDay, true>);
    defineMethod(vm, proto, "getUTCHours", getField<DateField::kHours, true>);
    defineMethod(vm, proto, "getUTCMinutes", getField<DateField::kMinutes, true>);
    defineMethod(vm, proto, "getUTCSeconds", getField<DateField::kSeconds, true>);
    defineMethod(vm, proto, "getUTCMilliseconds", getField<DateField::kMilliseconds, true>);
    defineMethod(vm, proto, "getTime", getTime);
    defineMethod(vm, proto, "valueOf", getTime);
    defineMethod(vm, proto, "getTimezoneOffset", getTimezoneOffset);
    defineMethod(vm, proto, "toString", dateToString);

    defineMethod(vm, proto, "setFullYear", setFields<0, 3, false>);
    defineMethod(vm, proto, "setMonth", setFields<1, 2, false>);
    defineMethod(vm, proto, "setDate", setFields<2, 1, false>);
    defineMethod(vm, proto, "setHours", setFields<3, 4, false>);
    defineMethod(vm, proto, "setMinutes", setFields<4, 3, false>);
    defineMethod(vm, proto, "setSeconds", setFields<5, 2, false>);
    defineMethod(vm, proto, "setMilliseconds", setFields<6, 1, false>);
    defineMethod(vm, proto, "setUTCFullYear", setFields<0, 3, true>);
    defineMethod(vm, proto, "setUTCMonth", setFields<1, 2, true>);
    defineMethod(vm, proto, "setUTCDate", setFields<2, 1, true>);
    defineMethod(vm, proto, "setUTCHours", setFields<3, 4, true>);
    defineMethod(vm, proto, "setUTCMinutes", setFields<4, 3, true>);
    defineMethod(vm, proto, "setUTCSeconds", setFields<5, 2, true>);
    defineMethod(vm, proto, "setUTCMilliseconds", setFields<6, 1, true>);
    defineMethod(vm, proto, "setYear", setYear);
    defineMethod(vm, proto, "setTime", setTime);
}

}  // namespace swf::avm1
