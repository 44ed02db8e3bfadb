#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/exception/XmlException.h"
#include "vel/libxml2/OwnedXmlNode.h"
#include "vel/libxml2/XmlChildIterator.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/libxml2/XmlLibrary.h"
#include "vel/libxml2/XmlParentNode.h"

namespace {

std::string str(const ByteArray& bytes) {
    return std::string(bytes.text(), bytes.length());
}

void parse(XmlDocument& document, const std::string& text) {
    document.parse(text.data(), static_cast<int>(text.size()));
}

TEST(XmlDocumentTest, BuiltChildrenEachSitOnTheirOwnLine) {
    XmlDocument document;
    SharedXmlNode root = document.addChild("root");
    root.addTextChild("name", "a<b & \"c\"");
    XmlParentNode parent(root.addChild("list"));
    parent.addChild("item").setAttribute("id", "1");
    parent.addTextChild("item", "two");

    EXPECT_EQ(str(document.dump()),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<root>\n"
              "<name>a&lt;b &amp; \"c\"</name>\n"
              "<list>\n"
              "<item id=\"1\"/>\n"
              "<item>two</item>\n"
              "</list>\n"
              "</root>\n");
}

TEST(XmlDocumentTest, DumpOfAParsedDocumentReadsBackTheSame) {
    XmlDocument document;
    parse(document, "<a x=\"1\">\n<b>t\xc3\xa9xt</b>\n</a>");
    const std::string first = str(document.dump());
    XmlDocument again;
    parse(again, first);
    EXPECT_EQ(str(again.dump()), first);
    EXPECT_STREQ(again.rootElement().childContent("b"), "t\xc3\xa9xt");
}

TEST(XmlDocumentTest, RootTextChildReplacesAnEarlierRoot) {
    XmlDocument document;
    document.addChild("first");
    SharedXmlNode root = document.addTextChild("second", "value");
    EXPECT_EQ(document.rootElement(), root);
    EXPECT_STREQ(root.content(), "value");
    EXPECT_EQ(str(document.dump()), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<second>value</second>\n");
}

TEST(XmlDocumentTest, FailuresOfLibxml2AreExceptions) {
    XmlDocument document;
    EXPECT_THROW(document.rootElement(), XmlException);
    for (const char* bad : {"", "<a>", "<a></b>", "text", "<a/><b/>"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(parse(document, bad), XmlException);
    }
}

TEST(XmlDocumentTest, LookupsFindElementsByExactNameAndReportAbsence) {
    XmlDocument document;
    parse(document, "<r a=\"v\"><!--c-->text<Item>1</Item><item/><item>2</item><e></e></r>");
    SharedXmlNode root = document.rootElement();

    EXPECT_STREQ(root.name(), "r");
    EXPECT_STREQ(root.attribute("a").text(), "v");
    EXPECT_TRUE(root.attribute("b").isNull());
    EXPECT_STREQ(root.content(), "text");
    EXPECT_STREQ(root.childContent("Item"), "1");
    // The first element of that name, even when it holds no text.
    EXPECT_EQ(root.childContent("item"), nullptr);
    EXPECT_EQ(root.childContent("e"), nullptr);
    EXPECT_EQ(root.childContent("missing"), nullptr);
    EXPECT_TRUE(root.findChild("ITEM").isNull());
    EXPECT_TRUE(root.findChild("item").hasName("item"));
    EXPECT_FALSE(root.findChild("item").hasName("Item"));
}

TEST(XmlDocumentTest, ChildIteratorVisitsEveryNodeInOrder) {
    XmlDocument document;
    parse(document, "<r>a<x/><!--c--><y/>b</r>");
    std::vector<std::string> seen;
    for (XmlChildIterator it(document.rootElement()); !it.atEnd(); it.next()) {
        const SharedXmlNode& node = it.current();
        seen.push_back(node.isElement() ? std::string("<") + node.name() : node.isText() ? "text" : "other");
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"text", "<x", "other", "<y", "text"}));
}

TEST(XmlDocumentTest, AppendChildMovesANodeToTheEnd) {
    XmlDocument document;
    parse(document, "<r><a/><b/></r>");
    SharedXmlNode root = document.rootElement();
    root.appendChild(root.findChild("a"));
    EXPECT_TRUE(root.firstChild().hasName("b"));
    EXPECT_TRUE(root.firstChild().nextSibling().hasName("a"));
    EXPECT_TRUE(root.firstChild().nextSibling().nextSibling().isNull());
}

TEST(XmlDocumentTest, ErrorLinesCarryTheFileWhenThereIsOne) {
    struct Case {
        int level;
        const char* file;
        int line;
        const char* message;
        XmlLibrary::Severity severity;
        const char* text;
    };
    const Case cases[] = {
        {XML_ERR_NONE, nullptr, 0, "note\n", XmlLibrary::SEVERITY_INFO, "XML error: note"},
        {XML_ERR_WARNING, "c.xml", 7, "careful\n\n", XmlLibrary::SEVERITY_WARNING,
         "XML error: c.xml:7: careful"},
        {XML_ERR_ERROR, nullptr, 3, "bad\nthing\n", XmlLibrary::SEVERITY_ERROR, "XML error: bad\nthing"},
        {XML_ERR_FATAL, "f", 1, "", XmlLibrary::SEVERITY_ERROR, "XML error: f:1: "},
    };
    for (const Case& c : cases) {
        xmlError error{};
        error.level = static_cast<xmlErrorLevel>(c.level);
        error.file = const_cast<char*>(c.file);
        error.line = c.line;
        error.message = const_cast<char*>(c.message);
        XmlLibrary::ErrorLine line = XmlLibrary::errorLine(error);
        EXPECT_EQ(line.severity, c.severity) << c.text;
        EXPECT_EQ(line.text, c.text);
    }
}

}  // namespace

namespace {

std::string messageContaining(const LogCapture& capture, const std::string& part) {
    for (const std::string& message : capture.messages()) {
        if (message.find(part) != std::string::npos) return message;
    }
    return "";
}

std::string lineContaining(const LogCapture& capture, const std::string& part) {
    std::istringstream lines(capture.text());
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find(part) != std::string::npos) return line;
    }
    return "";
}

TEST(XmlLibraryTest, LibraryErrorsAndWarningsGoToTheServiceLog) {
    xmlInit();
    LogCapture capture;
    XmlDocument document;
    EXPECT_THROW(parse(document, "<a></b>"), XmlException);
    parse(document, "<?xml version=\"1.5\"?><a/>");

    // libxml2's own line feed is cut: a blanked one would leave a space at the end.
    EXPECT_EQ(messageContaining(capture, "XML error: Opening"),
              "XML error: Opening and ending tag mismatch: a line 1 and b");
    EXPECT_NE(lineContaining(capture, "XML error: Opening").find("%BRISEL-3-ERROR_MSG"), std::string::npos);
    EXPECT_EQ(messageContaining(capture, "XML error: Unsupported"), "XML error: Unsupported version '1.5'");
    EXPECT_NE(lineContaining(capture, "XML error: Unsupported").find("%BRISEL-4-WARNING_MSG"),
              std::string::npos);
}

struct ContentRow {
    const char* text;
    const char* content;
};

// A value is all the text of its element, however the writer split it.
TEST(XmlDocumentTest, ALeafsTextAndCdataPiecesAreOneValue) {
    const ContentRow rows[] = {
        {"<a>plain</a>", "plain"},
        {"<a><![CDATA[<raw> & ]]></a>", "<raw> & "},
        {"<a>before<!-- note -->after</a>", "beforeafter"},
        {"<a>one <![CDATA[two]]> three<?pi x?>four</a>", "one two threefour"},
        {"<a><!-- only a comment --></a>", nullptr},
        {"<a/>", nullptr},
        // Text beside elements is no value: the first piece, where the element children stay put.
        {"<a>lead<b>x</b>tail</a>", "lead"},
    };
    for (const ContentRow& row : rows) {
        SCOPED_TRACE(row.text);
        XmlDocument document;
        parse(document, row.text);
        SharedXmlNode root = document.rootElement();
        const char* content = root.content();
        if (row.content == nullptr) {
            EXPECT_EQ(content, nullptr);
            continue;
        }
        ASSERT_NE(content, nullptr);
        EXPECT_STREQ(content, row.content);
        // Asked again, the same text at the same place: the joined value lives with the document.
        EXPECT_EQ(root.content(), content);
    }
    XmlDocument mixed;
    parse(mixed, "<a>lead<b>x</b>tail</a>");
    EXPECT_EQ(str(mixed.dump()), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>lead<b>x</b>tail</a>\n");
    mixed.rootElement().content();
    EXPECT_EQ(str(mixed.dump()), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>lead<b>x</b>tail</a>\n");
}

TEST(XmlLibraryTest, NullNodesAreBrokenInvariantsNotCrashes) {
    BaseValuesTest::takeAssertions();
    SharedXmlNode none;
    EXPECT_TRUE(none.findChild("a").isNull());
    EXPECT_EQ(none.content(), nullptr);
    EXPECT_THROW(none.addChild("a"), XmlException);
    EXPECT_THROW(none.setAttribute("a", "b"), XmlException);
    EXPECT_EQ(BaseValuesTest::takeAssertions(), (std::vector<std::string>{"m_p", "m_p", "parent", "m_p"}));
}

}  // namespace
