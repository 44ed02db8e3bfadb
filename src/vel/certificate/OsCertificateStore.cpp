#include "vel/certificate/OsCertificateStore.h"

#include "runtime/lum/Assert.h"
#include "vel/certificate/CertificateConstants.h"

using C = CertificateConstants;

namespace {

struct OsStoreRow {
    int kind;
    const char* url;
    const char* name;
};

constexpr OsStoreRow OS_STORES[] = {
    {C::STORE_USER_PERSONAL, "certStore://winsys/CURRENT_USER/MY", "user personal"},
    {C::STORE_USER_INTERMEDIATE_CA, "certStore://winsys/CURRENT_USER/CA", "user intermediate CA"},
    {C::STORE_USER_ROOT_CA, "certStore://winsys/CURRENT_USER/ROOT", "user root CA"},
    {C::STORE_MACHINE_PERSONAL, "certStore://winsys/LOCAL_MACHINE/MY", "machine personal"},
    {C::STORE_MACHINE_INTERMEDIATE_CA, "certStore://winsys/LOCAL_MACHINE/CA", "machine intermediate CA"},
    {C::STORE_MACHINE_ROOT_CA, "certStore://winsys/LOCAL_MACHINE/ROOT", "machine root CA"},
};

}  // namespace

OsCertificateStoreImpl::OsCertificateStoreImpl(int kind) : m_kind(kind), m_url(""), m_name("invalid") {
    for (const OsStoreRow& row : OS_STORES) {
        if (row.kind != kind) continue;
        m_url = Ascii(row.url);
        m_name = Ascii(row.name);
        return;
    }
    LUM_ASSERT_TEXT(false, "name");
}

CertificateStoreHandle OsCertificateStoreImpl::open() {
    if (!isUsable()) return CertificateStoreHandle();
    return openUrlStore(m_url);
}

bool OsCertificateStoreImpl::isUserStore() const {
    return m_kind >= C::STORE_USER_PERSONAL && m_kind <= C::STORE_USER_ROOT_CA;
}
