#include "vel/certificate/SmartCardCertificateStore.h"

#include "vel/certificate/CertificateConstants.h"

using C = CertificateConstants;

SmartCardCertificateStoreImpl::SmartCardCertificateStoreImpl(const Ascii& cardId) : m_cardId(cardId) {
    char buffer[C::NAME_BUFFER] = {};
    int length = sizeof buffer;
    int result = qxCertStoreUrlScardString(cardId.text(), buffer, &length);
    if (result == QX_OK) {
        m_storeUrl = Ascii(buffer);
    } else {
        logCertificateCallFailure(C::ERROR_SCARD_STRING, "qxCertStoreUrlScardString", result, __FILE__,
                                  __LINE__);
        m_storeUrl = Ascii("");
    }
    length = sizeof buffer;
    result = qxSmartCardGetRegisteredName(cardId.text(), buffer, &length);
    if (result == QX_OK) {
        m_name = Ascii(buffer);
        m_registered = true;
    } else {
        logCertificateCallFailure(C::ERROR_REGISTERED_NAME, "qxSmartCardGetRegisteredName", result, __FILE__,
                                  __LINE__);
        m_name = m_storeUrl;
    }
}

int SmartCardCertificateStoreImpl::type() const {
    return C::STORE_SMART_CARD;
}

CertificateStoreHandle SmartCardCertificateStoreImpl::open() {
    if (!isUsable()) return CertificateStoreHandle();
    return openUrlStore(m_storeUrl);
}
