// XMLNode and XML: a node tree of script objects (type, name, value, attributes, parent and
// children kept natively, read through the original's properties), parseXML with the
// document's status / xmlDecl / docTypeDecl, toString, and load() of a file beside the movie.
#include <algorithm>
#include <optional>

#include "library_classes.h"
#include "loading_object.h"
#include "native_class.h"
#include "timers.h"
#include "xml_document.h"

namespace swf::avm1 {

namespace {

class XmlNodeObject : public LoadingObject {
public:
    using LoadingObject::LoadingObject;

    int type = XmlNode::kElement;
    std::optional<std::string> name;   // null for text nodes and documents
    std::optional<std::string> value;  // null for elements
    Object* attributes = nullptr;
    XmlNodeObject* parent = nullptr;
    std::vector<XmlNodeObject*> children;
    // The array childNodes answers, made on first read. Like the original's it is one array
    // kept up to date by appendChild, insertBefore and removeNode, so what a script stores in
    // it stays until the tree changes that place.
    Object* childArray = nullptr;
    // A document's idMap (SWF 8): every element parsed with an id attribute, by that id.
    // Parsing adds to it; nodes appended by script are not entered.
    Object* idMap = nullptr;
    bool isDocument = false;  // an XML instance (not a plain XMLNode)

    void traceReferences(Marker& marker) override {
        LoadingObject::traceReferences(marker);
        marker.mark(attributes);
        marker.mark(idMap);
        marker.mark(parent);
        marker.mark(childArray);
        for (XmlNodeObject* child : children) marker.mark(child);
    }

    bool getSpecial(Vm& vm, const std::string& property, Value& out) override;
    // xmlns / xmlns:prefix declared on this node or an ancestor; null when none.
    Value namespaceForPrefix(Vm& vm, const std::string& prefix) const;
    Value prefixForNamespace(Vm& vm, const std::string& uri) const;
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
        if (!childArray) {
            std::vector<Value> list;
            for (XmlNodeObject* child : children) list.push_back(Value::object(child));
            childArray = makeArrayObject(vm, list);
        }
        out = Value::object(childArray);
    } else if (is("localName") || is("prefix")) {
        if (!name) {
            out = Value::null();
        } else {
            const size_t colon = name->find(':');
            const bool local = is("localName");
            out = vm.newString(colon == std::string::npos ? (local ? *name : std::string())
                                                           : (local ? name->substr(colon + 1) : name->substr(0, colon)));
        }
    } else if (is("idMap") && vm.swfVersion() >= 8 && isDocument) {
        if (!idMap) idMap = vm.newObject();
        out = Value::object(idMap);
    } else if (is("namespaceURI")) {
        out = Value::null();
        if (name) {
            const size_t colon = name->find(':');
            out = namespaceForPrefix(vm, colon == std::string::npos ? std::string() : name->substr(0, colon));
        }
    } else {
        return LoadingObject::getSpecial(vm, property, out);
    }
    return true;
}

// The prefix an attribute declares: "xmlns:p" declares p; "xmlns", "xmlns:" and (as the
// original reads them) "xmlnsAnything" declare the default namespace, ""; others nothing.
std::optional<std::string> declaredPrefix(const std::string& attribute) {
    if (attribute.compare(0, 5, "xmlns") != 0) return std::nullopt;
    if (attribute.size() > 6 && attribute[5] == ':') return attribute.substr(6);
    return std::string();
}

// xmlns attributes of this node, then of each ancestor, in document order: the first
// declaration of a prefix on a node wins.
Value XmlNodeObject::namespaceForPrefix(Vm& vm, const std::string& prefix) const {
    int guard = 0;
    for (const XmlNodeObject* n = this; n && guard < 100000; n = n->parent, ++guard) {
        std::vector<std::string> names;
        if (n->attributes) n->attributes->ownNames(names, true);
        for (const std::string& attribute : names)
            if (declaredPrefix(attribute) == prefix) return vm.getMember(n->attributes, attribute);
    }
    return Value::null();
}

Value XmlNodeObject::prefixForNamespace(Vm& vm, const std::string& uri) const {
    int guard = 0;
    for (const XmlNodeObject* n = this; n && guard < 100000; n = n->parent, ++guard) {
        std::vector<std::string> names;
        if (n->attributes) n->attributes->ownNames(names, true);
        for (const std::string& attribute : names) {
            auto prefix = declaredPrefix(attribute);
            if (prefix && vm.toString(vm.getMember(n->attributes, attribute)) == uri) return vm.newString(*prefix);
        }
    }
    return Value::null();
}

bool XmlNodeObject::setSpecial(Vm& vm, const std::string& property, const Value& v) {
    const NameRule rule = vm.names();
    if (sameName(property, "nodeName", rule)) {
        // undefined leaves the name; null clears it (a document named this way writes its
        // children inside an element of that name).
        if (v.isNull()) name.reset(); else if (!v.isUndefined()) name = vm.toString(v);
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
    if (sameName(property, "idMap", rule) && vm.swfVersion() >= 8 && isDocument) {
        idMap = v.asObject();
        return true;
    }
    for (const char* readOnly : {"nodeType", "parentNode", "firstChild", "lastChild", "previousSibling", "nextSibling",
                                 "childNodes", "localName", "prefix", "namespaceURI"}) {
        if (sameName(property, readOnly, rule)) return true;
    }
    return false;
}

Object* makeNodeInstance(Vm& vm, Object* proto) { return vm.heap().make<XmlNodeObject>(proto); }

XmlNodeObject* asNode(const Value& v) { return nativeAs<XmlNodeObject>(v); }

XmlNodeObject* newNode(Vm& vm, int type, std::optional<std::string> name, std::optional<std::string> value) {
    // Parsed and created nodes take XMLNode.prototype as it is now: a script that replaced it
    // (XMLNode.prototype = new MyNode()) gets its methods on every node.
    Object* ctor = vm.getMember(vm.global(), "XMLNode").asObject();
    Object* proto = ctor ? vm.getMember(ctor, "prototype").asObject() : nullptr;
    auto* node = vm.heap().make<XmlNodeObject>(proto ? proto : vm.builtins().xmlNodeProto);
    vm.initInstance(node, ctor);
    node->type = type;
    node->name = std::move(name);
    node->value = std::move(value);
    return node;
}

// After a change of a node's children its childNodes array (when a script has read it) is
// written anew from the tree, so what a script pushed into it is gone from then on.
void syncChildArray(Vm& vm, XmlNodeObject* node) {
    if (!node || !node->childArray) return;
    for (size_t i = 0; i < node->children.size(); ++i)
        vm.setMember(node->childArray, std::to_string(i), Value::object(node->children[i]));
    vm.setMember(node->childArray, "length", Value::number(static_cast<double>(node->children.size())));
}

void detachNode(Vm& vm, XmlNodeObject* child) {
    XmlNodeObject* parent = child->parent;
    child->detach();
    syncChildArray(vm, parent);
}

void appendTo(Vm& vm, XmlNodeObject* parent, XmlNodeObject* child) {
    detachNode(vm, child);
    child->parent = parent;
    parent->children.push_back(child);
    syncChildArray(vm, parent);
}

// Attributes in for..in order, which is document order for parsed ones: they are defined
// last to first, and objects enumerate newest first.
std::vector<std::pair<std::string, std::string>> attributeList(Vm& vm, Object* attributes) {
    std::vector<std::pair<std::string, std::string>> list;
    if (!attributes) return list;
    std::vector<std::string> names;
    attributes->ownNames(names);
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

void buildChildren(Vm& vm, XmlNodeObject* parent, const std::vector<XmlNode>& nodes, Object* idMap) {
    for (const XmlNode& n : nodes) {
        XmlNodeObject* child = n.type == XmlNode::kText ? newNode(vm, XmlNode::kText, std::nullopt, n.value)
                                                        : newNode(vm, XmlNode::kElement, n.name, std::nullopt);
        if (n.type != XmlNode::kText) {
            child->attributes = vm.newObject();
            for (auto it = n.attributes.rbegin(); it != n.attributes.rend(); ++it) {
                child->attributes->define(it->first, vm.newString(it->second));
                if (idMap && it->first == "id") vm.setMember(idMap, it->second, Value::object(child));
            }
        }
        appendTo(vm, parent, child);
        buildChildren(vm, child, n.children, idMap);
    }
}

XmlNodeObject* cloneNode(Vm& vm, const XmlNodeObject& source, bool deep, int depth) {
    XmlNodeObject* copy = newNode(vm, source.type, source.name, source.value);
    if (source.attributes) {
        copy->attributes = vm.newObject();
        const auto list = attributeList(vm, source.attributes);
        for (auto it = list.rbegin(); it != list.rend(); ++it) copy->attributes->define(it->first, vm.newString(it->second));
    }
    if (deep && depth < 256) {
        for (const XmlNodeObject* child : source.children) appendTo(vm, copy, cloneNode(vm, *child, true, depth + 1));
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

Value nodeAppendChild(Vm& vm, const Value& self, const Arguments& args) {
    XmlNodeObject* parent = asNode(self);
    XmlNodeObject* child = asNode(args[0]);
    // A node of another parent moves (out of its old place first); one already this node's
    // child stays where it is, and a node into its own subtree is refused.
    if (parent && child && child->parent != parent && !parent->isAncestorOrSelf(child)) appendTo(vm, parent, child);
    return Value();
}

Value nodeInsertBefore(Vm& vm, const Value& self, const Arguments& args) {
    XmlNodeObject* parent = asNode(self);
    XmlNodeObject* child = asNode(args[0]);
    XmlNodeObject* before = asNode(args[1]);
    if (!parent || !child || !before || before->parent != parent || child == before || child->parent == parent ||
        parent->isAncestorOrSelf(child)) {
        return Value();
    }
    detachNode(vm, child);
    auto at = std::find(parent->children.begin(), parent->children.end(), before);
    parent->children.insert(at, child);
    child->parent = parent;
    syncChildArray(vm, parent);
    return Value();
}

Value nodeRemoveNode(Vm& vm, const Value& self, const Arguments&) {
    if (XmlNodeObject* node = asNode(self)) detachNode(vm, node);
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
    document->childArray = nullptr;
    if (vm.swfVersion() >= 8 && !document->idMap) document->idMap = vm.newObject();
    buildChildren(vm, document, parsed.children, vm.swfVersion() >= 8 ? document->idMap : nullptr);
    vm.setMember(document, "status", Value::number(parsed.status));
    vm.setMember(document, "xmlDecl", parsed.xmlDecl ? vm.newString(*parsed.xmlDecl) : Value());
    vm.setMember(document, "docTypeDecl", parsed.docTypeDecl ? vm.newString(*parsed.docTypeDecl) : Value());
}

Value constructXml(Vm& vm, const Value& self, const Arguments& args) {
    XmlNodeObject* document = asNode(self);
    if (!document) return self;
    document->isDocument = true;
    document->attributes = vm.newObject();
    if (!args.empty() && !args[0].isNullish()) parseInto(vm, document, vm.toString(args[0]));
    return self;
}

Value nodeNamespaceForPrefix(Vm& vm, const Value& self, const Arguments& args) {
    XmlNodeObject* node = asNode(self);
    return node ? node->namespaceForPrefix(vm, vm.toString(args[0])) : Value();
}

Value nodePrefixForNamespace(Vm& vm, const Value& self, const Arguments& args) {
    XmlNodeObject* node = asNode(self);
    return node ? node->prefixForNamespace(vm, vm.toString(args[0])) : Value();
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

// The file's text reaches the object as the original's loads do, after the script that asked
// for it: the byte counts are set, then onData(text) runs.
Value deliverLoadedText(Vm& vm, const Value&, const Arguments& args) {
    Object* target = args[0].asObject();
    if (!target) return Value();
    if (auto* loading = dynamic_cast<LoadingObject*>(target); loading && !args[1].isUndefined()) {
        loading->bytesLoaded = vm.toNumber(args[2]);
        loading->bytesTotal = loading->bytesLoaded;
    }
    Value dataArgs[] = {args[1]};
    vm.callMethod(args[0], "onData", Arguments(dataArgs, 1));
    return Value();
}

Value loadBesideMovie(Vm& vm, const Value& self, const Arguments& args) {
    Object* target = self.asObject();
    if (!target || args.empty()) return Value::boolean(false);
    double bytes = 0;
    Value text = readMovieText(vm, args[0], &bytes);
    vm.setMember(target, "loaded", Value::boolean(false));
    if (auto* loading = dynamic_cast<LoadingObject*>(target)) loading->bytesLoaded = 0;
    Timers::Timer delivery;
    delivery.function = Value::object(vm.newNative(deliverLoadedText));
    delivery.args = {self, text, Value::number(bytes)};
    delivery.repeat = false;
    vm.timers().add(std::move(delivery), vm.host().movieMs());
    return Value::boolean(true);
}

Value refuseNetwork(Vm& vm, const Value&, const Arguments&) {
    vm.warn("send/sendAndLoad: a screen saver sends nothing to the network");
    return Value::boolean(false);
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
    defineMethod(vm, nodeProto, "getNamespaceForPrefix", nodeNamespaceForPrefix);
    defineMethod(vm, nodeProto, "getPrefixForNamespace", nodePrefixForNamespace);

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
    defineMethod(vm, xmlProto, "send", refuseNetwork);
    defineMethod(vm, xmlProto, "sendAndLoad", refuseNetwork);
    xmlProto->define("contentType", vm.newString("application/x-www-form-urlencoded"), kDontEnum);
    xmlProto->define("ignoreWhite", Value::boolean(false), kDontEnum);
    xmlProto->define("loaded", Value(), kDontEnum);
    xmlProto->define("status", Value::number(0), kDontEnum);
}

}  // namespace swf::avm1
