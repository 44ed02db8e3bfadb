#pragma once
// What eapPeap and eapFast share: authMethods > builtinMethods holding authenticateWithPassword,
// authenticateWithCertificate or (user record) authenticateWithToken, each starting with the
// protected identity pattern and the credential source.
#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlAuthenticationRecord.h"

class XmlBuiltinMethods {
public:
    // Which of several present choices wins: password first for both, then eapPeap takes the
    // certificate and eapFast the token.
    enum class Order { PEAP, FAST };

    // Reads the identity and the source into the method and sets its credential kind; returns the
    // chosen element for the caller's inner methods.
    static SharedXmlNode Read(const SharedXmlNode& method, std::int32_t recordKind,
                              XmlMethodSettings& settings, Order order);
    // Writes down to the identity and the source of the method's credential kind; returns the
    // chosen element for the caller's inner methods.
    static SharedXmlNode Write(XmlParentBase& method, const XmlMethodSettings& settings,
                               std::int32_t recordKind);

    static bool hasInnerMethod(const XmlMethodSettings& settings, std::int32_t type);
};
