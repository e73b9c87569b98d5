// XMLNode and XML: a node tree of script objects (type, name, value, attributes, parent and
// children kept natively, read through the original's properties), parseXML with the
// document's status / xmlDecl / docTypeDecl, toString, and load() of a file beside the movie.
#include <algorithm>
#include <optional>

#include "library_classes.h"
#include "native_class.h"
#include "xml_document.h"

namespace swf::avm1 {

namespace {

class XmlNodeObject : public Object {
public:
    using Object::Object;

    int type = XmlNode::kElement;
    std::optional<std::string> name;   // null for text nodes and documents
    std::optional<std::string> value;  // null for elements
    Object* attributes = nullptr;
    XmlNodeObject* parent = nullptr;
    std::vector<XmlNodeObject*> children;

    void traceReferences(Marker& marker) override {
        Object::traceReferences(marker);
        marker.mark(attributes);
        marker.mark(parent);
        for (XmlNodeObject* child : children) marker.mark(child);
    }

    bool getSpecial(Vm& vm, const std::string& property, Value& out) override;
    bool setSpecial(Vm& vm, const std::string& property, const Value& v) override;

    size_t indexInParent() const {
        if (!parent) return 0;
        return static_cast<size_t>(std::find(parent->children.begin(), parent->children.end(), this) - parent->children.begin());
    }
    void detach() {
        if (!parent) return;
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        parent = nullptr;
    }
    bool isAncestorOrSelf(const XmlNodeObject* other) const {
        int guard = 0;
        for (const XmlNodeObject* n = this; n && guard < 100000; n = n->parent, ++guard) {
            if (n == other) return true;
        }
        return false;
    }
};

Value optionalString(Vm& vm, const std::optional<std::string>& s) { return s ? vm.newString(*s) : Value::null(); }

bool XmlNodeObject::getSpecial(Vm& vm, const std::string& property, Value& out) {
    const NameRule rule = vm.names();
    auto is = [&](const char* n) { return sameName(property, n, rule); };
    if (is("nodeType")) {
        out = Value::number(type);
    } else if (is("nodeName")) {
        out = optionalString(vm, name);
    } else if (is("nodeValue")) {
        out = optionalString(vm, value);
    } else if (is("attributes")) {
        if (!attributes) attributes = vm.newObject();
        out = Value::object(attributes);
    } else if (is("parentNode")) {
        out = Value::object(parent);
    } else if (is("firstChild")) {
        out = Value::object(children.empty() ? nullptr : children.front());
    } else if (is("lastChild")) {
        out = Value::object(children.empty() ? nullptr : children.back());
    } else if (is("previousSibling")) {
        const size_t i = indexInParent();
        out = Value::object(parent && i > 0 ? parent->children[i - 1] : nullptr);
    } else if (is("nextSibling")) {
        const size_t i = indexInParent();
        out = Value::object(parent && i + 1 < parent->children.size() ? parent->children[i + 1] : nullptr);
    } else if (is("childNodes")) {
        std::vector<Value> list;
        for (XmlNodeObject* child : children) list.push_back(Value::object(child));
        out = Value::object(makeArrayObject(vm, list));
    } else {
        return false;
    }
    return true;
}

bool XmlNodeObject::setSpecial(Vm& vm, const std::string& property, const Value& v) {
    const NameRule rule = vm.names();
    if (sameName(property, "nodeName", rule)) {
        if (v.isNullish()) name.reset(); else name = vm.toString(v);
        return true;
    }
    if (sameName(property, "nodeValue", rule)) {
        if (v.isNullish()) value.reset(); else value = vm.toString(v);
        return true;
    }
    if (sameName(property, "attributes", rule)) {
        if (Object* o = v.asObject()) attributes = o;
        return true;
    }
    for (const char* readOnly : {"nodeType", "parentNode", "firstChild", "lastChild", "previousSibling", "nextSibling", "childNodes"}) {
        if (sameName(property, readOnly, rule)) return true;
    }
    return false;
}

Object* makeNodeInstance(Vm& vm, Object* proto) { return vm.heap().make<XmlNodeObject>(proto); }

XmlNodeObject* asNode(const Value& v) { return dynamic_cast<XmlNodeObject*>(v.asObject()); }

XmlNodeObject* newNode(Vm& vm, int type, std::optional<std::string> name, std::optional<std::string> value) {
    auto* node = vm.heap().make<XmlNodeObject>(vm.builtins().xmlNodeProto);
    vm.initInstance(node, vm.getMember(vm.global(), "XMLNode").asObject());
    node->type = type;
    node->name = std::move(name);
    node->value = std::move(value);
    return node;
}

void appendTo(XmlNodeObject* parent, XmlNodeObject* child) {
    child->detach();
    child->parent = parent;
    parent->children.push_back(child);
}

// Attribute names in the order they were set (the object enumerates newest first).
std::vector<std::pair<std::string, std::string>> attributeList(Vm& vm, Object* attributes) {
    std::vector<std::pair<std::string, std::string>> list;
    if (!attributes) return list;
    std::vector<std::string> names;
    attributes->ownNames(names);
    std::reverse(names.begin(), names.end());
    for (const auto& n : names) list.emplace_back(n, vm.toString(vm.getMember(attributes, n)));
    return list;
}

XmlNode toPlainNode(Vm& vm, const XmlNodeObject& node, int depth) {
    XmlNode plain;
    plain.type = node.type == XmlNode::kText ? XmlNode::kText : XmlNode::kElement;
    plain.name = node.name.value_or(std::string());
    plain.value = node.value.value_or(std::string());
    plain.attributes = attributeList(vm, node.attributes);
    if (depth < 256) {
        for (const XmlNodeObject* child : node.children) plain.children.push_back(toPlainNode(vm, *child, depth + 1));
    }
    return plain;
}

void buildChildren(Vm& vm, XmlNodeObject* parent, const std::vector<XmlNode>& nodes) {
    for (const XmlNode& n : nodes) {
        XmlNodeObject* child = n.type == XmlNode::kText ? newNode(vm, XmlNode::kText, std::nullopt, n.value)
                                                        : newNode(vm, XmlNode::kElement, n.name, std::nullopt);
        if (n.type != XmlNode::kText) {
            child->attributes = vm.newObject();
            for (const auto& [key, text] : n.attributes) child->attributes->define(key, vm.newString(text));
        }
        appendTo(parent, child);
        buildChildren(vm, child, n.children);
    }
}

XmlNodeObject* cloneNode(Vm& vm, const XmlNodeObject& source, bool deep, int depth) {
    XmlNodeObject* copy = newNode(vm, source.type, source.name, source.value);
    if (source.attributes) {
        copy->attributes = vm.newObject();
        for (const auto& [key, text] : attributeList(vm, source.attributes)) copy->attributes->define(key, vm.newString(text));
    }
    if (deep && depth < 256) {
        for (const XmlNodeObject* child : source.children) appendTo(copy, cloneNode(vm, *child, true, depth + 1));
    }
    return copy;
}

Value constructNode(Vm& vm, const Value& self, const Arguments& args) {
    if (XmlNodeObject* node = asNode(self)) {
        node->type = vm.toInt32(args[0]) == XmlNode::kText ? XmlNode::kText : XmlNode::kElement;
        const std::string text = vm.toString(args[1]);
        if (node->type == XmlNode::kText) node->value = text; else node->name = text;
        node->attributes = vm.newObject();
    }
    return self;
}

Value nodeAppendChild(Vm&, const Value& self, const Arguments& args) {
    XmlNodeObject* parent = asNode(self);
    XmlNodeObject* child = asNode(args[0]);
    if (parent && child && !parent->isAncestorOrSelf(child)) appendTo(parent, child);
    return Value();
}

Value nodeInsertBefore(Vm&, const Value& self, const Arguments& args) {
    XmlNodeObject* parent = asNode(self);
    XmlNodeObject* child = asNode(args[0]);
    XmlNodeObject* before = asNode(args[1]);
    if (!parent || !child || !before || before->parent != parent || child == before || parent->isAncestorOrSelf(child)) return Value();
    child->detach();
    auto at = std::find(parent->children.begin(), parent->children.end(), before);
    parent->children.insert(at, child);
    child->parent = parent;
    return Value();
}

Value nodeRemoveNode(Vm&, const Value& self, const Arguments&) {
    if (XmlNodeObject* node = asNode(self)) node->detach();
    return Value();
}

Value nodeCloneNode(Vm& vm, const Value& self, const Arguments& args) {
    XmlNodeObject* node = asNode(self);
    return node ? Value::object(cloneNode(vm, *node, vm.toBoolean(args[0]), 0)) : Value();
}

Value nodeHasChildNodes(Vm&, const Value& self, const Arguments&) {
    XmlNodeObject* node = asNode(self);
    return node ? Value::boolean(!node->children.empty()) : Value();
}

Value nodeToString(Vm& vm, const Value& self, const Arguments&) {
    XmlNodeObject* node = asNode(self);
    if (!node) return Value();
    std::string text;
    if (!node->name && node->type == XmlNode::kElement) {
        // A document writes its declaration and DOCTYPE first.
        for (const char* property : {"xmlDecl", "docTypeDecl"}) {
            Value v = vm.getMember(node, property);
            if (!v.isNullish()) text += vm.toString(v);
        }
    }
    text += serializeXmlNode(toPlainNode(vm, *node, 0));
    return vm.newString(std::move(text));
}

// ---- XML (the document)

void parseInto(Vm& vm, XmlNodeObject* document, const std::string& text) {
    const bool ignoreWhite = vm.toBoolean(vm.getMember(document, "ignoreWhite"));
    XmlDocument parsed = parseXml(text, ignoreWhite);
    for (XmlNodeObject* child : document->children) child->parent = nullptr;
    document->children.clear();
    buildChildren(vm, document, parsed.children);
    vm.setMember(document, "status", Value::number(parsed.status));
    vm.setMember(document, "xmlDecl", parsed.xmlDecl ? vm.newString(*parsed.xmlDecl) : Value());
    vm.setMember(document, "docTypeDecl", parsed.docTypeDecl ? vm.newString(*parsed.docTypeDecl) : Value());
}

Value constructXml(Vm& vm, const Value& self, const Arguments& args) {
    XmlNodeObject* document = asNode(self);
    if (!document) return self;
    document->attributes = vm.newObject();
    if (!args.empty() && !args[0].isNullish()) parseInto(vm, document, vm.toString(args[0]));
    return self;
}

Value xmlParse(Vm& vm, const Value& self, const Arguments& args) {
    if (XmlNodeObject* document = asNode(self)) parseInto(vm, document, vm.toString(args[0]));
    return Value();
}

Value xmlCreateElement(Vm& vm, const Value&, const Arguments& args) {
    XmlNodeObject* node = newNode(vm, XmlNode::kElement, vm.toString(args[0]), std::nullopt);
    node->attributes = vm.newObject();
    return Value::object(node);
}

Value xmlCreateTextNode(Vm& vm, const Value&, const Arguments& args) {
    return Value::object(newNode(vm, XmlNode::kText, std::nullopt, vm.toString(args[0])));
}

// The default onData: parse what arrived (undefined: the load failed) and report to onLoad.
Value xmlOnData(Vm& vm, const Value& self, const Arguments& args) {
    XmlNodeObject* document = asNode(self);
    if (!document) return Value();
    const bool arrived = !args[0].isUndefined();
    if (arrived) parseInto(vm, document, vm.toString(args[0]));
    vm.setMember(document, "loaded", Value::boolean(arrived));
    Value argsOut[] = {Value::boolean(arrived)};
    vm.callMethod(self, "onLoad", Arguments(argsOut, 1));
    return Value();
}

}  // namespace

namespace {

// Reads a file beside the movie for load(): the text, or undefined when it is not there.
Value readMovieText(Vm& vm, const Value& url, double* bytes) {
    std::vector<uint8_t> data;
    const std::string path = vm.toString(url);
    if (!vm.host().readMovieFile(path, data)) {
        vm.warn("load: no file \"" + path + "\" beside the movie");
        return Value();
    }
    vm.checkStringSize(data.size());
    if (bytes) *bytes = static_cast<double>(data.size());
    // A UTF-8 byte order mark is not part of the text.
    size_t start = data.size() >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF ? 3 : 0;
    return vm.newString(std::string(data.begin() + static_cast<std::ptrdiff_t>(start), data.end()));
}

}  // namespace

Value loadBesideMovie(Vm& vm, const Value& self, const Arguments& args) {
    Object* target = self.asObject();
    if (!target || args.empty()) return Value::boolean(false);
    double bytes = 0;
    Value text = readMovieText(vm, args[0], &bytes);
    vm.setMember(target, "loaded", Value::boolean(false));
    target->define("_bytesTotal", Value::number(bytes), kDontEnum);
    target->define("_bytesLoaded", Value::number(bytes), kDontEnum);
    Value dataArgs[] = {text};
    vm.callMethod(self, "onData", Arguments(dataArgs, 1));
    return Value::boolean(true);
}

Value bytesLoaded(Vm& vm, const Value& self, const Arguments&) { return vm.getMember(self, "_bytesLoaded"); }
Value bytesTotal(Vm& vm, const Value& self, const Arguments&) { return vm.getMember(self, "_bytesTotal"); }

void registerXmlClasses(Vm& vm) {
    NativeFunction* nodeCtor = defineClass(vm, vm.global(), {"XMLNode", nullptr, constructNode, makeNodeInstance, nullptr});
    Object* nodeProto = prototypeOf(vm, nodeCtor);
    vm.builtins().xmlNodeProto = nodeProto;
    defineMethod(vm, nodeProto, "appendChild", nodeAppendChild);
    defineMethod(vm, nodeProto, "insertBefore", nodeInsertBefore);
    defineMethod(vm, nodeProto, "removeNode", nodeRemoveNode);
    defineMethod(vm, nodeProto, "cloneNode", nodeCloneNode);
    defineMethod(vm, nodeProto, "hasChildNodes", nodeHasChildNodes);
    defineMethod(vm, nodeProto, "toString", nodeToString);

    NativeFunction* xmlCtor = defineClass(vm, vm.global(), {"XML", nullptr, constructXml, makeNodeInstance, nodeProto});
    Object* xmlProto = prototypeOf(vm, xmlCtor);
    vm.builtins().xmlProto = xmlProto;
    defineMethod(vm, xmlProto, "parseXML", xmlParse);
    defineMethod(vm, xmlProto, "createElement", xmlCreateElement);
    defineMethod(vm, xmlProto, "createTextNode", xmlCreateTextNode);
    defineMethod(vm, xmlProto, "load", loadBesideMovie);
    defineMethod(vm, xmlProto, "onData", xmlOnData);
    defineMethod(vm, xmlProto, "getBytesLoaded", bytesLoaded);
    defineMethod(vm, xmlProto, "getBytesTotal", bytesTotal);
    xmlProto->define("contentType", vm.newString("application/x-www-form-urlencoded"), kDontEnum);
    xmlProto->define("ignoreWhite", Value::boolean(false), kDontEnum);
    xmlProto->define("loaded", Value(), kDontEnum);
    xmlProto->define("status", Value::number(0), kDontEnum);
}

}  // namespace swf::avm1
