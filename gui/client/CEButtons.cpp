#include "gui/client/CEButtons.h"

#include "platform/qtsoap/QtSoapMessage.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"

namespace {

QStringList arrayTexts(const QtSoapElement& array) {
    QStringList texts;
    if (!array.isArray()) return texts;
    for (const QtSoapElement& item : array.items()) texts.append(item.text());
    return texts;
}

}  // namespace

bool CEButtons::parse(const QByteArray& message, LocationCapabilities& capabilities) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    if (!method[QLatin1String(ConnApiElements::IS_LOCATION_SERVICE_AVAILABLE)].toBool()) return false;
    capabilities.serviceType =
        arrayTexts(method[QLatin1String(ConnApiElements::SUPPORTED_SERVICES)]).value(0);
    capabilities.formats = arrayTexts(method[QLatin1String(ConnApiElements::SUPPORTED_FORMATS)]);
    capabilities.resolutions = arrayTexts(method[QLatin1String(ConnApiElements::SUPPORTED_RESOLUTIONS)]);
    capabilities.encodings = arrayTexts(method[QLatin1String(ConnApiElements::SUPPORTED_ENCODINGS)]);
    return true;
}
