#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "tests/vel/xml/XmlTestSupport.h"
#include "vel/xml/XmlSchema.h"

namespace {

using namespace vel;

TEST(XmlSchemaTest, EscapeAndUnescape) {
    const struct {
        std::string plain;
        std::string escaped;
    } cases[] = {
        {"", ""},
        {"a<b>c", "a&lt;b&gt;c"},
        {"<\">&'", "&lt;&quot;&gt;&amp;&apos;"},
        {"&lt;", "&amp;lt;"},
        {std::string("x\0y\xff", 4), std::string("x\0y\xff", 4)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(str(xmlEscape(asciiOf(c.plain))), c.escaped);
        EXPECT_EQ(str(xmlUnescape(asciiOf(c.escaped))), c.plain);
    }
    // Ampersands that start none of the five names stay, and so does what follows them.
    for (const char* kept : {"&", "a & b", "&amp", "&foo;", "&#38;", "&Amp;", "x&"}) {
        EXPECT_EQ(str(xmlUnescape(kept)), kept);
    }
    EXPECT_EQ(str(xmlUnescape("&&amp;&lt")), "&&&lt");
}

TEST(XmlSchemaTest, IntegersReadWithBaseZero) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"12", 12},
        {"010", 8},
        {"0x10", 16},
        {"0X1f", 31},
        {"-5", -5},
        {" 7", 7},
        {"9abc", 9},
        {"abc", 0},
        {"2147483647", INT_MAX},
        {"4294967297", INT_MAX},
        {"-99999999999", INT_MIN},
    };
    for (const auto& c : cases) {
        XmlDocument document;
        SharedXmlNode root = parseRoot(document, std::string("<r><n>") + c.text + "</n></r>");
        EXPECT_EQ(xmlOptionalInt(root, "n"), c.value) << c.text;
        EXPECT_EQ(xmlRequiredInt(root, "n"), c.value) << c.text;
        EXPECT_EQ(xmlOptionalInt(root.findChild("n"), nullptr), c.value) << c.text;
    }
    XmlDocument document;
    SharedXmlNode root = parseRoot(document, "<r><e/></r>");
    EXPECT_EQ(xmlOptionalInt(root, "e"), 0);
    EXPECT_EQ(xmlOptionalInt(root, "missing"), 0);
    EXPECT_EQ(xmlParseInt(nullptr), 0);
}

TEST(XmlSchemaTest, RequiredValuesNameTheMissingTag) {
    XmlDocument document;
    SharedXmlNode root =
        parseRoot(document, "<r><text>t</text><empty/><zero>0</zero><minus>-1</minus><one>1</one></r>");

    EXPECT_EQ(str(xmlRequiredText(root, "text")), "t");
    EXPECT_EQ(str(xmlChildText(root, "text")), "t");
    EXPECT_EQ(str(xmlChildText(root, "absent")), "");
    EXPECT_EQ(str(xmlChildText(root, "empty")), "");
    EXPECT_EQ(xmlPositiveInt(root, "one"), 1);

    const struct {
        std::string message;
        std::string expected;
    } cases[] = {
        {messageOf([&] { xmlRequiredText(root, "absent"); }), "\"absent\" tag is required"},
        {messageOf([&] { xmlRequiredText(root, "empty"); }), "Empty \"empty\" tag."},
        {messageOf([&] { xmlRequiredInt(root, "absent"); }), "\"absent\" tag is required."},
        {messageOf([&] { xmlRequiredInt(root, "empty"); }), "Empty \"empty\" tag."},
        {messageOf([&] { xmlPositiveInt(root, "zero"); }),
         "Positive integer value required in \"zero\" tag."},
        {messageOf([&] { xmlPositiveInt(root, "minus"); }),
         "Positive integer value required in \"minus\" tag."},
        {messageOf([&] { xmlPositiveInt(root, "absent"); }), "\"absent\" tag is required."},
        {messageOf([] { vel::xmlError("%s has %d", "file", 3); }), "file has 3"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.message, c.expected);
}

TEST(XmlSchemaTest, ACaughtFailureKeepsItsTextThroughTheNextOne) {
    try {
        vel::xmlError("first %d", 1);
    } catch (const XmlException& first) {
        // A reader that reports one failure may meet another before it logs the first.
        EXPECT_THROW(vel::xmlError("second %d", 2), XmlException);
        EXPECT_EQ(std::string(first.function().text()), "first 1");
    }
}

TEST(XmlSchemaTest, HexEncodingAndItsRefusals) {
    EXPECT_EQ(str(xmlHexEncode(bytesOf(std::string("\x00\xab\x7f", 3)))), "00ab7f");
    EXPECT_EQ(str(xmlHexEncode(ByteArray(""))), "");
    EXPECT_EQ(str(xmlHexDecode("00AB7f")), std::string("\x00\xab\x7f", 3));
    for (const char* bad : {"", "a", "abc", "0g", "zz", "00 1"}) {
        EXPECT_EQ(messageOf([&] { xmlHexDecode(bad); }), "Invalid HEX representation.") << bad;
    }
}

}  // namespace
