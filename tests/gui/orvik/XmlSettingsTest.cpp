#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <libxml/encoding.h>

#include <filesystem>

#include "gui/orvik/Exception.h"
#include "gui/orvik/FileSystem.h"
#include "gui/orvik/XmlReader.h"
#include "gui/orvik/XmlSettings.h"
#include "tests/gui/orvik/Raised.h"
#include "tests/gui/orvik/TempFolder.h"

namespace orvik {
namespace {

using test::raised;
using test::TempFolder;
using ::testing::ContainsRegex;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Pair;
using ::testing::UnorderedElementsAre;

std::string config(const std::string& body) {
    return "<?xml version=\"1.0\"?>\n<CONFIG>\n" + body + "</CONFIG>\n";
}

class XmlSettingsTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& body) {
        return tmp.write(name, config(body));
    }

    TempFolder tmp;
};

TEST_F(XmlSettingsTest, PrefixesTakeTheValueTheSettingHasAtThatMoment) {
    write("s.xml",
          "<set name='a' value='x'/>\n"
          "<set name='b' value='y' prefix='a'/>\n"
          "<set name='a' value='z'/>\n"
          "<set name='c' value='only' prefix='nothing'/>\n"
          "<!-- comments and text are passed over -->text\n");
    const XmlSettings settings(tmp.path(), "s.xml");
    EXPECT_EQ(settings.get("a"), "z");
    EXPECT_EQ(settings.get("b"), "xy");
    EXPECT_EQ(settings.get("c"), "only");
    EXPECT_EQ(settings.get("nothing"), "");  // named by a prefix, so it exists now
    EXPECT_EQ(settings.get("absent", "fallback"), "fallback");
    EXPECT_EQ(settings.get("a", "fallback"), "z");
}

TEST_F(XmlSettingsTest, CurrentDirAlwaysEndsInASeparator) {
    write("s.xml", "<set name='page' value='p.html' prefix='currentDir'/>\n");
    const std::string folder = tmp.path();
    struct Case {
        std::string folder;
        std::string currentDir;
    };
    const Case cases[] = {
        {folder, folder + "\\"},
        {folder + "/", folder + "/"},
        {folder + "\\", folder + "\\"},
    };
    for (const auto& c : cases) {
        const XmlSettings settings(c.folder, "s.xml");
        EXPECT_EQ(settings.get("currentDir"), c.currentDir);
        EXPECT_EQ(settings.get("page"), c.currentDir + "p.html");
    }
    const std::string here = currentDirectory();
    std::filesystem::current_path(folder);
    const XmlSettings fromCurrent("", "s.xml");
    std::filesystem::current_path(here);
    EXPECT_EQ(fromCurrent.get("currentDir"), std::filesystem::canonical(folder).string() + "\\");
}

TEST_F(XmlSettingsTest, ListsStartAgainButMapsKeepTheirEntries) {
    write("s.xml",
          "<set name='dir' value='D:/'/>\n"
          "<list name='l'><listItem value='1'/><listItem value='2'/></list>\n"
          "<list name='l'><listItem value='3'/><listItem value='4' prefix='dir'/></list>\n"
          "<map name='m'><mapItem key='k1' value='a'/><mapItem key='k2' value='b'/></map>\n"
          "<map name='m'><mapItem key='k2' value='c' prefix='dir'/><mapItem key='k3' value='d'/></map>\n"
          "<list name='empty'/>\n"
          "<listItem value='after the empty list'/>\n");
    EXPECT_THAT(raised([&] { XmlSettings(tmp.path(), "s.xml"); }), HasSubstr("listItem outside of a list"));

    write("ok.xml",
          "<list name='l'><listItem value='1'/><listItem value='2'/></list>\n"
          "<list name='l'><listItem value='3'/><listItem value='4' prefix='dir'/></list>\n"
          "<set name='dir' value='D:/'/>\n"
          "<map name='m'><mapItem key='k1' value='a'/><mapItem key='k2' value='b'/></map>\n"
          "<map name='m'><mapItem key='k2' value='c' prefix='dir'/><mapItem key='k3' value='d'/></map>\n"
          "<list name='empty'/><map name='none'/>\n");
    const XmlSettings settings(tmp.path(), "ok.xml");
    EXPECT_THAT(settings.getList("l"), ElementsAre("3", "4"));
    EXPECT_THAT(settings.getMap("m"), ElementsAre(Pair("k1", "a"), Pair("k2", "D:/c"), Pair("k3", "d")));
    EXPECT_TRUE(settings.getList("empty").empty());
    EXPECT_TRUE(settings.getMap("none").empty());
}

TEST_F(XmlSettingsTest, IncludesAddToTheSameTablesAndReadingGoesOnAfterThem) {
    write("parts/inner.xml",
          "<set name='who' value='inner'/>\n"
          "<mapItem key='fromInner' value='i.html' prefix='currentDir'/>\n");
    write("main.xml",
          "<set name='who' value='main'/>\n"
          "<set name='parts' value='parts/' prefix='currentDir'/>\n"
          "<map name='helpBindings'>\n"
          "  <mapItem key='before' value='b.html'/>\n"
          "  <include file='inner.xml' prefix='parts'/>\n"
          "  <mapItem key='after' value='a.html'/>\n"
          "</map>\n"
          "<set name='last' value='seen'/>\n");
    const XmlSettings settings(tmp.path(), "main.xml");
    EXPECT_EQ(settings.get("who"), "inner");
    EXPECT_EQ(settings.get("last"), "seen");
    const std::string dir = tmp.path() + "\\";
    EXPECT_THAT(settings.getMap("helpBindings"),
                UnorderedElementsAre(Pair("before", "b.html"), Pair("after", "a.html"),
                                     Pair("fromInner", dir + "i.html")));
}

// Reads one node ahead in its handler, so that the element after it reaches the parser by its end tag.
class PeekingParser : public GenericXmlParser<PeekingParser> {
public:
    PeekingParser() {
        if (handlers().empty()) {
            handlers() = {{"CONFIG", &PeekingParser::ignoreElement}, {"peek", &PeekingParser::onPeek}};
        }
    }

private:
    void onPeek(int nodeType) {
        if (nodeType == ELEMENT_START) {
            reader().read();
        }
    }
};

struct ErrorCase {
    std::string body;
    std::string pattern;
};

TEST_F(XmlSettingsTest, FileErrorsNameTheirCause) {
    const ErrorCase cases[] = {
        {"<unknown/>\n", "^GenericXmlReader -- Missing handler for element \\[unknown\\]$"},
        {"<set name='a'/>\n", "^.*XmlReader\\.cpp: [0-9]+:  -- no such attribute 'value'$"},
        {"<map name='m'><mapItem value='v'/></map>\n",
         "^.*XmlReader\\.cpp: [0-9]+:  -- no such attribute 'key'$"},
        {"<set name='a' value='b'>\n", "^.*XmlReader\\.cpp: [0-9]+:  XmlReader error: .+"},
        {"<mapItem key='k' value='v'/>\n", "^.*XmlSettings\\.cpp: [0-9]+: mapItem outside of a map$"},
        {"<include file='missing.xml' prefix='currentDir'/>\n",
         "^GenericXmlParser -- read\\(\\) called with invalid filename!$"},
    };
    for (const auto& c : cases) {
        write("bad.xml", c.body);
        EXPECT_THAT(raised([&] { XmlSettings(tmp.path(), "bad.xml"); }), ContainsRegex(c.pattern)) << c.body;
    }
    EXPECT_EQ(raised([&] { XmlSettings(tmp.path(), "absent.xml"); }),
              "GenericXmlParser -- read() called with invalid filename!");
    EXPECT_EQ(raised([&] { XmlSettings().read(""); }),
              "GenericXmlParser -- read() called with invalid filename!");
    EXPECT_EQ(raised([&] { XmlSettings().read(tmp.path()); }),
              "GenericXmlParser -- read() called with invalid filename!");

    const std::string stray = tmp.write("stray.xml", config("<peek/><lone></lone>\n"));
    EXPECT_EQ(raised([&] { PeekingParser().read(stray); }),
              "GenericXmlReader -- Missing handler for element [/lone]");
}

TEST_F(XmlSettingsTest, LookupsRejectEmptyAndMissingNames) {
    write("s.xml", "<set name='a' value='1'/><list name='l'/><map name='m'/>\n");
    const XmlSettings settings(tmp.path(), "s.xml");
    EXPECT_EQ(raised([&] { settings.get(""); }), "get() cannot be called with empty 'name'");
    EXPECT_EQ(raised([&] { settings.get("", "d"); }), "get() cannot be called with empty 'name'");
    EXPECT_EQ(raised([&] { settings.getList(""); }), "getList() cannot be called with empty 'name'");
    EXPECT_EQ(raised([&] { settings.getMap(""); }), "getMap() cannot be called with empty 'name'");
    const std::string missing = "^.*XmlSettings\\.cpp: [0-9]+: Missing settings parameter: nope$";
    EXPECT_THAT(raised([&] { settings.get("nope"); }), ContainsRegex(missing));
    EXPECT_THAT(raised([&] { settings.getList("nope"); }), ContainsRegex(missing));
    EXPECT_THAT(raised([&] { settings.getMap("nope"); }), ContainsRegex(missing));
    // The three tables are separate: a list name is no map name.
    EXPECT_THAT(raised([&] { settings.getMap("l"); }), HasSubstr("Missing settings parameter: l"));
}

TEST_F(XmlSettingsTest, ProcessWideSettingsExistOnlyAfterASuccessfulInit) {
    XmlSettings::instance.reset();
    const std::string notReady = "Settings is NOT properly initialized. Please call init() first.";
    EXPECT_EQ(raised([] { get("a"); }), notReady);
    EXPECT_EQ(raised([] { getMap("m"); }), notReady);

    write("s.xml", "<set name='a' value='1'/><list name='l'><listItem value='x'/></list>\n");
    init(tmp.path(), "s.xml");
    EXPECT_EQ(get("a"), "1");
    EXPECT_EQ(get("b", "dflt"), "dflt");
    EXPECT_THAT(getList("l"), ElementsAre("x"));

    EXPECT_THAT(raised([&] { init(tmp.path(), "absent.xml"); }), HasSubstr("invalid filename"));
    EXPECT_EQ(raised([] { get("a"); }), notReady);
}

TEST_F(XmlSettingsTest, IncludeCyclesAreStopped) {
    write("self.xml", "<include file='self.xml' prefix='currentDir'/>\n");
    EXPECT_THAT(raised([&] { XmlSettings(tmp.path(), "self.xml"); }),
                ContainsRegex("include cycle.*self\\.xml"));

    write("a.xml", "<set name='a' value='1'/><include file='b.xml' prefix='currentDir'/>\n");
    write("b.xml", "<include file='./a.xml' prefix='currentDir'/>\n");
    EXPECT_THAT(raised([&] { XmlSettings(tmp.path(), "a.xml"); }), ContainsRegex("include cycle.*a\\.xml"));

    // Reading the same file twice one after the other is no cycle.
    write("twice.xml",
          "<include file='leaf.xml' prefix='currentDir'/><include file='leaf.xml' prefix='currentDir'/>\n");
    write("leaf.xml", "<set name='leaf' value='1'/>\n");
    EXPECT_EQ(XmlSettings(tmp.path(), "twice.xml").get("leaf"), "1");
}

TEST_F(XmlSettingsTest, IncludesNestUpToSixteenDeep) {
    // level0.xml includes level1.xml and so on; the deepest file sets "deepest".
    const auto chain = [&](int includes) {
        for (int i = 0; i < includes; ++i) {
            write("level" + std::to_string(i) + ".xml",
                  "<include file='level" + std::to_string(i + 1) + ".xml' prefix='currentDir'/>\n");
        }
        write("level" + std::to_string(includes) + ".xml",
              "<set name='deepest' value='" + std::to_string(includes) + "'/>\n");
    };
    chain(16);
    EXPECT_EQ(XmlSettings(tmp.path(), "level0.xml").get("deepest"), "16");
    chain(17);
    EXPECT_THAT(
        raised([&] { XmlSettings(tmp.path(), "level0.xml"); }),
        ContainsRegex("^.*: [0-9]+: GenericXmlParser -- includes nested deeper than 16 at .*level17\\.xml"));
}

TEST_F(XmlSettingsTest, EntitiesExpandOnlyWithinTheServicesBounds) {
    const std::string small = "<!DOCTYPE CONFIG [<!ENTITY help \"C:/help/\">]>\n";
    tmp.write("small.xml",
              "<?xml version=\"1.0\"?>\n" + small +
                  "<CONFIG><set name='page' value='&help;a.html'/><set name='c' value='&lt;&#65;'/>"
                  "</CONFIG>\n");
    const XmlSettings settings(tmp.path(), "small.xml");
    EXPECT_EQ(settings.get("page"), "C:/help/a.html");
    EXPECT_EQ(settings.get("c"), "<A");

    // A few kilobytes that would expand to values of megabytes, in one step or in several.
    const std::string chunk(10000, 'x');
    std::string wide = "<!DOCTYPE CONFIG [<!ENTITY e \"" + chunk + "\">]>\n<CONFIG><set name='a' value='";
    for (int i = 0; i < 1200; ++i) wide += "&e;";
    wide += "'/></CONFIG>\n";
    std::string deep = "<!DOCTYPE CONFIG [<!ENTITY e0 \"laughing laughing laughing\">";
    for (int i = 1; i <= 8; ++i) {
        deep += "<!ENTITY e" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) deep += "&e" + std::to_string(i - 1) + ";";
        deep += "\">";
    }
    deep += "]>\n<CONFIG><set name='a' value='&e8;'/></CONFIG>\n";
    // Modest references spread over thousands of attributes, each within the library's own bound:
    // on many elements, on one element, and in element text.
    const std::string declaration = "<!DOCTYPE CONFIG [<!ENTITY e \"" + std::string(2000, 'x') + "\">]>\n<CONFIG>";
    std::string manyElements = declaration;
    for (int i = 0; i < 2000; ++i) manyElements += "<set name='a" + std::to_string(i) + "' value='&e;&e;&e;&e;'/>";
    manyElements += "</CONFIG>\n";
    std::string oneElement = declaration + "<set name='a' value='1'";
    for (int i = 0; i < 2000; ++i) oneElement += " x" + std::to_string(i) + "='&e;&e;&e;&e;'";
    oneElement += "/></CONFIG>\n";
    std::string inText = declaration;
    for (int i = 0; i < 2000; ++i) inText += "<note>&e;&e;&e;&e;</note>";
    inText += "</CONFIG>\n";
    for (const std::string& text : {wide, deep, manyElements, oneElement, inText}) {
        tmp.write("big.xml", "<?xml version=\"1.0\"?>\n" + text);
        EXPECT_THAT(raised([&] { XmlSettings(tmp.path(), "big.xml"); }), HasSubstr("XmlReader error"))
            << text.substr(0, 60);
    }
    // The same references over a few hundred attributes stay within the bound.
    manyElements = declaration;
    for (int i = 0; i < 200; ++i) manyElements += "<set name='a" + std::to_string(i) + "' value='&e;&e;&e;&e;'/>";
    tmp.write("big.xml", "<?xml version=\"1.0\"?>\n" + manyElements + "</CONFIG>\n");
    EXPECT_EQ(XmlSettings(tmp.path(), "big.xml").get("a199").size(), 8000u);
}

TEST_F(XmlSettingsTest, ReadingLeavesTheXmlLibraryStateOfTheProgramAlone) {
    // State the program set up in the library before reading: a global clean-up after a file would drop it.
    ASSERT_EQ(xmlAddEncodingAlias("UTF-8", "ORVIK-TEST-ALIAS"), 0);
    write("inner.xml", "<set name='inner' value='1'/>\n");
    write("outer.xml", "<include file='inner.xml' prefix='currentDir'/><set name='outer' value='2'/>\n");
    const XmlSettings settings(tmp.path(), "outer.xml");
    EXPECT_EQ(settings.get("inner"), "1");
    EXPECT_EQ(settings.get("outer"), "2");
    EXPECT_STREQ(xmlGetEncodingAlias("ORVIK-TEST-ALIAS"), "UTF-8");
    xmlDelEncodingAlias("ORVIK-TEST-ALIAS");
}

TEST_F(XmlSettingsTest, ReaderGivesAttributesByNameAndPosition) {
    const std::string file = tmp.write("r.xml",
                                       "<root><item n='  42abc' neg='-7' word='x' flag='true' other='yes'>  "
                                       "text  </item><tail a='1'/></root>");
    XmlReader reader(file);
    ASSERT_TRUE(reader.readTo(XML_READER_TYPE_ELEMENT));
    EXPECT_EQ(reader.name(), "root");
    ASSERT_TRUE(reader.skipTo(XML_READER_TYPE_ELEMENT, "item"));
    EXPECT_FALSE(reader.isEmptyElement());
    EXPECT_EQ(reader.getInt("n", -1), 42);
    EXPECT_EQ(reader.getInt("neg", 0), -7);
    EXPECT_EQ(reader.getInt("word", 5), 0);
    EXPECT_EQ(reader.getInt("absent", 5), 5);
    EXPECT_TRUE(reader.getBool("flag", false));
    EXPECT_FALSE(reader.getBool("other", true));
    EXPECT_TRUE(reader.getBool("absent", true));
    EXPECT_EQ(reader.getAttribute(2), "x");
    EXPECT_TRUE(reader.hasAttribute(4));
    EXPECT_FALSE(reader.hasAttribute(5));
    EXPECT_THAT(raised([&] { reader.getAttribute(5); }),
                ContainsRegex("XmlReader\\.cpp: [0-9]+:  -- invalid attribute index 5$"));
    EXPECT_EQ(reader.getAttribute("absent", "d"), "d");
    EXPECT_TRUE(reader.hasAttribute("word"));
    EXPECT_FALSE(reader.hasAttribute("absent"));
    EXPECT_EQ(reader.value(XML_READER_TYPE_TEXT), "  text  ");
    // value() stops at the end of the element rather than running into the next one.
    ASSERT_TRUE(reader.read());
    EXPECT_EQ(reader.nodeType(), XML_READER_TYPE_END_ELEMENT);
    EXPECT_EQ(reader.value(XML_READER_TYPE_TEXT), "");
    ASSERT_TRUE(reader.skipTo(XML_READER_TYPE_ELEMENT, "tail"));
    EXPECT_TRUE(reader.isEmptyElement());
    EXPECT_TRUE(reader.moveToNextAttribute());
    EXPECT_EQ(reader.name(), "a");
    EXPECT_FALSE(reader.moveToNextAttribute());
    EXPECT_FALSE(reader.skipTo(XML_READER_TYPE_ELEMENT, "never"));

    EXPECT_THAT(raised([&] { XmlReader(tmp.path("none.xml")); }),
                ContainsRegex("XmlReader\\.cpp: [0-9]+: Could not open: \"" + tmp.path("none.xml") + "\"$"));
}

}  // namespace
}  // namespace orvik
