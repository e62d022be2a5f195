#include "uilib/XmlDocument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace UiLib;

namespace {

std::vector<std::wstring> childNames(CXmlNode node) {
    std::vector<std::wstring> names;
    for (CXmlNode child = node.firstChild(); child; child = child.nextSibling())
        names.emplace_back(child.name());
    return names;
}

} // namespace

TEST(XmlDocument, ErrorsNameTheFaultAndWhereItIs) {
    struct Case {
        std::wstring text, message, location;
    } cases[] = {
        {L"<Window size='600,400'/>", L"Expected attribute value", L"'600,400'/>"},
        {L"<Window><Label></Labl></Window>", L"Unmatched closing tag", L"Labl></Window>"},
        {L"<Window><Label></Label ></Windows>", L"Unmatched closing tag", L"Windows>"},
        {L"<Window></Window x>", L"Unmatched closing tag", L"Window x>"},
        {L"</Window>", L"Unmatched closing tag", L"Window>"},
        {L"  Window/>", L"Expected start tag", L"Window/>"},
        {L"<Window><Label/>stray</Window>", L"Expected start tag", L"stray</Window>"},
        {L"<Window><Label/>", L"Expected start tag", L""},
        {L"<!-- nothing but a comment -->", L"Expected start tag", L""},
        // A comment ends at the first "->".
        {L"<Window><!-- a -> b --></Window>", L"Expected start tag", L"b --></Window>"},
        {L"< Window/>", L"Error parsing element name", L" Window/>"},
        {L"<Window><></Window>", L"Error parsing element name", L"></Window>"},
        {L"<Window size \"1\"/>", L"Error while parsing attributes", L"\"1\"/>"},
        {L"<Window =\"1\"/>", L"Error while parsing attributes", L"=\"1\"/>"},
        {L"<Window size=\"600/>", L"Error while parsing attribute string", L"600/>"},
        {L"<Window size=\"1\" !>", L"Error while parsing attributes", L"!>"},
        {L"<Window size=\"1\"/ >", L"Expected start-tag closing", L"/ >"},
        {L"<Window size=\"1\"", L"Expected start-tag closing", L""},
        {L"<Window>text", L"Expected end-tag start", L"text"},
        {L"<Window size='1'/>0123456789012345678901234567890123456789012345678901234567890",
         L"Expected attribute value", L"'1'/>01234567890123456789012345678901234567890123"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CXmlDocument document;
        EXPECT_FALSE(document.loadFromString(c.text));
        EXPECT_EQ(document.errorMessage(), c.message);
        EXPECT_EQ(document.errorLocation(), c.location);
        EXPECT_FALSE(document.root());
    }
}

TEST(XmlDocument, ALaterLoadForgetsTheErrorAndAFailedOneTheTree) {
    CXmlDocument document;
    ASSERT_FALSE(document.loadFromString(L"<Window>"));
    ASSERT_TRUE(document.loadFromString(L"<Window/>"));
    EXPECT_EQ(document.errorMessage(), L"");
    EXPECT_EQ(document.errorLocation(), L"");
    EXPECT_EQ(document.root().name(), L"Window");

    ASSERT_FALSE(document.loadFromString(L"<Window><Label></Window>"));
    EXPECT_FALSE(document.root());

    // Loaders that fail before parsing keep their own text, cut like a parse error's.
    document.setError(std::wstring(120, L'x'), std::wstring(60, L'y'));
    EXPECT_EQ(document.errorMessage(), std::wstring(99, L'x'));
    EXPECT_EQ(document.errorLocation(), std::wstring(49, L'y'));
}

TEST(XmlDocument, CommentsAndTheDeclarationAreSkippedAnywhereBetweenElements) {
    CXmlDocument document;
    ASSERT_TRUE(document.loadFromString(LR"(<?xml version="1.0" encoding="utf-8"?>
<!-- the main window -->
<Window size="600,400"><!-- fonts first --><Font id="0"/>
  <!-- then the controls --><VerticalLayout><Label/><!-- last --></VerticalLayout>
  <?ignored too?>
</Window>
<!-- trailing -->
)")) << std::wstring(document.errorMessage());
    CXmlNode root = document.root();
    EXPECT_EQ(root.name(), L"Window");
    EXPECT_EQ(childNames(root), (std::vector<std::wstring>{L"Font", L"VerticalLayout"}));
    EXPECT_EQ(childNames(root.child(L"VerticalLayout")), std::vector<std::wstring>{L"Label"});
    EXPECT_FALSE(root.hasSiblings());
}

TEST(XmlDocument, NestedElementsWithTheirAttributesAndText) {
    CXmlDocument document;
    ASSERT_TRUE(document.loadFromString(LR"(<Window size="600,400" caption = "0,0,0,35"
                    >
  <TabLayout name="pages">
    <HorizontalLayout height="46"><Button name="go" text="安装" normalimage="file='a.png' corner='2,2,2,2'"/></HorizontalLayout>
    <Label name="a" name="b" text="1 &lt; 2">caption text</Label>
  </TabLayout>
  <Control />
</Window>)"))
        << std::wstring(document.errorMessage());

    CXmlNode root = document.root();
    EXPECT_FALSE(root.parent());
    ASSERT_EQ(root.attributeCount(), 2);
    EXPECT_EQ(root.attributeName(1), L"caption");
    EXPECT_EQ(root.attributeValue(1), L"0,0,0,35");
    EXPECT_EQ(root.attributeValue(L"size"), L"600,400");
    EXPECT_FALSE(root.hasAttribute(L"Size")); // names are compared exactly
    EXPECT_EQ(root.attributeName(2), L"");
    EXPECT_EQ(root.attributeValue(-1), L"");
    EXPECT_EQ(childNames(root), (std::vector<std::wstring>{L"TabLayout", L"Control"}));

    CXmlNode pages = root.firstChild();
    EXPECT_EQ(pages.parent(), root);
    EXPECT_EQ(childNames(pages), (std::vector<std::wstring>{L"HorizontalLayout", L"Label"}));
    CXmlNode button = pages.firstChild().firstChild();
    EXPECT_EQ(button.name(), L"Button");
    EXPECT_EQ(button.parent().parent(), pages);
    EXPECT_EQ(button.attributeValue(L"text"), L"安装");
    EXPECT_EQ(button.attributeValue(L"normalimage"), L"file='a.png' corner='2,2,2,2'");
    EXPECT_FALSE(button.hasValue());
    EXPECT_FALSE(button.hasChildren());

    CXmlNode label = pages.child(L"Label");
    EXPECT_EQ(label.attributeValue(L"name"), L"a"); // the first of two
    EXPECT_EQ(label.attributeValue(L"text"), L"1 < 2");
    EXPECT_EQ(label.value(), L"caption text");
    EXPECT_FALSE(label.hasSiblings());
    EXPECT_EQ(pages.value(), L"\n    "); // white space is kept

    EXPECT_FALSE(root.child(L"Missing"));
    EXPECT_EQ(root.child(L"Control").attributeCount(), 0);
    EXPECT_EQ(CXmlNode().name(), L"");
}

TEST(XmlDocument, OnlyTheFirst64AttributesAreVisible) {
    std::wstring text = L"<Window";
    for (int i = 0; i < 65; ++i)
        text += L" a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
    text += L"/>";
    CXmlDocument document;
    ASSERT_TRUE(document.loadFromString(text));
    CXmlNode root = document.root();
    EXPECT_EQ(root.attributeCount(), CXmlNode::kMaxAttributes);
    EXPECT_EQ(root.attributeValue(L"a63"), L"63");
    EXPECT_FALSE(root.hasAttribute(L"a64"));
    EXPECT_EQ(root.attributeName(64), L"");
}

TEST(XmlDocument, TheFiveStandardEntitiesAreReplacedAndOtherAmpersandsKept) {
    CXmlDocument document;
    ASSERT_TRUE(document.loadFromString(
        LR"(<Label text="&lt;a&gt; &amp; &quot;b&quot; &apos;c&apos; &#65; &copy; & x &amp">&lt;tag&gt;&amp;amp;&unknown;</Label>)"));
    EXPECT_EQ(document.root().attributeValue(L"text"), LR"(<a> & "b" 'c' &#65; &copy; & x &amp)");
    EXPECT_EQ(document.root().value(), L"<tag>&amp;&unknown;"); // replaced once, not again
}

TEST(XmlDocument, RunsOfWhiteSpaceAreReducedOnlyWhenNotPreserved) {
    const std::wstring text = L"<Label text=\"a  \t b\">x \n\t y\n  z</Label>";
    CXmlDocument document;
    EXPECT_TRUE(document.preserveWhitespace());
    ASSERT_TRUE(document.loadFromString(text));
    EXPECT_EQ(document.root().attributeValue(L"text"), L"a  \t b");
    EXPECT_EQ(document.root().value(), L"x \n\t y\n  z");

    document.setPreserveWhitespace(false);
    ASSERT_TRUE(document.loadFromString(text));
    EXPECT_EQ(document.root().attributeValue(L"text"), L"a b");
    // A blank swallows the white space after it; a line break keeps it.
    EXPECT_EQ(document.root().value(), L"x y\n z");
}

TEST(XmlDocument, MemoryIsReadInItsEncoding) {
    const std::string utf8 = "\xEF\xBB\xBF<Label text=\"\xE5\xAE\x89\xE8\xA3\x85\"/>";
    CXmlDocument document;
    ASSERT_TRUE(document.loadFromMemory(utf8.data(), utf8.size(), CXmlDocument::Encoding::Utf8));
    EXPECT_EQ(document.root().attributeValue(L"text"), L"安装");
    ASSERT_TRUE(document.loadFromMemory(utf8.data() + 3, utf8.size() - 3));
    EXPECT_EQ(document.root().attributeValue(L"text"), L"安装");

    // "<a t="安😀"/>" in UTF-16, little-endian then big-endian; the emoji is a surrogate pair.
    const std::u16string units = u"<a t=\"安\U0001F600\"/>";
    std::string little = "\xFF\xFE", big = "\xFE\xFF";
    for (char16_t unit : units) {
        little += {char(unit & 0xFF), char(unit >> 8)};
        big += {char(unit >> 8), char(unit & 0xFF)};
    }
    for (const std::string& bytes : {little, big}) {
        ASSERT_TRUE(document.loadFromMemory(bytes.data(), bytes.size(), CXmlDocument::Encoding::Utf16));
        EXPECT_EQ(document.root().attributeValue(L"t"), L"安\U0001F600");
    }
    // UTF-16 without its byte-order mark is refused; read as UTF-8 it does not parse.
    EXPECT_FALSE(
        document.loadFromMemory(little.data() + 2, little.size() - 2, CXmlDocument::Encoding::Utf16));
    EXPECT_FALSE(document.root());
    EXPECT_FALSE(document.loadFromMemory(little.data(), little.size(), CXmlDocument::Encoding::Utf8));

    const std::string ansi = "<Window caption=\"0,0,0,35\"/>";
    ASSERT_TRUE(document.loadFromMemory(ansi.data(), ansi.size(), CXmlDocument::Encoding::Ansi));
    EXPECT_EQ(document.root().attributeValue(L"caption"), L"0,0,0,35");

    // A NUL ends the text, as it ends the string the reader is given.
    const std::string withNul("<Window/>\0<broken", 17);
    EXPECT_TRUE(document.loadFromMemory(withNul.data(), withNul.size()));
}
