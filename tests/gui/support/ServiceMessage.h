#pragma once

#include <QByteArray>
#include <QList>

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

// One access point of a scan reply: SSID, BSSID, signal in dBm, channel and security modes.
struct Nad {
    QByteArray ssid;
    QByteArray bssid;
    QByteArray dbm;
    QByteArray channel;
    QList<QByteArray> modes;
};

inline QByteArray nadXml(const Nad& nad) {
    QByteArray modes = "<associationAndEncryptionModeList type=\"array\">";
    for (const QByteArray& m : nad.modes)
        modes += "<associationAndEncryptionMode>" + m + "</associationAndEncryptionMode>";
    modes += "</associationAndEncryptionModeList>";
    return "<nad>\n<ssid>" + nad.ssid + "</ssid>\n<bssid>" + nad.bssid + "</bssid>\n" + modes +
           "\n<channel>" + nad.channel + "</channel>\n<signalStrengthInDbm>" + nad.dbm +
           "</signalStrengthInDbm>\n<snr>20</snr>\n</nad>";
}

inline QByteArray scanReply(const QList<Nad>& nads) {
    QByteArray list = "<nadList type=\"array\">\n";
    for (const Nad& nad : nads) list += nadXml(nad) + "\n";
    return serviceMessage("getScanListResponse",
                          "<sequenceNumber>4</sequenceNumber>\n" + list + "</nadList>");
}

}  // namespace tamsel::test
