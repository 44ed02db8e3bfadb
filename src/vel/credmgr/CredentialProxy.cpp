#include "vel/credmgr/CredentialProxy.h"

#include "runtime/lum/Assert.h"

Credential CredentialProxy::credential() const {
    LUM_ASSERT(m_usable);
    CredentialImpl* impl = static_cast<CredentialImpl*>(static_cast<ReferenceImpl*>(m_p));
    if (impl == nullptr) return Credential();
    impl->addRef();
    return Credential(impl);
}
