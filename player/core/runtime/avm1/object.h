// A script object: an ordered property map with the DontEnum / DontDelete / ReadOnly flags,
// a prototype (`__proto__`), addProperty getters/setters and watch callbacks.
//
// Objects live in the Vm's Heap and are reclaimed by its mark-and-sweep collector; script
// code and natives hold plain `Object*`. Subclasses (functions, arrays, dates, clips) keep
// their extra state in fields and report the objects those fields reference in
// traceReferences().
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "names.h"
#include "value.h"

namespace swf::avm1 {

class Vm;
class Marker;
class FunctionObject;

// The bits ASSetPropFlags sets: the three ECMA attributes and the version bits, which hide a
// property from movies of the versions named (the library is one for all versions).
enum PropertyFlag : uint16_t {
    kDontEnum = 1,
    kDontDelete = 2,
    kReadOnly = 4,
    kFromVersion6 = 1 << 7,
    kNotInVersion6 = 1 << 8,
    kFromVersion7 = 1 << 10,
    kFromVersion8 = 1 << 12,
    kFromVersion9 = 1 << 13,
    kFromVersion10 = 1 << 14,
};
constexpr uint16_t kVersionFlags = kFromVersion6 | kNotInVersion6 | kFromVersion7 | kFromVersion8 | kFromVersion9 | kFromVersion10;
constexpr uint16_t kPropertyFlags = kDontEnum | kDontDelete | kReadOnly | kVersionFlags;

// Whether the version bits of `flags` hide a property from a movie of `version` (0: none do).
bool hiddenFromVersion(uint16_t flags, int version);

struct Property {
    Value value;
    Object* getter = nullptr;  // addProperty: both set (the setter may be null: read-only)
    Object* setter = nullptr;
    uint16_t flags = 0;
    // Tells accessor properties apart when one is deleted and made again under the same
    // name (each counts its own nesting of getter, setter and watcher calls).
    uint32_t serial = 0;
    bool isAccessor() const { return getter != nullptr; }
};

class Object {
public:
    explicit Object(Object* proto) : proto_(proto), protoValue_(proto ? Value::object(proto) : Value()), hasProtoSlot_(proto != nullptr) {}
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    Object* proto() const { return proto_; }
    void setProto(Object* proto) { setProtoValue(proto ? Value::object(proto) : Value::null()); }
    // `__proto__` is a property like others (DontEnum, DontDelete by default) whose value, when
    // an object, is the prototype: a script may store a number there and read it back.
    const Value& protoValue() const { return protoValue_; }
    void setProtoValue(const Value& v) {
        protoValue_ = v;
        proto_ = v.asObject();
        hasProtoSlot_ = true;
    }
    bool hasProtoSlot() const { return hasProtoSlot_; }
    uint16_t protoFlags() const { return protoFlags_; }
    void setProtoFlags(uint16_t set, uint16_t clear) { protoFlags_ = uint16_t((protoFlags_ & ~clear) | set); }
    // Removes the `__proto__` slot unless it is DontDelete.
    bool removeProtoSlot() {
        if (!hasProtoSlot_ || (protoFlags_ & kDontDelete)) return false;
        hasProtoSlot_ = false;
        proto_ = nullptr;
        protoValue_ = Value();
        return true;
    }

    // Own properties only: no prototype chain, no getters run (the Vm's getMember does that).
    Property* findOwn(const std::string& name, NameRule rule);
    const Property* findOwn(const std::string& name, NameRule rule) const;
    bool hasOwn(const std::string& name, NameRule rule) const { return findOwn(name, rule) != nullptr; }
    // Creates the property or overwrites its value and flags, ignoring ReadOnly: for natives
    // building their objects and for the interpreter's DefineLocal.
    void define(const std::string& name, const Value& value, uint16_t flags = 0);
    // Stores a value the way a script assignment would on this object alone: a ReadOnly
    // property keeps its value (returns false); a new property is appended.
    bool put(const std::string& name, const Value& value, NameRule rule);
    // addProperty: a getter (required) and setter (may be null).
    void defineAccessor(const std::string& name, Object* getter, Object* setter, uint16_t flags = 0);
    // Removes an own property unless it is DontDelete; false when absent or kept.
    bool remove(const std::string& name, NameRule rule);
    void setFlags(const std::string& name, NameRule rule, uint16_t set, uint16_t clear);

    // Own property names in the original player's for..in order (newest first), enumerable
    // ones only unless `all`; those hidden from `version` left out (0: none are).
    void ownNames(std::vector<std::string>& out, bool all = false, int version = 0) const;
    size_t ownCount() const { return live_; }

    // watch(): a callback (a function object) and its user data, per property name.
    struct Watch {
        std::string name;
        Object* callback = nullptr;
        Value userData;
    };
    std::vector<Watch>& watches() { return watches_; }

    // ImplementsOp: the prototypes of the interfaces a class prototype declares, as they were
    // then; instanceof answers true for them too. Only the first ImplementsOp with operands
    // counts (even when none of them was an object).
    std::vector<Object*>& interfaces() { return interfaces_; }
    bool interfacesDeclared() const { return interfacesDeclared_; }
    void declareInterfaces() { interfacesDeclared_ = true; }

    // Special properties of subclasses (a clip's _x, an array's length). Return true when
    // `name` was handled; `out` is then the value.
    virtual bool getSpecial(Vm& vm, const std::string& name, Value& out);
    virtual bool setSpecial(Vm& vm, const std::string& name, const Value& value);
    // typeof: "object", "function" or "movieclip".
    virtual const char* typeOf() const { return "object"; }
    virtual FunctionObject* asFunction() { return nullptr; }
    // The value boxed by Number, String and Boolean objects (and Date's time); undefined otherwise.
    virtual Value primitiveValue() const { return nativePart_ ? nativePart_->primitiveValue() : Value(); }
    // `+` asks a Date for its text (toString) from SWF 6 on, every other object for valueOf.
    virtual bool prefersStringPrimitive() const { return nativePart_ && nativePart_->prefersStringPrimitive(); }
    // Objects held in subclass fields, for the collector.
    virtual void traceReferences(Marker& marker);

    // A script-made object that `super()` ran a native constructor on (class B extends
    // Array) becomes an instance of that kind in place: the native state lives in `part`, an
    // instance of the native class's own kind, while the properties stay here. Special
    // properties, the boxed value and the natives' checks (nativeAs) look through it.
    Object* nativePart() const { return nativePart_; }
    void attachNativePart(Object* part) {
        nativePart_ = part;
        part->partOwner_ = this;
    }
    // Where a native part keeps its properties (the object it was attached to), else itself.
    Object* propertyHolder() { return partOwner_ ? partOwner_ : this; }

    // Used by the Heap only.
    bool marked = false;

private:
    struct Entry {
        std::string name;
        Property property;
        bool live = true;
    };
    Entry* findEntry(const std::string& name, NameRule rule) const;
    void rebuildIndex();
    void compact();

    Object* proto_;
    Value protoValue_;
    bool hasProtoSlot_;
    uint16_t protoFlags_ = kDontEnum | kDontDelete;
    std::vector<Entry> entries_;  // creation order; removed entries are dead until compacted
    // Name -> entry indices, hashed and compared without regard to ASCII case, so one index
    // serves both name rules and a lookup allocates nothing.
    struct FoldedHash {
        size_t operator()(const std::string& s) const;
    };
    struct FoldedEqual {
        bool operator()(const std::string& a, const std::string& b) const { return sameName(a, b, NameRule{false}); }
    };
    std::unordered_multimap<std::string, uint32_t, FoldedHash, FoldedEqual> index_;
    size_t live_ = 0;
    std::vector<Watch> watches_;
    std::vector<Object*> interfaces_;
    Object* nativePart_ = nullptr;
    Object* partOwner_ = nullptr;
    bool interfacesDeclared_ = false;
    friend class Marker;
};

// The object as an instance of native kind T: itself, or the native part a super() call gave
// it; null when it is neither.
template <class T>
T* nativeAs(Object* o) {
    if (!o) return nullptr;
    if (auto* t = dynamic_cast<T*>(o)) return t;
    return o->nativePart() ? dynamic_cast<T*>(o->nativePart()) : nullptr;
}
template <class T>
T* nativeAs(const Value& v) {
    return nativeAs<T>(v.asObject());
}

}  // namespace swf::avm1
