#include "vel/certificate/Base64CertificateStore.h"

#include <string>

#include "vel/certificate/CertificateConstants.h"

using C = CertificateConstants;

Base64CertificateStoreImpl::Base64CertificateStoreImpl(const AsciiVector& pemTexts) {
    std::string joined;
    for (std::int32_t i = 0; i < pemTexts.length(); ++i) {
        Ascii text = normalise(pemTexts.get(i));
        joined.append(text.text(), static_cast<size_t>(text.length()));
    }
    if (joined.empty()) return;
    QX_HANDLE handle = 0;
    int result = qxCertStoreMemCreate(&handle, joined.c_str(), static_cast<int>(joined.size()));
    if (result != QX_OK) {
        logCertificateCallFailure(C::ERROR_MEM_CREATE, "qxCertStoreMemCreate", result, __FILE__, __LINE__);
        return;
    }
    m_handle = CertificateStoreHandle(handle);
}

int Base64CertificateStoreImpl::type() const {
    return C::STORE_BASE64;
}

Ascii Base64CertificateStoreImpl::normalise(const Ascii& text) {
    std::string out;
    const char* at = text.text();
    const char* end = at + text.length();
    while (at < end) {
        while (at < end && (*at == ' ' || *at == '\t' || *at == '\r' || *at == '\n')) ++at;
        if (at == end) break;
        const char* lineEnd = at;
        while (lineEnd < end && *lineEnd != '\n' && *lineEnd != '\r') ++lineEnd;
        out.append(at, static_cast<size_t>(lineEnd - at));
        out.push_back('\n');
        at = lineEnd;
    }
    return Ascii(out.c_str(), static_cast<std::int32_t>(out.size()));
}
