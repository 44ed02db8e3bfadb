#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dunmere/dunmere.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/vpn/IpSecError.h"

namespace tamsel::test {
namespace {

// The status a failure event ends in: the credential failure its own, every other two below it.
std::string statusOf(VpnClientEvent event) {
    if (event == CLIENT_NONE) return "-";
    return VpnStatusToText(event == CLIENT_CRED_FAILURE ? 2 : event - 2);
}

using IpSecErrorTest = RuntimeTest;

TEST_F(IpSecErrorTest, ALibraryErrorBecomesTheEventOfItsMeaningAndThatEventsStatus) {
    struct Case {
        int code;
        const char* text;
        VpnClientEvent event;
        const char* status;
    };
    const std::vector<Case> cases = {
        {VPN_OK, "VPN_OK", CLIENT_NONE, "-"},
        {VPN_ERROR_LOAD_BALANCING, "VPN_ERROR_LOAD_BALANCING", CLIENT_NONE, "-"},
        {VPN_ERROR, "VPN_ERROR", CLIENT_GENERAL_FAILURE, "Unknown error."},
        {VPN_ERROR_DUPLICATE_EXISTS, "VPN_ERROR_DUPLICATE_EXISTS", CLIENT_GENERAL_FAILURE, "Unknown error."},
        {34, "UnknownIpSecErr", CLIENT_GENERAL_FAILURE, "Unknown error."},
        {99, "UnknownIpSecErr", CLIENT_GENERAL_FAILURE, "Unknown error."},
        {VPN_ERROR_BAD_PARAM, "VPN_ERROR_BAD_PARAM", CLIENT_CRED_FAILURE, "User authentication failed."},
        {VPN_ERROR_USER_AUTH_FAILED, "VPN_ERROR_USER_AUTH_FAILED", CLIENT_CRED_FAILURE,
         "User authentication failed."},
        {VPN_ERROR_CERT_EXPIRED, "VPN_ERROR_CERT_EXPIRED", CLIENT_CRED_FAILURE,
         "User authentication failed."},
        {VPN_ERROR_NOT_A_PROFILE, "VPN_ERROR_NOT_A_PROFILE", CLIENT_NOT_A_PROFILE,
         "Invalid VPN profile name. Please repair the service to synchronize VPN profiles"},
        {VPN_ERROR_CONNECT_ABORTED, "VPN_ERROR_CONNECT_ABORTED", CLIENT_CONNECT_ABORTED,
         "Your VPN connection has been terminated."},
        {VPN_ERROR_IKE_FAIL, "VPN_ERROR_IKE_FAIL", CLIENT_IKE_FAIL,
         "Unable to contact the security gateway."},
        {VPN_ERROR_HOSTNAME_LOOKUP_FAIL, "VPN_ERROR_HOSTNAME_LOOKUP_FAIL", CLIENT_HOSTNAME_LOOKUP_FAIL,
         "Unable to resolve server address."},
        {VPN_ERROR_PEER_NOT_RESPONDING, "VPN_ERROR_PEER_NOT_RESPONDING", CLIENT_PEER_NOT_RESPONDING,
         "The remote peer is no longer responding."},
        {VPN_ERROR_SERVICE_NOT_RUNNING, "VPN_ERROR_SERVICE_NOT_RUNNING", CLIENT_SERVICE_NOT_RUNNING,
         "The Varnel VPN Service is not running."},
        {VPN_ERROR_SA_EXPIRED, "VPN_ERROR_SA_EXPIRED", CLIENT_SA_EXPIRED,
         "Maximum Configured Lifetime Exceeded."},
        {VPN_ERROR_NO_ERROR, "VPN_ERROR_NO_ERROR", CLIENT_NO_ERROR,
         "Unknown Error Occurred at Peer. VPN connection has been terminated"},
        {VPN_ERROR_DEL_REASON_UNSPECIFIED, "VPN_ERROR_DEL_REASON_UNSPECIFIED", CLIENT_DEL_REASON_UNSPECIFIED,
         "(Reason Not Specified by Peer)"},
        {VPN_ERROR_VA_ENABLE_FAILED, "VPN_ERROR_VA_ENABLE_FAILED", CLIENT_VA_ENABLE_FAILED,
         "Failed to enable Virtual Adapter."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_STREQ(IpSecErrorToText(c.code), c.text);
        VpnClientEvent event = IpSecErrorToClientEvent(c.code);
        EXPECT_EQ(event, c.event);
        EXPECT_EQ(statusOf(event), c.status);
    }
    std::string log = readText(root.log());
    EXPECT_NE(log.find("IPSec ignored err VPN_ERROR_LOAD_BALANCING"), std::string::npos);
    EXPECT_NE(log.find("IPSec err VPN_ERROR_IKE_FAIL"), std::string::npos);
}

TEST_F(IpSecErrorTest, EveryLibraryErrorHasATextAndAnEventWithAStatus) {
    for (int code = 0; code <= 48; ++code) {
        SCOPED_TRACE(code);
        std::string text = IpSecErrorToText(code);
        EXPECT_EQ(text == "UnknownIpSecErr", code == 34);
        VpnClientEvent event = IpSecErrorToClientEvent(code);
        if (event == CLIENT_NONE) continue;
        // The event has its text, and its status a text of the connection API.
        EXPECT_NO_THROW(VpnClientEventToText(event));
        EXPECT_NO_THROW(statusOf(event));
        // Each error of a meaning of its own is the event of its own name.
        if (event != CLIENT_CRED_FAILURE && event != CLIENT_GENERAL_FAILURE) {
            EXPECT_EQ(std::string(VpnClientEventToText(event)),
                      "CLIENT_" + text.substr(std::string("VPN_ERROR_").size()));
        }
    }
}

TEST_F(IpSecErrorTest, StatesHaveTheirTexts) {
    EXPECT_STREQ(IpSecStateToText(VPN_STATE_IDLE), "VPN_STATE_IDLE");
    EXPECT_STREQ(IpSecStateToText(VPN_STATE_WAIT_AUTH), "VPN_STATE_WAIT_AUTH");
    EXPECT_STREQ(IpSecStateToText(VPN_STATE_CONNECTED), "VPN_STATE_CONNECTED");
    EXPECT_STREQ(IpSecStateToText(8), "UnknownState");
    EXPECT_STREQ(IpSecStateToText(-1), "UnknownState");
}

}  // namespace
}  // namespace tamsel::test
