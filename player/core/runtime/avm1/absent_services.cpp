// Classes of things a screen saver does not have: cameras, microphones, printers, sockets,
// other movies to talk to, a server, a context menu, a file dialog. Movies test for them and
// build them at start-up, so they exist with the original's shape and answer as a player with
// nothing attached would: no device, no connection, the file dialog cancelled at once.
#include <array>

#include "globals.h"
#include "interpreter.h"
#include "library_classes.h"
#include "native_class.h"
#include "timers.h"

namespace swf::avm1 {
namespace {

constexpr uint16_t kBuiltIn = kDontEnum | kDontDelete;

Value nothing(Vm&, const Value&, const Arguments&) { return Value(); }
Value answerFalse(Vm&, const Value&, const Arguments&) { return Value::boolean(false); }
Value answerZero(Vm&, const Value&, const Arguments&) { return Value::number(0); }

// A connection or file dialog owner: what it is waiting for is kept natively.
class ServiceObject final : public Object {
public:
    using Object::Object;
    bool connected = false;
    bool connecting = false;  // a server address was given: nothing answers
    bool dialogOpen = false;
};

Object* makeServiceObject(Vm& vm, Object* proto) { return vm.heap().make<ServiceObject>(proto); }
ServiceObject* service(const Value& v) { return nativeAs<ServiceObject>(v); }

// Calls fn(self) after the running scripts, as a dialog's answer comes.
void deliverLater(Vm& vm, const Value& self, NativeFn fn) {
    Timers::Timer later;
    later.function = Value::object(vm.newNative(fn));
    later.args = {self};
    later.repeat = false;
    vm.timers().add(std::move(later), vm.host().movieMs());
}

// ---- PrintJob: start() finds no printer; the page sizes read 0.

void registerPrintJob(Vm& vm) {
    Object* proto = prototypeOf(vm, defineClass(vm, vm.global(), {"PrintJob"}));
    for (const char* method : {"start", "addPage", "send"}) defineMethod(vm, proto, method, answerFalse);
    // Enumerable and read-only: a script's assignment to an instance leaves them 0.
    for (const char* size : {"paperHeight", "paperWidth", "pageHeight", "pageWidth", "orientation"})
        defineNativeProperty(vm, proto, size, answerZero, nullptr, 0);
}

// ---- LocalConnection: no other movie runs beside this one.

// A native constructor in the original: super() into it answers the object.
Value constructLocalConnection(Vm&, const Value& self, const Arguments&) { return self; }

Value localDomain(Vm& vm, const Value&, const Arguments&) { return vm.newString("localhost"); }

void registerLocalConnection(Vm& vm) {
    Object* proto = prototypeOf(vm, defineClass(vm, vm.global(), {"LocalConnection", nullptr, constructLocalConnection, makeServiceObject}));
    defineMethod(vm, proto, "domain", localDomain, kBuiltIn);
    defineMethod(vm, proto, "connect", answerFalse, kBuiltIn);
    defineMethod(vm, proto, "close", nothing, kBuiltIn);
    defineMethod(vm, proto, "send", answerFalse, kBuiltIn);
}

// ---- NetConnection: connect(null) is the local connection for progressive files and
// succeeds; a server address is never reached. Status events are {level, code}.

void netStatus(Vm& vm, const Value& self, const char* code) {
    Object* event = vm.newObject();
    vm.setMember(event, "code", vm.newString(code));
    vm.setMember(event, "level", vm.newString("status"));
    Value args[] = {Value::object(event)};
    vm.callMethod(self, "onStatus", Arguments(args, 1));
}

Value netConnectionClose(Vm& vm, const Value& self, const Arguments&) {
    ServiceObject* connection = service(self);
    if (!connection) return Value();
    const bool open = connection->connected || connection->connecting;
    const bool attempt = connection->connecting;
    connection->connected = connection->connecting = false;
    if (open) netStatus(vm, self, "NetConnection.Connect.Closed");
    // Closing an attempt to reach a server also ends the attempt: onStatus with no event.
    if (attempt) vm.callMethod(self, "onStatus", Arguments());
    return Value();
}

Value netConnectionConnect(Vm& vm, const Value& self, const Arguments& args) {
    ServiceObject* connection = service(self);
    if (!connection) return Value::boolean(false);
    if (connection->connected) netConnectionClose(vm, self, Arguments());
    if (!args[0].isNull()) {
        vm.warn("NetConnection.connect(\"" + vm.toString(args[0]) + "\"): a screen saver reaches no server");
        connection->connecting = true;
        return Value::boolean(false);
    }
    connection->connected = true;
    netStatus(vm, self, "NetConnection.Connect.Success");
    return Value::boolean(true);
}

Value netConnectionIsConnected(Vm&, const Value& self, const Arguments&) {
    ServiceObject* connection = service(self);
    return Value::boolean(connection && connection->connected);
}

void registerNetClasses(Vm& vm) {
    Object* proto = prototypeOf(vm, defineClass(vm, vm.global(), {"NetConnection", nullptr, nullptr, makeServiceObject}));
    defineMethod(vm, proto, "connect", netConnectionConnect);
    defineMethod(vm, proto, "close", netConnectionClose);
    defineNativeProperty(vm, proto, "isConnected", netConnectionIsConnected, nullptr);
    Object* stream = prototypeOf(vm, defineClass(vm, vm.global(), {"NetStream"}));
    for (const char* method : {"play", "pause", "seek", "close", "setBufferTime", "attachAudio", "attachVideo", "send"})
        defineMethod(vm, stream, method, nothing);
}

// ---- ContextMenu / ContextMenuItem: the menu is never shown; scripts build and copy them.

constexpr std::array<const char*, 8> kBuiltInItems = {"save", "zoom", "quality", "play",
                                                      "loop", "rewind", "forward_back", "print"};

// Own properties in the original's for..in order (the newest enumerates first).
Value constructContextMenu(Vm& vm, const Value& self, const Arguments& args) {
    Object* menu = self.asObject();
    if (!menu) return self;
    vm.setMember(menu, "onSelect", args[0]);
    Object* builtIn = vm.newObject();
    for (auto it = kBuiltInItems.rbegin(); it != kBuiltInItems.rend(); ++it) vm.setMember(builtIn, *it, Value::boolean(true));
    vm.setMember(menu, "builtInItems", Value::object(builtIn));
    vm.setMember(menu, "customItems", Value::object(vm.newArray({})));
    return self;
}

Value hideBuiltInItems(Vm& vm, const Value& self, const Arguments&) {
    Object* builtIn = vm.getMember(self, "builtInItems").asObject();
    if (builtIn)
        for (const char* item : kBuiltInItems) vm.setMember(builtIn, item, Value::boolean(false));
    return Value();
}

// A new menu with the same handler, built-in switches and copies of the custom items.
Value copyContextMenu(Vm& vm, const Value& self, const Arguments&) {
    Value args[] = {vm.getMember(self, "onSelect")};
    Value copy = vm.construct(vm.getMember(vm.global(), "ContextMenu"), Arguments(args, 1));
    if (!copy.isObject()) return copy;
    Object* from = vm.getMember(self, "builtInItems").asObject();
    Object* to = vm.getMember(copy, "builtInItems").asObject();
    if (from && to)
        for (const char* item : kBuiltInItems) vm.setMember(to, item, vm.getMember(from, item));
    Object* items = vm.getMember(self, "customItems").asObject();
    Object* copies = vm.getMember(copy, "customItems").asObject();
    if (items && copies) {
        const uint32_t length = arrayLikeLength(vm, items);
        for (uint32_t i = 0; i < length; ++i) {
            Value item = vm.getMember(items, std::to_string(i));
            Value itemCopy = item.isObject() ? vm.callMethod(item, "copy", Arguments()) : item;
            vm.setMember(copies, std::to_string(i), itemCopy);
        }
    }
    return copy;
}

Value constructContextMenuItem(Vm& vm, const Value& self, const Arguments& args) {
    Object* item = self.asObject();
    if (!item) return self;
    vm.setMember(item, "caption", args[0]);
    vm.setMember(item, "onSelect", args[1]);
    vm.setMember(item, "separatorBefore", Value::boolean(args.size() > 2 && vm.toBoolean(args[2])));
    vm.setMember(item, "enabled", Value::boolean(args.size() <= 3 || vm.toBoolean(args[3])));
    vm.setMember(item, "visible", Value::boolean(args.size() <= 4 || vm.toBoolean(args[4])));
    return self;
}

Value copyContextMenuItem(Vm& vm, const Value& self, const Arguments&) {
    std::vector<Value> args;
    for (const char* field : {"caption", "onSelect", "separatorBefore", "enabled", "visible"})
        args.push_back(vm.getMember(self, field));
    return vm.construct(vm.getMember(vm.global(), "ContextMenuItem"), Arguments(args));
}

void registerContextMenu(Vm& vm) {
    Object* menu = prototypeOf(vm, defineClass(vm, vm.global(), {"ContextMenu", nullptr, constructContextMenu}));
    defineMethod(vm, menu, "copy", copyContextMenu);
    defineMethod(vm, menu, "hideBuiltInItems", hideBuiltInItems);
    Object* item = prototypeOf(vm, defineClass(vm, vm.global(), {"ContextMenuItem", nullptr, constructContextMenuItem}));
    defineMethod(vm, item, "copy", copyContextMenuItem);
}

// ---- FileReference / FileReferenceList: the file dialog is cancelled as soon as it opens
// (nobody sits at a screen saver to choose), so browse and download answer true and their
// listeners hear onCancel after the running script. While that answer is pending a second
// dialog is refused.

// Delivered later with the dialog's owner as the argument.
Value cancelDialog(Vm& vm, const Value&, const Arguments& args) {
    if (ServiceObject* owner = service(args[0])) owner->dialogOpen = false;
    Value message[] = {vm.newString("onCancel"), args[0]};
    vm.callMethod(args[0], "broadcastMessage", Arguments(message, 2));
    return Value();
}

bool openDialog(Vm& vm, const Value& self) {
    ServiceObject* owner = service(self);
    if (!owner || owner->dialogOpen) return false;
    owner->dialogOpen = true;
    deliverLater(vm, self, cancelDialog);
    return true;
}

// A filter list is an array of objects, each with its own non-empty description and
// extension (their getters may throw: the field then counts as missing).
bool validFilters(Vm& vm, const Arguments& args) {
    if (args.empty()) return true;
    Object* list = args[0].asObject();
    if (!list) return false;
    const uint32_t length = arrayLikeLength(vm, list);
    if (length == 0) return false;
    for (uint32_t i = 0; i < length; ++i) {
        Object* filter = vm.getMember(list, std::to_string(i)).asObject();
        if (!filter) return false;
        for (const char* field : {"description", "extension"}) {
            if (!filter->hasOwn(field, vm.names())) return false;
            Value v;
            try {
                v = vm.getMember(filter, field);
            } catch (const ScriptThrow&) {
                return false;
            }
            if (vm.toString(v).empty()) return false;  // a throwing toString propagates
        }
        if (filter->hasOwn("macType", vm.names())) vm.toString(vm.getMember(filter, "macType"));
    }
    return true;
}

Value browse(Vm& vm, const Value& self, const Arguments& args) {
    if (!validFilters(vm, args)) return Value::boolean(false);
    return Value::boolean(openDialog(vm, self));
}

Value download(Vm& vm, const Value& self, const Arguments& args) {
    if (args.empty()) return Value::boolean(false);
    return Value::boolean(openDialog(vm, self));
}

Value constructFileReference(Vm& vm, const Value& self, const Arguments&) {
    if (Object* o = self.asObject()) makeBroadcaster(vm, o);
    return Value();
}

void registerFileReference(Vm& vm) {
    Object* net = packageObject(vm, {"flash", "net"});
    NativeFunction* fileClass = defineClass(vm, net, {"FileReference", nullptr, constructFileReference, makeServiceObject});
    fileClass->scriptConstructor = true;
    Object* file = prototypeOf(vm, fileClass);
    defineMethod(vm, file, "browse", browse);
    defineMethod(vm, file, "download", download);
    defineMethod(vm, file, "upload", answerFalse);
    defineMethod(vm, file, "cancel", nothing);
    NativeFunction* listClass = defineClass(vm, net, {"FileReferenceList", nullptr, constructFileReference, makeServiceObject});
    listClass->scriptConstructor = true;
    Object* list = prototypeOf(vm, listClass);
    defineMethod(vm, list, "browse", browse);
}

// ---- devices and the rest: present, with nothing behind them.

Value noDevice(Vm&, const Value&, const Arguments&) { return Value::null(); }

void registerDevicesAndObjects(Vm& vm) {
    for (const char* device : {"Camera", "Microphone"}) {
        NativeFunction* ctor = defineClass(vm, vm.global(), {device});
        defineMethod(vm, ctor, "get", noDevice);
        defineValue(ctor, "names", Value::object(vm.newArray({})));
    }
    Object* video = prototypeOf(vm, defineClass(vm, vm.global(), {"Video"}));
    defineMethod(vm, video, "attachVideo", nothing);
    defineMethod(vm, video, "clear", nothing);
    Object* socket = prototypeOf(vm, defineClass(vm, vm.global(), {"XMLSocket"}));
    defineMethod(vm, socket, "connect", answerFalse);
    defineMethod(vm, socket, "send", nothing);
    defineMethod(vm, socket, "close", nothing);
    defineClass(vm, packageObject(vm, {"flash", "text"}), {"TextRenderer"});

    Object* accessibility = vm.newObject();
    defineMethod(vm, accessibility, "isActive", answerFalse);
    defineMethod(vm, accessibility, "updateProperties", nothing);
    vm.global()->define("Accessibility", Value::object(accessibility), kDontEnum);
    if (Object* system = vm.getMember(vm.global(), "System").asObject()) {
        Object* ime = vm.newObject();
        defineMethod(vm, ime, "getEnabled", answerFalse);
        defineMethod(vm, ime, "setEnabled", answerFalse);
        system->define("IME", Value::object(ime), kDontEnum);
        Object* security = vm.newObject();
        for (const char* method : {"allowDomain", "allowInsecureDomain", "loadPolicyFile"})
            defineMethod(vm, security, method, nothing);
        system->define("security", Value::object(security), kDontEnum);
    }
}

}  // namespace

void registerAbsentServices(Vm& vm) {
    registerPrintJob(vm);
    registerLocalConnection(vm);
    registerNetClasses(vm);
    registerContextMenu(vm);
    registerFileReference(vm);
    registerDevicesAndObjects(vm);
}

}  // namespace swf::avm1
