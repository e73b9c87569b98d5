// The AVM1 virtual machine as native code sees it: the heap, _global and the built-in
// prototypes, the version-aware conversions, member access with prototype chains, getters,
// setters and watches, calls and `new`, and the host's services.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "arguments.h"
#include "function.h"
#include "heap.h"
#include "host_services.h"
#include "names.h"
#include "object.h"
#include "timers.h"
#include "value.h"

namespace swf::avm1 {

class Interpreter;
struct Activation;

struct VmLimits {
    double scriptSeconds = 15;        // one frame's scripts; the movie's ScriptLimits tag sets it
    int recursionDepth = 256;         // nested calls
    size_t maxObjects = 1u << 20;     // live script objects
    size_t maxStringBytes = 16u << 20;
    size_t maxArrayLength = 1u << 22;
    size_t maxTraces = 10000;
    size_t maxWarnings = 1000;
};

// The prototypes natives need to find without a lookup on _global (a script may replace
// _global.String; boxing a primitive still uses the original prototype).
struct Builtins {
    Object* objectProto = nullptr;
    Object* functionProto = nullptr;
    Object* arrayProto = nullptr;
    Object* stringProto = nullptr;
    Object* numberProto = nullptr;
    Object* booleanProto = nullptr;
    Object* dateProto = nullptr;
    Object* movieClipProto = nullptr;
    Object* xmlNodeProto = nullptr;
    Object* xmlProto = nullptr;
    // Object.registerClass: symbol name -> constructor (attachMovie uses it).
    Object* registeredClasses = nullptr;
    // Makes an array object from values; set by the Array class (until then a plain object
    // with numbered properties and a length).
    Object* (*makeArray)(Vm& vm, const std::vector<Value>& values) = nullptr;
};

enum class PrimitiveHint : uint8_t { None, Number, String };

class Vm {
public:
    Vm(int swfVersion, HostServices& host, VmLimits limits = {});
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    int swfVersion() const { return version_; }
    // The version of the player's movie (scripts of movies loaded into it run by their own).
    int movieVersion() const { return movieVersion_; }
    NameRule names() const { return names_; }
    // The version the running code follows (a SWF 4 movie's functions run by SWF 5 rules).
    void setSwfVersion(int version) {
        version_ = version;
        names_ = NameRule::forVersion(version);
        if (globalsFamily(version) != family_) useGlobalsOf(version);
    }
    // Movies of SWF 7 and later share one set of globals (_global, the classes, their
    // prototypes and registrations), movies of SWF 6 and earlier another: a SWF 6 movie loaded
    // by a SWF 8 one sees its own Object and Array. The set of the running code's version is
    // in force; the second set is made when first needed.
    static int globalsFamily(int version) { return version >= 7 ? 1 : 0; }
    // The host's classes (MovieClip, TextField ...) for a second set of globals.
    std::function<void(Vm&)> installHostClasses;
    HostServices& host() { return host_; }
    const VmLimits& limits() const { return limits_; }
    VmLimits& limits() { return limits_; }
    Heap& heap() { return heap_; }
    Object* global() const { return global_; }
    Builtins& builtins() { return builtins_; }

    // ---- allocation
    Object* newObject();                      // a plain object with Object.prototype
    Object* newObject(Object* proto);
    Object* newArray(const std::vector<Value>& values);
    NativeFunction* newNative(NativeFn fn);   // with Function.prototype, no `prototype` property
    // Strings longer than the cap abort the script (a warning, not bad_alloc).
    Value newString(std::string s);
    void checkStringSize(size_t bytes);
    void checkArrayLength(double length);

    // ---- conversions (by the movie's version)
    double toNumber(const Value& v);
    std::string toString(const Value& v);
    bool toBoolean(const Value& v);
    int32_t toInt32(const Value& v);
    uint32_t toUint32(const Value& v) { return uint32_t(toInt32(v)); }
    double toInteger(const Value& v);  // ECMA ToInteger: NaN is 0, truncation toward zero
    Value toPrimitive(const Value& v, PrimitiveHint hint = PrimitiveHint::None);
    // Boxes primitives (a String object for "abc"); null for undefined and null.
    Object* toObject(const Value& v);
    // Number to text as the original player prints it.
    static std::string numberToString(double n);

    // ---- members (prototype chain, getters/setters, watches, clips' special properties)
    Value getMember(const Value& object, const std::string& name);
    Value getMember(Object* object, const std::string& name);
    // A read that never asks __resolve (conversions looking up valueOf and toString).
    Value getMemberWithoutResolve(Object* object, const std::string& name);
    void setMember(const Value& object, const std::string& name, const Value& value);
    void setMember(Object* object, const std::string& name, const Value& value);
    bool deleteMember(Object* object, const std::string& name);
    // The property as found on the chain (own first), or null; `owner` receives its holder.
    Property* findProperty(Object* object, const std::string& name, Object** owner = nullptr);
    bool hasProperty(Object* object, const std::string& name) { return findProperty(object, name); }
    // for..in: enumerable names of the object and its prototypes, each once, newest first.
    std::vector<std::string> enumerate(Object* object);

    // ---- calls
    Value call(const Value& function, const Value& self, const Arguments& args);
    Value callMethod(const Value& object, const std::string& name, const Arguments& args);
    Value construct(const Value& constructor, const Arguments& args);
    // super() into a native class: a plain script object becomes an instance of the class's
    // kind in place; one that already is of a native kind keeps its state (the arguments are
    // still converted). Answers what the constructor returns.
    Value constructInPlace(NativeFunction& constructor, Object* self, const Arguments& args);
    // Sets `__constructor__` (DontEnum) and, in SWF 6, `constructor` on a new instance.
    void initInstance(Object* instance, Object* constructor);
    // instanceof's interface test: whether a prototype (or an interface it lists) declares
    // `constructor` through ImplementsOp.
    // Natives asking "is this a Point?": `constructor.prototype` is on `object`'s chain.
    bool instanceOf(Object* object, Object* constructor);
    // Whether class prototype `proto` declares (or an interface it declares declares) an
    // interface whose prototype is `interfaceProto`.
    bool implementsInterface(Object* proto, Object* interfaceProto, int depth);

    // ---- output
    void trace(const std::string& line);
    void warn(const std::string& message);
    const std::vector<std::string>& traces() const { return traces_; }
    std::vector<std::string> takeTraces();
    const std::vector<std::string>& warnings() const { return warnings_; }
    std::vector<std::string> takeWarnings();
    // Called for every trace and warning as it happens (swfrun prints as it goes).
    std::function<void(const std::string&)> onTrace;
    std::function<void(const std::string&)> onWarning;

    // ---- random numbers (Math.random, random()), seeded by the host
    double random();        // [0, 1)
    uint32_t randomBits();

    // Roots that natives add: objects that must stay alive while the host references them
    // (listeners registered with the host, loaders in flight). Removed by the same pointer.
    void addRoot(Object* o);
    void removeRoot(Object* o);
    // Extra root marking, run on each collection (the display list is marked this way).
    std::vector<std::function<void(Marker&)>> rootMarkers;

    Interpreter& interpreter() { return *interpreter_; }

    // Mark-and-sweep from every root; returns the number of objects freed.
    size_t collectGarbage();
    Timers& timers() { return timers_; }

    // ASnative's functions by "table,index" (native_table.cpp); rooted.
    Object* nativeTable = nullptr;

    // fscommand("quit") was called: the host stops after this frame.
    bool quitRequested = false;

private:
    friend class Interpreter;
    // A property's getter, setter and watcher nest at most this deep together; past it reads
    // and writes use the property's stored value (a getter reading its own property ends that
    // way, not in an abort).
    static constexpr int kAccessorDepthLimit = 65;
    struct ActiveAccessor {
        Object* owner;
        std::string name;
        uint32_t serial;  // the accessor property's; 0 for a plain one
    };
    std::vector<ActiveAccessor> activeAccessors_;
    // Lookups give up on prototype chains longer than this (a cycle), ending the script.
    static constexpr size_t kPrototypeDepthLimit = 256;
    Value readMember(Object* object, const std::string& name, bool useResolve);
    // The store of setMember once watchers have had their say.
    void storeMember(Object* object, const std::string& name, const Value& stored);
    Value resolveMissing(Object* object, const std::string& name);
    // Getters, setters and watchers of the property `name` of `owner` running now stay under
    // kAccessorDepthLimit; callNested runs one of them counted.
    bool canNestOn(Object* owner, const std::string& name, uint32_t serial) const;
    Value callNested(Object* owner, const std::string& name, uint32_t serial, Object* fn, Object* self, const Arguments& args);
    int version_;
    int movieVersion_;
    struct GlobalSet {
        Object* global = nullptr;
        Builtins builtins;
        Object* nativeTable = nullptr;
    };
    GlobalSet otherGlobals_;  // the set not in force (global null: not made yet)
    int family_;
    void useGlobalsOf(int version);
    void makeGlobals();
    NameRule names_;
    HostServices& host_;
    VmLimits limits_;
    Heap heap_;
    Object* global_ = nullptr;
    Builtins builtins_;
    std::vector<std::string> traces_;
    std::vector<std::string> warnings_;
    std::mt19937 random_;
    std::vector<Object*> roots_;
    Timers timers_;
    std::unique_ptr<Interpreter> interpreter_;
};

// Runs the code of one scope by another version's rules, restoring the Vm's on exit.
class SwfVersionScope {
public:
    SwfVersionScope(Vm& vm, int version) : vm_(vm), saved_(vm.swfVersion()) { vm.setSwfVersion(version); }
    ~SwfVersionScope() { vm_.setSwfVersion(saved_); }
    SwfVersionScope(const SwfVersionScope&) = delete;
    SwfVersionScope& operator=(const SwfVersionScope&) = delete;

private:
    Vm& vm_;
    int saved_;
};

}  // namespace swf::avm1
