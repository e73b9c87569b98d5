// Array: elements are ordinary properties named "0", "1", ... (so for..in, watch and
// ASSetPropFlags see them as the original's do) and `length` is the object's own counter,
// grown by index stores and truncating when lowered.
#include <algorithm>
#include <cmath>
#include <optional>

#include "array_sort.h"
#include "library_classes.h"
#include "native_class.h"

namespace swf::avm1 {

namespace {

// The element index a property name stands for: an integer written in decimal ("12", "-5",
// "4294967296"), wrapped to 32 bits digit by digit as the original does, however long
// ("302231454903657293676544", 2^78, is index 0); other names (with leading zeros, fractions,
// letters) are no index.
std::optional<int32_t> indexOfName(const std::string& name) {
    const bool negative = !name.empty() && name[0] == '-';
    const size_t digits = name.size() - (negative ? 1 : 0);
    if (digits == 0) return std::nullopt;
    const size_t first = negative ? 1 : 0;
    if (digits > 1 && name[first] == '0') return std::nullopt;
    uint32_t value = 0;
    for (size_t i = first; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return std::nullopt;
        value = value * 10u + static_cast<uint32_t>(name[i] - '0');
    }
    const uint32_t low = static_cast<uint32_t>(negative ? 0 - value : value);
    return static_cast<int32_t>(low);
}

class ArrayObject final : public Object {
public:
    using Object::Object;

    bool getSpecial(Vm& vm, const std::string& name, Value& out) override {
        if (!sameName(name, "length", vm.names())) return false;
        // addProperty("length", ...) on an array answers reads; the methods keep the count.
        const Property* own = propertyHolder()->findOwn(name, vm.names());
        if (own && own->isAccessor()) return false;
        out = Value::number(length);
        return true;
    }

    bool setSpecial(Vm& vm, const std::string& name, const Value& value) override {
        if (sameName(name, "length", vm.names())) {
            truncate(vm, vm.toInt32(value));
            return true;
        }
        if (auto index = indexOfName(name); index && *index >= length) {
            // int32 arithmetic as the original: a[2147483647] makes the length wrap negative,
            // and a length that went down truncates.
            const auto grown = static_cast<int32_t>(static_cast<uint32_t>(*index) + 1u);
            if (grown < length) truncate(vm, grown); else length = grown;
        }
        return false;
    }

    void truncate(Vm& vm, int32_t newLength) {
        if (newLength < length) {
            // The elements are properties of the array, or of the object it is the part of.
            Object* elements = propertyHolder();
            std::vector<std::string> names;
            elements->ownNames(names, true);
            for (const auto& name : names) {
                auto index = indexOfName(name);
                if (index && *index >= std::max(newLength, 0)) elements->remove(name, vm.names());
            }
        }
        length = newLength;
    }

    int32_t length = 0;
};

Object* makeArrayInstance(Vm& vm, Object* proto) { return vm.heap().make<ArrayObject>(proto); }

std::string nameOf(uint32_t index) { return std::to_string(index); }

// The methods read an array's own elements only: an element inherited from a prototype, or
// any element of an object that is no array, reads as undefined, as in the original.
Value elementAt(Vm& vm, Object* o, uint32_t index) {
    if (!nativeAs<ArrayObject>(o)) return Value();
    const Property* p = o->findOwn(nameOf(index), vm.names());
    if (!p) return Value();
    return p->isAccessor() ? vm.getMember(o, nameOf(index)) : p->value;
}
void setElement(Vm& vm, Object* o, uint32_t index, const Value& v) { vm.setMember(o, nameOf(index), v); }

void setLength(Vm& vm, Object* o, uint32_t length) { vm.setMember(o, "length", Value::number(length)); }

std::vector<Value> elementsOf(Vm& vm, Object* o) {
    const uint32_t length = arrayLikeLength(vm, o);
    std::vector<Value> values;
    values.reserve(length);
    for (uint32_t i = 0; i < length; ++i) values.push_back(elementAt(vm, o, i));
    return values;
}

// Rewrites the elements from `values`, dropping any beyond them.
void storeElements(Vm& vm, Object* o, const std::vector<Value>& values) {
    const uint32_t oldLength = arrayLikeLength(vm, o);
    for (uint32_t i = 0; i < values.size(); ++i) setElement(vm, o, i, values[i]);
    for (uint32_t i = static_cast<uint32_t>(values.size()); i < oldLength; ++i) vm.deleteMember(o, nameOf(i));
    setLength(vm, o, static_cast<uint32_t>(values.size()));
}

// Deletes every element, so that the ones stored next are new properties in the order they
// are stored: for..in (newest first) shows the original's order after shift and unshift.
void clearElements(Vm& vm, Object* o, uint32_t length) {
    for (uint32_t i = 0; i < length; ++i) vm.deleteMember(o, nameOf(i));
}

Object* thisObject(const Value& self) { return self.asObject(); }

// ECMA relative position: negative counts from the end, clamped to [0, length].
uint32_t relativeIndex(Vm& vm, const Value& v, uint32_t length, uint32_t fallback) {
    if (v.isUndefined()) return fallback;
    double n = vm.toInteger(v);
    if (n < 0) n = std::max(0.0, length + n);
    return static_cast<uint32_t>(std::min<double>(n, length));
}

// Nested arrays join through their own toString; a self-containing array must not recurse
// without end, so the depth is capped.
int joinDepth = 0;

std::string joinElements(Vm& vm, Object* o, const std::string& separator) {
    if (joinDepth > 64) return std::string();
    ++joinDepth;
    std::string out;
    try {
        const uint32_t length = arrayLikeLength(vm, o);
        for (uint32_t i = 0; i < length; ++i) {
            if (i) out += separator;
            Value v = elementAt(vm, o, i);
            out += v.isUndefined() ? "undefined" : v.isNull() ? "null" : vm.toString(v);
            vm.checkStringSize(out.size());
        }
    } catch (...) {
        --joinDepth;
        throw;
    }
    --joinDepth;
    return out;
}

Value constructArray(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = thisObject(self);
    if (!o) return self;
    if (args.size() == 1 && args[0].isNumber()) {
        // Only the counter is set (new Array(-1) has length -1); nothing is allocated.
        vm.setMember(o, "length", args[0]);
        return self;
    }
    for (uint32_t i = 0; i < args.size(); ++i) setElement(vm, o, i, args[i]);
    return self;
}

Value callArray(Vm& vm, const Value&, const Arguments& args) {
    Object* o = makeArrayObject(vm, {});
    return constructArray(vm, Value::object(o), args);
}

Value arrayPush(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = thisObject(self);
    if (!o) return Value();
    uint32_t length = arrayLikeLength(vm, o);
    vm.checkArrayLength(double(length) + args.size());
    for (const Value& v : args) setElement(vm, o, length++, v);
    setLength(vm, o, length);
    return Value::number(length);
}

Value arrayPop(Vm& vm, const Value& self, const Arguments&) {
    Object* o = thisObject(self);
    if (!o) return Value();
    const uint32_t length = arrayLikeLength(vm, o);
    if (length == 0) return Value();
    // The element's own slot: a getter addProperty put over it is not asked.
    const Property* slot = nativeAs<ArrayObject>(o) ? o->findOwn(nameOf(length - 1), vm.names()) : nullptr;
    Value last = slot ? slot->value : Value();
    vm.deleteMember(o, nameOf(length - 1));
    setLength(vm, o, length - 1);
    return last;
}

Value arrayShift(Vm& vm, const Value& self, const Arguments&) {
    Object* o = thisObject(self);
    if (!o) return Value();
    const std::vector<Value> values = elementsOf(vm, o);
    if (values.empty()) return Value();
    clearElements(vm, o, static_cast<uint32_t>(values.size()));
    for (uint32_t i = 1; i < values.size(); ++i) setElement(vm, o, i - 1, values[i]);
    setLength(vm, o, static_cast<uint32_t>(values.size() - 1));
    return values.front();
}

// The original moves the elements up from the last one down, then stores the new ones.
Value arrayUnshift(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = thisObject(self);
    if (!o) return Value();
    const std::vector<Value> values = elementsOf(vm, o);
    const uint32_t count = static_cast<uint32_t>(args.size());
    vm.checkArrayLength(double(values.size()) + count);
    clearElements(vm, o, static_cast<uint32_t>(values.size()));
    for (uint32_t i = static_cast<uint32_t>(values.size()); i-- > 0;) setElement(vm, o, i + count, values[i]);
    for (uint32_t i = 0; i < count; ++i) setElement(vm, o, i, args[i]);
    const uint32_t length = static_cast<uint32_t>(values.size()) + count;
    setLength(vm, o, length);
    return Value::number(length);
}

Value arraySlice(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = thisObject(self);
    if (!o) return Value();
    const uint32_t length = arrayLikeLength(vm, o);
    const uint32_t start = relativeIndex(vm, args[0], length, 0);
    const uint32_t end = relativeIndex(vm, args[1], length, length);
    std::vector<Value> values;
    for (uint32_t i = start; i < end; ++i) values.push_back(elementAt(vm, o, i));
    return Value::object(makeArrayObject(vm, values));
}

// splice answers undefined, changing nothing, for a missing or undefined start or an
// undefined or negative count.
Value arraySplice(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = thisObject(self);
    if (!o || args.empty() || args[0].isUndefined()) return Value();
    std::vector<Value> values = elementsOf(vm, o);
    const uint32_t length = static_cast<uint32_t>(values.size());
    double wantedStart = std::min<double>(vm.toInteger(args[0]), length);
    if (wantedStart < 0) wantedStart = std::max(0.0, length + wantedStart);
    const uint32_t start = static_cast<uint32_t>(wantedStart);
    uint32_t count = length - start;
    if (args.size() > 1) {
        const double wanted = vm.toInteger(args[1]);
        if (args[1].isUndefined() || wanted < 0) return Value();
        count = static_cast<uint32_t>(std::min(wanted, double(length - start)));
    }
    std::vector<Value> removed(values.begin() + start, values.begin() + start + count);
    values.erase(values.begin() + start, values.begin() + start + count);
    if (args.size() > 2) {
        vm.checkArrayLength(double(values.size()) + args.size() - 2);
        values.insert(values.begin() + start, args.begin() + 2, args.end());
    }
    storeElements(vm, o, values);
    return Value::object(makeArrayObject(vm, removed));
}

Value arrayConcat(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = thisObject(self);
    if (!o) return Value();
    std::vector<Value> values = elementsOf(vm, o);
    for (const Value& v : args) {
        Object* other = v.asObject();
        if (other && nativeAs<ArrayObject>(other)) {
            std::vector<Value> more = elementsOf(vm, other);
            vm.checkArrayLength(double(values.size()) + more.size());
            values.insert(values.end(), more.begin(), more.end());
        } else {
            values.push_back(v);
        }
    }
    return Value::object(makeArrayObject(vm, values));
}

Value arrayJoin(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = thisObject(self);
    if (!o) return Value();
    const std::string separator = args.empty() || args[0].isUndefined() ? "," : vm.toString(args[0]);
    return vm.newString(joinElements(vm, o, separator));
}

Value arrayToString(Vm& vm, const Value& self, const Arguments&) {
    Object* o = thisObject(self);
    if (!o) return Value();
    return vm.newString(joinElements(vm, o, ","));
}

// Pairs from the outside in: both elements of a pair are removed and stored again swapped
// (a hole becomes an undefined element); the middle one of an odd count stays as it is.
Value arrayReverse(Vm& vm, const Value& self, const Arguments&) {
    Object* o = thisObject(self);
    if (!o) return Value();
    const std::vector<Value> values = elementsOf(vm, o);
    const uint32_t length = static_cast<uint32_t>(values.size());
    for (uint32_t i = 0; i < length / 2; ++i) {
        const uint32_t j = length - 1 - i;
        vm.deleteMember(o, nameOf(i));
        vm.deleteMember(o, nameOf(j));
        setElement(vm, o, i, values[j]);
        setElement(vm, o, j, values[i]);
    }
    return self;
}

SortKey sortKeyOf(Vm& vm, const Value& v) {
    SortKey key;
    key.isNumber = v.isNumber();
    key.number = key.isNumber ? v.asNumber() : 0;
    key.text = vm.toString(v);
    return key;
}

// Applies a finished sort: the index array for RETURNINDEXEDARRAY, 0 for a rejected
// UNIQUESORT, otherwise the elements stored in their new order and the array itself.
Value finishSort(Vm& vm, Object* o, const std::vector<Value>& values, const SortOutcome& outcome, int options) {
    if (outcome.notUnique) return Value::number(0);
    std::vector<Value> ordered;
    ordered.reserve(values.size());
    for (uint32_t i : outcome.order) {
        ordered.push_back((options & kSortReturnIndexedArray) ? Value::number(i) : values[i]);
    }
    if (options & kSortReturnIndexedArray) return Value::object(makeArrayObject(vm, ordered));
    storeElements(vm, o, ordered);
    return Value::object(o);
}

int signOf(double n) { return n > 0 ? 1 : (n < 0 ? -1 : 0); }

Value arraySort(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = thisObject(self);
    if (!o) return Value();
    Object* compareFunction = nullptr;
    int options = 0;
    if (!args.empty()) {
        const Value& first = args[0];
        if (first.isNumber()) {
            options = vm.toInt32(first);
        } else if (Object* f = first.asObject()) {
            if (!f->asFunction()) return self;  // a non-callable comparison: left as it is
            compareFunction = f;
        } else {
            return Value();
        }
        if (args.size() > 1 && args[1].isNumber()) options = vm.toInt32(args[1]);
    }
    const std::vector<Value> values = elementsOf(vm, o);
    SortOutcome outcome;
    if (compareFunction) {
        outcome = sortIndices(static_cast<uint32_t>(values.size()), options, [&](uint32_t a, uint32_t b) {
            Value pair[] = {values[a], values[b]};
            double result = vm.toNumber(vm.call(Value::object(compareFunction), Value(), Arguments(pair, 2)));
            return std::isnan(result) ? -1 : signOf(result);
        });
    } else {
        std::vector<SortKey> keys;
        keys.reserve(values.size());
        for (const Value& v : values) keys.push_back(sortKeyOf(vm, v));
        outcome = sortIndices(static_cast<uint32_t>(values.size()), options,
                              [&](uint32_t a, uint32_t b) { return compareSortKeys(keys[a], keys[b], options); });
    }
    return finishSort(vm, o, values, outcome, options);
}

// sortOn reads a field as the object's own plain value (getters and prototypes are not
// consulted); a primitive element compares as itself.
Value sortFieldOf(Vm& vm, const Value& element, const std::string& field) {
    Object* o = element.asObject();
    if (!o) return element;
    Value special;
    if (o->getSpecial(vm, field, special)) return special;
    const Property* p = o->findOwn(field, vm.names());
    return p && !p->isAccessor() ? p->value : Value();
}

Value arraySortOn(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = thisObject(self);
    if (!o || args.empty()) return Value();
    std::vector<std::string> fields;
    Object* fieldList = args[0].asObject();
    if (fieldList && nativeAs<ArrayObject>(fieldList)) {
        for (const Value& v : elementsOf(vm, fieldList)) fields.push_back(vm.toString(v));
    } else {
        fields.push_back(vm.toString(args[0]));
    }
    if (fields.empty()) return self;

    std::vector<int> fieldOptions(fields.size(), 0);
    Object* optionList = args[1].asObject();
    if (optionList && nativeAs<ArrayObject>(optionList)) {
        std::vector<Value> given = elementsOf(vm, optionList);
        if (given.size() == fields.size()) {
            for (size_t i = 0; i < given.size(); ++i) fieldOptions[i] = vm.toInt32(given[i]);
        }
    } else if (args[1].isNumber()) {
        std::fill(fieldOptions.begin(), fieldOptions.end(), vm.toInt32(args[1]));
    }

    const std::vector<Value> values = elementsOf(vm, o);
    std::vector<std::vector<SortKey>> keys(fields.size());
    for (size_t f = 0; f < fields.size(); ++f) {
        keys[f].reserve(values.size());
        for (const Value& v : values) keys[f].push_back(sortKeyOf(vm, sortFieldOf(vm, v, fields[f])));
    }
    // UNIQUESORT and RETURNINDEXEDARRAY come from the first field's options only; DESCENDING
    // of later fields reverses just their comparison.
    const int options = fieldOptions[0];
    const bool firstDescending = (options & kSortDescending) != 0;
    auto outcome = sortIndices(static_cast<uint32_t>(values.size()), options, [&](uint32_t a, uint32_t b) {
        for (size_t f = 0; f < fields.size(); ++f) {
            int result = compareSortKeys(keys[f][a], keys[f][b], fieldOptions[f]);
            const bool descending = (fieldOptions[f] & kSortDescending) != 0;
            if (f > 0 && descending != firstDescending) result = -result;
            if (result != 0) return result;
        }
        return 0;
    });
    return finishSort(vm, o, values, outcome, options);
}

}  // namespace

Object* makeArrayObject(Vm& vm, const std::vector<Value>& values) {
    vm.checkArrayLength(static_cast<double>(values.size()));
    auto* array = vm.heap().make<ArrayObject>(vm.builtins().arrayProto);
    for (uint32_t i = 0; i < values.size(); ++i) array->define(nameOf(i), values[i]);
    array->length = static_cast<int32_t>(values.size());
    return array;
}

uint32_t arrayLikeLength(Vm& vm, Object* o) {
    double length = 0;
    if (auto* array = nativeAs<ArrayObject>(o)) {
        length = array->length;
    } else {
        length = vm.toInteger(vm.getMember(o, "length"));
    }
    if (!(length > 0)) return 0;
    vm.checkArrayLength(length);
    return static_cast<uint32_t>(length);
}

void registerArrayClass(Vm& vm) {
    NativeFunction* ctor = defineClass(vm, vm.global(), {"Array", callArray, constructArray, makeArrayInstance, nullptr});
    Object* proto = prototypeOf(vm, ctor);
    vm.builtins().arrayProto = proto;
    vm.builtins().makeArray = makeArrayObject;
    defineMethod(vm, proto, "push", arrayPush);
    defineMethod(vm, proto, "pop", arrayPop);
    defineMethod(vm, proto, "shift", arrayShift);
    defineMethod(vm, proto, "unshift", arrayUnshift);
    defineMethod(vm, proto, "slice", arraySlice);
    defineMethod(vm, proto, "splice", arraySplice);
    defineMethod(vm, proto, "concat", arrayConcat);
    defineMethod(vm, proto, "join", arrayJoin);
    defineMethod(vm, proto, "toString", arrayToString);
    defineMethod(vm, proto, "reverse", arrayReverse);
    defineMethod(vm, proto, "sort", arraySort);
    defineMethod(vm, proto, "sortOn", arraySortOn);
    defineValue(ctor, "CASEINSENSITIVE", Value::number(kSortCaseInsensitive));
    defineValue(ctor, "DESCENDING", Value::number(kSortDescending));
    defineValue(ctor, "UNIQUESORT", Value::number(kSortUniqueSort));
    defineValue(ctor, "RETURNINDEXEDARRAY", Value::number(kSortReturnIndexedArray));
    defineValue(ctor, "NUMERIC", Value::number(kSortNumeric));
}

}  // namespace swf::avm1
