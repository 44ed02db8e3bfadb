#pragma once
// What a message from the service is: the row of its message element in the table of replies,
// events and requests the tray program handles.
#include <QByteArray>
#include <QStringList>

#include "gui/client/ResponseType.h"

class ResponseClassifier {
public:
    // The names of the handled messages, by code (code 0, a fault, is listed as "faultcode").
    static const QStringList& responseTypeNames();

    // The code of the message element, the first element in the body; a SOAP fault is Fault.
    // Text inside the message (an SSID, a group name) never decides its type. Unknown when the
    // message is not an envelope or its element is not in the table.
    static ResponseType classifyResponse(const QByteArray& message);
};
