// flash.external.ExternalInterface: a screen saver has no container to call, so `available` is
// false, addCallback refuses and call answers null. The helpers the original wrote in script
// for its XML calling convention (_escapeXML, _toXML, _toAS, ...) work as there, since movies
// and libraries use them to format and read values.
#include <optional>
#include <string>
#include <utility>

#include "library_classes.h"
#include "native_class.h"
#include "xml_document.h"

namespace swf::avm1 {
namespace {

// Nested arrays and objects deeper than this are a cycle (o.self = o): the script stops,
// as the original's recursion would have stopped it.
constexpr int kMaxNesting = 256;

std::string replaceAll(const std::string& text, const std::string& from, const std::string& to) {
    std::string out;
    size_t at = 0;
    for (size_t hit; (hit = text.find(from, at)) != std::string::npos; at = hit + from.size()) {
        out.append(text, at, hit - at);
        out += to;
    }
    out.append(text, at, std::string::npos);
    return out;
}

// The helpers take one string; nothing (or an empty string) gives null.
std::optional<std::string> stringArgument(Vm& vm, const Arguments& args) {
    if (args.empty()) return std::nullopt;
    std::string text = vm.toString(args[0]);
    if (text.empty()) return std::nullopt;
    return text;
}

// Only the five lower-case entities, &amp; last: "&amp;gt;" reads "&gt;".
std::string unescapeXml(const std::string& text) {
    std::string out = text;
    for (const auto& [entity, c] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}})
        out = replaceAll(out, entity, c);
    return out;
}

Value escapeXmlMethod(Vm& vm, const Value&, const Arguments& args) {
    auto text = stringArgument(vm, args);
    return text ? vm.newString(escapeXmlText(*text)) : Value::null();
}

Value unescapeXmlMethod(Vm& vm, const Value&, const Arguments& args) {
    auto text = stringArgument(vm, args);
    return text ? vm.newString(unescapeXml(*text)) : Value::null();
}

// Double quotes get a backslash; backslashes themselves stay as they are.
Value jsQuoteMethod(Vm& vm, const Value&, const Arguments& args) {
    auto text = stringArgument(vm, args);
    return text ? vm.newString(replaceAll(*text, "\"", "\\\"")) : Value::null();
}

std::string toXml(Vm& vm, const Value& v, int depth);

// Elements 0..length-1 of anything with a length (a string's characters read as undefined).
std::string arrayToXml(Vm& vm, const Value& v, int depth) {
    std::string out = "<array>";
    if (v.isPrimitive() && !v.isString()) return out + "</array>";
    const uint32_t length = vm.toUint32(vm.getMember(v, "length"));
    vm.checkArrayLength(length);
    for (uint32_t i = 0; i < length; ++i) {
        const std::string index = std::to_string(i);
        out += "<property id=\"" + index + "\">" + toXml(vm, vm.getMember(v, index), depth + 1) + "</property>";
        vm.checkStringSize(out.size());
    }
    return out + "</array>";
}

// An arguments list: element 0 (the name of the function called) is left out.
std::string argumentsToXml(Vm& vm, const Value& v, int depth) {
    std::string out = "<arguments>";
    if (v.isPrimitive() && !v.isString()) return out + "</arguments>";
    const uint32_t length = vm.toUint32(vm.getMember(v, "length"));
    vm.checkArrayLength(length);
    for (uint32_t i = 1; i < length; ++i) {
        out += toXml(vm, vm.getMember(v, std::to_string(i)), depth + 1);
        vm.checkStringSize(out.size());
    }
    return out + "</arguments>";
}

// Enumerable properties in for..in order; the ids are written unescaped, as the original does.
std::string objectToXml(Vm& vm, const Value& v, int depth) {
    std::string out = "<object>";
    if (Object* o = v.asObject()) {
        for (const std::string& name : vm.enumerate(o)) {
            out += "<property id=\"" + name + "\">" + toXml(vm, vm.getMember(o, name), depth + 1) + "</property>";
            vm.checkStringSize(out.size());
        }
    }
    return out + "</object>";
}

// Objects with a length are arrays (new String("ab") too); functions and clips are null.
std::string toXml(Vm& vm, const Value& v, int depth) {
    if (depth > kMaxNesting) throw ScriptAbort{"ExternalInterface values nest too deep"};
    switch (v.type()) {
        case Value::Type::Undefined: return "<undefined/>";
        case Value::Type::Null: return "<null/>";
        case Value::Type::Boolean: return v.asBoolean() ? "<true/>" : "<false/>";
        case Value::Type::Number: return "<number>" + vm.toString(v) + "</number>";
        case Value::Type::String: {
            const std::string& text = v.asString();
            return "<string>" + (text.empty() ? std::string("null") : escapeXmlText(text)) + "</string>";
        }
        case Value::Type::Object: break;
    }
    if (std::string(v.asObject()->typeOf()) != "object") return "<null/>";
    if (vm.getMember(v, "length").isUndefined()) return objectToXml(vm, v, depth);
    return arrayToXml(vm, v, depth);
}

Value toXmlMethod(Vm& vm, const Value&, const Arguments& args) { return vm.newString(toXml(vm, args[0], 0)); }
Value arrayToXmlMethod(Vm& vm, const Value&, const Arguments& args) { return vm.newString(arrayToXml(vm, args[0], 0)); }
Value argumentsToXmlMethod(Vm& vm, const Value&, const Arguments& args) {
    return vm.newString(argumentsToXml(vm, args[0], 0));
}
Value objectToXmlMethod(Vm& vm, const Value&, const Arguments& args) { return vm.newString(objectToXml(vm, args[0], 0)); }

// ---- reading the XML form back (nodes are read through their script properties, so XML
// objects and look-alike plain objects both work)

Value toAs(Vm& vm, const Value& node, int depth);

// The child nodes of `node` as a list (nothing for a value without childNodes).
std::vector<Value> childNodes(Vm& vm, const Value& node) {
    std::vector<Value> out;
    Value list = vm.getMember(node, "childNodes");
    if (!list.isObject()) return out;
    const uint32_t length = vm.toUint32(vm.getMember(list, "length"));
    vm.checkArrayLength(length);
    for (uint32_t i = 0; i < length; ++i) out.push_back(vm.getMember(list, std::to_string(i)));
    return out;
}

// <property id="k">value</property> children become members k.
void readProperties(Vm& vm, const Value& node, Object* into, int depth) {
    for (const Value& child : childNodes(vm, node)) {
        Value attributes = vm.getMember(child, "attributes");
        std::string id = vm.toString(vm.getMember(attributes, "id"));
        vm.setMember(into, id, toAs(vm, vm.getMember(child, "firstChild"), depth + 1));
    }
}

Object* arrayToAs(Vm& vm, const Value& node, int depth) {
    Object* array = makeArrayObject(vm, {});
    if (node.isObject()) readProperties(vm, node, array, depth);
    return array;
}

Object* objectToAs(Vm& vm, const Value& node, int depth) {
    Object* object = vm.newObject();
    if (node.isObject()) readProperties(vm, node, object, depth);
    return object;
}

Object* argumentsToAs(Vm& vm, const Value& node, int depth) {
    std::vector<Value> values;
    if (node.isObject())
        for (const Value& child : childNodes(vm, node)) values.push_back(toAs(vm, child, depth + 1));
    return makeArrayObject(vm, values);
}

// The element's name picks the type; the text inside is its first child's string value.
Value toAs(Vm& vm, const Value& node, int depth) {
    if (depth > kMaxNesting) throw ScriptAbort{"ExternalInterface values nest too deep"};
    if (!node.isObject()) return Value();
    // The name must be a string (or a String object): an object whose toString says "null"
    // names nothing.
    Value nodeName = vm.getMember(node, "nodeName");
    if (Object* boxed = nodeName.asObject()) nodeName = boxed->primitiveValue();
    if (!nodeName.isString()) return Value();
    const std::string& name = nodeName.asString();
    auto text = [&] { return vm.toString(vm.getMember(node, "firstChild")); };
    if (name == "number") return Value::number(vm.toNumber(vm.newString(text())));
    if (name == "string") return vm.newString(unescapeXml(text()));
    if (name == "true") return Value::boolean(true);
    if (name == "false") return Value::boolean(false);
    if (name == "null") return Value::null();
    if (name == "array") return Value::object(arrayToAs(vm, node, depth));
    if (name == "object") return Value::object(objectToAs(vm, node, depth));
    return Value();
}

Value toAsMethod(Vm& vm, const Value&, const Arguments& args) { return toAs(vm, args[0], 0); }
Value arrayToAsMethod(Vm& vm, const Value&, const Arguments& args) { return Value::object(arrayToAs(vm, args[0], 0)); }
Value argumentsToAsMethod(Vm& vm, const Value&, const Arguments& args) {
    return Value::object(argumentsToAs(vm, args[0], 0));
}
Value objectToAsMethod(Vm& vm, const Value&, const Arguments& args) { return Value::object(objectToAs(vm, args[0], 0)); }

Value refuse(Vm&, const Value&, const Arguments&) { return Value::boolean(false); }
Value callNothing(Vm& vm, const Value&, const Arguments& args) {
    vm.warn("ExternalInterface.call(\"" + vm.toString(args[0]) + "\") has no container to reach");
    return Value::null();
}

}  // namespace

void registerExternalInterface(Vm& vm) {
    NativeFunction* ei = defineClass(vm, packageObject(vm, {"flash", "external"}), {"ExternalInterface"});
    defineValue(ei, "available", Value::boolean(false));
    defineMethod(vm, ei, "addCallback", refuse);
    defineMethod(vm, ei, "call", callNothing);
    defineMethod(vm, ei, "_escapeXML", escapeXmlMethod);
    defineMethod(vm, ei, "_unescapeXML", unescapeXmlMethod);
    defineMethod(vm, ei, "_jsQuoteString", jsQuoteMethod);
    defineMethod(vm, ei, "_toXML", toXmlMethod);
    defineMethod(vm, ei, "_arrayToXML", arrayToXmlMethod);
    defineMethod(vm, ei, "_argumentsToXML", argumentsToXmlMethod);
    defineMethod(vm, ei, "_objectToXML", objectToXmlMethod);
    defineMethod(vm, ei, "_toAS", toAsMethod);
    defineMethod(vm, ei, "_arrayToAS", arrayToAsMethod);
    defineMethod(vm, ei, "_argumentsToAS", argumentsToAsMethod);
    defineMethod(vm, ei, "_objectToAS", objectToAsMethod);
}

}  // namespace swf::avm1
