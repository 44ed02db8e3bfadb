#include <gtest/gtest.h>

#include <QString>

#include "platform/qtsoap/QtSoapMessage.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

namespace {

// An envelope as the service writes it: unprefixed elements in the product's default namespace,
// children enclosed in and separated by line feeds.
QByteArray serviceEnvelope(const QByteArray& bodyContent) {
    return QByteArray("<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"") +
           ConnApiConstants::SOAP_ENVELOPE_NAMESPACE_URI + "\" xmlns=\"" + ConnApiConstants::NAMESPACE_URI +
           "\" encodingStyle=\"" + ConnApiConstants::SOAP_ENCODING_NAMESPACE_URI + "\">\n<SOAP-ENV:Body>\n" +
           bodyContent + "\n</SOAP-ENV:Body>\n</SOAP-ENV:Envelope>";
}

const QByteArray SCAN_REPLY = serviceEnvelope(
    "<getScanListResponse>\n<sequenceNumber>12</sequenceNumber>\n<nadList type=\"array\">\n"
    "<nad>\n<ssid>Cafe &amp; Bar</ssid>\n<bssid>00112233aabb</bssid>\n"
    "<associationAndEncryptionModeList type=\"array\">\n"
    "<associationAndEncryptionMode>wpa2PersonalAes</associationAndEncryptionMode>\n"
    "<associationAndEncryptionMode>wpaPersonalTkip</associationAndEncryptionMode>\n"
    "</associationAndEncryptionModeList>\n<channel>6</channel>\n<signalStrengthInDbm>-61</"
    "signalStrengthInDbm>\n"
    "<snr>30</snr>\n</nad>\n"
    "<nad>\n<ssid>  Lobby  </ssid>\n<bssid>00112233aacc</bssid>\n"
    "<associationAndEncryptionModeList type=\"array\">\n</associationAndEncryptionModeList>\n"
    "<channel>36</channel>\n</nad>\n"
    "</nadList>\n<flags>\n<radioEnabled>true</radioEnabled>\n<tamselEnabled>false</tamselEnabled>\n"
    "<captureEnabled>TRUE</captureEnabled>\n<wiredOnly>1</wiredOnly>\n<vpnEnabled>yes</vpnEnabled>\n"
    "<emptyFlag></emptyFlag>\n</flags>\n</getScanListResponse>");

QtSoapElement path(const QtSoapElement& from, const QStringList& names) {
    QtSoapElement e = from;
    for (const QString& n : names) e = e[n];
    return e;
}

TEST(QtSoapMessage, ReadsTextsOfTheServiceShapeByLocalName) {
    QtSoapMessage message;
    ASSERT_TRUE(message.setContent(SCAN_REPLY)) << message.errorString().toStdString();
    const QtSoapElement method = message.method();
    EXPECT_EQ(method.name(), "getScanListResponse");

    struct Case {
        QStringList path;
        QString text;
        bool present;
    };
    const Case cases[] = {
        {{"sequenceNumber"}, "12", true},
        // Entities are decoded; blanks inside a value are kept.
        {{"nadList", "nad", "ssid"}, "Cafe & Bar", true},
        // Names are matched without regard to case.
        {{"NADLIST", "Nad", "Ssid"}, "Cafe & Bar", true},
        {{"nadList", "nad", "BSSID"}, "00112233aabb", true},
        {{"nadList", "nad", "channel"}, "6", true},
        // A missing child, and anything below it, reads as empty.
        {{"nadList", "nad", "noSuchChild"}, "", false},
        {{"noSuchChild", "nad", "ssid"}, "", false},
        {{"flags", "emptyFlag"}, "", true},
    };
    for (const Case& c : cases) {
        const QtSoapElement e = path(method, c.path);
        EXPECT_EQ(e.text(), c.text) << c.path.join('/').toStdString();
        EXPECT_EQ(!e.isNull(), c.present) << c.path.join('/').toStdString();
    }
}

TEST(QtSoapMessage, ReadsBooleansAndTreatsMissingOnesAsFalse) {
    QtSoapMessage message;
    ASSERT_TRUE(message.setContent(SCAN_REPLY));
    const QtSoapElement flags = message.method()["flags"];
    const std::pair<const char*, bool> cases[] = {
        {"radioEnabled", true}, {"tamselEnabled", false}, {"captureEnabled", true}, {"wiredOnly", true},
        {"vpnEnabled", false},  {"emptyFlag", false},     {"notThere", false},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(flags[name].toBool(), expected) << name;
}

TEST(QtSoapMessage, ArraysListTheirItemsInDocumentOrder) {
    QtSoapMessage message;
    ASSERT_TRUE(message.setContent(SCAN_REPLY));
    const QtSoapElement nadList = message.method()["nadList"];
    ASSERT_TRUE(nadList.isArray());
    ASSERT_EQ(nadList.count(), 2);
    EXPECT_EQ(nadList.at(1)["ssid"].text(), "  Lobby  ");
    EXPECT_TRUE(nadList.at(2).isNull());
    EXPECT_TRUE(nadList.at(-1).isNull());

    const QtSoapElement modes = nadList.at(0)["associationAndEncryptionModeList"];
    ASSERT_TRUE(modes.isArray());
    QStringList texts;
    for (const QtSoapElement& item : modes.items()) texts << item.text();
    EXPECT_EQ(texts, QStringList({"wpa2PersonalAes", "wpaPersonalTkip"}));

    const QtSoapElement emptyModes = nadList.at(1)["associationAndEncryptionModeList"];
    EXPECT_TRUE(emptyModes.isArray());
    EXPECT_EQ(emptyModes.count(), 0);

    // Only the marked container is an array; an element with children is not one by itself.
    EXPECT_FALSE(message.method()["flags"].isArray());
    EXPECT_FALSE(message.method()["missing"].isArray());
}

TEST(QtSoapMessage, ArrayMarkIsTheTypeAttributeWithValueArray) {
    const std::pair<const char*, bool> cases[] = {
        {"<list type=\"array\"><i>1</i></list>", true},
        {"<list xmlns:x=\"urn:x\" x:type=\"array\"><i>1</i></list>", true},
        {"<list type=\"struct\"><i>1</i></list>", false},
        {"<list kind=\"array\"><i>1</i></list>", false},
        {"<list><i>1</i></list>", false},
    };
    for (const auto& [list, expected] : cases) {
        QtSoapMessage message;
        ASSERT_TRUE(message.setContent(serviceEnvelope(QByteArray("<reply>") + list + "</reply>"))) << list;
        EXPECT_EQ(message.method()["list"].isArray(), expected) << list;
    }
}

TEST(QtSoapMessage, FindsThePrefixedMessagesOfTheTrayProgram) {
    const QByteArray prefixed =
        QByteArray("<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"") + ConnApiConstants::SOAP_ENVELOPE_NAMESPACE_URI +
        "\" xmlns:tamsel=\"" + ConnApiConstants::NAMESPACE_URI +
        "\">\n  <SOAP-ENV:Body>\n    <tamsel:getNetworksInGroupRequest>\n"
        "      <tamsel:sequenceNumber>4</tamsel:sequenceNumber>\n      "
        "<tamsel:groupName>Office</tamsel:groupName>\n"
        "    </tamsel:getNetworksInGroupRequest>\n  </SOAP-ENV:Body>\n</SOAP-ENV:Envelope>";
    QtSoapMessage message;
    ASSERT_TRUE(message.setContent(prefixed));
    EXPECT_EQ(message.method().name(), "getNetworksInGroupRequest");
    EXPECT_EQ(message.method()["groupName"].text(), "Office");
    EXPECT_FALSE(message.isFault());
}

TEST(QtSoapMessage, ReadsTheServiceFaultDetail) {
    QtSoapMessage message;
    ASSERT_TRUE(message.setContent(serviceEnvelope(
        "<SOAP-ENV:Fault>\n<SOAP-ENV:faultcode>Client</SOAP-ENV:faultcode>\n"
        "<SOAP-ENV:faultstring>unknownRequest</SOAP-ENV:faultstring>\n<SOAP-ENV:detail>\n"
        "<sequenceNumber>7</sequenceNumber>\n<errorCode>10</errorCode>\n<errorString></errorString>\n"
        "</SOAP-ENV:detail>\n</SOAP-ENV:Fault>")));
    ASSERT_TRUE(message.isFault());
    EXPECT_EQ(message.method()["faultstring"].text(), "unknownRequest");
    EXPECT_EQ(message.faultDetail()["sequenceNumber"].toInt(), 7);
    EXPECT_EQ(message.faultDetail()["errorCode"].toInt(), 10);

    QtSoapMessage reply;
    ASSERT_TRUE(reply.setContent(SCAN_REPLY));
    EXPECT_FALSE(reply.isFault());
    EXPECT_TRUE(reply.faultDetail().isNull());
}

TEST(QtSoapMessage, RejectsWhatIsNotAnEnvelopeWithABody) {
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"repair byte", QByteArray("Q")},
        {"truncated", SCAN_REPLY.left(SCAN_REPLY.size() / 2)},
        {"unbound prefix", QByteArray("<x:Envelope><x:Body/></x:Envelope>")},
        {"other root", QByteArray("<Body><getGroupsResponse/></Body>")},
        {"no body", QByteArray("<Envelope><Header/></Envelope>")},
    };
    for (const auto& [label, bytes] : cases) {
        QtSoapMessage message;
        // A message read earlier must not survive a failed parse.
        ASSERT_TRUE(message.setContent(SCAN_REPLY));
        EXPECT_FALSE(message.setContent(bytes)) << label;
        EXPECT_FALSE(message.isValid()) << label;
        EXPECT_TRUE(message.method().isNull()) << label;
        EXPECT_FALSE(message.errorString().isEmpty()) << label;
    }
}

TEST(QtSoapMessage, ReadsIntegersOnlyWhenTheTextIsOne) {
    QtSoapMessage message;
    ASSERT_TRUE(message.setContent(SCAN_REPLY));
    bool ok = false;
    EXPECT_EQ(message.method()["nadList"].at(0)["signalStrengthInDbm"].toInt(&ok), -61);
    EXPECT_TRUE(ok);
    EXPECT_EQ(message.method()["nadList"].at(0)["ssid"].toInt(&ok), 0);
    EXPECT_FALSE(ok);
}

}  // namespace
