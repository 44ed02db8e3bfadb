// What a client may send the service: frames cut from the byte stream by the service's receive
// buffer (the first input byte sets how many bytes each read of the pipe gives), each message
// parsed and classified as the service does it, each body element's context built and the element
// read by every reader of a message the service receives, and each message's dump masked.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>

#include "tests/fuzz/FuzzEnvironment.h"
#include "vel/connapi/ConnectionBodies.h"
#include "vel/connapi/CredentialBodies.h"
#include "vel/connapi/NetworkBodies.h"
#include "vel/connapi/SoapBodyContext.h"
#include "vel/connapi/SsoBodies.h"
#include "vel/connapi/VpnBodies.h"
#include "vel/connapi/XmlLocation.h"
#include "vel/exception/ConversionException.h"
#include "vel/exception/NoConnectionException.h"
#include "vel/exception/XmlException.h"
#include "vel/ipc/IpcManager.h"
#include "vel/ipc/IpcReceiveBuffer.h"
#include "vel/ipcmsghandlers/SoapEnvelope.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiDump.h"
#include "vel/xmlconnectionapi/ConnApiLimitConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

// The pipe of a client that sends the input and then goes.
class ScriptedPipeImpl : public IpcManagerImpl {
public:
    ScriptedPipeImpl(const std::uint8_t* data, std::size_t size, int chunk)
        : m_data(data), m_left(size), m_chunk(chunk) {}

    void receive(std::uint8_t* buffer, int size, int* count) override {
        if (m_left == 0) NoConnectionException::raise();
        const std::size_t n =
            std::min({m_left, static_cast<std::size_t>(size), static_cast<std::size_t>(m_chunk)});
        std::memcpy(buffer, m_data, n);
        m_data += n;
        m_left -= n;
        *count = static_cast<int>(n);
    }
    void send(const std::uint8_t*, int) override {}

private:
    const std::uint8_t* m_data;
    std::size_t m_left;
    int m_chunk;
};

void tolerating(const std::function<void()>& read) {
    try {
        read();
    } catch (const XmlException&) {
    } catch (const ConversionException&) {
    }
}

void readEveryWay(const SharedXmlNode& element) {
    tolerating([&] { NetworkBodies::readGroupName(element); });
    tolerating([&] { NetworkBodies::readGroupAndNetwork(element); });
    tolerating([&] {
        const AddNetworkRequestRecord r = NetworkBodies::readAddNetworkRequest(element);
        if (r.settings.ssid.length() > ConnApiLimitConstants::MAX_SSID_LENGTH) __builtin_trap();
        const StaticKeyRecord& key = r.settings.key;
        if (key.kind != StaticKeyRecord::KIND_NONE && key.bytes.length() == 0) __builtin_trap();
        if (key.length != 0 && key.length != 5 && key.length != 13) __builtin_trap();
    });
    tolerating([&] { NetworkBodies::readChangeNetworkRequest(element); });
    tolerating([&] { ConnectionBodies::readConnectToNetwork(element); });
    tolerating([&] { SsoBodies::readLogonAttemptId(element); });
    tolerating([&] { SsoBodies::readUserSessionActions(element); });
    tolerating([&] { SsoBodies::readChangePassword(element); });
    tolerating([&] { CredentialBodies::readUsernamePasswordResponse(element); });
    tolerating([&] {
        if (CredentialBodies::readCertificateResponse(element).certificateHash.length() == 0)
            __builtin_trap();
    });
    tolerating([&] { CredentialBodies::readLogonUsernamePasswordResponse(element); });
    tolerating([&] { CredentialBodies::readLogonSmartCardPin(element); });
    tolerating([&] { CredentialBodies::readSmartCardPinResponse(element); });
    tolerating([&] { VpnBodies::readVpnCredentialsResponse(element); });
    tolerating([&] { VpnBodies::readBannerAccepted(element); });
    tolerating([&] { Xml_Location::ReadRequest(element); });
}

void handle(const Datagram& datagram) {
    ConnApiDump::masked(std::string_view(datagram.text(), static_cast<std::size_t>(datagram.length())));
    if (datagram.length() == 1 && datagram.bytes()[0] == ConnApiConstants::REPAIR_REQUEST) return;
    tolerating([&] {
        const SoapEnvelope envelope = SoapEnvelope::parse(datagram);
        if (envelope.kind() != SoapEnvelope::KIND_ENVELOPE) return;
        const SharedXmlNode body = envelope.root().findChild(ConnApiConstants::BODY_ELEMENT);
        if (body.isNull()) return;
        for (SharedXmlNode child = body.firstChild(); child.isNonNull(); child = child.nextSibling()) {
            if (!child.isElement()) continue;
            const SoapBodyContext context = SoapBodyContext::fromElement(child);
            if (context.command() < 1 || context.command() > ConnApiMessages::COUNT) __builtin_trap();
            readEveryWay(child);
        }
    });
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tamsel::fuzz::startEngineRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 2000000) return 0;
    const int chunk = 1 + data[0] % 64 * 64;
    IpcManager pipe(new ScriptedPipeImpl(data + 1, size - 1, chunk), Reference::TAKE_OVER);
    IpcReceiveBuffer buffer;
    try {
        for (;;) handle(buffer.receive(pipe));
    } catch (const NoConnectionException&) {
    }
    return 0;
}
