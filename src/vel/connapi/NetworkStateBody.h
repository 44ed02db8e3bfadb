#pragma once
// The networkStateEvent: what the tray program shows of the state of one network.
#include <cstdint>

#include "vel/connapi/SoapBodyContext.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

// Why a connection failed; the event carries it only when the reason is set.
struct NetworkFailureRecord {
    // 1 association failed, 2 association timed out, 3 authentication failed, 4 no IP address.
    std::int32_t reason = 0;
    std::int32_t associationTimeOut = 0;
    std::int32_t association = 0;
    std::int32_t encryption = 1;
    // 1 outer, 2 inner.
    std::int32_t eapLevel = 1;
    // The 802.1X diagnostic messages; 0 when none.
    std::int32_t lastMessageSent = 0;
    std::int32_t lastMessageReceived = 0;
};

struct NetworkStateRecord {
    // The catalogue's network states.
    static constexpr std::int32_t STOPPED = 1;
    static constexpr std::int32_t ASSOCIATING = 2;
    static constexpr std::int32_t AUTHENTICATING = 3;
    static constexpr std::int32_t ACQUIRING_IP_ADDRESS = 4;
    static constexpr std::int32_t CONNECTED = 5;
    static constexpr std::int32_t AUTHENTICATION_FAILED = 6;
    static constexpr std::int32_t RETRYING_IP = 7;
    static constexpr std::int32_t COUNTERMEASURES = 8;

    Ascii groupName;
    Ascii networkName;
    std::int32_t networkState = STOPPED;
    ByteArray nadMacAddress;
    std::int32_t channel = 0;
    std::int32_t signalStrengthInDbm = 0;
    Ascii adapterName;
    ByteArray adapterMacAddress;
    Ascii serverVerifiedName;
    Ascii ipAddress;
    std::int32_t speedInMbps = 0;
    // EAP method values; 4096 and above are inner methods of a tunnel.
    std::int32_t outerEapMethod = 0;
    std::int32_t innerEapMethod = 0;
    NetworkFailureRecord failure;
    // Why the user's certificate was not sent (1 wrong PIN, 2 card blocked, 3 no certificate); told
    // only with "authentication failed".
    std::int32_t credentialFailure = 0;
};

class NetworkStateBody {
public:
    // Children by state: ipAddress only when connected; speed and EAP methods only while
    // authenticating, acquiring an address or connected; failure information only with a reason.
    // A method without a text is left out (logged), the rest of the event goes.
    static void write(const SoapBodyContext& context, const NetworkStateRecord& record);
    // The text of an EAP method value: outer methods below 4096, inner ones from 4096.
    static const char* eapMethodText(std::int32_t method);
};
