// What a client may send is bounded: a message over its length, an element with too many
// attributes or nesting too deep is not parsed, and a name or text over its length is refused with
// fault 9. Each is taken exactly at its limit; one over it changes nothing, the user file included.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/ipcmsghandlers/HandlerTestSupport.h"
#include "vel/configuration/MetaConnection.h"
#include "vel/xmlconnectionapi/ConnApiLimitConstants.h"

using namespace tamsel::test;

namespace {

using L = ConnApiLimitConstants;

std::string text(int length, char c = 'n') {
    return std::string(static_cast<size_t>(length), c);
}

// A request element with its own attributes.
std::string request(const std::string& name, int sequence, const std::string& children,
                    const std::string& attributes = "") {
    return "<tamsel:" + name + attributes + "><tamsel:sequenceNumber>" + std::to_string(sequence) +
           "</tamsel:sequenceNumber>" + children + "</tamsel:" + name + ">";
}

std::string attributes(int count) {
    std::string all;
    for (int i = 0; i < count; ++i) all += " a" + std::to_string(i) + "=\"v\"";
    return all;
}

// Elements the reader passes over, nested so that the innermost stands at `depth` below an
// envelope, its body and the message.
std::string nestedChild(int depth) {
    std::string open;
    std::string close;
    for (int i = 3; i < depth; ++i) {
        open += "<x>";
        close += "</x>";
    }
    return open + close;
}

// An envelope of exactly `length` bytes around the request, padded with a comment.
std::string envelopeOfLength(int length, const std::string& element) {
    const std::string bare = trayEnvelope(element + "<!---->");
    return trayEnvelope(element + "<!--" + text(length - static_cast<int>(bare.size()), 'p') + "-->");
}

std::string addNetwork(const std::string& name, const std::string& more, const std::string& media = "wired") {
    return tag("groupName", "Office") + tag("networkName", name) + tag("networkMedia", media) + more;
}

std::string openWifi(const std::string& ssid) {
    return tag("ssid", ssid) + tag("associationAndEncryptionMode", "openNoEncryption");
}

std::string vpnEntry(const std::string& entry) {
    return "<tamsel:vpnParameters>" + tag("connectionEntry", entry) + tag("autoConnectVpn", "false") +
           "</tamsel:vpnParameters>";
}

class OversizeRequestsTest : public HandlerTest {
protected:
    // Everything a request could change: the groups and their networks with the names and texts
    // the requests carry, the VPN entries, the active group, and the user file with its writes.
    std::string state() {
        std::string all;
        for (const Reference& held : configuration.groups().snapshot()) {
            NetworkGroup group = handleOf<NetworkGroup>(held.m);
            all += std::string("group ") + group.name().text() + "\n";
            for (const Reference& element : group.networkVector().snapshot()) {
                Network network = handleOf<Network>(element.m);
                const ByteArray ssid = network.getSsid();
                all += std::string(" network ") + network.name().text() + " ssid " +
                       std::string(ssid.text(), static_cast<size_t>(ssid.length())) + " script " +
                       network.getScript().text() + "\n";
            }
        }
        for (const Reference& held : configuration.vpnManager().metaConnections().snapshot()) {
            MetaConnection entry = handleOf<MetaConnection>(held.m);
            all += std::string("vpn ") + entry.groupName().text() + "/" + entry.networkName().text() + "/" +
                   entry.connectionEntry().text() + "\n";
        }
        NetworkGroupProxy active = configuration.activeGroup();
        return all + "active " + (active.exists() ? active.networkGroup().name().text() : "") + "\nfile " +
               userFileText() + "\nwrites " + std::to_string(engine.userFileWrites);
    }
};

TEST_F(OversizeRequestsTest, EachBoundTakesItsLimitAndRefusesOneOverWithoutChangingAnything) {
    const int depth = L::MAX_ELEMENT_DEPTH;
    const int attributeCount = L::MAX_ATTRIBUTES_PER_ELEMENT;
    const std::string group = tag("groupName", "Sized");
    const struct {
        const char* name;
        // The whole message.
        std::string message;
        // The fault's code, "reply", or "unread" for a message not parsed (logged, not answered).
        const char* outcome;
    } rows[] = {
        {"message one over", envelopeOfLength(L::MAX_RECEIVED_MESSAGE_LENGTH + 1, request("addGroupRequest", 1, group)),
         "unread"},
        {"message at its limit", envelopeOfLength(L::MAX_RECEIVED_MESSAGE_LENGTH, request("addGroupRequest", 2, group)),
         "reply"},
        {"attributes one over",
         trayEnvelope(request("addGroupRequest", 3, tag("groupName", "Marked"), attributes(attributeCount + 1))),
         "unread"},
        {"attributes at their limit",
         trayEnvelope(request("addGroupRequest", 4, tag("groupName", "Marked"), attributes(attributeCount))),
         "reply"},
        {"nesting one over",
         trayEnvelope(request("addGroupRequest", 5, tag("groupName", "Deep") + nestedChild(depth + 1))), "unread"},
        {"nesting at its limit",
         trayEnvelope(request("addGroupRequest", 6, tag("groupName", "Deep") + nestedChild(depth))), "reply"},

        {"group name one over", trayEnvelope(request("addGroupRequest", 7, tag("groupName", text(L::MAX_GROUP_NAME_LENGTH + 1)))), "9"},
        {"group name at its limit", trayEnvelope(request("addGroupRequest", 8, tag("groupName", text(L::MAX_GROUP_NAME_LENGTH)))), "reply"},
        {"active group name one over",
         trayEnvelope(request("setActiveGroupRequest", 9, tag("groupName", text(L::MAX_GROUP_NAME_LENGTH + 1)))), "9"},
        {"removed group name one over",
         trayEnvelope(request("removeGroupRequest", 10, tag("groupName", text(L::MAX_GROUP_NAME_LENGTH + 1)))), "9"},
        {"listed group name one over",
         trayEnvelope(request("getNetworksInGroupRequest", 11, tag("groupName", text(L::MAX_GROUP_NAME_LENGTH + 1)))),
         "9"},
        {"network name one over",
         trayEnvelope(request("addNetworkRequest", 12, addNetwork(text(L::MAX_NETWORK_NAME_LENGTH + 1), ""))), "9"},
        {"network name at its limit",
         trayEnvelope(request("addNetworkRequest", 13, addNetwork(text(L::MAX_NETWORK_NAME_LENGTH), ""))), "reply"},
        {"SSID one over",
         trayEnvelope(request("addNetworkRequest", 14, addNetwork("Air", openWifi(text(L::MAX_SSID_LENGTH + 1)), "wifi"))),
         "9"},
        {"SSID at its limit",
         trayEnvelope(request("addNetworkRequest", 15, addNetwork("Air", openWifi(text(L::MAX_SSID_LENGTH)), "wifi"))),
         "reply"},
        {"script one over",
         trayEnvelope(request("addNetworkRequest", 16, addNetwork("Scripted", tag("runScriptSpec", text(L::MAX_SCRIPT_LENGTH + 1))))),
         "9"},
        {"script at its limit",
         trayEnvelope(request("addNetworkRequest", 17, addNetwork("Scripted", tag("runScriptSpec", text(L::MAX_SCRIPT_LENGTH))))),
         "reply"},
        {"VPN entry one over",
         trayEnvelope(request("addNetworkRequest", 18, addNetwork("Tunnel", vpnEntry(text(L::MAX_CONNECTION_ENTRY_LENGTH + 1))))),
         "9"},
        {"VPN entry at its limit",
         trayEnvelope(request("addNetworkRequest", 19, addNetwork("Tunnel", vpnEntry(text(L::MAX_CONNECTION_ENTRY_LENGTH))))),
         "reply"},
        {"new network name one over",
         trayEnvelope(request("changeNetworkRequest", 20,
                              tag("groupName", "Office") + tag("networkName", "Air") +
                                  tag("newNetworkName", text(L::MAX_NETWORK_NAME_LENGTH + 1, 'r')))),
         "9"},
        {"new group name one over",
         trayEnvelope(request("changeNetworkRequest", 21,
                              tag("groupName", "Office") + tag("networkName", "Air") +
                                  tag("newGroupName", text(L::MAX_GROUP_NAME_LENGTH + 1)))),
         "9"},
        {"new network name at its limit",
         trayEnvelope(request("changeNetworkRequest", 22,
                              tag("groupName", "Office") + tag("networkName", "Air") +
                                  tag("newNetworkName", text(L::MAX_NETWORK_NAME_LENGTH, 'r')))),
         "reply"},
        {"network to connect one over",
         trayEnvelope(request("connectToNetworkRequest", 23, tag("networkName", text(L::MAX_NETWORK_NAME_LENGTH + 1)))),
         "9"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string before = state();
        LogCapture log;
        receive(client, row.message);
        const std::vector<std::string> answers = recorder(client).take();
        const std::string outcome = std::string(row.outcome);
        if (outcome == "unread") {
            EXPECT_EQ(answers, std::vector<std::string>{});
            EXPECT_TRUE(log.contains("Internal error 207, contact software manufacturer")) << log.text();
            EXPECT_TRUE(state() == before) << "changed";
            continue;
        }
        ASSERT_EQ(answers.size(), 1u);
        SentMessage answer(answers[0]);
        EXPECT_EQ(answer.name() == "Fault" ? answer.detail("errorCode") : "reply", outcome);
        if (outcome == "reply") {
            EXPECT_TRUE(state() != before) << "unchanged";
        } else {
            EXPECT_TRUE(state() == before) << "changed";
        }
    }
    // What was taken at the limits is listed whole.
    const std::string listed = ask("getNetworksInGroupRequest", tag("groupName", "Office")).text();
    EXPECT_THAT(listed, ::testing::HasSubstr(">" + text(L::MAX_NETWORK_NAME_LENGTH) + "<"));
    EXPECT_THAT(listed, ::testing::HasSubstr(">" + text(L::MAX_NETWORK_NAME_LENGTH, 'r') + "<"));
    EXPECT_THAT(listed, ::testing::HasSubstr(">" + text(L::MAX_SCRIPT_LENGTH) + "<"));
    EXPECT_THAT(ask("getGroupsRequest").text(), ::testing::HasSubstr(">" + text(L::MAX_GROUP_NAME_LENGTH) + "<"));
}

}  // namespace
