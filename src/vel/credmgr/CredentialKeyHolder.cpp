#include "vel/credmgr/CredentialKeyHolder.h"

namespace {

const char KEY_STRING[] = "Rb7wTq2MxJ9pLk4V";
static_assert(sizeof KEY_STRING - 1 == CredentialKeyHolder::KEY_STRING_LENGTH);

}  // namespace

std::atomic<CredentialKeyHolder*> CredentialKeyHolder::s_instance{nullptr};

CredentialKeyHolder::CredentialKeyHolder() : m_keyString(KEY_STRING), m_crcTable(Crc32::table()) {}

CredentialKeyHolder& CredentialKeyHolder::instance() {
    CredentialKeyHolder* holder = s_instance.load(std::memory_order_acquire);
    if (holder != nullptr) return *holder;
    // Two first uses may race: one holder wins, the other is dropped before anyone sees it.
    CredentialKeyHolder* made = new CredentialKeyHolder;
    if (s_instance.compare_exchange_strong(holder, made, std::memory_order_acq_rel)) return *made;
    delete made;
    return *holder;
}

void CredentialKeyHolder::destroy() {
    delete s_instance.exchange(nullptr, std::memory_order_acq_rel);
}
