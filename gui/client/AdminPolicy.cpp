#include "AdminPolicy.h"

#include "ClientLog.h"
#include "QtSoapMessage.h"

bool AdminPolicy::parse(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    m_sequenceNumber = method[QStringLiteral("sequenceNumber")].text();
    const QtSoapElement policy = method[QStringLiteral("administratorPolicy")];
    const QtSoapElement userControl = policy[QStringLiteral("userControlPolicy")];

    const QtSoapElement media = userControl[QStringLiteral("allowedMedia")];
    if (media.isArray()) {
        const QList<QtSoapElement> items = media.items();
        if (items.size() == 1) {
            m_noWireless = !items.first().text().contains(QLatin1String("wifi"));
        } else {
            if (items.isEmpty()) {
                qCInfo(lcGuiClient, "Invalid Media Type array, setting to wired/wireless client by default.");
            }
            // Kept in step with what is announced, so a reader of the record sees the same.
            m_noWireless = false;
        }
        emit NoWireless(m_noWireless);
    }

    const QtSoapElement eapMethods =
        policy[QStringLiteral("networkPolicy")][QStringLiteral("allowedEapMethods")];
    if (eapMethods.isArray()) {
        m_allowedEapMethods.clear();
        for (const QtSoapElement& item : eapMethods.items()) m_allowedEapMethods.append(item.text());
    }

    emit VpnEnabledSignal(userControl[QStringLiteral("vpnEnabled")].toBool());
    emit RunScriptEnabledSignal(userControl[QStringLiteral("allowUserToRunScript")].toBool());
    return true;
}
