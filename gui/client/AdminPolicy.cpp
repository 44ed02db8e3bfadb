#include "gui/client/AdminPolicy.h"

#include "gui/client/ClientLog.h"
#include "platform/qtsoap/QtSoapMessage.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"

bool AdminPolicy::parse(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    m_sequenceNumber = method[QLatin1String(ConnApiConstants::SEQUENCE_NUMBER_ELEMENT)].text();
    const QtSoapElement policy = method[QLatin1String(ConnApiElements::ADMINISTRATOR_POLICY)];
    const QtSoapElement userControl = policy[QLatin1String(ConnApiElements::USER_CONTROL_POLICY)];

    const QtSoapElement media = userControl[QLatin1String(ConnApiElements::ALLOWED_MEDIA)];
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

    const QtSoapElement eapMethods = policy[QLatin1String(ConnApiElements::NETWORK_POLICY)]
                                           [QLatin1String(ConnApiElements::ALLOWED_EAP_METHODS)];
    if (eapMethods.isArray()) {
        m_allowedEapMethods.clear();
        for (const QtSoapElement& item : eapMethods.items()) m_allowedEapMethods.append(item.text());
    }

    emit VpnEnabledSignal(userControl[QLatin1String(ConnApiElements::VPN_ENABLED)].toBool());
    emit RunScriptEnabledSignal(
        userControl[QLatin1String(ConnApiElements::ALLOW_USER_TO_RUN_SCRIPT)].toBool());
    return true;
}
