#pragma once

#include <QByteArray>

#include "vel/xmlconnectionapi/ConnApiConstants.h"

namespace tamsel::test {

// A message as the service writes it: unprefixed elements in the product's default namespace,
// children enclosed in and separated by line feeds.
inline QByteArray serviceMessage(const QByteArray& method, const QByteArray& children) {
    return QByteArray("<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"") +
           ConnApiConstants::SOAP_ENVELOPE_NAMESPACE_URI + "\" xmlns=\"" + ConnApiConstants::NAMESPACE_URI +
           "\" encodingStyle=\"" + ConnApiConstants::SOAP_ENCODING_NAMESPACE_URI + "\">\n<SOAP-ENV:Body>\n<" +
           method + ">\n" + children + "\n</" + method + ">\n</SOAP-ENV:Body>\n</SOAP-ENV:Envelope>";
}

}  // namespace tamsel::test
