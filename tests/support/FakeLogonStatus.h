#pragma once
// A logon component for tests of networks: installed while it lives, it answers whether a user
// is logged on as the test sets it.
#include <cstdint>

#include "vel/network/LogonStatus.h"
#include "vel/reference/ReferenceImpl.h"

namespace tamsel::test {

class SettableLogonStatusImpl : public ReferenceImpl, public LogonStatusInterface {
public:
    REFERENCE_IMPL_FORWARDS

    std::int32_t getLogonContext() override { return context; }

    std::int32_t context = LogonStatusInterface::NO_USER_SESSION;
};

class FakeLogonStatus {
public:
    FakeLogonStatus() : m_status(new SettableLogonStatusImpl) { InstalledLogonStatus::install(m_status); }
    ~FakeLogonStatus() {
        InstalledLogonStatus::install(nullptr);
        m_status->ReferenceImpl::release();
    }
    FakeLogonStatus(const FakeLogonStatus&) = delete;
    FakeLogonStatus& operator=(const FakeLogonStatus&) = delete;

    void set(std::int32_t context) { m_status->context = context; }

private:
    SettableLogonStatusImpl* m_status;
};

}  // namespace tamsel::test
