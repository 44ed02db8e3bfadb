#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/exception/CanceledException.h"
#include "vel/exception/ConnectionApiException.h"
#include "vel/exception/ConversionException.h"
#include "vel/exception/CredentialException.h"
#include "vel/exception/FileIOException.h"
#include "vel/exception/InvalidGroupException.h"
#include "vel/exception/InvalidNetworkException.h"
#include "vel/exception/LogWindowsException.h"
#include "vel/exception/NoConnectionException.h"
#include "vel/exception/XmlException.h"

namespace {

struct ReportCase {
    const char* name;
    std::function<void()> raise;
    std::vector<std::string> lines;  // the messages report() writes, in order
};

// Raises, catches as the root class, reports, and returns what the log gained.
std::vector<std::string> reported(const std::function<void()>& raise) {
    try {
        raise();
    } catch (const BaseException& e) {
        LogCapture log;
        e.report();
        return log.messages();
    }
    ADD_FAILURE() << "nothing was raised";
    return {};
}

TEST(FurtherExceptionTest, EachClassReportsItsLinesWhenCaughtAsTheRoot) {
    auto error = [](int n) {
        return "Internal error " + std::to_string(n) + ", contact software manufacturer";
    };
    const std::vector<ReportCase> cases = {
        {"no connection", [] { NoConnectionException::raise(); }, {"CAUGHT: NoConnectionException"}},
        {"cancelled", [] { CanceledException::raise(); }, {"CAUGHT: CanceledException"}},
        {"invalid group", [] { InvalidGroupException::raise(); }, {"CAUGHT: InvalidGroupException"}},
        {"invalid network", [] { InvalidNetworkException::raise(); }, {"CAUGHT: InvalidNetworkException"}},
        {"conversion",
         [] {
             ConversionException::raise("src/vel/enumtostring/conversions.cpp", 12,
                                        "BoolToText: Unknown boolean value.");
         },
         {error(149),
          "CAUGHT: ConversionException for function 'BoolToText: Unknown boolean value.' "
          "[conversions.cpp:12]"}},
        {"xml",
         [] { XmlException::raise("src\\vel\\xml\\xmldocument.cpp", 7, "XmlDocument::parse"); },
         {error(155), "CAUGHT: XmlException for function 'XmlDocument::parse' [xmldocument.cpp:7]"}},
        {"file create",
         [] { FileIOException::raise("a/b.cpp", 1, FileIOException::CREATE, Unicode(u"C:\\x\\\u00e9.xml")); },
         {error(151), "CAUGHT: Can't create \"C:\\x\\\xc3\xa9.xml\" [b.cpp:1]"}},
        {"file flush",
         [] { FileIOException::raise("a/b.cpp", 2, FileIOException::FLUSH, Unicode(u"f")); },
         {error(152), "CAUGHT: Can't flush \"f\" [b.cpp:2]"}},
        {"file write",
         [] { FileIOException::raise("a/b.cpp", 3, FileIOException::WRITE, Unicode(u"/tmp/out.xml")); },
         {error(206), "CAUGHT: Can't write \"/tmp/out.xml\" [b.cpp:3]"}},
        {"connection api",
         [] {
             ConnectionApiException::raise("x/handler.cpp", 40, Ascii("addNetwork"), Ascii("no such group"));
         },
         {error(193), "CAUGHT: ConnectionApiException in 'addNetwork' [handler.cpp:40]: no such group"}},
        {"log windows",
         [] { throw LogWindowsException("w/file.cpp", 9, "RevertToSelf", 5); },
         {"CAUGHT: LogWindowsException for function 'RevertToSelf' => 5{error} [file.cpp:9]"}},
    };
    for (const ReportCase& c : cases) EXPECT_EQ(reported(c.raise), c.lines) << c.name;
}

TEST(FurtherExceptionTest, CredentialExceptionLogsWhereItIsRaisedAndAgainWhenReported) {
    struct Case {
        const char* file;
        const char* shown;
    };
    const std::vector<Case> cases = {
        {"credential.cpp", "credential.cpp"},  // no backslash: the whole text
        {"src\\vel\\credmgr\\credential.cpp", "credential.cpp"},
        {"src\\vel\\", "src\\vel\\"},  // nothing after the last one
        {"src/vel/credmgr/credential.cpp", "credential.cpp"},
        {"src/vel/", "src/vel/"},
        {nullptr, "?"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        try {
            CredentialException::raise(c.file, 33, Ascii("Credential::protect"), Ascii("bad key"));
            FAIL();
        } catch (const CredentialException& e) {
            std::vector<std::string> raised = log.messages();
            ASSERT_EQ(raised.size(), 2u);
            EXPECT_EQ(raised[0], "Internal error 150, contact software manufacturer");
            EXPECT_EQ(raised[1],
                      std::string("CredentialException for function 'Credential::protect' => bad key [") +
                          c.shown + ":33]");
            EXPECT_EQ(std::string(e.reason().text()), "bad key");
        }
    }
    EXPECT_EQ(reported([] { CredentialException::raise("c.cpp", 1, Ascii("f"), Ascii("r")); }),
              (std::vector<std::string>{"Internal error 150, contact software manufacturer",
                                        "CAUGHT: CredentialException in 'f' [c.cpp:1]: r"}));
}

TEST(FurtherExceptionTest, CopiesKeepTheirTexts) {
    BaseValuesTest::takeAssertions();
    try {
        XmlException::raise("f.cpp", 1, "XmlElement::child");
    } catch (const XmlException& e) {
        XmlException copy = e;
        EXPECT_EQ(copy.function(), Ascii("XmlElement::child"));
        EXPECT_EQ(copy.line(), 1);
    }
    FileIOException original("f.cpp", 2, 7, Unicode(u"p"));
    FileIOException copy = original;
    EXPECT_EQ(copy.path(), Unicode(u"p"));
    LogCapture log;
    copy.report();  // an unknown kind is a broken invariant
    EXPECT_EQ(BaseValuesTest::takeAssertions(),
              std::vector<std::string>{"FileIOException.m_fileIOExceptionType"});
    EXPECT_FALSE(log.contains("CAUGHT"));
}

}  // namespace
