#pragma once
// Requests as the tray program writes them, made of the pipe's own names, for programs that talk
// to the service without the tray's Qt pieces; and the wait for the reply to one of them.
#include <string>
#include <utility>
#include <vector>

#include "vel/xmlconnectionapi/ConnApiConstants.h"

namespace tamsel::test {

// The tray program's envelope around body elements.
inline std::string trayEnvelope(const std::string& body) {
    using C = ConnApiConstants;
    return std::string("<") + C::SOAP_ENV_PREFIX + ":Envelope xmlns:" + C::SOAP_ENV_PREFIX + "=\"" +
           C::SOAP_ENVELOPE_NAMESPACE_URI + "\" xmlns:" + C::NAMESPACE_PREFIX + "=\"" + C::NAMESPACE_URI +
           "\" " + C::ENCODING_STYLE_ATTRIBUTE + "=\"" + C::SOAP_ENCODING_NAMESPACE_URI + "\">\n  <" +
           C::SOAP_ENV_PREFIX + ":Body>" + body + "\n  </" + C::SOAP_ENV_PREFIX + ":Body>\n</" +
           C::SOAP_ENV_PREFIX + ":Envelope>";
}

// One request element with its sequence number and children (values written as they are).
inline std::string trayRequestElement(const std::string& name, int number,
                                      const std::vector<std::pair<std::string, std::string>>& children = {}) {
    const std::string prefix = std::string(ConnApiConstants::NAMESPACE_PREFIX) + ":";
    const std::string sequence = prefix + ConnApiConstants::SEQUENCE_NUMBER_ELEMENT;
    std::string element = "\n    <" + prefix + name + ">\n      <" + sequence + ">" + std::to_string(number) +
                          "</" + sequence + ">";
    for (const auto& [child, value] : children)
        element += "\n      <" + prefix + child + ">" + value + "</" + prefix + child + ">";
    return element + "\n    </" + prefix + name + ">";
}

inline std::string trayRequest(const std::string& name, int number,
                               const std::vector<std::pair<std::string, std::string>>& children = {}) {
    return trayEnvelope(trayRequestElement(name, number, children));
}

// Reads until the reply with this sequence number; the service's events on the way are passed over.
template <typename Client>
std::string replyTo(Client& client, int number) {
    const std::string sequence = std::string("<") + ConnApiConstants::SEQUENCE_NUMBER_ELEMENT + ">" +
                                 std::to_string(number) + "</" + ConnApiConstants::SEQUENCE_NUMBER_ELEMENT +
                                 ">";
    for (;;) {
        std::string message = client.receive();
        if (message.find(sequence) != std::string::npos) return message;
    }
}

}  // namespace tamsel::test
