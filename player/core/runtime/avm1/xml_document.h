// XML text to a node tree and back, as the original's XML.parseXML and XMLNode.toString do
// it: its status codes, ignoreWhite, the five named entities and numeric references,
// CDATA as plain text, comments dropped, the XML declaration and DOCTYPE kept as text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace swf::avm1 {

enum XmlStatus : int {
    kXmlOk = 0,
    kXmlCdataNotTerminated = -2,
    kXmlDeclarationNotTerminated = -3,
    kXmlDoctypeNotTerminated = -4,
    kXmlCommentNotTerminated = -5,
    kXmlMalformedElement = -6,
    kXmlOutOfMemory = -7,  // more nodes or deeper nesting than the caps allow
    kXmlAttributeNotTerminated = -8,
    kXmlMissingEndTag = -9,
    kXmlEndTagWithoutStartTag = -10,
};

struct XmlNode {
    enum Type : int { kElement = 1, kText = 3 };
    Type type = kElement;
    std::string name;   // elements
    std::string value;  // text, entities decoded
    std::vector<std::pair<std::string, std::string>> attributes;  // document order
    std::vector<XmlNode> children;
};

struct XmlDocument {
    int status = kXmlOk;
    std::optional<std::string> xmlDecl;      // "<?xml ... ?>" as written
    std::optional<std::string> docTypeDecl;  // "<!DOCTYPE ...>" as written
    std::vector<XmlNode> children;           // what was read before any error stays
};

struct XmlLimits {
    size_t maxNodes = 200000;
    size_t maxDepth = 256;
};

XmlDocument parseXml(std::string_view text, bool ignoreWhite, const XmlLimits& limits = {});

// &amp; &lt; &gt; &quot; &apos; and &#NN; / &#xHH; (as UTF-8); anything else stays as written.
std::string decodeXmlEntities(std::string_view text);
// & < > " ' as entities, for text nodes and attribute values alike.
std::string escapeXmlText(std::string_view text);

// "<name a=\"v\">children</name>", "<name a=\"v\" />" without children, escaped text for
// text nodes; an element without a name writes only its children (the document itself).
std::string serializeXmlNode(const XmlNode& node);
// The declaration and DOCTYPE as read, then the nodes.
std::string serializeXmlDocument(const XmlDocument& document);

}  // namespace swf::avm1
