// Rules of the message bodies that one corpus file per message does not show: numbers, keys,
// children by state, what is left out.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "../basevaluessupport/BaseValuesTestSupport.h"
#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/NetworkBodies.h"
#include "vel/connapi/NetworkStateBody.h"
#include "vel/connapi/SoapBodyContext.h"
#include "vel/connapi/XmlLocation.h"
#include "vel/exception/XmlException.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/location/LocationConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

std::string str(const ByteArray& bytes) {
    return std::string(bytes.text(), static_cast<size_t>(bytes.length()));
}

// The local names of an element's element children, in order.
std::vector<std::string> childNames(const SharedXmlNode& element) {
    std::vector<std::string> names;
    for (SharedXmlNode c = element.firstChild(); c.isNonNull(); c = c.nextSibling())
        if (c.isElement()) names.emplace_back(c.name());
    return names;
}

// A message element parsed from its text, as received.
class Received {
public:
    explicit Received(const std::string& message) : m_text(message) {
        m_document.parseMessage(m_text.data(), static_cast<int>(m_text.size()));
    }
    SharedXmlNode element() const { return m_document.rootElement(); }

private:
    std::string m_text;
    XmlDocument m_document;
};

// A message being written: its body and, once written, its element.
class Written {
public:
    Written() : m_body(ConnApiMessage::writeEnvelope(m_document)) {}
    SoapBodyContext context(std::int32_t command, std::int32_t sequence = 42) const {
        return SoapBodyContext(command, sequence, m_body);
    }
    SharedXmlNode element() const { return m_body.firstChild().nextSibling(); }
    std::string text() const { return str(m_document.dump()); }

private:
    XmlDocument m_document;
    SharedXmlNode m_body;
};

TEST(ConnApiBodiesTest, SequenceNumbersReadWithAutomaticBaseAndSaturate) {
    const struct {
        const char* text;
        std::int32_t number;
    } cases[] = {
        {"42", 42},
        {"0x1F", 31},
        {"0X1f", 31},
        {"010", 8},
        {"abc", 0},
        {"", 0},
        {"  7", 7},
        {"+7", 7},
        {"-5", -5},
        {"12abc", 12},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
        {"999999999999999999999999", INT_MAX},
    };
    for (const auto& c : cases) {
        Received message(std::string("<getGroupsRequest><sequenceNumber>") + c.text +
                         "</sequenceNumber></getGroupsRequest>");
        SoapBodyContext context = SoapBodyContext::fromElement(message.element());
        EXPECT_EQ(context.sequenceNumber(), c.number) << c.text;
        EXPECT_EQ(context.command(), ConnApiMessages::GET_GROUPS_REQUEST);
    }
    Received none("<getGroupsRequest/>");
    EXPECT_EQ(SoapBodyContext::fromElement(none.element()).sequenceNumber(), 0);
}

TEST(ConnApiBodiesTest, CommandComesFromTheLocalNameAndUnknownNamesAreLogged) {
    Received prefixed(
        "<t:getActiveGroupRequest xmlns:t=\"x\"><t:sequenceNumber>3</t:sequenceNumber>"
        "</t:getActiveGroupRequest>");
    SoapBodyContext context = SoapBodyContext::fromElement(prefixed.element());
    EXPECT_EQ(context.command(), ConnApiMessages::GET_ACTIVE_GROUP_REQUEST);
    EXPECT_EQ(context.sequenceNumber(), 3);

    for (const char* name : {"fooRequest", "GetGroupsRequest", "Fault"}) {
        LogCapture log;
        Received unknown(std::string("<") + name + "/>");
        EXPECT_EQ(SoapBodyContext::fromElement(unknown.element()).command(), ConnApiMessages::UNKNOWN_REQUEST)
            << name;
        EXPECT_TRUE(log.contains("TextToConnApiCommand: Unknown command.")) << log.text();
    }
}

TEST(ConnApiBodiesTest, HeaderCarriesTheNumberAndAnEmptyReplyNothingElse) {
    Written reply;
    xmlWriteEmptyResponse(reply.context(ConnApiMessages::DISCONNECT_RESPONSE, -3));
    EXPECT_EQ(childNames(reply.element()), std::vector<std::string>{"sequenceNumber"});
    EXPECT_STREQ(reply.element().name(), "disconnectResponse");
    EXPECT_STREQ(reply.element().childContent("sequenceNumber"), "-3");
}

struct KeyCase {
    const char* name;
    // Key children in the order written.
    std::vector<std::pair<std::string, std::string>> keys;
    std::int32_t kind;
    const char* bytes;  // as text, or as hex for a binary key
    std::int32_t length;
};

TEST(ConnApiBodiesTest, KeysOfAnAddedNetworkFollowTheirRulesAndTheLastAcceptedWins) {
    const std::vector<KeyCase> cases = {
        {"no key", {}, StaticKeyRecord::KIND_NONE, "", 0},
        {"hex 40 of 9 characters ignored", {{"wepHex40Key", "0a1b2c3d4"}}, StaticKeyRecord::KIND_NONE, "", 0},
        {"hex 40 of 10", {{"wepHex40Key", "0A1b2c3d4e"}}, StaticKeyRecord::KIND_BINARY, "0a1b2c3d4e", 5},
        {"hex 128 of 26",
         {{"wepHex128Key", "00112233445566778899aabbcc"}},
         StaticKeyRecord::KIND_BINARY,
         "00112233445566778899aabbcc",
         13},
        {"hex 128 of 25 ignored",
         {{"wepHex128Key", "00112233445566778899aabbc"}},
         StaticKeyRecord::KIND_NONE,
         "",
         0},
        {"ascii 40", {{"wepAscii40Key", "ab&amp;de"}}, StaticKeyRecord::KIND_ASCII, "ab&de", 5},
        {"ascii 128",
         {{"wepAscii128Key", "thirteen-char"}},
         StaticKeyRecord::KIND_ASCII,
         "thirteen-char",
         13},
        {"empty ascii 40 ignored", {{"wepAscii40Key", ""}}, StaticKeyRecord::KIND_NONE, "", 0},
        {"wpa ascii of any length", {{"wpaAsciiKey", "x"}}, StaticKeyRecord::KIND_ASCII, "x", 0},
        {"wpa hex of 63 ignored", {{"wpaHexKey", std::string(63, 'a')}}, StaticKeyRecord::KIND_NONE, "", 0},
        {"later accepted key wins",
         {{"wepAscii40Key", "abcde"}, {"wepHex40Key", "0a0b0c0d0e"}, {"wpaHexKey", "short"}},
         StaticKeyRecord::KIND_BINARY,
         "0a0b0c0d0e",
         5},
        {"table order, not document order",
         {{"wpaAsciiKey", "passphrase"}, {"wepHex40Key", "0a0b0c0d0e"}},
         StaticKeyRecord::KIND_ASCII,
         "passphrase",
         0},
    };
    for (const KeyCase& c : cases) {
        std::string message =
            "<addNetworkRequest><groupName>g</groupName><networkName>n</networkName>"
            "<networkMedia>wifi</networkMedia>";
        for (const auto& [name, value] : c.keys) message += "<" + name + ">" + value + "</" + name + ">";
        message += "</addNetworkRequest>";
        Received request(message);
        StaticKeyRecord key = NetworkBodies::readAddNetworkRequest(request.element()).settings.key;
        EXPECT_EQ(key.kind, c.kind) << c.name;
        EXPECT_EQ(
            key.kind == StaticKeyRecord::KIND_BINARY ? str(key.bytes.toHex().toByteArray()) : str(key.bytes),
            c.bytes)
            << c.name;
        EXPECT_EQ(key.length, c.length) << c.name;
    }
}

TEST(ConnApiBodiesTest, SsidOfThirtyTwoBytesIsTheLongestAccepted) {
    Received fits(
        "<addNetworkRequest><groupName>g</groupName><networkName>n</networkName>"
        "<networkMedia>wifi</networkMedia><ssid>" +
        std::string(32, 's') + "</ssid></addNetworkRequest>");
    EXPECT_EQ(NetworkBodies::readAddNetworkRequest(fits.element()).settings.ssid.length(), 32);
    // Multi-byte characters count as their bytes: 11 of three bytes are 33.
    std::string wide;
    for (int i = 0; i < 11; ++i) wide += "\xe2\x82\xac";
    Received tooLong("<changeNetworkRequest><groupName>g</groupName><networkName>n</networkName><ssid>" +
                     wide + "</ssid></changeNetworkRequest>");
    EXPECT_THROW(NetworkBodies::readChangeNetworkRequest(tooLong.element()), XmlException);
}

NetworkStateRecord stateOf(std::int32_t networkState) {
    NetworkStateRecord r;
    r.groupName = "g";
    r.networkName = "n";
    r.networkState = networkState;
    r.outerEapMethod = 21;
    r.innerEapMethod = 4100;
    return r;
}

TEST(ConnApiBodiesTest, NetworkStateEventChildrenDependOnTheState) {
    const std::vector<std::string> common = {"sequenceNumber",      "groupName",     "networkName",
                                             "networkState",        "nadMacAddress", "channel",
                                             "signalStrengthInDbm", "adapterName",   "adapterMacAddress"};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> all = common;
        all.insert(all.end(), more.begin(), more.end());
        return all;
    };
    const std::vector<std::string> authentication = {"speedInMbps", "outerEapMethod", "innerEapMethod"};
    const struct {
        std::int32_t state;
        std::vector<std::string> children;
    } cases[] = {
        {NetworkStateRecord::STOPPED, common},
        {NetworkStateRecord::ASSOCIATING, common},
        {NetworkStateRecord::AUTHENTICATING, with(authentication)},
        {NetworkStateRecord::ACQUIRING_IP_ADDRESS, with(authentication)},
        {NetworkStateRecord::CONNECTED,
         with({"ipAddress", "speedInMbps", "outerEapMethod", "innerEapMethod"})},
        {NetworkStateRecord::AUTHENTICATION_FAILED, common},
        {NetworkStateRecord::RETRYING_IP, common},
        {NetworkStateRecord::COUNTERMEASURES, common},
    };
    for (const auto& c : cases) {
        Written event;
        NetworkStateBody::write(event.context(ConnApiMessages::NETWORK_STATE_EVENT), stateOf(c.state));
        EXPECT_EQ(childNames(event.element()), c.children) << "state " << c.state;
    }
}

TEST(ConnApiBodiesTest, NetworkStateEventNamesMethodsAndFailuresByTheirTables) {
    Written event;
    NetworkStateRecord r = stateOf(NetworkStateRecord::CONNECTED);
    r.serverVerifiedName = "radius";
    r.innerEapMethod = 0;
    r.failure.reason = 3;
    r.failure.association = 7;
    r.failure.encryption = 4;
    r.failure.eapLevel = 2;
    r.failure.lastMessageReceived = 21;
    NetworkStateBody::write(event.context(ConnApiMessages::NETWORK_STATE_EVENT), r);
    SharedXmlNode e = event.element();
    EXPECT_STREQ(e.childContent("networkState"), "connected");
    EXPECT_STREQ(e.childContent("serverVerifiedName"), "radius");
    EXPECT_STREQ(e.childContent("outerEapMethod"), "eapTtls");
    EXPECT_TRUE(e.findChild("innerEapMethod").isNull()) << "an inner method of 0 is left out";
    SharedXmlNode failure = e.findChild("networkConnectionFailureInfo");
    ASSERT_TRUE(failure.isNonNull());
    EXPECT_EQ(childNames(failure),
              (std::vector<std::string>{"reason", "associationTimeOut", "associationAndEncryptionMode",
                                        "eapLevel", "last8021XMessageReceived"}));
    EXPECT_STREQ(failure.childContent("reason"), "authenticationFailed");
    EXPECT_STREQ(failure.childContent("associationAndEncryptionMode"), "wpa2PersonalAes");
    EXPECT_STREQ(failure.childContent("last8021XMessageReceived"), "unprotectedEapFailure");

    // A method without a text costs its child, not the event.
    Written unknown;
    NetworkStateRecord odd = stateOf(NetworkStateRecord::AUTHENTICATING);
    odd.outerEapMethod = 18;
    odd.innerEapMethod = 4097;
    NetworkStateBody::write(unknown.context(ConnApiMessages::NETWORK_STATE_EVENT), odd);
    EXPECT_TRUE(unknown.element().findChild("outerEapMethod").isNull());
    EXPECT_STREQ(unknown.element().childContent("innerEapMethod"), "chap");
}

// Why the user's certificate was not sent goes with a failed authentication only, named by its table.
TEST(ConnApiBodiesTest, NetworkStateEventTellsACredentialFailureOnlyWhenAuthenticationFailed) {
    const struct {
        std::int32_t state;
        std::int32_t failure;
        const char* text;
    } cases[] = {
        {NetworkStateRecord::AUTHENTICATION_FAILED, 1, "wrongPin"},
        {NetworkStateRecord::AUTHENTICATION_FAILED, 2, "cardBlocked"},
        {NetworkStateRecord::AUTHENTICATION_FAILED, 3, "noCertificate"},
        {NetworkStateRecord::AUTHENTICATION_FAILED, 0, nullptr},
        {NetworkStateRecord::AUTHENTICATING, 2, nullptr},
        {NetworkStateRecord::CONNECTED, 1, nullptr},
    };
    for (const auto& c : cases) {
        Written event;
        NetworkStateRecord r = stateOf(c.state);
        r.credentialFailure = c.failure;
        NetworkStateBody::write(event.context(ConnApiMessages::NETWORK_STATE_EVENT), r);
        SharedXmlNode e = event.element();
        if (c.text == nullptr) {
            EXPECT_TRUE(e.findChild("credentialFailure").isNull()) << c.state << " " << c.failure;
        } else {
            EXPECT_STREQ(e.childContent("credentialFailure"), c.text);
            EXPECT_EQ(childNames(e).back(), "credentialFailure");
        }
    }
}

TEST(ConnApiBodiesTest, LocationResponseWithoutSignatureHasFourChildren) {
    Written event;
    LocationRecord r;
    r.format = 1;
    r.data = ByteArray("street");
    r.accuracy = 3;
    r.signatureType = LocationConstants::SIGNATURE_TYPE_NONE;
    r.locationId = "id";
    Xml_Location::CreateXmlResponseEvent(event.context(ConnApiMessages::LOCATION_RESPONSE_EVENT), r);
    EXPECT_EQ(childNames(event.element()),
              (std::vector<std::string>{"sequenceNumber", "locationFormat", "locationData",
                                        "locationAccuracy", "locationId"}));
    EXPECT_STREQ(event.element().childContent("locationData"), "c3RyZWV0");
}

TEST(ConnApiBodiesTest, LocationRequestWithoutResolutionIsAccepted) {
    Received request(
        "<getLocationRequest><locationFormat>CIVIC</locationFormat>"
        "<requestSecureResponseOnly>true</requestSecureResponseOnly>"
        "<locationEncoding>binary</locationEncoding>"
        "<requestDigitalSignature>false</requestDigitalSignature>"
        "<requestLocationId>false</requestLocationId></getLocationRequest>");
    LocationRequestRecord r = Xml_Location::ReadRequest(request.element());
    EXPECT_EQ(r.format, 1);
    EXPECT_TRUE(r.secureResponseOnly);
    EXPECT_EQ(r.encoding, 4);
    EXPECT_EQ(r.resolution, 0);
}

TEST(ConnApiBodiesTest, NetworkListLeavesOutWhatANetworkDoesNotHave) {
    Written reply;
    NetworkListEntry plain;
    plain.networkName = "n";
    plain.media = 2;
    plain.association = 7;  // without an SSID the pair is not written either
    NetworkListEntry methodOnly = plain;
    methodOnly.eapMethod = 13;
    NetworkBodies::writeNetworksInGroup(reply.context(ConnApiMessages::GET_NETWORKS_IN_GROUP_RESPONSE), "g",
                                        {plain, methodOnly});
    SharedXmlNode list = reply.element().findChild("networkList");
    std::vector<std::string> networks;
    for (SharedXmlNode n = list.firstChild(); n.isNonNull(); n = n.nextSibling()) {
        if (!n.isElement()) continue;
        std::string names;
        for (const std::string& c : childNames(n)) names += c + " ";
        networks.push_back(names);
    }
    EXPECT_EQ(networks,
              (std::vector<std::string>{"networkName networkCreator networkMedia isGlobal runScriptSpec ",
                                        "networkName networkCreator networkMedia isGlobal eapMethod "
                                        "runScriptSpec "}));
}

}  // namespace
