#include "CEButtons.h"

#include "QtSoapMessage.h"

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
    if (!method[QStringLiteral("isLocationServiceAvailable")].toBool()) return false;
    capabilities.serviceType = arrayTexts(method[QStringLiteral("supportedServices")]).value(0);
    capabilities.formats = arrayTexts(method[QStringLiteral("supportedFormats")]);
    capabilities.resolutions = arrayTexts(method[QStringLiteral("supportedResolutions")]);
    capabilities.encodings = arrayTexts(method[QStringLiteral("supportedEncodings")]);
    return true;
}
