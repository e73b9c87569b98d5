// The XML parser and writer: tree shape, status codes, whitespace, entities and the text it
// writes back.
#include <gtest/gtest.h>

#include <runtime/avm1/xml_document.h>

namespace {

using namespace swf::avm1;

TEST(XmlDocument, ParsesElementsAttributesAndText) {
    auto doc = parseXml("<a x=\"1\" y='two'>hi<b/>there<c z=\"&lt;&#65;&#x42;\"></c></a>", false);
    EXPECT_EQ(doc.status, kXmlOk);
    ASSERT_EQ(doc.children.size(), 1u);
    const XmlNode& a = doc.children[0];
    EXPECT_EQ(a.name, "a");
    ASSERT_EQ(a.attributes.size(), 2u);
    EXPECT_EQ(a.attributes[1].second, "two");
    ASSERT_EQ(a.children.size(), 4u);
    EXPECT_EQ(a.children[0].type, XmlNode::kText);
    EXPECT_EQ(a.children[0].value, "hi");
    EXPECT_EQ(a.children[1].name, "b");
    EXPECT_TRUE(a.children[1].children.empty());
    EXPECT_EQ(a.children[3].attributes[0].second, "<AB");
    EXPECT_EQ(serializeXmlDocument(doc), "<a x=\"1\" y=\"two\">hi<b />there<c z=\"&lt;AB\" /></a>");
}

TEST(XmlDocument, EntitiesKnownAndUnknown) {
    EXPECT_EQ(decodeXmlEntities("A &amp; &#39; B"), "A & ' B");
    EXPECT_EQ(decodeXmlEntities("A & &thing; B"), "A & &thing; B");
    EXPECT_EQ(decodeXmlEntities("A &&amp; B"), "A && B");
    EXPECT_EQ(decodeXmlEntities("&#233;&#0;&#xZZ;"), "\xC3\xA9&#0;&#xZZ;");
    EXPECT_EQ(escapeXmlText("I'm <\"b\"> & c"), "I&apos;m &lt;&quot;b&quot;&gt; &amp; c");
}

TEST(XmlDocument, IgnoreWhiteDropsOnlyBlankTextNodes) {
    const char* text = "<root>  \n <foo> testing </foo>\t</root>";
    auto kept = parseXml(text, false);
    ASSERT_EQ(kept.children.at(0).children.size(), 3u);
    auto dropped = parseXml(text, true);
    ASSERT_EQ(dropped.children.at(0).children.size(), 1u);
    EXPECT_EQ(dropped.children[0].children[0].children.at(0).value, " testing ") << "not trimmed";
}

TEST(XmlDocument, CdataCommentsDeclarationAndDoctype) {
    auto doc = parseXml("<?xml version='1.0'?><!DOCTYPE thing><t><![CDATA[<raw> & ]]><!-- gone -->x</t>", false);
    EXPECT_EQ(doc.status, kXmlOk);
    EXPECT_EQ(doc.xmlDecl.value_or(""), "<?xml version='1.0'?>");
    EXPECT_EQ(doc.docTypeDecl.value_or(""), "<!DOCTYPE thing>");
    const XmlNode& t = doc.children.at(0);
    ASSERT_EQ(t.children.size(), 2u);
    EXPECT_EQ(t.children[0].value, "<raw> & ");
    EXPECT_EQ(serializeXmlDocument(doc),
              "<?xml version='1.0'?><!DOCTYPE thing><t>&lt;raw&gt; &amp; x</t>");
    EXPECT_FALSE(parseXml("<a/>", false).xmlDecl.has_value());
}

TEST(XmlDocument, StatusCodesKeepWhatWasReadBefore) {
    EXPECT_EQ(parseXml("<a><![CDATA[x</a>", false).status, kXmlCdataNotTerminated);
    EXPECT_EQ(parseXml("<?xml version='1.0'", false).status, kXmlDeclarationNotTerminated);
    EXPECT_EQ(parseXml("<!DOCTYPE x", false).status, kXmlDoctypeNotTerminated);
    EXPECT_EQ(parseXml("<a><!-- x</a>", false).status, kXmlCommentNotTerminated);
    EXPECT_EQ(parseXml("<a b></a>", false).status, kXmlMalformedElement);
    EXPECT_EQ(parseXml("<a", false).status, kXmlMalformedElement);
    EXPECT_EQ(parseXml("<a b=\"x></a>", false).status, kXmlAttributeNotTerminated);
    EXPECT_EQ(parseXml("<a><b></a>", false).status, kXmlMissingEndTag);
    EXPECT_EQ(parseXml("<a>", false).status, kXmlMissingEndTag);
    EXPECT_EQ(parseXml("</a>", false).status, kXmlEndTagWithoutStartTag);
    auto partial = parseXml("<a>one</a><b>", false);
    ASSERT_EQ(partial.children.size(), 2u);
    EXPECT_EQ(partial.children[0].children.at(0).value, "one");
}

TEST(XmlDocument, CapsBoundNodesAndDepth) {
    std::string deep;
    for (int i = 0; i < 1000; ++i) deep += "<d>";
    EXPECT_EQ(parseXml(deep, false).status, kXmlOutOfMemory);
    std::string wide;
    for (int i = 0; i < 50; ++i) wide += "<e/>";
    auto capped = parseXml(wide, false, XmlLimits{10, 256});
    EXPECT_EQ(capped.status, kXmlOutOfMemory);
    EXPECT_EQ(capped.children.size(), 10u);
}

TEST(XmlDocument, RoundTripIsStable) {
    const char* text = "<r a=\"&amp;&quot;\"><x>1 &lt; 2</x><y /><z>\xD0\xBF</z></r>";
    auto first = serializeXmlDocument(parseXml(text, false));
    EXPECT_EQ(first, text);
    EXPECT_EQ(serializeXmlDocument(parseXml(first, false)), first);
}

}  // namespace
