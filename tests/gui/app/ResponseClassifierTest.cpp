#include <gtest/gtest.h>

#include "gui/app/ResponseClassifier.h"
#include "tests/gui/support/ServiceMessage.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

using tamsel::test::serviceMessage;

namespace {

QByteArray fault(const QByteArray& errorCode) {
    return QByteArray("<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"") +
           ConnApiConstants::SOAP_ENVELOPE_NAMESPACE_URI +
           "\"><SOAP-ENV:Body><SOAP-ENV:Fault><faultcode>SOAP-ENV:Client</faultcode>"
           "<faultstring>getGroupsResponse</faultstring><detail><sequenceNumber>4</"
           "sequenceNumber><errorCode>" +
           errorCode + "</errorCode></detail></SOAP-ENV:Fault></SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

}  // namespace

TEST(ResponseClassifierTest, EveryHandledMessageIsKnownByItsElement) {
    const QStringList& names = ResponseClassifier::responseTypeNames();
    ASSERT_EQ(names.size(), 31);
    EXPECT_EQ(ResponseClassifier::classifyResponse(fault("1")), ResponseType::Fault);
    for (int code = 1; code < names.size(); ++code) {
        EXPECT_EQ(static_cast<int>(ResponseClassifier::classifyResponse(
                      serviceMessage(names[code].toUtf8(), "<sequenceNumber>1</sequenceNumber>"))),
                  code)
            << names[code].toStdString();
    }
}

TEST(ResponseClassifierTest, TextInsideAMessageNeverDecidesItsType) {
    const struct {
        const char* what;
        QByteArray message;
        ResponseType expected;
    } rows[] = {
        {"a scanned SSID named faultcode",
         serviceMessage("getScanListResponse",
                        "<nadList type=\"array\"><nad><ssid>faultcode</ssid></nad></nadList>"),
         ResponseType::GetScanListResponse},
        {"a group named after the groups reply",
         serviceMessage("getNetworksInGroupResponse", "<groupName>getGroupsResponse</groupName>"),
         ResponseType::GetNetworksInGroupResponse},
        {"the resend reply is not the event it differs from by one letter",
         serviceMessage("resendLastNetworkStateEventResponse", "<note>networkStateEvent</note>"),
         ResponseType::ResendLastNetworkStateEventResponse},
        {"an element outside the table", serviceMessage("getVersionResponse", "<version>1</version>"),
         ResponseType::Unknown},
        {"a faultcode element as message element", serviceMessage("faultcode", ""), ResponseType::Unknown},
        {"not an envelope", QByteArray("<getGroupsResponse/>"), ResponseType::Unknown},
        {"not XML", QByteArray("getGroupsResponse"), ResponseType::Unknown},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ResponseClassifier::classifyResponse(row.message), row.expected) << row.what;
    }
}
