#include <gtest/gtest.h>
#include <libxml/parserInternals.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "vel/exception/XmlException.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/libxml2/XmlLibrary.h"

namespace {

const char* const SECRET = "secret-of-the-file-next-door";

class XmlParseSafetyTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() /
                   ("tamsel-xml-" + std::to_string(::getpid()) + "-" +
                    testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_folder);
        write("secret.txt", SECRET);
        write("entity.ent", std::string("<!ENTITY leak \"") + SECRET + "\">");
        write("subset.dtd", std::string("<!ENTITY leak \"") + SECRET + "\">");
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    void write(const char* name, const std::string& text) { std::ofstream(m_folder / name) << text; }
    std::string path(const char* name) const { return (m_folder / name).string(); }

    std::filesystem::path m_folder;
};

// Whatever libxml2 does with the reference, the file's text never reaches the document.
TEST_F(XmlParseSafetyTest, ExternalEntitiesAndSubsetsStayUnread) {
    const std::string documents[] = {
        "<!DOCTYPE a [<!ENTITY x SYSTEM \"file://" + path("secret.txt") + "\">]><a>&x;</a>",
        "<!DOCTYPE a [<!ENTITY x SYSTEM \"" + path("secret.txt") + "\">]><a>&x;</a>",
        "<!DOCTYPE a [<!ENTITY % p SYSTEM \"" + path("entity.ent") + "\"> %p;]><a>&leak;</a>",
        "<!DOCTYPE a SYSTEM \"" + path("subset.dtd") + "\"><a>&leak;</a>",
        "<!DOCTYPE a [<!ENTITY x SYSTEM \"" + path("secret.txt") + "\">]><a b=\"1\">x<c>&x;</c></a>",
    };
    for (const std::string& text : documents) {
        SCOPED_TRACE(text);
        XmlDocument document;
        try {
            document.parse(text.data(), static_cast<int>(text.size()));
        } catch (const XmlException&) {
            continue;
        }
        EXPECT_EQ(std::string(document.dump().text()).find(SECRET), std::string::npos);
    }
}

TEST_F(XmlParseSafetyTest, EntityLoaderRefusesEveryResource) {
    XmlLibrary::parseOptions();
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    ASSERT_NE(context, nullptr);
    for (const std::string& url :
         {path("secret.txt"), "file://" + path("secret.txt"), std::string("http://127.0.0.1:9/x")}) {
        xmlParserInputPtr input = xmlLoadExternalEntity(url.c_str(), nullptr, context);
        EXPECT_EQ(input, nullptr) << url;
        if (input != nullptr) xmlFreeInputStream(input);
    }
    xmlFreeParserCtxt(context);
}

TEST_F(XmlParseSafetyTest, EntityExpansionStaysBounded) {
    std::string nested = "<!DOCTYPE a [<!ENTITY e0 \"laughing laughing laughing\">";
    for (int i = 1; i <= 12; ++i) {
        nested += "<!ENTITY e" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) nested += "&e" + std::to_string(i - 1) + ";";
        nested += "\">";
    }
    nested += "]><a>&e12;</a>";
    std::string wide = "<!DOCTYPE a [<!ENTITY e \"" + std::string(100000, 'x') + "\">]><a>";
    for (int i = 0; i < 20000; ++i) wide += "&e;";
    wide += "</a>";

    // The parse's own processor time: a loaded machine stretches the wall clock, not the work.
    const auto threadCpu = [] {
        timespec now{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    };
    for (const std::string& text : {nested, wide}) {
        XmlDocument document;
        const auto start = threadCpu();
        EXPECT_THROW(document.parse(text.data(), static_cast<int>(text.size())), XmlException);
        EXPECT_LT(threadCpu() - start, std::chrono::seconds(10));
    }
}

TEST_F(XmlParseSafetyTest, PipeMessagesRefuseEveryDocumentTypeAndSubstituteNothing) {
    std::string bomb = "<!DOCTYPE a [<!ENTITY e0 \"laughing\">";
    for (int i = 1; i <= 12; ++i) {
        bomb += "<!ENTITY e" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) bomb += "&e" + std::to_string(i - 1) + ";";
        bomb += "\">";
    }
    bomb += "]><a>&e12;</a>";
    const std::string refused[] = {
        "<!DOCTYPE a><a/>",
        "<!DOCTYPE a SYSTEM \"" + path("subset.dtd") + "\"><a>&leak;</a>",
        "<!DOCTYPE a [<!ENTITY x SYSTEM \"" + path("secret.txt") + "\">]><a>&x;</a>",
        "<!DOCTYPE a [<!ENTITY x \"inner\">]><a>&x;</a>",
        bomb,
    };
    for (const std::string& text : refused) {
        SCOPED_TRACE(text.substr(0, 60));
        XmlDocument document;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_THROW(document.parseMessage(text.data(), static_cast<int>(text.size())), XmlException);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
    // A configuration file is refused as plainly, with a text that says why.
    for (const std::string& text : refused) {
        SCOPED_TRACE(text.substr(0, 60));
        XmlDocument document;
        try {
            document.parseFile(text.data(), static_cast<int>(text.size()));
            ADD_FAILURE() << "accepted";
        } catch (const XmlException& e) {
            EXPECT_STREQ(e.function().text(), XmlDocument::FILE_DOCUMENT_TYPE_REFUSED);
        }
    }
    // The predefined entities are the only ones a message may use; an undeclared one is an error.
    XmlDocument document;
    const std::string plain = "<a>&lt;b&gt; &amp; &#65;</a>";
    document.parseMessage(plain.data(), static_cast<int>(plain.size()));
    EXPECT_STREQ(document.rootElement().content(), "<b> & A");
    const std::string undeclared = "<a>&x;</a>";
    EXPECT_THROW(document.parseMessage(undeclared.data(), static_cast<int>(undeclared.size())), XmlException);
}

}  // namespace
