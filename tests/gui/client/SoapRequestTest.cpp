#include <gtest/gtest.h>

#include <QDomDocument>
#include <QList>

#include "gui/client/ClientLog.h"
#include "gui/client/RequestTransport.h"
#include "gui/client/SoapRequest.h"
#include "platform/qtsoap/QtSoapMessage.h"
#include "tests/gui/client/TestSupport.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

namespace {

// The process-wide counter starts once per process, so the first requests are written before any
// test runs, whatever the order or filter the tests run under.
struct FirstRequests : ::testing::Environment {
    void SetUp() override {
        SoapRequest first(QStringLiteral("getGroupsRequest"));
        first.endRequest();
        firstText = first.text();
        SoapRequest answer(QStringLiteral("getUsernameAndPasswordResponse"), QStringLiteral("42"));
        answer.endRequest();
        answerText = answer.text();
        SoapRequest second(QStringLiteral("getActiveGroupRequest"));
        second.endRequest();
        secondText = second.text();
    }
    static inline QByteArray firstText;
    static inline QByteArray answerText;
    static inline QByteArray secondText;
};
const auto* const g_firstRequests = ::testing::AddGlobalTestEnvironment(new FirstRequests);

QString sequenceNumberOf(const QByteArray& text) {
    QtSoapMessage message;
    EXPECT_TRUE(message.setContent(text)) << text.constData();
    return message.method()["sequenceNumber"].text();
}

int numberOfNextRequest() {
    SoapRequest request(QStringLiteral("getScanListRequest"));
    request.endRequest();
    return sequenceNumberOf(request.text()).toInt();
}

class RecordingTransport : public RequestTransport {
public:
    explicit RecordingTransport(Result result) : m_result(result) {}
    Result sendFrame(const QByteArray& frame) override {
        frames << frame;
        return m_result;
    }
    QList<QByteArray> frames;

private:
    Result m_result;
};

class SoapRequestSend : public ::testing::Test {
protected:
    void TearDown() override {
        RequestTransport::withdraw();
        ClientLog::setVerboseDumps(false);
    }
};

TEST(SoapRequest, FirstRequestOfTheProcessIsWrittenByteForByte) {
    EXPECT_EQ(FirstRequests::firstText.toStdString(),
              "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
              "xmlns:tamsel=\"urn:varnel:tamsel:connapi\" "
              "encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">\n"
              "  <SOAP-ENV:Body>\n"
              "    <tamsel:getGroupsRequest>\n"
              "      <tamsel:sequenceNumber>1</tamsel:sequenceNumber>\n"
              "    </tamsel:getGroupsRequest>\n"
              "  </SOAP-ENV:Body>\n"
              "</SOAP-ENV:Envelope>");
}

TEST(SoapRequest, AnswersCarryTheServicesNumberAndLeaveTheCounterAlone) {
    EXPECT_EQ(sequenceNumberOf(FirstRequests::answerText), "42");
    EXPECT_EQ(sequenceNumberOf(FirstRequests::secondText), "2");

    // The count goes on across a new pipe end: nothing restarts it.
    const int before = numberOfNextRequest();
    RequestTransport::publish(std::make_shared<RecordingTransport>(RequestTransport::Result::Sent));
    RequestTransport::withdraw();
    RequestTransport::publish(std::make_shared<RecordingTransport>(RequestTransport::Result::Sent));
    const int after = numberOfNextRequest();
    RequestTransport::withdraw();
    EXPECT_GT(before, 2);
    EXPECT_EQ(after, before + 1);
}

TEST(SoapRequest, AnEchoedNumberStaysInsideItsElement) {
    const QString echoed = QStringLiteral("7</tamsel:sequenceNumber><tamsel:password>x");
    SoapRequest answer(QStringLiteral("getUsernameAndPasswordResponse"), echoed);
    answer.endRequest();

    QDomDocument document;
    ASSERT_TRUE(document.setContent(answer.text(), true)) << answer.text().constData();
    const QDomElement method = document.documentElement().firstChildElement().firstChildElement();
    EXPECT_EQ(method.firstChildElement("sequenceNumber").text(), echoed);
    EXPECT_TRUE(method.firstChildElement("password").isNull());
}

TEST(SoapRequest, EscapesTheFiveMarkupCharactersAmpersandFirst) {
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"a<b&c''", "a&lt;b&amp;c&apos;&apos;"},
        {"&lt;", "&amp;lt;"},
        {"say \"hi\" > x", "say &quot;hi&quot; &gt; x"},
        {"&&", "&amp;&amp;"},
        {"", ""},
        {"plain text", "plain text"},
        {"Gr\xc3\xbc\xc3\x9f"
         "e",
         "Gr\xc3\xbc\xc3\x9f"
         "e"},
    };
    for (const auto& [raw, escaped] : cases)
        EXPECT_EQ(SoapRequest::xmlEscape(raw), escaped) << raw.constData();
}

TEST(SoapRequest, WritesChildrenNestedElementsAndTheTailWithFixedIndentation) {
    SoapRequest request(QStringLiteral("changeNetworkRequest"), QStringLiteral("17"));
    request.addRequestParam(QStringLiteral("groupName"), QStringLiteral("R&D <lab>"));
    request.openElement(QStringLiteral("vpnParameters"));
    request.addRequestParam(QStringLiteral("connectionEntry"), QString());
    request.closeElement(QStringLiteral("vpnParameters"));
    request.endRequest();

    ASSERT_TRUE(request.text().startsWith(soapEnvelopeHead()));
    EXPECT_EQ(request.text().mid(soapEnvelopeHead().size()).toStdString(),
              "\n    <tamsel:changeNetworkRequest>"
              "\n      <tamsel:sequenceNumber>17</tamsel:sequenceNumber>"
              "\n      <tamsel:groupName>R&amp;D &lt;lab&gt;</tamsel:groupName>"
              "\n      <tamsel:vpnParameters>"
              "\n      <tamsel:connectionEntry></tamsel:connectionEntry>"
              "\n      </tamsel:vpnParameters>"
              "\n    </tamsel:changeNetworkRequest>"
              "\n  </SOAP-ENV:Body>\n</SOAP-ENV:Envelope>");
}

TEST(SoapRequest, AnyValueSurvivesTheTripThroughAnXmlParser) {
    const QString value = QStringLiteral("<p&w'd\"> \u00e9\u4e2d &amp; ]]>");
    SoapRequest request(QStringLiteral("getUsernameAndPasswordResponse"), QStringLiteral("9"));
    request.addRequestParam(QStringLiteral("password"), value);
    request.openElement(QStringLiteral("vpnParameters"));
    request.addRequestParam(QStringLiteral("connectionEntry"), QStringLiteral("corp"));
    request.closeElement(QStringLiteral("vpnParameters"));
    request.endRequest();

    QDomDocument document;
    ASSERT_TRUE(document.setContent(request.text(), true)) << request.text().constData();
    const QDomElement method = document.documentElement().firstChildElement().firstChildElement();
    EXPECT_EQ(method.localName(), "getUsernameAndPasswordResponse");
    // The service finds the message in the namespace both sides share.
    EXPECT_EQ(method.namespaceURI(), ConnApiConstants::NAMESPACE_URI);
    EXPECT_EQ(method.firstChildElement("password").text(), value);
    EXPECT_EQ(method.firstChildElement("vpnParameters").firstChildElement("connectionEntry").text(), "corp");
}

TEST_F(SoapRequestSend, FramesTheUtf8ByteLengthNotTheCharacterCount) {
    auto transport = std::make_shared<RecordingTransport>(RequestTransport::Result::Sent);
    RequestTransport::publish(transport);
    SoapRequest request(QStringLiteral("addGroupRequest"));
    request.addRequestParam(QStringLiteral("groupName"), QStringLiteral("\u00c9t\u00e9 \u6e2c\u8a66"));
    request.endRequest();
    request.sendRequest();

    ASSERT_EQ(transport->frames.size(), 1);
    const QByteArray& frame = transport->frames.first();
    const qsizetype lineFeed = frame.indexOf('\n');
    ASSERT_GT(lineFeed, 0);
    EXPECT_EQ(frame.left(lineFeed), QByteArray::number(request.text().size()));
    EXPECT_NE(frame.left(lineFeed), QByteArray::number(QString::fromUtf8(request.text()).size()));
    EXPECT_EQ(frame.mid(lineFeed + 1), request.text());
}

TEST_F(SoapRequestSend, LostPipeIsLoggedAndTheRequestDropped) {
    using R = RequestTransport::Result;
    const std::pair<R, const char*> cases[] = {
        {R::Canceled, "CanceledException."},
        {R::NoConnection, "NoConnectionException."},
        {R::Failed, "NvoException."},
    };
    for (const auto& [result, line] : cases) {
        ClientLogCapture log;
        auto transport = std::make_shared<RecordingTransport>(result);
        RequestTransport::publish(transport);
        SoapRequest(QStringLiteral("getScanListRequest")).sendRequest();
        EXPECT_EQ(transport->frames.size(), 1) << line;
        EXPECT_EQ(log.lines(), QStringList{line});
    }

    // A message over the protocol's limit, which the service would refuse, never reaches the pipe.
    {
        ClientLogCapture log;
        auto transport = std::make_shared<RecordingTransport>(R::Sent);
        RequestTransport::publish(transport);
        SoapRequest large(QStringLiteral("addNetworkRequest"));
        large.addRequestParam(QStringLiteral("networkName"), QString(ConnApiFrame::MAX_MESSAGE_LENGTH, 'n'));
        large.endRequest();
        large.sendRequest();
        EXPECT_TRUE(transport->frames.isEmpty());
        EXPECT_EQ(log.lines(), QStringList{"NvoException."});
    }

    // No pipe end published yet: the same as no connection.
    RequestTransport::withdraw();
    ClientLogCapture log;
    SoapRequest(QStringLiteral("getScanListRequest")).sendRequest();
    EXPECT_EQ(log.lines(), QStringList{"NoConnectionException."});
}

TEST_F(SoapRequestSend, VerboseDumpLogsTheTextOfASentRequestOnly) {
    RequestTransport::publish(std::make_shared<RecordingTransport>(RequestTransport::Result::Sent));
    SoapRequest request(QStringLiteral("getServiceStateRequest"));
    request.endRequest();
    {
        ClientLogCapture log;
        request.sendRequest();
        EXPECT_TRUE(log.lines().isEmpty());
    }
    ClientLog::setVerboseDumps(true);
    ClientLogCapture log;
    request.sendRequest();
    EXPECT_EQ(log.lines(), QStringList{"\nRequest sent ==\n " + QString::fromUtf8(request.text())});
}

TEST_F(SoapRequestSend, VerboseDumpHidesPasswordsPinsAndKeysButTheFrameKeepsThem) {
    auto transport = std::make_shared<RecordingTransport>(RequestTransport::Result::Sent);
    RequestTransport::publish(transport);
    SoapRequest request(QStringLiteral("getUsernameAndPasswordResponse"), QStringLiteral("9"));
    const QList<QPair<QString, QString>> children = {{"username", "alice"},
                                                     {"password", "s3cret&<x>"},
                                                     {"oldPassword", "old"},
                                                     {"pin", "1234"},
                                                     {"wpaAsciiKey", "passphrase"},
                                                     {"wepHex40Key", "0a0b0c0d0e"},
                                                     {"passwordType", "passwordChange"},
                                                     {"networkName", "pinKey network"}};
    for (const auto& [name, value] : children) request.addRequestParam(name, value);
    request.endRequest();
    ClientLog::setVerboseDumps(true);
    ClientLogCapture log;
    request.sendRequest();
    ClientLog::setVerboseDumps(false);

    ASSERT_EQ(transport->frames.size(), 1);
    EXPECT_TRUE(transport->frames.first().endsWith(request.text()));
    ASSERT_EQ(log.lines().size(), 1);
    const QString dump = log.lines().first();
    for (const char* hidden : {"s3cret", "&gt;x", ">old<", "1234", "passphrase", "0a0b0c0d0e"})
        EXPECT_FALSE(dump.contains(hidden)) << hidden;
    EXPECT_EQ(dump.count("********"), 5);
    for (const char* shown : {">alice<", ">passwordChange<", ">pinKey network<", ">9<"})
        EXPECT_TRUE(dump.contains(shown)) << shown;
}

}  // namespace
